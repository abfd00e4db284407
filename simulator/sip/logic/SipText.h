// Small text helpers the SIP mapping shares: trimming, comparing without
// case (ASCII only, as SIP's tokens are), splitting on a separator.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tvxsim::sip {

constexpr bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
constexpr char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trim(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view s, std::string_view prefix);

// The part of `s` before the first `separator` (all of it when there is
// none); `s` keeps what follows the separator, or becomes empty.
std::string_view TakeUntil(std::string_view &s, char separator);

// A decimal number without sign within lo..hi, the whole of `s`.
bool ParseUnsigned(std::string_view s, unsigned long lo, unsigned long hi, unsigned long &value);

}  // namespace tvxsim::sip
