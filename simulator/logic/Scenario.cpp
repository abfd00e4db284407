#include "simulator/logic/Scenario.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "simulator/logic/ActionParser.h"
#include "simulator/logic/RegularFile.h"
#include "simulator/logic/ScenarioTokens.h"

namespace tvxsim {
namespace {

// A file's lines, one at a time: the time of an action or an event is read
// here, the rest by the action parser; repeat, devtype and openerror are
// the file's own.
struct Parser {
    Scenario sc;
    size_t payloadBytes = 0;
    std::vector<Token> tokens;

    bool Full() const { return sc.events.size() + sc.actions.size() + sc.numbers.size() >= kScenarioMaxItems; }

    // "<ms> <event> [param] [side] [payload]" from tokens[first].
    Failure ParseEvent(size_t first, ScenarioEvent &ev)
    {
        int64_t v = 0;
        if (!ParseInteger(tokens[first], 0, kScenarioMaxTimeMs, v))
            return Fail("bad time", tokens[first], " (0 to 86400000 ms)");
        ev.timeMs = v;
        return ParseEventTokens(tokens.data() + first + 1, tokens.size() - first - 1, payloadBytes, ev);
    }

    Failure AddEvent(ScenarioEvent ev)
    {
        payloadBytes += ev.payload.size();
        sc.events.push_back(std::move(ev));
        return Ok();
    }

    Failure ParseRepeat(int line)
    {
        int64_t count = 0;
        int64_t interval = 0;
        if (tokens.size() < 2 || !ParseInteger(tokens[1], 1, kScenarioMaxRepeat, count))
            return Fail("bad repeat count (1 to 100000000)");
        if (tokens.size() < 3 || !ParseInteger(tokens[2], 0, kScenarioMaxTimeMs, interval))
            return Fail("bad repeat interval (0 to 86400000 ms)");
        if (tokens.size() < 4)
            return Fail("missing time");
        ScenarioEvent ev;
        ev.line = line;
        if (Failure f = ParseEvent(3, ev))
            return f;
        if (ev.timeMs + interval * (count - 1) > kScenarioMaxTimeMs)
            return Fail("repeat runs past 86400000 ms");
        ev.count = count;
        ev.intervalMs = interval;
        return AddEvent(std::move(ev));
    }

    Failure ParseNumber(int line)
    {
        NumberRule rule;
        rule.line = line;
        if (Failure f = ParseNumberTokens(tokens.data(), tokens.size(), rule))
            return f;
        sc.numbers.push_back(std::move(rule));
        return Ok();
    }

    void ParseLine(std::string_view text, int line);
};

void Parser::ParseLine(std::string_view text, int line)
{
    tokens.clear();
    Failure f = Tokenize(text, tokens, kScenarioMaxFields);
    if (!f && tokens.empty())
        return;
    if (!f && Full())
        f = Fail("more than 65536 items in the file");
    if (!f) {
        const Token &head = tokens.front();
        const char first = head.text.empty() ? ' ' : head.text.front();
        if (!head.quoted && ((first >= '0' && first <= '9') || first == '-')) {
            if (tokens.size() >= 2 && StartsAction(tokens[1])) {
                ScenarioAction a;
                a.line = line;
                int64_t ms = 0;
                if (!ParseInteger(head, 0, kScenarioMaxTimeMs, ms))
                    f = Fail("bad time", head, " (0 to 86400000 ms)");
                else if (!(f = ParseActionTokens(tokens.data() + 1, tokens.size() - 1, a))) {
                    a.timeMs = ms;
                    sc.actions.push_back(std::move(a));
                }
            } else {
                ScenarioEvent ev;
                ev.line = line;
                f = ParseEvent(0, ev);
                if (!f)
                    f = AddEvent(std::move(ev));
            }
        } else if (IsWord(head, "repeat")) {
            f = ParseRepeat(line);
        } else if (IsWord(head, "number")) {
            f = ParseNumber(line);
        } else if (IsWord(head, "devtype")) {
            int32_t v = 0;
            if (tokens.size() != 2 || !ParseInt32(tokens[1], kInt32Min, kInt32Max, v))
                f = Fail("devtype needs one number");
            else
                sc.devType = v;
        } else if (IsWord(head, "openerror")) {
            int32_t v = 0;
            if (tokens.size() != 2 || !ParseInt32(tokens[1], kInt32Min, kInt32Max, v) || v == 0)
                f = Fail("openerror needs one non-zero code");
            else
                sc.openError = v;
        } else {
            f = Fail("unknown directive", head);
        }
    }
    if (!f)
        return;
    ++sc.badLines;
    if (sc.errors.size() < kScenarioMaxReportedErrors)
        sc.errors.push_back({line, f.Message()});
}

Scenario FileError(std::string message)
{
    Scenario sc;
    sc.errors.push_back({0, std::move(message)});
    sc.badLines = 1;
    return sc;
}

int64_t ActionLengthMs(const ScenarioAction &a)
{
    switch (a.verb) {
    case ActionVerb::Tone:
    case ActionVerb::Speech:
    case ActionVerb::Noise:
        return a.lengthMs;
    case ActionVerb::Call:
    case ActionVerb::CallWaiting:
        return kScenarioCallerIdMs;
    case ActionVerb::Play:  // the file's length is not known to the parser
        return 0;
    default:
        return 0;
    }
}

}  // namespace

int64_t Scenario::TotalEvents() const
{
    int64_t n = 0;
    for (const ScenarioEvent &ev : events)
        n += ev.count;
    return n;
}

int64_t Scenario::LastTimeMs() const
{
    int64_t last = 0;
    for (const ScenarioEvent &ev : events)
        last = std::max(last, ev.timeMs + ev.intervalMs * (ev.count - 1));
    for (const ScenarioAction &a : actions)
        last = std::max(last, a.timeMs + ActionLengthMs(a));
    return last;
}

Scenario ParseScenario(std::string_view text)
{
    Parser p;
    p.tokens.reserve(64);
    int line = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        if (line < std::numeric_limits<int>::max())
            ++line;
        p.ParseLine(text.substr(start, end - start), line);
        start = end + 1;
    }
    return std::move(p.sc);
}

std::string ScenarioSummary(const Scenario &scenario, const std::string &path)
{
    if (scenario.errors.empty())
        return "ok";
    const ScenarioError &first = scenario.errors.front();
    if (first.line == 0)
        return "refused: " + path + ": " + first.message;
    return std::to_string(scenario.badLines) + (scenario.badLines == 1 ? " line" : " lines") +
           " skipped; the first: " + path + ":" + std::to_string(first.line) + ": " + first.message;
}

Scenario LoadScenarioFile(const std::string &path)
{
    FileRead file = ReadRegularFile(path, kScenarioMaxFileBytes);
    switch (file.fault) {
    case FileRead::Fault::None:
        return ParseScenario(file.text);
    case FileRead::Fault::Open:
    case FileRead::Fault::Read:
        return FileError(std::string("cannot read the file: ") + std::strerror(file.error));
    case FileRead::Fault::NotRegular:
        return FileError("not a regular file (a directory, FIFO or device is refused)");
    case FileRead::Fault::TooLarge:
        break;
    }
    return FileError("file larger than 16777216 bytes");
}

}  // namespace tvxsim
