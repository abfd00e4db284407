// A SIP identity header's addresses (From, P-Asserted-Identity): the
// display name and the URI's scheme, user and host, read leniently from
// what a far end sends, never trusted to be well formed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tvxsim::sip {

struct SipAddress {
    std::string display;  // unquoted, escapes resolved; empty when none
    std::string scheme;   // lower case: "sip", "sips", "tel", ...
    std::string user;     // the user part, percent-decoded, before any ';' (tel: the number)
    std::string host;     // lower case; empty for tel:
    bool operator==(const SipAddress &) const = default;
};

// One address, with a display name and angle brackets or as a bare URI: `"Name" <sip:user@host>;tag=x`,
// `Name <tel:+1555>`, `sip:user@host;tag=x`. False when no URI is found.
bool ParseSipAddress(std::string_view value, SipAddress &out);

// A header value that may hold several addresses separated by commas
// (outside quotes and angle brackets); at most `limit` parts.
std::vector<std::string_view> SplitHeaderValues(std::string_view value, size_t limit);

}  // namespace tvxsim::sip
