// The control socket's lines as the bench window reads them, and what the
// window's state makes of their values.
#include <gtest/gtest.h>

#include "simulator/benchwindow/logic/BenchState.h"
#include "simulator/benchwindow/logic/ControlLine.h"

namespace tvxsim::bench {
namespace {

struct LineCase {
    const char *line;
    LineKind kind;
    const char *name;
    const char *text;
    int64_t ms;
    int32_t code;
    uint64_t count;
};

class WatchLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(WatchLine, TakenApart)
{
    const LineCase &c = GetParam();
    const ControlLine line = ParseWatchLine(c.line);
    EXPECT_EQ(line.kind, c.kind);
    EXPECT_EQ(line.name, c.name);
    EXPECT_EQ(line.text, c.text);
    EXPECT_EQ(line.ms, c.ms);
    EXPECT_EQ(line.code, c.code);
    EXPECT_EQ(line.count, c.count);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, WatchLine,
    ::testing::Values(
        LineCase{"ok", LineKind::Ok, "", "", 0, 0, 0}, LineCase{"ok\r", LineKind::Ok, "", "", 0, 0, 0},
        LineCase{"", LineKind::Blank, "", "", 0, 0, 0},
        LineCase{"error unknown action target 'x'", LineKind::Error, "", "unknown action target 'x'", 0, 0, 0},
        LineCase{"error", LineKind::Error, "", "", 0, 0, 0},
        LineCase{"state phone offhook", LineKind::State, "phone", "offhook", 0, 0, 0},
        // A value is the rest of the line, spaces and all, possibly empty.
        LineCase{"state display Ivor Kell 7964710 29/04 22:30",
                 LineKind::State,
                 "display",
                 "Ivor Kell 7964710 29/04 22:30",
                 0,
                 0,
                 0},
        LineCase{"state display ", LineKind::State, "display", "", 0, 0, 0},
        LineCase{"state display", LineKind::State, "display", "", 0, 0, 0},
        LineCase{"state display  two spaces\r", LineKind::State, "display", " two spaces", 0, 0, 0},
        LineCase{"state", LineKind::Unknown, "", "state", 0, 0, 0},
        LineCase{"1520 64 Off hook (phone)", LineKind::Event, "", "1520 64 Off hook (phone)", 1520, 64, 0},
        LineCase{"0 112", LineKind::Event, "", "0 112", 0, 112, 0},
        LineCase{"12 x text", LineKind::Unknown, "", "12 x text", 0, 0, 0},
        LineCase{"12", LineKind::Unknown, "", "12", 0, 0, 0},
        LineCase{"99999999999999999999 1 overflow", LineKind::Unknown, "", "99999999999999999999 1 overflow", 0, 0, 0},
        LineCase{"dropped 17", LineKind::Dropped, "", "", 0, 0, 17},
        LineCase{"dropped", LineKind::Unknown, "", "dropped", 0, 0, 0},
        LineCase{"dropped -1", LineKind::Unknown, "", "dropped -1", 0, 0, 0},
        LineCase{"phone offhook", LineKind::Unknown, "", "phone offhook", 0, 0, 0}));

struct ValueCase {
    const char *name;
    const char *value;
    std::optional<long long> number;
    std::optional<unsigned> leds;
    std::optional<double> level;
    bool flag;
};

class StateValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(StateValue, ReadsAsItsKind)
{
    const ValueCase &c = GetParam();
    BenchState state;
    const std::optional<StateItem> item = state.Apply(c.name, c.value);
    ASSERT_TRUE(item);
    EXPECT_EQ(state.Raw(*item), c.value);
    EXPECT_EQ(state.Number(*item), c.number);
    EXPECT_EQ(state.Leds(), c.leds);
    EXPECT_EQ(state.Level(*item), c.level);
    EXPECT_EQ(state.Flag(*item), c.flag);
}

INSTANTIATE_TEST_SUITE_P(
    Values, StateValue,
    ::testing::Values(ValueCase{"time", "123456", 123456, {}, 123456.0, false},
                      ValueCase{"time", "12x", {}, {}, {}, false}, ValueCase{"phone", "offhook", {}, {}, {}, true},
                      ValueCase{"phone", "onhook", {}, {}, {}, false}, ValueCase{"wiretap", "on", {}, {}, {}, true},
                      ValueCase{"wiretap", "off", {}, {}, {}, false}, ValueCase{"wiretap", "ON", {}, {}, {}, false},
                      ValueCase{"leds", "0x81", {}, 0x81u, {}, false}, ValueCase{"leds", "0xff", {}, 0xFFu, {}, false},
                      ValueCase{"leds", "0x1", {}, {}, {}, false}, ValueCase{"leds", "0x1g", {}, {}, {}, false},
                      ValueCase{"leds", "81", 81, {}, 81.0, false}, ValueCase{"mode", "58", 58, {}, 58.0, false},
                      ValueCase{"level-mic", "-20.3", {}, {}, -20.3, false},
                      ValueCase{"level-mic", "-99.9", {}, {}, -99.9, false},
                      ValueCase{"level-mic", "", {}, {}, {}, false}, ValueCase{"level-mic", "nan", {}, {}, {}, false},
                      ValueCase{"level-mic", "-20.3dB", {}, {}, {}, false}));

TEST(BenchState, ReportsOnlyChangesOfKnownNames)
{
    BenchState state;
    EXPECT_FALSE(state.Known(StateItem::Display));
    EXPECT_EQ(state.Apply("display", ""), StateItem::Display);  // the first empty value is news
    EXPECT_TRUE(state.Known(StateItem::Display));
    EXPECT_EQ(state.Apply("display", ""), std::nullopt);
    EXPECT_EQ(state.Apply("display", "Ivor Kell"), StateItem::Display);
    EXPECT_EQ(state.Apply("no-such-state", "on"), std::nullopt);
    EXPECT_EQ(state.Apply("be-far", "on"), StateItem::BeFar);
    state.Clear();
    EXPECT_FALSE(state.Known(StateItem::Display));
    EXPECT_EQ(state.Raw(StateItem::Display), "");
    EXPECT_FALSE(state.Flag(StateItem::BeFar));
}

TEST(BenchTables, EveryStateNameFindsItsOwnRow)
{
    for (size_t i = 0; i < kStateLineRows.size(); ++i) {
        const StateLineRow *row = FindStateLine(kStateLineRows[i].name);
        ASSERT_NE(row, nullptr) << kStateLineRows[i].name;
        EXPECT_EQ(size_t(row->item), i) << kStateLineRows[i].name;
    }
    for (const LampRow &a : kLampRows) {
        for (const LampRow &b : kLampRows)
            EXPECT_TRUE(&a == &b || (a.bit & b.bit) == 0) << a.name << " and " << b.name << " share a bit";
    }
}

TEST(BenchTables, NamesForCodesAndWords)
{
    EXPECT_EQ(ModeName(58), "Phone -Line (Default)");
    EXPECT_EQ(ModeName(90), "Line - Audio Stream");
    EXPECT_EQ(ModeName(59), "");
    EXPECT_EQ(AuxName(110), "Wave Out Mixed with CODEC");
    EXPECT_EQ(WordText(StateItem::Call, "ringback"), "ring-back (the dialled number rings)");
    EXPECT_EQ(WordText(StateItem::Audio, "ringback"), "");
}

struct ScenarioCase {
    const char *value;
    const char *text;
    bool wrong;
};

class ScenarioLine : public ::testing::TestWithParam<ScenarioCase> {};

TEST_P(ScenarioLine, ReadsAsWhatBecameOfTheFile)
{
    const ScenarioText read = ScenarioTextOf(GetParam().value);
    EXPECT_EQ(read.text, GetParam().text);
    EXPECT_EQ(read.wrong, GetParam().wrong);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ScenarioLine,
    ::testing::Values(
        ScenarioCase{"none", "Scenario: none (TVXUSB_SCENARIO is not set)", false},
        ScenarioCase{"ok", "Scenario: loaded, every line taken", false},
        ScenarioCase{"refused: /tmp/a.scn: cannot read the file: No such file or directory",
                     "Scenario refused: /tmp/a.scn: cannot read the file: No such file or directory",
                     true},
        ScenarioCase{"1 line skipped; the first: /tmp/a.scn:3: unknown action target 'x'",
                     "Scenario: 1 line skipped; the first: /tmp/a.scn:3: unknown action target 'x'",
                     true},
        ScenarioCase{"12 lines skipped; the first: b.scn:1: bad time",
                     "Scenario: 12 lines skipped; the first: b.scn:1: bad time",
                     true},
        // Anything else is shown as it came, not taken for a word it resembles.
        ScenarioCase{"lines skipped; the first: b.scn:1: x", "Scenario: lines skipped; the first: b.scn:1: x", false},
        ScenarioCase{"12 lines", "Scenario: 12 lines", false}, ScenarioCase{"none ", "Scenario: none ", false},
        ScenarioCase{"refused:", "Scenario: refused:", false}, ScenarioCase{"OK", "Scenario: OK", false},
        ScenarioCase{"", "Scenario: unknown", false}));

TEST(BenchFormat, TimeAndLevel)
{
    EXPECT_EQ(FormatModelTime(0), "0:00.0");
    EXPECT_EQ(FormatModelTime(61'250), "1:01.2");
    EXPECT_EQ(FormatModelTime(4'500'000), "75:00.0");
    EXPECT_EQ(FormatModelTime(-5), "0:00.0");
    EXPECT_EQ(LevelText(-20.34), "-20.3 dBm0");
    EXPECT_EQ(LevelText(3.1), "3.1 dBm0");
    EXPECT_EQ(LevelText(-99.9), "silence");
}

}  // namespace
}  // namespace tvxsim::bench
