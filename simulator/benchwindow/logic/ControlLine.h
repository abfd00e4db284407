// One line that the control socket sends, taken apart: a reply, a state line,
// an event as the runner prints it, or a count of dropped lines. Pure logic.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tvxsim::bench {

enum class LineKind : uint8_t {
    Ok,       // "ok"
    Error,    // "error <reason>": text holds the reason
    State,    // "state <name> <value>"
    Event,    // "<ms> <code> <text>": text holds the whole line
    Dropped,  // "dropped <n>"
    Blank,    // an empty line
    Unknown,  // anything else: text holds the line
};

struct ControlLine {
    LineKind kind = LineKind::Unknown;
    std::string name;    // State: the state's name
    std::string text;    // State: its value; Error: the reason; Event, Unknown: the line
    int64_t ms = 0;      // Event: the model's time
    int32_t code = 0;    // Event: the event code
    uint64_t count = 0;  // Dropped: how many lines
};

// A line of the watch stream or a reply, without its "\n" (a final "\r" is
// dropped here).
ControlLine ParseWatchLine(std::string_view line);

}  // namespace tvxsim::bench
