// Melody files for the ringer: a name line, then one hexadecimal byte per
// line. Parsing is pure logic, no Qt; callable from any thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "device/logic/LibraryRecords.h"

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

// Reads a melody file as it comes, in pieces of any size, in constant memory:
// lines may be of any length. A line ends at a line feed, a carriage return
// just before it is dropped, and the last line may lack its line feed. The
// first line (the name) is skipped; every further line gives one byte, in
// file order. An empty file or a name line alone gives Ok with count 0; more
// than kMelodyMaxBytes data lines give TooLong, whatever the size of the file.
//
// A data line is read as scanf's "%x" reads it: white space (C locale)
// skipped, an optional + or -, an optional 0x/0X, hex digits up to the first
// other character; the rest of the line is ignored. The byte is the low 8
// bits of the number (its last two digits), negated in two's complement after
// a minus ("-1" gives 0xFF). A line with no number gives 0, and "0x" not
// followed by a hex digit reads as the number 0.
class MelodyReader {
public:
    // The next bytes of the file (any bytes, NULs included).
    void Feed(std::string_view bytes) noexcept;
    // True once the file has proved too long: the rest need not be read.
    bool TooLong() const noexcept { return tooLong_; }
    // The melody, once the whole file has been fed.
    ParsedMelody Finish() noexcept;

private:
    // Where the reader stands in the current line.
    enum class Phase : std::uint8_t {
        Name,    // the first line
        Blank,   // white space before the number
        Signed,  // after + or -
        Zero,    // after a leading 0, which may begin 0x
        Digits,  // in the hex digits
        Rest     // past the number
    };
    void Take(unsigned char c) noexcept;
    void EndLine() noexcept;

    ParsedMelody melody_;
    Phase phase_ = Phase::Name;
    bool lineOpen_ = false;  // the current line has at least one byte
    bool negative_ = false;
    std::uint8_t value_ = 0;
    bool tooLong_ = false;
};

// A melody file's whole contents, read as MelodyReader reads them.
ParsedMelody ParseMelodyFile(std::string_view contents) noexcept;

}  // namespace tvx
