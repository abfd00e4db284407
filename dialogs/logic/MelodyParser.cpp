#include "dialogs/logic/MelodyParser.h"

#include "device/logic/HexDigit.h"

namespace tvx {
namespace {

// isspace() in the C locale.
constexpr bool IsCSpace(unsigned char c) noexcept { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

void MelodyReader::Feed(std::string_view bytes) noexcept
{
    for (const char c : bytes) {
        if (tooLong_)
            return;
        Take(static_cast<unsigned char>(c));
    }
}

void MelodyReader::Take(unsigned char c) noexcept
{
    if (c == '\n') {
        EndLine();
        return;
    }
    lineOpen_ = true;
    const int digit = HexDigit(c);
    // A carriage return before the line feed ends the number like any other
    // character that cannot continue it, and is white space before it.
    switch (phase_) {
    case Phase::Name:
    case Phase::Rest:
        return;
    case Phase::Blank:
        if (IsCSpace(c))
            return;
        if (c == '+' || c == '-') {
            negative_ = c == '-';
            phase_ = Phase::Signed;
            return;
        }
        [[fallthrough]];
    case Phase::Signed:
        if (c == '0') {
            phase_ = Phase::Zero;
            return;
        }
        break;
    case Phase::Zero:
        if (c == 'x' || c == 'X') {
            phase_ = Phase::Digits;
            return;
        }
        break;
    case Phase::Digits:
        break;
    }
    if (digit < 0) {
        phase_ = Phase::Rest;
        return;
    }
    // Only the low 8 bits matter, so earlier digits shift out: no overflow.
    value_ = static_cast<std::uint8_t>((value_ << 4) | digit);
    phase_ = Phase::Digits;
}

void MelodyReader::EndLine() noexcept
{
    const bool dataLine = phase_ != Phase::Name;
    const std::uint8_t byte = negative_ ? static_cast<std::uint8_t>(0u - value_) : value_;
    phase_ = Phase::Blank;
    lineOpen_ = false;
    negative_ = false;
    value_ = 0;
    if (!dataLine)
        return;
    if (static_cast<std::size_t>(melody_.count) == melody_.bytes.size()) {
        tooLong_ = true;
        return;
    }
    melody_.bytes[static_cast<std::size_t>(melody_.count)] = byte;
    ++melody_.count;
}

ParsedMelody MelodyReader::Finish() noexcept
{
    if (lineOpen_ && !tooLong_)
        EndLine();
    if (tooLong_) {
        ParsedMelody refused;
        refused.status = MelodyStatus::TooLong;
        return refused;
    }
    return melody_;
}

ParsedMelody ParseMelodyFile(std::string_view contents) noexcept
{
    MelodyReader reader;
    reader.Feed(contents);
    return reader.Finish();
}

}  // namespace tvx
