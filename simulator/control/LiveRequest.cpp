#include "simulator/control/LiveRequest.h"

#include <algorithm>
#include <array>

#include "simulator/control/ConsoleWords.h"

namespace tvxsim {
namespace {

bool Blank(char c) { return c == ' ' || c == '\t'; }

// The first blank-separated word of a line.
std::string_view FirstWord(std::string_view line)
{
    size_t i = 0;
    while (i < line.size() && Blank(line[i]))
        ++i;
    const size_t start = i;
    while (i < line.size() && !Blank(line[i]))
        ++i;
    return line.substr(start, i - start);
}

// Items of a scenario file that have no meaning live.
constexpr std::array<std::string_view, 3> kFileOnly = {"repeat", "devtype", "openerror"};

}  // namespace

std::string ParseLiveItem(std::string_view line, LiveItem &item)
{
    if (line.find_first_of("\r\n") != std::string_view::npos)
        return "a request is one line";
    const std::string_view head = FirstWord(line);
    if (head.empty() || head.front() == '#')
        return "empty request";
    for (std::string_view word : kFileOnly)
        if (SameWord(head, word))
            return std::string(word) + " belongs in a scenario file, not in a live request";
    ScenarioItem parsed;
    if (std::string error = ParseUntimedItem(line, parsed); !error.empty()) {
        // "500 phone offhook" reads as raw event 500 with a bad parameter: a
        // scenario line's time, which a request applied now has no use for.
        const bool timed = std::all_of(head.begin(), head.end(), [](char c) { return c >= '0' && c <= '9'; });
        ScenarioItem untimed;
        if (timed &&
            ParseUntimedItem(line.substr(static_cast<size_t>(head.data() - line.data()) + head.size()), untimed)
                .empty())
            return "a live request takes no time, it applies now: leave out the '" + std::string(head) + "'";
        return error;
    }
    if (const auto *ev = std::get_if<ScenarioEvent>(&parsed); ev != nullptr && ev->count != 1)
        return "a repeated event belongs in a scenario file, not in a live request";
    item = std::move(parsed);
    return {};
}

}  // namespace tvxsim
