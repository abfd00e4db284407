// The words of the scenario language: a line split into tokens, and the
// token-level readers of numbers, digits and hexadecimal payload that the
// action parser and the file parser share, with the one form of their errors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace tvxsim {

// One field of a line: a bare word or the text between two quotes (no escapes).
struct Token {
    std::string_view text;  // without the quotes; points into the line
    bool quoted = false;    // written between quotes
};

// Why a line was refused: a fixed reason, the token it is about, and a fixed
// tail. The message is only put together for the lines that are reported.
struct Failure {
    const char *reason = nullptr;  // null: no failure
    std::string_view token;        // the offending field, shown when quoteToken is set
    bool quoteToken = false;       // whether the message names the field
    const char *tail = "";         // after the field, e.g. the allowed range

    explicit operator bool() const { return reason != nullptr; }
    // "<reason> '<first 40 bytes of the token>'<tail>".
    std::string Message() const;
};

constexpr Failure Ok() { return {}; }
inline Failure Fail(const char *reason, const char *tail = "") { return {reason, {}, false, tail}; }
inline Failure Fail(const char *reason, const Token &t, const char *tail = "") { return {reason, t.text, true, tail}; }

inline constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
inline constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

// Splits a line into tokens, appended to out; '#' outside quotes ends it.
// More than maxFields tokens, or an unterminated quote, fail.
Failure Tokenize(std::string_view line, std::vector<Token> &out, size_t maxFields);

// Decimal with an optional minus sign, or hexadecimal with 0x, within lo..hi.
bool ParseInteger(const Token &t, int64_t lo, int64_t hi, int64_t &value);
bool ParseInt32(const Token &t, int64_t lo, int64_t hi, int32_t &value);

// Appends the bytes of an even-length run of hexadecimal digits ("801E").
bool AppendHexRun(std::string_view s, std::vector<uint8_t> &out);

// DTMF keys 0-9, *, #, A-D (either case), quoted, 1 to maxLength of them,
// stored upper case.
bool ParseDigits(const Token &t, size_t maxLength, std::string &digits);

inline bool IsDash(const Token &t) { return !t.quoted && t.text == "-"; }
inline bool IsWord(const Token &t, std::string_view word) { return !t.quoted && t.text == word; }

}  // namespace tvxsim
