// An incoming INVITE's identity as the caller ID the line sends: the
// P-Asserted-Identity when present (the network's word), else the From
// header; the display name is the name, the URI's user part the number.
// `Privacy: id` or an anonymous identity withholds both (private); no
// usable number (digits, '+', '*', '#', after a tel URI's visual
// separators are left out) is "out of area". Texts fit caller ID.
#pragma once

#include <string_view>
#include <vector>

#include "simulator/logic/Scenario.h"

namespace tvxsim::sip {

struct IdentityHeaders {
    std::vector<std::string_view> assertedIdentities;  // each P-Asserted-Identity header's value
    std::string_view from;                             // the From header's value
    std::vector<std::string_view> privacy;             // each Privacy header's value
};

// The caller ID for these headers, the date left empty (the line fills the wall clock's).
CallerIdSpec CallerFromHeaders(const IdentityHeaders &headers);

// Whether a Privacy header's values ask for the identity to be withheld.
bool PrivacyWithholdsIdentity(const std::vector<std::string_view> &privacy);

}  // namespace tvxsim::sip
