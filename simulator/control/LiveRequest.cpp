#include "simulator/control/LiveRequest.h"

#include "simulator/control/StateOf.h"
#include "simulator/media/PlayFile.h"

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

// Why the exchange would let a caller's call drop now, "" when it takes it:
// far call rings only an idle line on hook (a call is cleared 1.5 s after the
// hook goes down: a shorter break is a flash), far call-waiting comes only
// during a connected call with no caller ID under way.
std::string CallRefused(ActionVerb verb, const Exchange &exchange)
{
    const std::string call = LineCallName(LineCallOf(exchange.State()));
    if (verb == ActionVerb::Call && (exchange.State() != CallState::Idle || exchange.LoopClosed())) {
        const bool clearing = !exchange.LoopClosed() && exchange.State() != CallState::Ringing;
        return "far call rings an idle line on hook, and the call is " + call +
               (clearing ? " (cleared 1.5 s after the hook goes down)" : "");
    }
    if (verb == ActionVerb::CallWaiting) {
        if (exchange.State() != CallState::Connected || !exchange.LoopClosed())
            return "far call-waiting comes during a connected call, and the call is " + call;
        if (exchange.SendingCallerId())
            return "far call-waiting: a caller ID is being sent already";
    }
    return {};
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
    if (std::string error = ParseUntimedItem(line, parsed); !error.empty())
        return error;
    if (const auto *ev = std::get_if<ScenarioEvent>(&parsed); ev != nullptr && ev->count != 1)
        return "a repeated event belongs in a scenario file, not in a live request";
    item = std::move(parsed);
    return {};
}

std::string OpenLivePlay(const LiveItem &item, std::unique_ptr<Source> &source)
{
    const auto *action = std::get_if<ScenarioAction>(&item);
    if (action == nullptr || action->verb != ActionVerb::Play)
        return {};
    PlayOpening opening = OpenPlay(*action);
    if (!opening.source)
        return opening.error.empty() ? "cannot play \"" + action->file + "\"" : opening.error;
    source = std::move(opening.source);
    return {};
}

std::string ApplyLiveItem(const LiveItem &item, Engine &engine, const RawSink &raw, std::unique_ptr<Source> play)
{
    if (const auto *action = std::get_if<ScenarioAction>(&item)) {
        if (action->verb != ActionVerb::Play) {
            if (std::string why = CallRefused(action->verb, engine.GetExchange()); !why.empty())
                return why;
            engine.Apply(*action);
            return {};
        }
        if (!play)
            return "cannot play \"" + action->file + "\": not opened";
        engine.Play(action->target, std::move(play));
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
