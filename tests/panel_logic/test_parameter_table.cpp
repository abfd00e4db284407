#include "panel/logic/ParameterTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

namespace tvx {
namespace {

constexpr ParameterSend kCmd = ParameterSend::DoCommand;
constexpr ParameterSend kThr = ParameterSend::SetThreshold;

struct ExpectedRow {
    const char *text;
    uint32_t min;
    uint32_t max;
    std::optional<uint32_t> def;
    ParameterSend send;
    int32_t target;  // command code or threshold selector
    std::optional<int32_t> read;
    bool dbm;
};

// The seventeen rows in list order; "Post Hook Flash Guard Time" gets 1 to 255.
const ExpectedRow kRows[] = {
    {"Ringer Off Period", 1, 255, 30, kCmd, 0x87, std::nullopt, false},
    {"Ringer On Period", 1, 255, 20, kCmd, 0x97, std::nullopt, false},
    {"Wait for Dial Tone Time", 2, 255, 4, kCmd, 0xA7, std::nullopt, false},
    {"Wait for Answer Time", 1, 255, 30, kCmd, 0xB7, std::nullopt, false},
    {"DTMF Dial Time", 50, 255, 95, kCmd, 0xC7, std::nullopt, false},
    {"Pause Time", 1, 255, 2, kCmd, 0xD7, std::nullopt, false},
    {"Hook Flash Time", 1, 255, 70, kCmd, 0x8D, std::nullopt, false},
    {"Pre Hook Flash Guard Time", 1, 255, 100, kCmd, 0xDD, std::nullopt, false},
    {"Post Hook Flash Guard Time", 1, 255, 100, kCmd, 0xED, std::nullopt, false},
    {"Tones Detection Threshold", 0, 32766, std::nullopt, kThr, 0, 0, true},
    {"Silent Detection Threshold", 0, 32766, std::nullopt, kThr, 1, 1, true},
    {"Voice Detection Threshold", 1, 127, 63, kCmd, 0x8E, std::nullopt, false},
    {"Voice Band Low", 1, 255, 85, kThr, 16, std::nullopt, false},
    {"Voice Band High", 1, 255, 112, kThr, 17, std::nullopt, false},
    {"Lite DTMF DAA, phone on-hook", 0, 30, std::nullopt, kCmd, 0x88, std::nullopt, false},
    {"Lite DTMF DAA, phone off-hook", 0, 30, std::nullopt, kCmd, 0x98, std::nullopt, false},
    {"Lite DTMF CODEC", 0, 30, std::nullopt, kCmd, 0xA8, std::nullopt, false},
};

std::string Text(const char *buffer) { return std::string(buffer); }

TEST(ParameterTable, RowsMatchTheirDocumentedValues)
{
    ASSERT_EQ(std::size(kRows), static_cast<std::size_t>(kParameterCount));
    for (int i = 0; i < kParameterCount; ++i) {
        const ExpectedRow &e = kRows[i];
        const ParameterRow &r = kParameterRows[static_cast<std::size_t>(i)];
        SCOPED_TRACE(e.text);
        EXPECT_EQ(r.min, e.min);
        EXPECT_EQ(r.max, e.max);
        EXPECT_EQ(r.defaultValue, e.def);
        EXPECT_EQ(r.send, e.send);
        EXPECT_EQ(r.readSelector, e.read);
        EXPECT_EQ(r.dbmWhileDragging, e.dbm);
        // Rows without a default start inside their range.
        EXPECT_GE(r.startValue, e.min);
        EXPECT_LE(r.startValue, e.max);

        const auto call = ParameterSendFor(i, 42);
        ASSERT_TRUE(call.has_value());
        EXPECT_EQ(call->kind, e.send);
        EXPECT_EQ(call->target, e.target);
        EXPECT_EQ(call->value, 42u);
    }
    // Rows 0..5 are group 7, items 8..13: the code follows from the index.
    for (int i = 0; i <= 5; ++i)
        EXPECT_EQ(ParameterSendFor(i, 1)->target, 16 * (i + 8) + 7);
    EXPECT_FALSE(ParameterSendFor(-1, 1).has_value());
    EXPECT_FALSE(ParameterSendFor(17, 1).has_value());
}

TEST(ParameterTable, DbmScale)
{
    struct Case {
        uint32_t value;
        const char *text;
    };
    const Case cases[] = {
        {0, "-92.03 dBm"},
        {9, "-72.03 dBm"},
        {999, "-32.03 dBm"},
        {16383, "-7.75 dBm"},
        {32766, "-1.73 dBm"},
        {32767, "-1.73 dBm"},
        {65535, "-1.73 dBm"},
        {std::numeric_limits<uint32_t>::max(), "-1.73 dBm"},
    };
    for (const Case &c : cases) {
        char buffer[kValueTextSize];
        FormatDbmValue(buffer, sizeof buffer, c.value);
        EXPECT_EQ(Text(buffer), c.text) << c.value;
    }
    // The plain function: position 0 at -92.03 dBm, 32766 at -1.73 dBm,
    // rising with the value, finite over the whole 32-bit range.
    EXPECT_NEAR(ThresholdToDbm(0), -92.03473362006753, 1e-12);
    EXPECT_NEAR(ThresholdToDbm(32766), -1.725999997233538, 1e-12);
    EXPECT_NEAR(ThresholdToDbm(16383), -7.7463348341527825, 1e-12);
    EXPECT_LT(ThresholdToDbm(100), ThresholdToDbm(101));
    EXPECT_TRUE(std::isfinite(ThresholdToDbm(std::numeric_limits<uint32_t>::max())));
    EXPECT_GT(ThresholdToDbm(std::numeric_limits<uint32_t>::max()), ThresholdToDbm(32766));
}

TEST(ParameterTable, FormattersStayInsideTheBuffer)
{
    struct Case {
        uint32_t value;
        bool dbm;
        std::size_t size;
        const char *text;
    };
    const Case cases[] = {
        {30, false, kValueTextSize, "30"},
        {0, false, kValueTextSize, "0"},
        {32766, false, kValueTextSize, "32766"},
        {12345, false, 3, "12"},
        {12345, false, 1, ""},
        {0, true, 4, "-92"},
        {0, true, 11, "-92.03 dBm"},
        {0, true, 10, "-92.03 dB"},
    };
    for (const Case &c : cases) {
        char buffer[kValueTextSize + 1];
        std::memset(buffer, 'x', sizeof buffer);
        if (c.dbm)
            FormatDbmValue(buffer, c.size, c.value);
        else
            FormatPlainValue(buffer, c.size, c.value);
        EXPECT_EQ(Text(buffer), c.text) << c.value << " size " << c.size;
        for (std::size_t i = c.size; i < sizeof buffer; ++i)
            ASSERT_EQ(buffer[i], 'x') << "byte " << i << " written";
    }
    char untouched[4] = {'x', 'x', 'x', 'x'};
    FormatPlainValue(untouched, 0, 5);
    FormatDbmValue(untouched, 0, 5);
    EXPECT_EQ(std::string(untouched, 4), "xxxx");
    FormatPlainValue(nullptr, 16, 5);  // no crash, nothing written
    FormatDbmValue(nullptr, 16, 5);
}

TEST(ParameterState, StartsWithoutSelectionAndDragWritesNothing)
{
    ParameterState state;
    EXPECT_FALSE(state.Selected().has_value());
    char buffer[kValueTextSize];
    std::strcpy(buffer, "before");
    for (uint32_t position : {0u, 1u, 255u, 32766u, 4000000000u})
        EXPECT_FALSE(state.OnDrag(position, buffer, sizeof buffer).has_value());
    EXPECT_STREQ(buffer, "before");
    for (int i = 0; i < kParameterCount; ++i)
        EXPECT_EQ(state.Value(i), kParameterRows[static_cast<std::size_t>(i)].startValue) << i;
}

TEST(ParameterState, ResetDefaultsWritesOnlyRowsWithADefault)
{
    ParameterState state;
    *state.ValueSlot(9) = 1234;
    *state.ValueSlot(10) = 4321;
    *state.ValueSlot(14) = 7;
    *state.ValueSlot(16) = 30;
    *state.ValueSlot(0) = 200;  // overwritten by the default
    state.ResetDefaults();
    for (int i = 0; i < kParameterCount; ++i) {
        SCOPED_TRACE(i);
        if (kRows[i].def) {
            EXPECT_EQ(state.Value(i), *kRows[i].def);
        }
    }
    EXPECT_EQ(state.Value(9), 1234u);
    EXPECT_EQ(state.Value(10), 4321u);
    EXPECT_EQ(state.Value(14), 7u);
    EXPECT_EQ(state.Value(15), kParameterRows[15].startValue);
    EXPECT_EQ(state.Value(16), 30u);
    EXPECT_FALSE(state.Selected().has_value()) << "reset selects nothing";
}

TEST(ParameterState, SelectGivesRangeAndRead)
{
    ParameterState state;
    for (int i = 0; i < kParameterCount; ++i) {
        SCOPED_TRACE(i);
        const auto sel = state.Select(i);
        ASSERT_TRUE(sel.has_value());
        EXPECT_EQ(sel->index, i);
        EXPECT_EQ(sel->min, kRows[i].min);
        EXPECT_EQ(sel->max, kRows[i].max);
        EXPECT_EQ(sel->readSelector, kRows[i].read);
        EXPECT_EQ(state.Selected(), i);
    }
    for (int bad : {-1, 17, 1000, std::numeric_limits<int>::min()}) {
        state.Select(3);
        EXPECT_FALSE(state.Select(bad).has_value()) << bad;
        EXPECT_FALSE(state.Selected().has_value()) << bad;
        EXPECT_EQ(state.ValueSlot(bad), nullptr);
        EXPECT_EQ(state.Value(bad), 0u);
        char buffer[kValueTextSize] = "before";
        EXPECT_FALSE(state.OnDrag(5, buffer, sizeof buffer).has_value());
        EXPECT_STREQ(buffer, "before");
    }
}

TEST(ParameterState, AfterOpenShowsRingerOffPeriod)
{
    ParameterState state;
    state.ResetDefaults();
    const auto sel = state.Select(0);
    ASSERT_TRUE(sel.has_value());
    EXPECT_EQ(sel->min, 1u);
    EXPECT_EQ(sel->max, 255u);
    EXPECT_FALSE(sel->readSelector.has_value());
    char buffer[kValueTextSize];
    FormatPlainValue(buffer, sizeof buffer, state.Value(sel->index));
    EXPECT_STREQ(buffer, "30");
}

TEST(ParameterState, DragStoresSendsAndFormats)
{
    struct Case {
        int index;
        uint32_t position;
        uint32_t stored;
        ParameterSendCall call;
        const char *text;
    };
    const Case cases[] = {
        {0, 255, 255, {kCmd, 135, 255}, "255"},
        {0, 1, 1, {kCmd, 135, 1}, "1"},
        {4, 50, 50, {kCmd, 199, 50}, "50"},
        {8, 100, 100, {kCmd, 237, 100}, "100"},
        // The position goes in as it comes: only the thresholds are limited.
        {8, 0, 0, {kCmd, 237, 0}, "0"},
        {8, 32766, 32766, {kCmd, 237, 32766}, "32766"},
        {0, 0x80000000u, 0x80000000u, {kCmd, 135, 0x80000000u}, "-2147483648"},
        {9, 0, 0, {kThr, 0, 0}, "-92.03 dBm"},
        {9, 16383, 16383, {kThr, 0, 16383}, "-7.75 dBm"},
        {10, 999, 999, {kThr, 1, 999}, "-32.03 dBm"},
        {10, 40000, 40000, {kThr, 1, 32766}, "-1.73 dBm"},
        {9, 32767, 32767, {kThr, 0, 32766}, "-1.73 dBm"},
        {11, 127, 127, {kCmd, 142, 127}, "127"},
        {11, 200, 200, {kCmd, 142, 200}, "200"},
        {12, 90, 90, {kThr, 16, 90}, "90"},
        {13, 120, 120, {kThr, 17, 120}, "120"},
        {14, 0, 0, {kCmd, 136, 0}, "0"},
        {15, 30, 30, {kCmd, 152, 30}, "30"},
        {16, 31, 31, {kCmd, 168, 31}, "31"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.index);
        SCOPED_TRACE(c.position);
        ParameterState state;
        state.ResetDefaults();
        ASSERT_TRUE(state.Select(c.index));
        char buffer[kValueTextSize];
        const auto drag = state.OnDrag(c.position, buffer, sizeof buffer);
        ASSERT_TRUE(drag.has_value());
        EXPECT_EQ(drag->index, c.index);
        EXPECT_EQ(drag->stored, c.stored);
        EXPECT_EQ(drag->call, c.call);
        EXPECT_EQ(state.Value(c.index), c.stored);
        EXPECT_STREQ(buffer, c.text);
        for (int other = 0; other < kParameterCount; ++other) {
            if (other == c.index)
                continue;
            ParameterState fresh;
            fresh.ResetDefaults();
            EXPECT_EQ(state.Value(other), fresh.Value(other)) << "row " << other << " changed";
        }
    }
}

TEST(ParameterState, DraggedValueSurvivesReselection)
{
    ParameterState state;
    state.ResetDefaults();
    char buffer[kValueTextSize];
    state.Select(1);
    state.OnDrag(77, buffer, sizeof buffer);
    state.Select(9);
    *state.ValueSlot(9) = 500;  // what the library wrote on selection
    state.OnDrag(600, buffer, sizeof buffer);
    state.Select(5);
    EXPECT_EQ(state.Value(5), 2u);
    state.Select(1);
    EXPECT_EQ(state.Value(1), 77u);
    EXPECT_EQ(state.Value(9), 600u);
    // On selection a threshold shows as a plain number.
    FormatPlainValue(buffer, sizeof buffer, state.Value(9));
    EXPECT_STREQ(buffer, "600");
}

TEST(ParameterState, DragNotifications)
{
    for (int code = -1; code <= 9; ++code)
        EXPECT_EQ(IsDragNotification(code), code == 4 || code == 5) << code;
}

}  // namespace
}  // namespace tvx
