// Who may send the line requests: the registrar, the outbound proxy and the
// configured peers, by IP address (names resolved by the caller); anyone
// else gets 403.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvxsim::sip {

// The address in one canonical text ("127.0.0.1", "::1"; an IPv4-mapped
// IPv6 address as its IPv4 form); nullopt when it is not an IP address.
std::optional<std::string> CanonicalAddress(std::string_view address);

class AllowedSources {
public:
    // Adds an IP address; false when it is none.
    bool Add(std::string_view address);
    bool Allows(std::string_view address) const;
    const std::vector<std::string> &Addresses() const { return addresses_; }

private:
    std::vector<std::string> addresses_;  // canonical, each once
};

}  // namespace tvxsim::sip
