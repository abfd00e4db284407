// Melody files for the ringer: a name line, then one hexadecimal byte per
// line. Parsing is pure logic, no Qt; callable from any thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "device/tvxusb.h"

namespace tvx {

// Event-log lines and file-dialog texts of the "Load Melody ..." command.
inline constexpr std::string_view kMelodyLoadedLine = "Melody succesfully loaded.";
inline constexpr std::string_view kMelodyTooLongLine = "Melody file too long.";
inline constexpr std::string_view kMelodyCannotReadLine = "Cannot read melody file.";
inline constexpr std::string_view kMelodyDialogTitle = "UpLoad Melody";
inline constexpr std::string_view kMelodyFileFilter = "Melody files (*.rng *.ini *.txt)";

inline constexpr std::size_t kMelodyMaxBytes = TVX_MELODY_MAX;  // 256

enum class MelodyStatus {
    Ok,       // bytes[0..count) hold the melody; count may be 0
    TooLong,  // more than kMelodyMaxBytes data lines: send nothing, count is 0
};

struct ParsedMelody {
    MelodyStatus status = MelodyStatus::Ok;
    std::array<std::uint8_t, kMelodyMaxBytes> bytes{};  // unused bytes are 0
    std::int32_t count = 0;                             // ScUploadMelody's count
};

// Parses a melody file's whole contents (any bytes, NULs included).
// A line ends at a line feed, a carriage return just before it is dropped,
// and the last line may lack its line feed. The first line (the name) is
// skipped; every further line gives one byte, in file order, by
// MelodyLineByte. An empty file or a name line alone gives Ok with count 0.
ParsedMelody ParseMelodyFile(std::string_view contents) noexcept;

// The byte of one data line, read as scanf's "%x" reads it: white space
// (C locale) skipped, an optional + or -, an optional 0x/0X, hex digits up
// to the first other character; the rest of the line is ignored. The byte is
// the low 8 bits of the number (its last two digits), negated in two's
// complement after a minus ("-1" gives 0xFF). A line with no number gives 0,
// and "0x" not followed by a hex digit reads as the number 0.
std::uint8_t MelodyLineByte(std::string_view line) noexcept;

}  // namespace tvx
