#include "commands/logic/ToneGenRecords.h"
#include "commands/logic/ToneSelection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace tvx {
namespace {

TEST(ToneSelection, EveryToneIdStartsItsTone)
{
    struct Case {
        uint16_t id;
        int tone;
        int32_t code;
        int32_t param;
    };
    const Case cases[] = {
        {32811, 0, 12, 0},   // "Dialtone"
        {32812, 1, 28, 0},   // "Ring Back"
        {32813, 2, 44, 0},   // "Busy"
        {32814, 3, 60, 0},   // "Reorder"
        {32815, 4, 76, 0},   // "Proceeding"
        {32816, 5, 108, 0},  // "Infinite Beep"
        {32817, 6, 108, 1},  // "Beep"
        {32818, 7, 108, 2},  // "Receiver Off-Hook"
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.id);
        const auto t = ToneIndexFromId(c.id);
        ASSERT_TRUE(t.has_value());
        EXPECT_EQ(*t, c.tone);
        const auto call = ToneStartCommand(*t);
        ASSERT_TRUE(call.has_value());
        EXPECT_EQ(call->code(), c.code);
        EXPECT_EQ(call->param, c.param);
    }
    EXPECT_EQ(kToneStopCall.code(), 124);
    EXPECT_EQ(kToneStopCall.param, 0);
    EXPECT_EQ(kTonePopup, PopupPath(6));
}

TEST(ToneSelection, OutOfRangeGivesNone)
{
    for (uint16_t id : {0, 32810, 32819, 32829, 65535})
        EXPECT_FALSE(ToneIndexFromId(id)) << id;
    for (int t : {-1, 8, 255, -128})
        EXPECT_FALSE(ToneStartCommand(t)) << t;
}

TEST(ToneGenRecords, FourRecordsWithTheirBytes)
{
    // Each record as the library reads it: little-endian, 12 bytes, no gaps.
    const std::vector<std::vector<uint8_t>> expected = {
        {0x78, 0x05, 0xFF, 0x7F, 100, 0, 0, 0, 100, 0, 0, 0},  // 1400 Hz
        {0x0C, 0x08, 0xFF, 0x7F, 100, 0, 0, 0, 100, 0, 0, 0},  // 2060 Hz
        {0x92, 0x09, 0xFF, 0x7F, 100, 0, 0, 0, 100, 0, 0, 0},  // 2450 Hz
        {0x28, 0x0A, 0xFF, 0x7F, 100, 0, 0, 0, 100, 0, 0, 0},  // 2600 Hz
    };
    ASSERT_EQ(kToneGenRecords.size(), expected.size());
    ASSERT_EQ(kToneGenRecordCount, 4);
    std::vector<uint8_t> bytes(sizeof(ToneGenRecord) * kToneGenRecords.size());
    std::memcpy(bytes.data(), kToneGenRecords.data(), bytes.size());
    for (std::size_t r = 0; r < expected.size(); ++r) {
        const std::vector<uint8_t> got(bytes.begin() + static_cast<long>(r * 12),
                                       bytes.begin() + static_cast<long>(r * 12 + 12));
        EXPECT_EQ(got, expected[r]) << "record " << r;
    }
}

}  // namespace
}  // namespace tvx
