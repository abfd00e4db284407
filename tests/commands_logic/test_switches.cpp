#include "commands/logic/CodecBoost.h"
#include "commands/logic/Switches.h"
#include "res/MainMenu136.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tvx {
namespace {

// One column of the switch table: a code and parameter, or a special
// action (code -1).
struct Column {
    SwitchActionKind kind;
    int32_t code;
    int32_t param;
};

struct ExpectedSwitch {
    uint16_t id;
    PopupPath popup;
    Column on;
    Column off;
};

constexpr SwitchActionKind kDo = SwitchActionKind::DoCommand;

const ExpectedSwitch kExpected[] = {
    {32786, {2}, {kDo, 30, 0}, {kDo, 14, 0}},
    {32787, {2}, {kDo, 91, 0}, {kDo, 75, 0}},
    {32788, {2}, {kDo, 59, 0}, {kDo, 43, 0}},
    {32837, {2}, {kDo, 2, 0}, {kDo, 18, 0}},
    {32789, {2}, {kDo, 21, 0}, {kDo, 5, 0}},
    {32835, {2}, {kDo, 27, 0}, {kDo, 11, 0}},
    {32844, {2}, {kDo, 138, 1}, {kDo, 138, 0}},
    {32838, {2}, {kDo, 54, 0}, {kDo, 38, 0}},
    {32840, {2}, {SwitchActionKind::CodecBoost, -1, 0}, {SwitchActionKind::CodecBoost, -1, 0}},
    {32810, {4}, {kDo, 20, 0}, {kDo, 4, 0}},
    {32829, {6}, {SwitchActionKind::GenerateTone, -1, 0}, {kDo, 124, 0}},
    {32828, {7}, {kDo, 126, 1}, {kDo, 126, 0}},
    {32832, {7}, {kDo, 46, 0}, {kDo, 62, 0}},
    {32825, {7}, {SwitchActionKind::GenerateTonesApi, -1, 0}, {SwitchActionKind::GenerateTonesApi, -1, 0}},
};

void ExpectColumn(const SwitchAction &a, const Column &c, bool on)
{
    EXPECT_EQ(a.kind, c.kind);
    EXPECT_EQ(a.on, on);
    if (c.kind == SwitchActionKind::DoCommand) {
        ASSERT_TRUE(a.call.has_value());
        EXPECT_EQ(a.call->code(), c.code);
        EXPECT_EQ(a.call->param, c.param);
    } else {
        EXPECT_FALSE(a.call.has_value());
    }
}

TEST(Switches, EverySwitchOnAndOff)
{
    ASSERT_EQ(kSwitches.size(), std::size(kExpected));
    for (const ExpectedSwitch &e : kExpected) {
        SCOPED_TRACE(e.id);
        const Switch *s = FindSwitch(e.id);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->popup, e.popup);
        // Mark clear before the click: the switch goes on.
        ExpectColumn(SwitchActionFor(*s, false), e.on, true);
        // Mark set before the click: the switch goes off.
        ExpectColumn(SwitchActionFor(*s, true), e.off, false);
    }
}

TEST(Switches, OtherMenuIdsAreNotSwitches)
{
    int found = 0;
    for (uint16_t id : kAllMenuIds) {
        const bool expected = std::any_of(
            std::begin(kExpected), std::end(kExpected), [id](const ExpectedSwitch &e) { return e.id == id; });
        EXPECT_EQ(FindSwitch(id) != nullptr, expected) << id;
        found += FindSwitch(id) != nullptr ? 1 : 0;
    }
    EXPECT_EQ(found, 14);
    // "Driver Enabled" follows its own flag, not the switch rule.
    EXPECT_EQ(FindSwitch(kIdDriverEnabled), nullptr);
    EXPECT_EQ(FindSwitch(0), nullptr);
}

// Records what RunCodecBoost asks of the library, in order.
class RecordingBoostSink : public CodecBoostSink {
public:
    explicit RecordingBoostSink(int32_t type) : type_(type) {}
    void Write(const RegisterWrite &w) override
    {
        log.push_back("write " + std::to_string(w.block) + "," + std::to_string(w.reg) + "=" + std::to_string(w.value));
    }
    int32_t DeviceType() override
    {
        log.push_back("type");
        return type_;
    }
    std::vector<std::string> log;

private:
    int32_t type_;
};

TEST(CodecBoost, WritesByDeviceType)
{
    struct Case {
        int32_t type;
        uint8_t reg130;
    };
    const Case cases[] = {{10, 7}, {11, 7}, {3, 1}, {0, 1}, {9, 1}, {12, 1}, {-1, 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.type);
        const auto on = CodecBoostOnWrites(c.type);
        EXPECT_EQ(on[0], (RegisterWrite{66, 129, 1}));
        EXPECT_EQ(on[1], (RegisterWrite{66, 130, c.reg130}));

        RecordingBoostSink sink(c.type);
        RunCodecBoost(true, sink);
        const std::vector<std::string> expected = {
            "write 66,129=1", "type", "write 66,130=" + std::to_string(c.reg130)};
        EXPECT_EQ(sink.log, expected);
    }
}

TEST(CodecBoost, OffWritesZeroToBothWithoutAskingTheType)
{
    const auto off = CodecBoostOffWrites();
    EXPECT_EQ(off[0], (RegisterWrite{66, 129, 0}));
    EXPECT_EQ(off[1], (RegisterWrite{66, 130, 0}));

    RecordingBoostSink sink(11);
    RunCodecBoost(false, sink);
    const std::vector<std::string> expected = {"write 66,129=0", "write 66,130=0"};
    EXPECT_EQ(sink.log, expected);
}

}  // namespace
}  // namespace tvx
