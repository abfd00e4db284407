#include "simulator/logic/Scenario.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "simulator/logic/EventNames.h"

namespace tvxsim {
namespace {

struct Token {
    std::string_view text;
    bool quoted = false;
};

// Why a line was refused: a fixed reason, the token it is about, and a fixed
// tail. The message is only put together for the lines that are reported.
struct Failure {
    const char *reason = nullptr;
    std::string_view token;
    bool quoteToken = false;
    const char *tail = "";

    explicit operator bool() const { return reason != nullptr; }
    std::string Message() const
    {
        std::string m = reason;
        if (quoteToken) {
            m += " '";
            m.append(token.substr(0, 40));
            m += "'";
        }
        return m + tail;
    }
};

constexpr Failure Ok() { return {}; }
Failure Fail(const char *reason, const char *tail = "") { return {reason, {}, false, tail}; }
Failure Fail(const char *reason, const Token &t, const char *tail = "") { return {reason, t.text, true, tail}; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// Splits a line into tokens; '#' outside quotes ends it.
Failure Tokenize(std::string_view line, std::vector<Token> &out)
{
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (IsBlank(c)) {
            ++i;
            continue;
        }
        if (c == '#')
            break;
        if (out.size() >= kScenarioMaxFields)
            return Fail("more than 1100 fields on the line");
        if (c == '"') {
            const size_t end = line.find('"', i + 1);
            if (end == std::string_view::npos)
                return Fail("unterminated quoted text");
            out.push_back({line.substr(i + 1, end - i - 1), true});
            i = end + 1;
            continue;
        }
        size_t end = i;
        while (end < line.size() && !IsBlank(line[end]) && line[end] != '#' && line[end] != '"')
            ++end;
        out.push_back({line.substr(i, end - i), false});
        i = end;
    }
    return Ok();
}

// Decimal with an optional minus sign, or hexadecimal with 0x.
bool ParseInteger(const Token &t, int64_t lo, int64_t hi, int64_t &value)
{
    if (t.quoted || t.text.empty())
        return false;
    std::string_view s = t.text;
    bool negative = false;
    if (s.front() == '-') {
        negative = true;
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty())
        return false;
    uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
    if (ec != std::errc() || end != s.data() + s.size())
        return false;
    if (magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
        return false;
    value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return value >= lo && value <= hi;
}

bool ParseInt32(const Token &t, int64_t lo, int64_t hi, int32_t &value)
{
    int64_t v = 0;
    if (!ParseInteger(t, lo, hi, v))
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool AppendHexRun(std::string_view s, std::vector<uint8_t> &out)
{
    if (s.empty() || s.size() % 2 != 0)
        return false;
    for (size_t i = 0; i < s.size(); i += 2) {
        const int hi = HexDigit(s[i]);
        const int lo = HexDigit(s[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out.push_back(static_cast<uint8_t>(hi * 16 + lo));
    }
    return true;
}

bool IsDash(const Token &t) { return !t.quoted && t.text == "-"; }
bool IsWord(const Token &t, std::string_view word) { return !t.quoted && t.text == word; }

// DTMF keys 0-9, *, #, A-D (either case), stored upper case.
bool ParseDigits(const Token &t, size_t maxLength, std::string &digits)
{
    if (!t.quoted || t.text.empty() || t.text.size() > maxLength)
        return false;
    digits.clear();
    for (char c : t.text) {
        if (c >= 'a' && c <= 'd')
            c = static_cast<char>(c - 'a' + 'A');
        if (!((c >= '0' && c <= '9') || c == '*' || c == '#' || (c >= 'A' && c <= 'D')))
            return false;
        digits.push_back(c);
    }
    return true;
}

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t kMaxDtmfMs = 10000;

bool IsCallerIdEvent(int32_t code) { return code == kEvCallerId || code == kEvCallWaitingCallerId; }

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
        size_t i = first + 1;
        if (i >= tokens.size())
            return Fail("missing event code");
        if (!ParseInteger(tokens[i], 0, kInt32Max, v))
            return Fail("bad event code", tokens[i]);
        ev.code = static_cast<int32_t>(v);
        ++i;

        bool autoParam = true;
        if (i < tokens.size()) {
            if (!IsDash(tokens[i])) {
                if (!ParseInt32(tokens[i], kInt32Min, kInt32Max, ev.param))
                    return Fail("bad parameter", tokens[i]);
                autoParam = false;
            }
            ++i;
        }
        if (i < tokens.size()) {
            if (!IsDash(tokens[i]) && !ParseInt32(tokens[i], kInt32Min, kInt32Max, ev.side))
                return Fail("bad side", tokens[i]);
            ++i;
        }

        if (ev.code == kEvToneMonitored) {
            if (tokens.size() - i != 1 || !ParseInt32(tokens[i], 0, kScenarioMaxToneRow, ev.toneRow))
                return Fail("event 229 needs one tone row (0 to 255)");
            return Ok();
        }

        for (; i < tokens.size(); ++i) {
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
        if (payloadBytes + ev.payload.size() > kScenarioMaxTotalPayload)
            return Fail("payloads of the file exceed 4 MiB");

        if (IsCallerIdEvent(ev.code)) {
            if (autoParam)
                ev.param = static_cast<int32_t>(ev.payload.size());
            else if (ev.param < 0)
                return Fail("negative byte count", tokens[first + 2]);
            else if (ev.param > static_cast<int32_t>(ev.payload.size()))
                return Fail("byte count exceeds the payload length", tokens[first + 2]);
        }
        return Ok();
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
        if (tokens.size() < 3 || !ParseDigits(tokens[1], kScenarioMaxNumberDigits, rule.digits))
            return Fail("number needs quoted digits (0-9, *, #, A-D; at most 32) and a route");
        const Token &route = tokens[2];
        if (IsWord(route, "answer")) {
            if (tokens.size() != 4 || !ParseInteger(tokens[3], 0, kScenarioMaxTimeMs, rule.answerMs))
                return Fail("number ... answer needs one time in ms");
            rule.kind = RouteKind::Answer;
        } else if (IsWord(route, "busy") && tokens.size() == 3) {
            rule.kind = RouteKind::Busy;
        } else if (IsWord(route, "no-answer") && tokens.size() == 3) {
            rule.kind = RouteKind::NoAnswer;
        } else {
            return Fail("bad route", route, " (answer <ms>, busy or no-answer)");
        }
        sc.numbers.push_back(std::move(rule));
        return Ok();
    }

    Failure ParseAction(ScenarioAction &a);
    void ParseLine(std::string_view text, int line);
};

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
        return Fail("call needs a quoted name and a quoted number (printable, at most 49 characters each)");
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
            if (!isDate && !ParseInt32(v, -60, 0, c.dbm0))
                return Fail("bad level", v, " (-60 to 0 dBm0)");
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

// tokens: <ms> <target> <verb> arguments...
Failure Parser::ParseAction(ScenarioAction &a)
{
    const auto row = std::find_if(kVerbs.begin(), kVerbs.end(), [this](const VerbRow &r) {
        return tokens.size() >= 3 && IsWord(tokens[1], r.target) && IsWord(tokens[2], r.verb);
    });
    if (row == kVerbs.end()) {
        const auto known =
            std::any_of(kVerbs.begin(), kVerbs.end(), [this](const VerbRow &r) { return IsWord(tokens[1], r.target); });
        if (!known)
            return Fail("unknown action target", tokens[1], " (far, phone, pc, line or adapter)");
        return tokens.size() >= 3 ? Fail("unknown action", tokens[2]) : Fail("missing action");
    }
    a.target = row->t;
    a.verb = row->v;
    const size_t args = tokens.size() - 3;
    const Token *arg = tokens.data() + 3;
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
            !ParseInt32(arg[2], -60, 3, a.dbm0) || !ParseInt32(arg[3], 1, kScenarioMaxTimeMs, a.onMs) ||
            !ParseInt32(arg[4], 0, kScenarioMaxTimeMs, a.offMs) ||
            !ParseInteger(arg[5], 1, kScenarioMaxTimeMs, a.lengthMs))
            return Fail("tone needs <f1 1-3999> <f2 0-3999> <dBm0 -60-3> <on-ms> <off-ms> <total-ms>");
        return Ok();
    case ActionVerb::Call:
    case ActionVerb::CallWaiting:
        return ParseCaller(arg, args, a.caller);
    case ActionVerb::Noise:
        a.dbm0 = kScenarioNoiseDbm0;
        if (args < 1 || args > 2 || !ParseInteger(arg[0], 1, kScenarioMaxTimeMs, a.lengthMs) ||
            (args == 2 && !ParseInt32(arg[1], -80, 0, a.dbm0)))
            return Fail("noise needs a duration in ms and an optional level (-80 to 0 dBm0)");
        return Ok();
    case ActionVerb::Command:
        if (args < 1 || args > 2 || !ParseInt32(arg[0], 0, 65535, a.code) ||
            (args == 2 && !ParseInt32(arg[1], kInt32Min, kInt32Max, a.param)))
            return Fail("command needs a command code (0 to 65535) and an optional parameter");
        return Ok();
    case ActionVerb::Speech:
        a.dbm0 = kScenarioSpeechDbm0;
        if (args < 1 || args > 2 || !ParseInteger(arg[0], 1, kScenarioMaxTimeMs, a.lengthMs) ||
            (args == 2 && !ParseInt32(arg[1], -60, 0, a.dbm0)))
            return Fail("speech needs a duration in ms and an optional level (-60 to 0 dBm0)");
        return Ok();
    }
    return Fail("unknown action");
}

void Parser::ParseLine(std::string_view text, int line)
{
    tokens.clear();
    Failure f = Tokenize(text, tokens);
    if (!f && tokens.empty())
        return;
    if (!f && Full())
        f = Fail("more than 65536 items in the file");
    if (!f) {
        const Token &head = tokens.front();
        const char first = head.text.empty() ? ' ' : head.text.front();
        if (!head.quoted && ((first >= '0' && first <= '9') || first == '-')) {
            if (tokens.size() >= 2 && !tokens[1].quoted && !tokens[1].text.empty() &&
                std::isalpha(static_cast<unsigned char>(tokens[1].text.front()))) {
                ScenarioAction a;
                a.line = line;
                int64_t ms = 0;
                if (!ParseInteger(head, 0, kScenarioMaxTimeMs, ms))
                    f = Fail("bad time", head, " (0 to 86400000 ms)");
                else if (!(f = ParseAction(a))) {
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

}  // namespace

namespace {

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

Scenario LoadScenarioFile(const std::string &path)
{
    // Non-blocking, so that a FIFO cannot hold the caller up before it is refused.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return FileError(std::string("cannot read the file: ") + std::strerror(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return FileError("not a regular file (a directory, FIFO or device is refused)");
    }
    if (static_cast<uint64_t>(st.st_size) > kScenarioMaxFileBytes) {
        ::close(fd);
        return FileError("file larger than 16777216 bytes");
    }
    std::string text;
    text.resize(static_cast<size_t>(st.st_size) + 1);  // one more byte shows a file that grew
    size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            return FileError(std::string("cannot read the file: ") + std::strerror(err));
        }
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    if (got > kScenarioMaxFileBytes)
        return FileError("file larger than 16777216 bytes");
    text.resize(got);
    return ParseScenario(text);
}

}  // namespace tvxsim
