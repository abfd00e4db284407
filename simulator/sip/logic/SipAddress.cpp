#include "simulator/sip/logic/SipAddress.h"

#include "device/logic/HexDigit.h"

#include "simulator/sip/logic/SipText.h"

namespace tvxsim::sip {

namespace {

constexpr size_t kMaxAddressText = 1024;

int HexValue(char c) { return tvx::HexDigit(static_cast<unsigned char>(c)); }

std::string PercentDecoded(std::string_view s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
            out.push_back(static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2])));
            i += 2;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        c = LowerAscii(c);
    return out;
}

// A quoted string from s[0] == '"' on: its text, escapes resolved; `used`
// the bytes taken. An unterminated quote takes the rest.
std::string Unquote(std::string_view s, size_t &used)
{
    std::string out;
    size_t i = 1;
    while (i < s.size() && s[i] != '"') {
        if (s[i] == '\\' && i + 1 < s.size())
            ++i;
        out.push_back(s[i]);
        ++i;
    }
    used = i < s.size() ? i + 1 : i;
    return out;
}

bool ParseUri(std::string_view uri, SipAddress &out)
{
    uri = Trim(uri);
    const size_t colon = uri.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return false;
    const std::string_view scheme = uri.substr(0, colon);
    for (char c : scheme) {
        const char l = LowerAscii(c);
        if (!((l >= 'a' && l <= 'z') || IsDigit(l) || l == '+' || l == '-' || l == '.'))
            return false;
    }
    out.scheme = Lower(scheme);
    std::string_view rest = uri.substr(colon + 1);
    if (out.scheme == "tel") {
        out.user = PercentDecoded(TakeUntil(rest, ';'));
        out.host.clear();
        return true;
    }
    // sip:user[:password]@host[:port];params?headers
    const size_t end = rest.find_first_of(";?");
    const std::string_view userHost = rest.substr(0, end);
    const size_t at = userHost.rfind('@');
    std::string_view host = userHost;
    out.user.clear();
    if (at != std::string_view::npos) {
        std::string_view user = userHost.substr(0, at);
        user = user.substr(0, user.find(':'));
        out.user = PercentDecoded(user);
        host = userHost.substr(at + 1);
        // A user part may itself carry ';' parameters (user=phone numbers).
        const size_t semi = out.user.find(';');
        if (semi != std::string::npos)
            out.user.resize(semi);
    } else if (end != std::string_view::npos && rest[end] == ';') {
        // "sip:+1555;isub=1@host": the user's parameters come before the '@'.
        const size_t at2 = rest.find('@');
        if (at2 != std::string_view::npos) {
            std::string_view user = rest.substr(0, at2);
            out.user = PercentDecoded(user.substr(0, user.find(';')));
            std::string_view after = rest.substr(at2 + 1);
            host = after.substr(0, after.find_first_of(";?"));
        }
    }
    if (!host.empty() && host.front() == '[') {
        host = host.substr(0, host.find(']') + 1);
    } else {
        host = host.substr(0, host.find(':'));
    }
    out.host = Lower(host);
    return true;
}

}  // namespace

bool ParseSipAddress(std::string_view value, SipAddress &out)
{
    out = SipAddress{};
    value = Trim(value.substr(0, kMaxAddressText));
    std::string display;
    size_t i = 0;
    if (!value.empty() && value.front() == '"') {
        size_t used = 0;
        display = Unquote(value, used);
        i = used;
    }
    const size_t open = value.find('<', i);
    if (open != std::string_view::npos) {
        if (display.empty() && i == 0)
            display = std::string(Trim(value.substr(0, open)));
        const size_t close = value.find('>', open);
        const std::string_view uri =
            value.substr(open + 1, close == std::string_view::npos ? std::string_view::npos : close - open - 1);
        if (!ParseUri(uri, out))
            return false;
    } else {
        // A bare URI: its ';' parameters belong to the header, except for
        // a user part's own, which come before the '@'.
        const std::string_view bare = Trim(value.substr(i));
        if (!ParseUri(bare, out))
            return false;
    }
    out.display = std::move(display);
    return true;
}

std::vector<std::string_view> SplitHeaderValues(std::string_view value, size_t limit)
{
    std::vector<std::string_view> out;
    bool quoted = false;
    bool angled = false;
    size_t start = 0;
    for (size_t i = 0; i <= value.size() && out.size() < limit; ++i) {
        if (i == value.size() || (value[i] == ',' && !quoted && !angled)) {
            const std::string_view part = Trim(value.substr(start, i - start));
            if (!part.empty())
                out.push_back(part);
            start = i + 1;
            continue;
        }
        const char c = value[i];
        if (quoted && c == '\\') {
            ++i;
            continue;
        }
        if (c == '"' && !angled)
            quoted = !quoted;
        else if (c == '<' && !quoted)
            angled = true;
        else if (c == '>' && !quoted)
            angled = false;
    }
    return out;
}

}  // namespace tvxsim::sip
