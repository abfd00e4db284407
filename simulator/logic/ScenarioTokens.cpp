#include "simulator/logic/ScenarioTokens.h"

#include <charconv>

#include "device/logic/HexDigit.h"

namespace tvxsim {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

std::string Failure::Message() const
{
    std::string m = reason;
    if (quoteToken) {
        m += " '";
        m.append(token.substr(0, 40));
        m += "'";
    }
    return m + tail;
}

Failure Tokenize(std::string_view line, std::vector<Token> &out, size_t maxFields)
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
        if (out.size() >= maxFields)
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

bool AppendHexRun(std::string_view s, std::vector<uint8_t> &out)
{
    if (s.empty() || s.size() % 2 != 0)
        return false;
    for (size_t i = 0; i < s.size(); i += 2) {
        const int hi = tvx::HexDigit(static_cast<unsigned char>(s[i]));
        const int lo = tvx::HexDigit(static_cast<unsigned char>(s[i + 1]));
        if (hi < 0 || lo < 0)
            return false;
        out.push_back(static_cast<uint8_t>(hi * 16 + lo));
    }
    return true;
}

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

}  // namespace tvxsim
