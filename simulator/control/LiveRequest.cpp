#include "simulator/control/LiveRequest.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tvxsim {
namespace {

bool SameWord(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool Blank(char c) { return c == ' ' || c == '\t'; }

// The first two blank-separated words of a line.
std::array<std::string_view, 2> FirstWords(std::string_view line)
{
    std::array<std::string_view, 2> words;
    size_t i = 0;
    for (std::string_view &w : words) {
        while (i < line.size() && Blank(line[i]))
            ++i;
        const size_t start = i;
        while (i < line.size() && !Blank(line[i]))
            ++i;
        w = line.substr(start, i - start);
    }
    return words;
}

// Items of a scenario file that have no meaning live.
constexpr std::array<std::string_view, 3> kFileOnly = {"repeat", "devtype", "openerror"};

}  // namespace

std::string ParseLiveItem(std::string_view line, LiveItem &item)
{
    if (line.find_first_of("\r\n") != std::string_view::npos)
        return "a request is one line";
    const auto [head, second] = FirstWords(line);
    if (head.empty() || head.front() == '#')
        return "empty request";
    for (std::string_view word : kFileOnly)
        if (SameWord(head, word))
            return std::string(word) + " belongs in a scenario file, not in a live request";
    if (SameWord(second, "play"))
        return "playing a file is not available in this build";
    // A number route has no time; everything else is parsed as if at time 0.
    const bool route = SameWord(head, "number");
    const Scenario sc = ParseScenario(route ? std::string(line) : "0 " + std::string(line));
    if (!sc.errors.empty())
        return sc.errors.front().message;
    if (route && sc.numbers.size() == 1) {
        item = sc.numbers.front();
        return {};
    }
    if (!route && sc.actions.size() == 1) {
        item = sc.actions.front();
        return {};
    }
    if (!route && sc.events.size() == 1 && sc.events.front().count == 1) {
        item = sc.events.front();
        return {};
    }
    return "not an action, a raw event or a number route";
}

std::string ApplyLiveItem(const LiveItem &item, Engine &engine, const RawSink &raw)
{
    if (const auto *action = std::get_if<ScenarioAction>(&item)) {
        engine.Apply(*action);
        return {};
    }
    if (const auto *rule = std::get_if<NumberRule>(&item))
        return engine.GetExchange().AddNumber(*rule) ? std::string() : "the number table is full";
    const auto &ev = std::get<ScenarioEvent>(item);
    EngineEvent e;
    e.time = engine.Now();
    e.code = ev.code;
    e.param = ev.param;
    e.side = ev.side;
    e.toneRow = ev.toneRow;
    e.payload = ev.payload;
    if (!raw || !raw(std::move(e)))
        return "too many raw events are waiting to be delivered";
    return {};
}

}  // namespace tvxsim
