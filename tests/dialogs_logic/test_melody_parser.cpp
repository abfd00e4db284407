// Melody files: file contents to the bytes and count handed to the adapter.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "dialogs/logic/MelodyParser.h"

namespace tvx {
namespace {

using namespace std::string_literals;

// A name line then one line per value, written as "%x" with the given ending.
std::string NumberedFile(int lines, const char *ending)
{
    std::string file = "[Long]"s + ending;
    for (int i = 0; i < lines; ++i) {
        char line[16];
        std::snprintf(line, sizeof line, "%x", i * 7);
        file += line;
        file += ending;
    }
    return file;
}

std::vector<std::uint8_t> NumberedBytes(int lines)
{
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < lines; ++i)
        bytes.push_back(static_cast<std::uint8_t>(i * 7));
    return bytes;
}

struct FileCase {
    const char *what;
    std::string contents;
    MelodyStatus status;
    std::vector<std::uint8_t> bytes;
};

TEST(MelodyParser, FileContentsGiveBytes)
{
    const std::string hugeNumber = "1" + std::string(5000, 'f') + "A7";
    const std::vector<FileCase> cases = {
        {"three lines, LF", "[Melody]\n1F\n0x20\nff\n", MelodyStatus::Ok, {0x1F, 0x20, 0xFF}},
        {"three lines, no final LF", "[Melody]\n1F\n0x20\nff", MelodyStatus::Ok, {0x1F, 0x20, 0xFF}},
        {"three lines, CRLF", "[Melody]\r\n1F\r\n0x20\r\nff\r\n", MelodyStatus::Ok, {0x1F, 0x20, 0xFF}},
        {"three lines, CRLF, no final LF", "[Melody]\r\n1F\r\n0x20\r\nff", MelodyStatus::Ok, {0x1F, 0x20, 0xFF}},
        {"empty file", "", MelodyStatus::Ok, {}},
        {"name line only", "[Melody]", MelodyStatus::Ok, {}},
        {"name line only, LF", "[Melody]\n", MelodyStatus::Ok, {}},
        {"name line only, CRLF", "[Melody]\r\n", MelodyStatus::Ok, {}},
        {"name line that looks like data is skipped", "12\n34\n", MelodyStatus::Ok, {0x34}},
        {"spaces, digit, spaces, word", "n\n   7   word\n", MelodyStatus::Ok, {0x07}},
        {"three digits keep the last two", "n\n123\n", MelodyStatus::Ok, {0x23}},
        {"minus one", "n\n-1\n", MelodyStatus::Ok, {0xFF}},
        {"blank and comment lines take a position each",
         "n\n1\n\n; comment\n   \n# note\n2\n",
         MelodyStatus::Ok,
         {0x01, 0, 0, 0, 0, 0x02}},
        {"a comment made of hex letters is a number", "n\nface it\n", MelodyStatus::Ok, {0xCE}},
        {"lone CR line", "n\n\r\n5\n", MelodyStatus::Ok, {0x00, 0x05}},
        {"CR ending the file makes a last line", "n\n5\n\r", MelodyStatus::Ok, {0x05, 0x00}},
        {"CR inside a line stops the number", "n\n1\r2\n", MelodyStatus::Ok, {0x01}},
        {"NUL bytes in name and data",
         "\0na\0me\n\0\n\x01\x02\n\xff\xfe\n12\0ab\n"s,
         MelodyStatus::Ok,
         {0x00, 0x00, 0x00, 0x12}},
        {"huge hex number", "n\n" + hugeNumber + "\n-" + hugeNumber + "\n", MelodyStatus::Ok, {0xA7, 0x59}},
        {"prefixes, signs and cases",
         "n\n0X1a\n+0x7f\n-0x80\n-7F\n0x\n0xg\n-0x\nx5\n0x0x5\n- 5\n--5\n+\n",
         MelodyStatus::Ok,
         {0x1A, 0x7F, 0x80, 0x81, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
        {"C-locale white space only",
         "n\n\t\v\f 42\n\xa0"
         "5\n"s,
         MelodyStatus::Ok,
         {0x42, 0x00}},
        {"first number of a line", "n\n5 6\n1f;comment\n", MelodyStatus::Ok, {0x05, 0x1F}},
        {"256 data lines", NumberedFile(256, "\n"), MelodyStatus::Ok, NumberedBytes(256)},
        {"256 data lines, CRLF, no final line end",
         NumberedFile(256, "\r\n").substr(0, NumberedFile(256, "\r\n").size() - 2),
         MelodyStatus::Ok,
         NumberedBytes(256)},
        {"257 data lines", NumberedFile(257, "\n"), MelodyStatus::TooLong, {}},
        {"256 data lines and one empty line", NumberedFile(256, "\n") + "\n", MelodyStatus::TooLong, {}},
        {"far too long", NumberedFile(5000, "\r\n"), MelodyStatus::TooLong, {}},
        {"lines of any length",
         "[" + std::string(100000, 'n') + "]\n" + std::string(100000, ' ') + "1f ;" + std::string(100000, 'c') +
             "\n2\n",
         MelodyStatus::Ok,
         {0x1F, 0x02}},
    };
    // The file read whole, and in pieces of every size up to 7 bytes and of
    // 4096: a line, a prefix or a line end split between two reads reads the same.
    for (const std::size_t piece : {std::size_t{0},
                                    std::size_t{1},
                                    std::size_t{2},
                                    std::size_t{3},
                                    std::size_t{5},
                                    std::size_t{7},
                                    std::size_t{4096}}) {
        for (const FileCase &c : cases) {
            SCOPED_TRACE(testing::Message() << c.what << ", pieces of " << piece);
            MelodyReader reader;
            const std::string_view contents = c.contents;
            for (std::size_t at = 0; at < contents.size(); at += piece ? piece : contents.size())
                reader.Feed(contents.substr(at, piece ? piece : contents.size()));
            const ParsedMelody melody = reader.Finish();
            EXPECT_EQ(melody.status, c.status);
            ASSERT_EQ(melody.count, static_cast<std::int32_t>(c.bytes.size()));
            const std::vector<std::uint8_t> sent(melody.bytes.begin(), melody.bytes.begin() + melody.count);
            EXPECT_EQ(sent, c.bytes);
            for (std::size_t i = static_cast<std::size_t>(melody.count); i < melody.bytes.size(); ++i) {
                ASSERT_EQ(melody.bytes[i], 0) << "unused byte " << i;
            }
        }
    }
}

}  // namespace
}  // namespace tvx
