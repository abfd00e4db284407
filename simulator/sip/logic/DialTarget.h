// The request URI of an outgoing call: the dialled keys as the user part
// at the account's domain, `sip:<number>@<domain>` ('#' escaped as %23).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "simulator/sip/logic/LineConfig.h"

namespace tvxsim::sip {

inline constexpr size_t kMaxDialledKeys = 32;

// nullopt when `number` is empty, longer than kMaxDialledKeys or holds
// anything but 0-9, *, #, A-D.
std::optional<std::string> DialUri(std::string_view number, const SipAccount &account);

}  // namespace tvxsim::sip
