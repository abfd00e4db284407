// LED mask of the LEDs test dialog: the mask sent after each click.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "dialogs/logic/LedMask.h"

namespace tvx {
namespace {

// The eight boxes as the user leaves them; a click toggles one box and the
// dialog sends the mask rebuilt from all of them.
struct LedDialog {
    std::map<int, bool> checked;

    std::uint8_t Click(int id)
    {
        checked[id] = !checked[id];
        std::array<bool, 7> lamps{};
        for (int i = 0; i < 7; ++i)
            lamps[static_cast<std::size_t>(i)] = checked[1100 + i];
        return LedMask(checked[1077], lamps);
    }
};

struct Sequence {
    const char *what;
    std::vector<int> clicks;
    std::vector<std::uint8_t> masks;  // sent after each click
};

TEST(LedMask, ClickSequencesSendMasks)
{
    const std::vector<Sequence> sequences = {
        {"enable, power, last lamp", {1077, 1100, 1106}, {0x80, 0x81, 0xC1}},
        {"lamp without enable keeps bit 7 clear", {1102}, {0x04}},
        {"unchecking the last checked box", {1103, 1103}, {0x08, 0x00}},
        {"each lamp in turn", {1100, 1101, 1102, 1103, 1104, 1105, 1106}, {0x01, 0x03, 0x07, 0x0F, 0x1F, 0x3F, 0x7F}},
        {"all on, then enable off",
         {1077, 1100, 1101, 1102, 1103, 1104, 1105, 1106, 1077},
         {0x80, 0x81, 0x83, 0x87, 0x8F, 0x9F, 0xBF, 0xFF, 0x7F}},
        {"lamps released in reverse", {1105, 1101, 1105, 1101}, {0x20, 0x22, 0x02, 0x00}},
        {"enable on and off", {1077, 1077}, {0x80, 0x00}},
    };
    for (const Sequence &s : sequences) {
        SCOPED_TRACE(s.what);
        ASSERT_EQ(s.clicks.size(), s.masks.size());
        LedDialog dialog;
        for (std::size_t i = 0; i < s.clicks.size(); ++i) {
            EXPECT_EQ(dialog.Click(s.clicks[i]), s.masks[i]) << "after click " << i;
        }
    }
}

TEST(LedMask, BoxTableMatchesMask)
{
    // Ids 1077 and 1100..1106, each once, each giving its own bit alone.
    std::map<int, int> seen;
    std::uint8_t allBits = 0;
    for (const LedBox &box : kLedBoxes) {
        SCOPED_TRACE(box.id);
        ++seen[box.id];
        LedDialog dialog;
        EXPECT_EQ(dialog.Click(box.id), box.bit);
        allBits = static_cast<std::uint8_t>(allBits | box.bit);
    }
    EXPECT_EQ(allBits, 0xFF);
    ASSERT_EQ(seen.size(), 8u);
    EXPECT_EQ(seen.begin()->first, kLedIdEnableTest);
    EXPECT_EQ(std::next(seen.begin())->first, kLedIdFirstLamp);
    EXPECT_EQ(seen.rbegin()->first, 1106);
}

}  // namespace
}  // namespace tvx
