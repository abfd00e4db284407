#include "simulator/sip/logic/AllowedSources.h"

#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace tvxsim::sip {

std::optional<std::string> CanonicalAddress(std::string_view address)
{
    std::array<char, INET6_ADDRSTRLEN + 1> text{};
    if (address.size() >= text.size() || address.empty())
        return std::nullopt;
    address.copy(text.data(), address.size());
    std::array<char, INET6_ADDRSTRLEN> out{};
    in_addr v4{};
    if (inet_pton(AF_INET, text.data(), &v4) == 1) {
        inet_ntop(AF_INET, &v4, out.data(), out.size());
        return std::string(out.data());
    }
    in6_addr v6{};
    if (inet_pton(AF_INET6, text.data(), &v6) != 1)
        return std::nullopt;
    static constexpr std::array<uint8_t, 12> kMapped = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    if (std::memcmp(v6.s6_addr, kMapped.data(), kMapped.size()) == 0) {
        std::memcpy(&v4, v6.s6_addr + 12, 4);
        inet_ntop(AF_INET, &v4, out.data(), out.size());
    } else {
        inet_ntop(AF_INET6, &v6, out.data(), out.size());
    }
    return std::string(out.data());
}

bool AllowedSources::Add(std::string_view address)
{
    const std::optional<std::string> canonical = CanonicalAddress(address);
    if (!canonical)
        return false;
    if (std::find(addresses_.begin(), addresses_.end(), *canonical) == addresses_.end())
        addresses_.push_back(*canonical);
    return true;
}

bool AllowedSources::Allows(std::string_view address) const
{
    const std::optional<std::string> canonical = CanonicalAddress(address);
    return canonical && std::find(addresses_.begin(), addresses_.end(), *canonical) != addresses_.end();
}

}  // namespace tvxsim::sip
