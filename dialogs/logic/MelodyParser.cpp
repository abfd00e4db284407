#include "dialogs/logic/MelodyParser.h"

namespace tvx {
namespace {

// isspace() in the C locale.
constexpr bool IsCSpace(unsigned char c) noexcept { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Value of a hex digit, or -1.
constexpr int HexDigit(unsigned char c) noexcept
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

std::uint8_t MelodyLineByte(std::string_view line) noexcept
{
    const auto at = [line](std::size_t i) { return static_cast<unsigned char>(line[i]); };
    const std::size_t size = line.size();
    std::size_t i = 0;
    while (i < size && IsCSpace(at(i)))
        ++i;

    bool negative = false;
    if (i < size && (at(i) == '+' || at(i) == '-')) {
        negative = at(i) == '-';
        ++i;
    }
    // Skipping the prefix is safe even when no digit follows: the value is
    // then 0, the same as reading its 0 as the number.
    if (i + 1 < size && at(i) == '0' && (at(i + 1) == 'x' || at(i + 1) == 'X'))
        i += 2;

    // Only the low 8 bits matter, so earlier digits shift out: no overflow.
    std::uint8_t value = 0;
    for (; i < size; ++i) {
        const int digit = HexDigit(at(i));
        if (digit < 0)
            break;
        value = static_cast<std::uint8_t>((value << 4) | digit);
    }
    return negative ? static_cast<std::uint8_t>(0u - value) : value;
}

ParsedMelody ParseMelodyFile(std::string_view contents) noexcept
{
    ParsedMelody melody;
    bool nameSkipped = false;
    std::size_t pos = 0;
    while (pos < contents.size()) {
        const std::size_t lineFeed = contents.find('\n', pos);
        const std::size_t end = lineFeed == std::string_view::npos ? contents.size() : lineFeed;
        std::string_view line = contents.substr(pos, end - pos);
        if (lineFeed != std::string_view::npos && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        pos = lineFeed == std::string_view::npos ? contents.size() : lineFeed + 1;

        if (!nameSkipped) {
            nameSkipped = true;
            continue;
        }
        if (static_cast<std::size_t>(melody.count) == melody.bytes.size()) {
            ParsedMelody tooLong;
            tooLong.status = MelodyStatus::TooLong;
            return tooLong;
        }
        melody.bytes[static_cast<std::size_t>(melody.count)] = MelodyLineByte(line);
        ++melody.count;
    }
    return melody;
}

}  // namespace tvx
