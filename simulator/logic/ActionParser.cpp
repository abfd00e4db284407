#include "simulator/logic/ActionParser.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

#include "simulator/logic/EventNames.h"

namespace tvxsim {
namespace {

constexpr int64_t kMaxDtmfMs = 10000;

bool IsCallerIdEvent(int32_t code) { return code == kEvCallerId || code == kEvCallWaitingCallerId; }

struct VerbRow {
    std::string_view target;
    std::string_view verb;
    ActionTarget t;
    ActionVerb v;
};

constexpr std::array kVerbs = std::to_array<VerbRow>({
    {"far", "ring", ActionTarget::Far, ActionVerb::Ring},
    {"far", "answer", ActionTarget::Far, ActionVerb::Answer},
    {"far", "hangup", ActionTarget::Far, ActionVerb::Hangup},
    {"far", "dtmf", ActionTarget::Far, ActionVerb::Dtmf},
    {"far", "tone", ActionTarget::Far, ActionVerb::Tone},
    {"far", "speech", ActionTarget::Far, ActionVerb::Speech},
    {"phone", "offhook", ActionTarget::Phone, ActionVerb::OffHook},
    {"phone", "onhook", ActionTarget::Phone, ActionVerb::OnHook},
    {"phone", "flash", ActionTarget::Phone, ActionVerb::Flash},
    {"phone", "keys", ActionTarget::Phone, ActionVerb::Keys},
    {"phone", "speech", ActionTarget::Phone, ActionVerb::Speech},
    {"phone", "tone", ActionTarget::Phone, ActionVerb::Tone},
    {"pc", "dtmf", ActionTarget::Pc, ActionVerb::Dtmf},
    {"pc", "tone", ActionTarget::Pc, ActionVerb::Tone},
    {"pc", "speech", ActionTarget::Pc, ActionVerb::Speech},
    {"far", "call", ActionTarget::Far, ActionVerb::Call},
    {"far", "call-waiting", ActionTarget::Far, ActionVerb::CallWaiting},
    {"line", "noise", ActionTarget::Line, ActionVerb::Noise},
    {"adapter", "command", ActionTarget::Adapter, ActionVerb::Command},
    {"far", "play", ActionTarget::Far, ActionVerb::Play},
    {"line", "play", ActionTarget::Line, ActionVerb::Play},
    {"phone", "play", ActionTarget::Phone, ActionVerb::Play},
    {"pc", "play", ActionTarget::Pc, ActionVerb::Play},
});

// The option words of far call and far call-waiting, one row each.
enum class CallerOption : uint8_t {
    Format,
    Modem,
    Timing,
    Absence,
};

struct CallerWord {
    std::string_view word;
    CallerOption option;
    void (*set)(CallerIdSpec &);
};

constexpr std::array kCallerWords = std::to_array<CallerWord>({
    {"sdmf", CallerOption::Format, [](CallerIdSpec &c) { c.format = CidFormat::Sdmf; }},
    {"mdmf", CallerOption::Format, [](CallerIdSpec &c) { c.format = CidFormat::Mdmf; }},
    {"bell202", CallerOption::Modem, [](CallerIdSpec &c) { c.modem = CidModem::Bell202; }},
    {"v23", CallerOption::Modem, [](CallerIdSpec &c) { c.modem = CidModem::V23; }},
    {"na", CallerOption::Timing, [](CallerIdSpec &c) { c.timing = CidTiming::NorthAmerican; }},
    {"etsi", CallerOption::Timing, [](CallerIdSpec &c) { c.timing = CidTiming::Etsi; }},
    {"private", CallerOption::Absence, [](CallerIdSpec &c) { c.absence = kAbsencePrivate; }},
    {"out-of-area", CallerOption::Absence, [](CallerIdSpec &c) { c.absence = kAbsenceOutOfArea; }},
});

// A caller's name or number: quoted, printable, at most 49 characters.
bool ParseCallerText(const Token &t, std::string &text)
{
    if (!t.quoted || t.text.size() > kCidMaxText)
        return false;
    if (!std::all_of(t.text.begin(), t.text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; }))
        return false;
    text = t.text;
    return true;
}

// "MMDDhhmm" of a real month, day, hour and minute.
bool ParseCallerDate(const Token &t, std::string &date)
{
    if (t.quoted || t.text.size() != kCidDateLength ||
        !std::all_of(t.text.begin(), t.text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const auto two = [&t](size_t at) { return (t.text[at] - '0') * 10 + (t.text[at + 1] - '0'); };
    if (two(0) < 1 || two(0) > 12 || two(2) < 1 || two(2) > 31 || two(4) > 23 || two(6) > 59)
        return false;
    date = t.text;
    return true;
}

// far call|call-waiting "<name>" "<number>" options...
Failure ParseCaller(const Token *arg, size_t args, CallerIdSpec &c)
{
    if (args < 2 || !ParseCallerText(arg[0], c.name) || !ParseCallerText(arg[1], c.number))
        return Fail("call needs a quoted name and a quoted number, each at most 49 characters of printable ASCII "
                    "(caller ID carries no other characters)");
    std::array<bool, 4> seen{};
    bool date = false;
    bool level = false;
    for (size_t i = 2; i < args; ++i) {
        const Token &t = arg[i];
        if (IsWord(t, "date") || IsWord(t, "level")) {
            const bool isDate = IsWord(t, "date");
            bool &once = isDate ? date : level;
            if (once)
                return Fail("option given twice", t);
            once = true;
            if (i + 1 >= args)
                return Fail("missing value after", t);
            const Token &v = arg[++i];
            if (isDate && !ParseCallerDate(v, c.date))
                return Fail("bad date", v, " (MMDDhhmm)");
            if (!isDate && !ParseInt32(v, kScenarioMinDbm0, kScenarioMaxDbm0, c.dbm0))
                return Fail("bad level", v, " (-80 to +3 dBm0)");
            continue;
        }
        const auto row = std::find_if(
            kCallerWords.begin(), kCallerWords.end(), [&t](const CallerWord &w) { return IsWord(t, w.word); });
        if (row == kCallerWords.end())
            return Fail("unknown call option", t);
        bool &once = seen[static_cast<size_t>(row->option)];
        if (once)
            return Fail("option given twice", t);
        once = true;
        row->set(c);
    }
    return Ok();
}

// A sound file's name: quoted, 1 to 4096 bytes, no control characters.
bool ParsePlayFile(const Token &t, std::string &file)
{
    if (!t.quoted || t.text.empty() || t.text.size() > kScenarioMaxPlayFile)
        return false;
    if (std::any_of(
            t.text.begin(), t.text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        return false;
    file = t.text;
    return true;
}

}  // namespace

bool StartsAction(const Token &t)
{
    return !t.quoted && !t.text.empty() && std::isalpha(static_cast<unsigned char>(t.text.front()));
}

Failure ParseActionTokens(const Token *tokens, size_t count, ScenarioAction &a)
{
    const auto row = std::find_if(kVerbs.begin(), kVerbs.end(), [tokens, count](const VerbRow &r) {
        return count >= 2 && IsWord(tokens[0], r.target) && IsWord(tokens[1], r.verb);
    });
    if (row == kVerbs.end()) {
        const auto known = count >= 1 && std::any_of(kVerbs.begin(), kVerbs.end(), [tokens](const VerbRow &r) {
                               return IsWord(tokens[0], r.target);
                           });
        if (!known)
            return count >= 1 ? Fail("unknown action target", tokens[0], " (far, phone, pc, line or adapter)")
                              : Fail("missing action");
        return count >= 2 ? Fail("unknown action", tokens[1]) : Fail("missing action");
    }
    a.target = row->t;
    a.verb = row->v;
    const size_t args = count - 2;
    const Token *arg = tokens + 2;
    switch (a.verb) {
    case ActionVerb::Ring:
        if (args > 1 || (args == 1 && !ParseInt32(arg[0], 1, 1000, a.count)))
            return Fail("far ring takes an optional count of rings (1 to 1000)");
        return Ok();
    case ActionVerb::Answer:
    case ActionVerb::Hangup:
    case ActionVerb::OffHook:
    case ActionVerb::OnHook:
    case ActionVerb::Flash:
        return args == 0 ? Ok() : Fail("the action takes no arguments");
    case ActionVerb::Keys:
        if (args != 1 || !ParseDigits(arg[0], kScenarioMaxDigits, a.digits))
            return Fail("keys needs quoted digits (0-9, *, #, A-D; at most 64)");
        return Ok();
    case ActionVerb::Dtmf:
        a.onMs = kScenarioDtmfOnMs;
        a.offMs = kScenarioDtmfOffMs;
        if ((args != 1 && args != 3) || !ParseDigits(arg[0], kScenarioMaxDigits, a.digits))
            return Fail("dtmf needs quoted digits (0-9, *, #, A-D; at most 64) and optional on and off ms");
        if (args == 3 && (!ParseInt32(arg[1], 1, kMaxDtmfMs, a.onMs) || !ParseInt32(arg[2], 0, kMaxDtmfMs, a.offMs)))
            return Fail("dtmf on time is 1 to 10000 ms, off time 0 to 10000 ms");
        return Ok();
    case ActionVerb::Tone:
        if (args != 6 || !ParseInt32(arg[0], 1, 3999, a.f1) || !ParseInt32(arg[1], 0, 3999, a.f2) ||
            !ParseInt32(arg[2], kScenarioMinDbm0, kScenarioMaxDbm0, a.dbm0) ||
            !ParseInt32(arg[3], 1, kScenarioMaxTimeMs, a.onMs) || !ParseInt32(arg[4], 0, kScenarioMaxTimeMs, a.offMs) ||
            !ParseInteger(arg[5], 1, kScenarioMaxTimeMs, a.lengthMs))
            return Fail("tone needs <f1 1-3999> <f2 0-3999> <dBm0 -80 to +3> <on-ms> <off-ms> <total-ms>");
        return Ok();
    case ActionVerb::Call:
    case ActionVerb::CallWaiting:
        return ParseCaller(arg, args, a.caller);
    case ActionVerb::Noise:
        a.dbm0 = kScenarioNoiseDbm0;
        if (args < 1 || args > 2 || !ParseInteger(arg[0], 1, kScenarioMaxTimeMs, a.lengthMs) ||
            (args == 2 && !ParseInt32(arg[1], kScenarioMinDbm0, kScenarioMaxDbm0, a.dbm0)))
            return Fail("noise needs a duration in ms and an optional level (-80 to +3 dBm0)");
        return Ok();
    case ActionVerb::Command:
        if (args < 1 || args > 2 || !ParseInt32(arg[0], 0, 65535, a.code) ||
            (args == 2 && !ParseInt32(arg[1], kInt32Min, kInt32Max, a.param)))
            return Fail("command needs a command code (0 to 65535) and an optional parameter");
        return Ok();
    case ActionVerb::Speech:
        a.dbm0 = kScenarioSpeechDbm0;
        if (args < 1 || args > 2 || !ParseInteger(arg[0], 1, kScenarioMaxTimeMs, a.lengthMs) ||
            (args == 2 && !ParseInt32(arg[1], kScenarioMinDbm0, kScenarioMaxDbm0, a.dbm0)))
            return Fail("speech needs a duration in ms and an optional level (-80 to +3 dBm0)");
        return Ok();
    case ActionVerb::Play:
        if (args < 1 || args > 2 || !ParsePlayFile(arg[0], a.file))
            return Fail("play needs a quoted file name (at most 4096 bytes, no control characters) and an "
                        "optional gain in dB");
        if (args == 2 && !ParseInt32(arg[1], kScenarioMinPlayGainDb, kScenarioMaxPlayGainDb, a.gainDb))
            return Fail("bad gain", arg[1], " (-60 to +20 dB)");
        return Ok();
    }
    return Fail("unknown action");
}

Failure ParseEventTokens(const Token *tokens, size_t count, size_t payloadBefore, ScenarioEvent &ev)
{
    if (count == 0)
        return Fail("missing event code");
    int64_t v = 0;
    if (!ParseInteger(tokens[0], 0, kInt32Max, v))
        return Fail("bad event code", tokens[0]);
    ev.code = static_cast<int32_t>(v);
    size_t i = 1;

    bool autoParam = true;
    if (i < count) {
        if (!IsDash(tokens[i])) {
            if (!ParseInt32(tokens[i], kInt32Min, kInt32Max, ev.param))
                return Fail("bad parameter", tokens[i]);
            autoParam = false;
        }
        ++i;
    }
    if (i < count) {
        if (!IsDash(tokens[i]) && !ParseInt32(tokens[i], kInt32Min, kInt32Max, ev.side))
            return Fail("bad side", tokens[i]);
        ++i;
    }

    if (ev.code == kEvToneMonitored) {
        if (count - i != 1 || !ParseInt32(tokens[i], 0, kScenarioMaxToneRow, ev.toneRow))
            return Fail("event 229 needs one tone row (0 to 255)");
        return Ok();
    }

    for (; i < count; ++i) {
        const Token &t = tokens[i];
        if (t.quoted) {
            ev.payload.insert(ev.payload.end(), t.text.begin(), t.text.end());
        } else {
            std::string_view s = t.text;
            if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
                s.remove_prefix(2);
            if (!AppendHexRun(s, ev.payload))
                return Fail("bad payload byte", t);
        }
        if (ev.payload.size() > kScenarioMaxPayload)
            return Fail("payload longer than 1024 bytes");
    }
    if (payloadBefore + ev.payload.size() > kScenarioMaxTotalPayload)
        return Fail("payloads of the file exceed 4 MiB");

    if (IsCallerIdEvent(ev.code)) {
        if (autoParam)
            ev.param = static_cast<int32_t>(ev.payload.size());
        else if (ev.param < 0)
            return Fail("negative byte count", tokens[1]);
        else if (ev.param > static_cast<int32_t>(ev.payload.size()))
            return Fail("byte count exceeds the payload length", tokens[1]);
    }
    return Ok();
}

Failure ParseNumberTokens(const Token *tokens, size_t count, NumberRule &rule)
{
    if (count < 3 || !ParseDigits(tokens[1], kScenarioMaxNumberDigits, rule.digits))
        return Fail("number needs quoted digits (0-9, *, #, A-D; at most 32) and a route");
    const Token &route = tokens[2];
    if (IsWord(route, "answer")) {
        if (count != 4 || !ParseInteger(tokens[3], 0, kScenarioMaxTimeMs, rule.answerMs))
            return Fail("number ... answer needs one time in ms");
        rule.kind = RouteKind::Answer;
    } else if (IsWord(route, "busy") && count == 3) {
        rule.kind = RouteKind::Busy;
    } else if (IsWord(route, "no-answer") && count == 3) {
        rule.kind = RouteKind::NoAnswer;
    } else {
        return Fail("bad route", route, " (answer <ms>, busy or no-answer)");
    }
    return Ok();
}

std::string ParseUntimedItem(std::string_view text, ScenarioItem &out)
{
    std::vector<Token> tokens;
    Failure f = Tokenize(text, tokens, kScenarioMaxFields);
    const bool number = !tokens.empty() && IsWord(tokens.front(), "number");
    if (!number) {
        // Written in a file, an action or an event has its time as one field more.
        tokens.clear();
        f = Tokenize(text, tokens, kScenarioMaxFields - 1);
    }
    if (f)
        return f.Message();
    if (number) {
        NumberRule rule;
        f = ParseNumberTokens(tokens.data(), tokens.size(), rule);
        if (!f)
            out = std::move(rule);
    } else if (!tokens.empty() && StartsAction(tokens.front())) {
        ScenarioAction a;
        f = ParseActionTokens(tokens.data(), tokens.size(), a);
        if (!f)
            out = std::move(a);
    } else {
        ScenarioEvent ev;
        f = ParseEventTokens(tokens.data(), tokens.size(), 0, ev);
        if (!f)
            out = std::move(ev);
    }
    return f ? f.Message() : std::string();
}

}  // namespace tvxsim
