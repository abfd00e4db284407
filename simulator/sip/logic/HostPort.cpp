#include "simulator/sip/logic/HostPort.h"

#include <arpa/inet.h>

#include <array>

#include "simulator/sip/logic/SipText.h"

namespace tvxsim::sip {

namespace {

constexpr size_t kMaxHostName = 253;
constexpr size_t kMaxLabel = 63;

bool IsLabelChar(char c) { return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-'; }

bool IsHostName(std::string_view s)
{
    if (s.empty() || s.size() > kMaxHostName)
        return false;
    if (s.back() == '.')
        s.remove_suffix(1);
    bool allDigitsAndDots = true;
    while (true) {
        const std::string_view label = TakeUntil(s, '.');
        if (label.empty() || label.size() > kMaxLabel || label.front() == '-' || label.back() == '-')
            return false;
        for (char c : label) {
            if (!IsLabelChar(c))
                return false;
            allDigitsAndDots = allDigitsAndDots && IsDigit(c);
        }
        if (s.empty())
            break;
    }
    // "1.2.3" or "999.1.1.1" is neither an address nor a name.
    return !allDigitsAndDots;
}

bool Pton(int family, std::string_view s)
{
    std::array<char, 64> text{};
    if (s.empty() || s.size() >= text.size())
        return false;
    s.copy(text.data(), s.size());
    std::array<unsigned char, 16> out{};
    return inet_pton(family, text.data(), out.data()) == 1;
}

}  // namespace

HostKind ClassifyHost(std::string_view host)
{
    if (Pton(AF_INET, host))
        return HostKind::Ipv4;
    if (Pton(AF_INET6, host))
        return HostKind::Ipv6;
    if (IsHostName(host))
        return HostKind::Name;
    return HostKind::Invalid;
}

std::optional<HostPort> ParseHostPort(std::string_view text, bool allowZeroPort)
{
    HostPort out;
    std::string_view host;
    std::string_view port;
    bool hasPort = false;
    if (!text.empty() && text.front() == '[') {
        const size_t close = text.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        host = text.substr(1, close - 1);
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':')
                return std::nullopt;
            port = rest.substr(1);
            hasPort = true;
        }
        if (ClassifyHost(host) != HostKind::Ipv6)
            return std::nullopt;
    } else {
        const size_t colon = text.find(':');
        if (colon != std::string_view::npos && text.find(':', colon + 1) != std::string_view::npos) {
            // Two colons or more: a bare IPv6 address, which takes no port.
            if (ClassifyHost(text) != HostKind::Ipv6)
                return std::nullopt;
            host = text;
        } else {
            host = text.substr(0, colon);
            if (colon != std::string_view::npos) {
                port = text.substr(colon + 1);
                hasPort = true;
            }
            const HostKind kind = ClassifyHost(host);
            if (kind != HostKind::Ipv4 && kind != HostKind::Name)
                return std::nullopt;
        }
    }
    if (hasPort) {
        unsigned long value = 0;
        if (!ParseUnsigned(port, allowZeroPort ? 0 : 1, 65535, value))
            return std::nullopt;
        out.port = static_cast<uint16_t>(value);
    }
    out.host = std::string(host);
    return out;
}

std::string FormatHostPort(const HostPort &hp)
{
    std::string out = ClassifyHost(hp.host) == HostKind::Ipv6 ? "[" + hp.host + "]" : hp.host;
    if (hp.port)
        out += ":" + std::to_string(*hp.port);
    return out;
}

}  // namespace tvxsim::sip
