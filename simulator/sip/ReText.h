// Small readers of libre's values for the SIP thread: a pointer-length
// string as a view, an error number as its text, an address as text; and
// the monotonic clock the line's threads keep their times in.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "simulator/sip/Re.h"

namespace tvxsim::sip {

inline int64_t NowUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

inline std::string_view View(const struct pl &p)
{
    return p.p != nullptr ? std::string_view(p.p, p.l) : std::string_view{};
}

inline std::string ErrorText(int err)
{
    std::array<char, 128> text{};
    return str_error(err, text.data(), text.size());
}

inline std::string AddressText(const struct sa &address)
{
    std::array<char, 64> text{};
    sa_ntop(&address, text.data(), static_cast<int>(text.size()));
    return text.data();
}

}  // namespace tvxsim::sip
