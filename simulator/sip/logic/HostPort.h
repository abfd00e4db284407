// Hosts and ports as the line's configuration and SIP URIs write them:
// an IPv4 address, an IPv6 address (in brackets where a port may follow)
// or a host name, and an optional port.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tvxsim::sip {

enum class HostKind : uint8_t {
    Invalid,
    Ipv4,
    Ipv6,
    Name,
};

// What `host` is, written bare (no brackets): "127.0.0.1", "::1", "pbx.example.net".
HostKind ClassifyHost(std::string_view host);

struct HostPort {
    std::string host;              // bare: no brackets around an IPv6 address
    std::optional<uint16_t> port;  // none: the default of where it is used; 0 for a listening port: any

    bool operator==(const HostPort &) const = default;
};

// "host", "host:port", "[v6]" or "[v6]:port"; a bare IPv6 address takes no
// port. Ports 0 to 65535 (0 only with allowZeroPort). nullopt when malformed.
std::optional<HostPort> ParseHostPort(std::string_view text, bool allowZeroPort);

// "host:port" with brackets around an IPv6 host; the port left out when none.
std::string FormatHostPort(const HostPort &hp);

}  // namespace tvxsim::sip
