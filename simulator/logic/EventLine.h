// One event as tvxsim prints it and the control socket's watchers read it:
// "<ms> <code> <text>", the text as ScTranslateEventToString gives it (the
// fuller detail when there is one), 64 and 95 with their side, the
// caller-ID events followed by a colon and their bytes in hexadecimal.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tvxsim {

struct EventLineFields {
    int64_t ms = 0;
    int32_t code = 0;
    int32_t param = 0;
    int32_t side = 0;
    std::string_view detail;  // used instead of the table's text when not empty
    std::span<const uint8_t> payload;
};

// The line, without its newline.
std::string FormatEventLine(const EventLineFields &event);

}  // namespace tvxsim
