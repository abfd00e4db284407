// libFuzzer entry for the melody-file parser: any bytes must parse without a
// fault, the result must agree with a plain count of the file's lines, and
// reading the file in pieces must give the same melody as reading it whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "dialogs/logic/MelodyParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view contents(reinterpret_cast<const char *>(data), size);
    const tvx::ParsedMelody melody = tvx::ParseMelodyFile(contents);

    // Lines: one per line feed, plus an unterminated last line.
    std::size_t lines = 0;
    for (char c : contents)
        lines += c == '\n';
    if (!contents.empty() && contents.back() != '\n')
        ++lines;
    const std::size_t dataLines = lines > 0 ? lines - 1 : 0;

    if (dataLines > tvx::kMelodyMaxBytes) {
        if (melody.status != tvx::MelodyStatus::TooLong || melody.count != 0)
            std::abort();
    } else if (melody.status != tvx::MelodyStatus::Ok || static_cast<std::size_t>(melody.count) != dataLines) {
        std::abort();
    }
    for (std::size_t i = static_cast<std::size_t>(melody.count); i < melody.bytes.size(); ++i) {
        if (melody.bytes[i] != 0)
            std::abort();
    }

    // Pieces whose size the first byte picks, 1 to 16.
    const std::size_t piece = size > 0 ? (data[0] & 0x0F) + 1u : 1u;
    tvx::MelodyReader reader;
    for (std::size_t at = 0; at < size; at += piece)
        reader.Feed(contents.substr(at, piece));
    const tvx::ParsedMelody pieces = reader.Finish();
    if (pieces.status != melody.status || pieces.count != melody.count || pieces.bytes != melody.bytes)
        std::abort();
    return 0;
}
