// Serial-number rule and the maintenance operations' event-log lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/logic/SerialNumber.h"

namespace tvx {
namespace {

TEST(SerialNumber, OnlyExactly22CharactersAreValid)
{
    struct Row {
        std::string text;
        bool valid;
    };
    const std::vector<Row> rows = {
        {"", false},
        {std::string(21, 'A'), false},
        {std::string(22, 'A'), true},
        {std::string(23, 'A'), false},
        {std::string(22, ' '), true},
        {"TVX-0001-2345-6789-ABC", true},
        {std::string("\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 22), true},
        {" TVX-0001-2345-6789-AB ", false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << "length " << row.text.size());
        EXPECT_EQ(IsValidSerialNumber(row.text), row.valid);
    }
}

TEST(SerialNumber, E2RomResultLines)
{
    struct Row {
        std::int32_t operation;
        std::int32_t result;
        std::string_view line;
    };
    const std::vector<Row> rows = {
        {E2ROM_ERASE, 0, "Device erased."},
        {E2ROM_ERASE, 5, "Error erasing device."},
        {E2ROM_ERASE_TVX, 0, "Device erased."},
        {E2ROM_ERASE_TVX, -1, "Error erasing device."},
        {E2ROM_PROGRAM_SN, 0, "Serial number programed."},
        {E2ROM_PROGRAM_SN, 1, "Error prog. serial number."},
        {E2ROM_REBOOT, 0, "Device ReBooted."},
        {E2ROM_REBOOT, 0x7FFFFFFF, "Error ReBooting device."},
        {4, 0, ""},
        {-1, 1, ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.operation << " -> " << row.result);
        EXPECT_EQ(E2RomResultLine(row.operation, row.result), row.line);
    }
    EXPECT_EQ(E2RomResultLine(kReconnectLines, 0), "Device reconnecting ...");
    EXPECT_EQ(E2RomResultLine(kReconnectLines, 3), "Error reconnecting device.");
    EXPECT_EQ(kReconnectLines.operation, E2ROM_REBOOT);
}

}  // namespace
}  // namespace tvx
