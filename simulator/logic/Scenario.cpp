#include "simulator/logic/Scenario.h"

#include <array>
#include <charconv>
#include <fstream>
#include <limits>

#include "simulator/logic/EventNames.h"

namespace tvxsim {
namespace {

struct Token {
    std::string_view text;
    bool quoted = false;
};

// Splits a line into tokens; '#' outside quotes ends it. Returns an error text
// for an unterminated quote, else empty.
std::string tokenize(std::string_view line, std::vector<Token> &out)
{
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            const size_t end = line.find('"', i + 1);
            if (end == std::string_view::npos)
                return "unterminated quoted text";
            out.push_back({line.substr(i + 1, end - i - 1), true});
            i = end + 1;
        } else {
            size_t end = i;
            while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r' &&
                   line[end] != '#' && line[end] != '"')
                ++end;
            out.push_back({line.substr(i, end - i), false});
            i = end;
        }
    }
    return {};
}

// Decimal with an optional minus sign, or hexadecimal with 0x.
bool parseInteger(const Token &t, int64_t lo, int64_t hi, int64_t &value)
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

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool appendHexRun(std::string_view s, std::vector<uint8_t> &out)
{
    if (s.empty() || s.size() % 2 != 0)
        return false;
    for (size_t i = 0; i < s.size(); i += 2) {
        const int hi = hexDigit(s[i]);
        const int lo = hexDigit(s[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out.push_back(static_cast<uint8_t>(hi * 16 + lo));
    }
    return true;
}

std::string quote(const Token &t) { return "'" + std::string(t.text) + "'"; }

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

bool isCallerIdEvent(int32_t code) { return code == kEvCallerId || code == kEvCallWaitingCallerId; }

// Parses "<ms> <event> [param] [side] [payload]" from tokens[first]. Returns an
// error text, or empty with ev filled.
std::string parseEventTokens(const std::vector<Token> &tokens, size_t first, ScenarioEvent &ev)
{
    if (first >= tokens.size())
        return "missing time";
    int64_t v = 0;
    if (!parseInteger(tokens[first], 0, kScenarioMaxTimeMs, v))
        return "bad time " + quote(tokens[first]) + " (0 to " + std::to_string(kScenarioMaxTimeMs) + " ms)";
    ev.timeMs = v;

    size_t i = first + 1;
    if (i >= tokens.size())
        return "missing event code";
    if (!parseInteger(tokens[i], 0, kInt32Max, v))
        return "bad event code " + quote(tokens[i]);
    ev.code = static_cast<int32_t>(v);
    ++i;

    bool autoParam = true;
    if (i < tokens.size()) {
        if (!tokens[i].quoted && tokens[i].text == "-") {
            autoParam = true;
        } else if (parseInteger(tokens[i], kInt32Min, kInt32Max, v)) {
            ev.param = static_cast<int32_t>(v);
            autoParam = false;
        } else {
            return "bad parameter " + quote(tokens[i]);
        }
        ++i;
    }
    if (i < tokens.size()) {
        if (!tokens[i].quoted && tokens[i].text == "-") {
            ev.side = 0;
        } else if (parseInteger(tokens[i], kInt32Min, kInt32Max, v)) {
            ev.side = static_cast<int32_t>(v);
        } else {
            return "bad side " + quote(tokens[i]);
        }
        ++i;
    }

    if (ev.code == kEvToneMonitored) {
        if (tokens.size() - i != 1 || !parseInteger(tokens[i], 0, kScenarioMaxToneRow, v))
            return "event 229 needs one tone row (0 to " + std::to_string(kScenarioMaxToneRow) + ")";
        ev.toneRow = static_cast<int32_t>(v);
        if (autoParam)
            ev.param = 0;
        return {};
    }

    for (; i < tokens.size(); ++i) {
        const Token &t = tokens[i];
        if (t.quoted) {
            ev.payload.insert(ev.payload.end(), t.text.begin(), t.text.end());
        } else {
            std::string_view s = t.text;
            if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
                s.remove_prefix(2);
            if (!appendHexRun(s, ev.payload))
                return "bad payload byte " + quote(t);
        }
        if (ev.payload.size() > kScenarioMaxPayload)
            return "payload longer than " + std::to_string(kScenarioMaxPayload) + " bytes";
    }

    if (isCallerIdEvent(ev.code)) {
        if (autoParam) {
            ev.param = static_cast<int32_t>(ev.payload.size());
        } else if (ev.param > static_cast<int32_t>(ev.payload.size())) {
            return "byte count " + std::to_string(ev.param) + " exceeds the payload length " +
                   std::to_string(ev.payload.size());
        }
    } else if (autoParam) {
        ev.param = 0;
    }
    return {};
}

using Directive = std::string (*)(const std::vector<Token> &, Scenario &, int line);

std::string parseDevType(const std::vector<Token> &tokens, Scenario &sc, int)
{
    int64_t v = 0;
    if (tokens.size() != 2 || !parseInteger(tokens[1], kInt32Min, kInt32Max, v))
        return "devtype needs one number";
    sc.devType = static_cast<int32_t>(v);
    return {};
}

std::string parseOpenError(const std::vector<Token> &tokens, Scenario &sc, int)
{
    int64_t v = 0;
    if (tokens.size() != 2 || !parseInteger(tokens[1], kInt32Min, kInt32Max, v) || v == 0)
        return "openerror needs one non-zero code";
    sc.openError = static_cast<int32_t>(v);
    return {};
}

std::string parseRepeat(const std::vector<Token> &tokens, Scenario &sc, int line)
{
    int64_t count = 0;
    int64_t interval = 0;
    if (tokens.size() < 2 || !parseInteger(tokens[1], 1, kScenarioMaxRepeat, count))
        return "bad repeat count (1 to " + std::to_string(kScenarioMaxRepeat) + ")";
    if (tokens.size() < 3 || !parseInteger(tokens[2], 0, kScenarioMaxTimeMs, interval))
        return "bad repeat interval (0 to " + std::to_string(kScenarioMaxTimeMs) + " ms)";
    ScenarioEvent ev;
    ev.line = line;
    if (std::string err = parseEventTokens(tokens, 3, ev); !err.empty())
        return err;
    if (ev.timeMs + interval * (count - 1) > kScenarioMaxTimeMs)
        return "repeat runs past " + std::to_string(kScenarioMaxTimeMs) + " ms";
    ev.count = count;
    ev.intervalMs = interval;
    sc.events.push_back(std::move(ev));
    return {};
}

struct DirectiveRow {
    std::string_view name;
    Directive parse;
};

constexpr std::array kDirectives = std::to_array<DirectiveRow>({
    {"devtype", parseDevType},
    {"openerror", parseOpenError},
    {"repeat", parseRepeat},
});

void parseLine(std::string_view text, int line, Scenario &sc)
{
    std::vector<Token> tokens;
    if (std::string err = tokenize(text, tokens); !err.empty()) {
        sc.errors.push_back({line, std::move(err)});
        return;
    }
    if (tokens.empty())
        return;

    const Token &head = tokens.front();
    const char first = head.text.empty() ? ' ' : head.text.front();
    const bool numeric = !head.quoted && ((first >= '0' && first <= '9') || first == '-');
    std::string err;
    if (numeric) {
        ScenarioEvent ev;
        ev.line = line;
        err = parseEventTokens(tokens, 0, ev);
        if (err.empty())
            sc.events.push_back(std::move(ev));
    } else {
        err = "unknown directive " + quote(head);
        for (const DirectiveRow &d : kDirectives) {
            if (!head.quoted && head.text == d.name) {
                err = d.parse(tokens, sc, line);
                break;
            }
        }
    }
    if (!err.empty())
        sc.errors.push_back({line, std::move(err)});
}

}  // namespace

int64_t Scenario::totalEvents() const
{
    int64_t n = 0;
    for (const ScenarioEvent &ev : events)
        n += ev.count;
    return n;
}

Scenario parseScenario(std::string_view text)
{
    Scenario sc;
    int line = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        ++line;
        parseLine(text.substr(start, end - start), line, sc);
        start = end + 1;
    }
    return sc;
}

Scenario loadScenarioFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Scenario sc;
        sc.errors.push_back({0, "cannot read the file"});
        return sc;
    }
    std::string text;
    std::array<char, 65536> chunk{};
    while (text.size() <= kScenarioMaxFileBytes && in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        text.append(chunk.data(), static_cast<size_t>(in.gcount()));
    }
    if (text.size() > kScenarioMaxFileBytes) {
        Scenario sc;
        sc.errors.push_back({0, "file larger than " + std::to_string(kScenarioMaxFileBytes) + " bytes"});
        return sc;
    }
    return parseScenario(text);
}

}  // namespace tvxsim
