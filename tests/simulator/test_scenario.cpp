// Scenario file parsing: good lines, each kind of malformed line, shipped files.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "simulator/logic/EventNames.h"
#include "simulator/logic/Scenario.h"

using namespace tvxsim;

namespace {

std::vector<uint8_t> bytes(std::initializer_list<int> list)
{
    std::vector<uint8_t> out;
    for (int b : list)
        out.push_back(static_cast<uint8_t>(b));
    return out;
}

std::vector<uint8_t> ascii(const std::string &s) { return {s.begin(), s.end()}; }

std::vector<uint8_t> concat(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> out;
    for (const auto &p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

struct GoodLine {
    const char *text;
    ScenarioEvent expected;  // line is set to 1 by the test
};

// Test names show the line, quotes and control characters spelled out.
void printLine(const char *text, std::ostream *os)
{
    for (const char *c = text; *c; ++c) {
        if (*c == '\r')
            *os << "\\r";
        else if (*c == '\t')
            *os << "\\t";
        else if (*c == '"')
            *os << '\'';
        else
            *os << *c;
    }
}
void PrintTo(const GoodLine &g, std::ostream *os) { printLine(g.text, os); }

ScenarioEvent ev(int64_t t, int32_t code, int32_t param, int32_t side, std::vector<uint8_t> payload = {},
                 int32_t row = -1, int64_t count = 1, int64_t interval = 0)
{
    ScenarioEvent e;
    e.timeMs = t;
    e.code = code;
    e.param = param;
    e.side = side;
    e.payload = std::move(payload);
    e.toneRow = row;
    e.count = count;
    e.intervalMs = interval;
    e.line = 1;
    return e;
}

class ScenarioGoodLine : public ::testing::TestWithParam<GoodLine> {};

TEST_P(ScenarioGoodLine, ParsesToTheEvent)
{
    const GoodLine &g = GetParam();
    const Scenario sc = parseScenario(g.text);
    ASSERT_TRUE(sc.errors.empty()) << sc.errors.front().message;
    ASSERT_EQ(sc.events.size(), 1u);
    EXPECT_EQ(sc.events[0], g.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScenarioGoodLine,
    ::testing::Values(
        GoodLine{"0 16", ev(0, 16, 0, 0)}, GoodLine{"  250\t64 0 2   # off hook on the line", ev(250, 64, 0, 2)},
        GoodLine{"100 95 7 -", ev(100, 95, 7, 0)}, GoodLine{"10 48 -3 1", ev(10, 48, -3, 1)},
        GoodLine{"0x10 0x40 0x1 3", ev(16, 64, 1, 3)},
        GoodLine{"5 225 - 0 80 1E 01", ev(5, 225, 3, 0, bytes({0x80, 0x1E, 0x01}))},
        GoodLine{"5 225", ev(5, 225, 0, 0)},
        GoodLine{"5 228 - 0 801E0102", ev(5, 228, 4, 0, bytes({0x80, 0x1E, 0x01, 0x02}))},
        GoodLine{"5 225 2 0 80 1E 01", ev(5, 225, 2, 0, bytes({0x80, 0x1E, 0x01}))},
        GoodLine{"5 225 - 0 07 03 \"A #b\" 0x0A", ev(5, 225, 7, 0, bytes({7, 3, 'A', ' ', '#', 'b', 0x0A}))},
        GoodLine{"7 229 0 0 13", ev(7, 229, 0, 0, {}, 13)}, GoodLine{"7 229 - - 0", ev(7, 229, 0, 0, {}, 0)},
        GoodLine{"9 112 0 0 ff 00", ev(9, 112, 0, 0, bytes({0xFF, 0x00}))},
        GoodLine{"repeat 1000 2 50 113 0 0", ev(50, 113, 0, 0, {}, -1, 1000, 2)},
        GoodLine{"repeat 3 0 0 229 0 0 5", ev(0, 229, 0, 0, {}, 5, 3, 0)},
        GoodLine{"repeat 2 10 0 225 - 0 01 02", ev(0, 225, 2, 0, bytes({1, 2}), -1, 2, 10)},
        GoodLine{"86400000 1\r", ev(86400000, 1, 0, 0)}));

struct BadLine {
    const char *text;
    const char *messageStart;
};
void PrintTo(const BadLine &b, std::ostream *os) { printLine(b.text, os); }

class ScenarioBadLine : public ::testing::TestWithParam<BadLine> {};

// The bad line sits between two good ones: it is reported with its own line
// number and skipped, and both neighbours still parse.
TEST_P(ScenarioBadLine, IsReportedWithItsLineAndSkipped)
{
    const BadLine &b = GetParam();
    const std::string text = std::string("0 16\n# comment\n") + b.text + "\n10 17\n";
    const Scenario sc = parseScenario(text);
    ASSERT_EQ(sc.errors.size(), 1u);
    EXPECT_EQ(sc.errors[0].line, 3);
    EXPECT_EQ(sc.errors[0].message.rfind(b.messageStart, 0), 0u) << sc.errors[0].message;
    ASSERT_EQ(sc.events.size(), 2u);
    EXPECT_EQ(sc.events[0].code, 16);
    EXPECT_EQ(sc.events[1].code, 17);
    EXPECT_EQ(sc.events[1].line, 4);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScenarioBadLine,
    ::testing::Values(
        BadLine{"ring 100", "unknown directive 'ring'"}, BadLine{"\"0\" 16", "unknown directive"},
        BadLine{"-5 16", "bad time '-5'"}, BadLine{"86400001 16", "bad time"}, BadLine{"1x 16", "bad time '1x'"},
        BadLine{"100", "missing event code"}, BadLine{"100 -1", "bad event code '-1'"},
        BadLine{"100 abc", "unknown action target 'abc'"}, BadLine{"100 16 zz", "bad parameter 'zz'"},
        BadLine{"100 16 99999999999", "bad parameter"}, BadLine{"100 64 0 left", "bad side 'left'"},
        BadLine{"100 225 - 0 801", "bad payload byte '801'"}, BadLine{"100 225 - 0 80 G1", "bad payload byte 'G1'"},
        BadLine{"100 225 - 0 80 \"Ivor", "unterminated quoted text"},
        BadLine{"100 225 5 0 80 1E", "byte count exceeds the payload length '5'"},
        BadLine{"100 229 0 0", "event 229 needs one tone row"},
        BadLine{"100 229 0 0 256", "event 229 needs one tone row"},
        BadLine{"100 229 0 0 1 2", "event 229 needs one tone row"},
        BadLine{"100 229 0 0 \"1\"", "event 229 needs one tone row"}, BadLine{"devtype", "devtype needs one number"},
        BadLine{"devtype eleven", "devtype needs one number"}, BadLine{"devtype 1 2", "devtype needs one number"},
        BadLine{"openerror 0", "openerror needs one non-zero code"}, BadLine{"repeat 0 1 0 16", "bad repeat count"},
        BadLine{"repeat 100000001 1 0 16", "bad repeat count"}, BadLine{"repeat 10 -1 0 16", "bad repeat interval"},
        BadLine{"repeat 10 1 0", "missing event code"}, BadLine{"repeat 100 1000000 0 16", "repeat runs past"}));

TEST(Scenario, DirectivesSetDeviceTypeAndOpenError)
{
    const Scenario sc = parseScenario("devtype 11\nopenerror 5\n0 16\ndevtype 10  # the last one counts\n");
    EXPECT_TRUE(sc.errors.empty());
    EXPECT_EQ(sc.devType, 10);
    EXPECT_EQ(sc.openError, 5);
    EXPECT_EQ(sc.events.size(), 1u);
}

TEST(Scenario, TotalEventsCountsRepeats)
{
    const Scenario sc = parseScenario("0 16\nrepeat 500 0 0 112\nrepeat 3 5 10 229 0 0 1\n");
    EXPECT_EQ(sc.totalEvents(), 504);
}

TEST(Scenario, PayloadLongerThanTheLimitIsRejected)
{
    std::string line = "0 225 - 0";
    for (size_t i = 0; i <= kScenarioMaxPayload; ++i)
        line += " 00";
    const Scenario sc = parseScenario(line);
    ASSERT_EQ(sc.errors.size(), 1u);
    EXPECT_TRUE(sc.events.empty());
}

TEST(Scenario, UnreadableFileIsOneErrorAtLineZero)
{
    const Scenario sc = loadScenarioFile(::testing::TempDir() + "no-such-dir/none.scn");
    ASSERT_EQ(sc.errors.size(), 1u);
    EXPECT_EQ(sc.errors[0].line, 0);
    EXPECT_TRUE(sc.events.empty());
}

// The shipped incoming call: no malformed line, the MDMF caller ID carries the
// call set-up message with date, number and name.
TEST(Scenario, ShippedIncomingCallHasTheMdmfCallerId)
{
    const Scenario sc = loadScenarioFile(TVXSIM_SCENARIO_DIR "/incoming-call.scn");
    ASSERT_TRUE(sc.errors.empty()) << sc.errors.front().line << ": " << sc.errors.front().message;
    const std::vector<uint8_t> mdmf = concat({bytes({0x80, 0x1E, 0x01, 0x08}),
                                              ascii("04292230"),
                                              bytes({0x02, 0x07}),
                                              ascii("7964710"),
                                              bytes({0x07, 0x09}),
                                              ascii("Ivor Kell")});
    bool found = false;
    bool sided64 = false;
    bool sided95 = false;
    bool tone = false;
    for (const ScenarioEvent &e : sc.events) {
        if (e.code == kEvCallerId) {
            EXPECT_EQ(e.payload, mdmf);
            EXPECT_EQ(e.param, 32);
            found = true;
        }
        sided64 |= e.code == kEvOffHook && e.side != 0;
        sided95 |= e.code == kEvOnHook && e.side != 0;
        tone |= e.code == kEvToneMonitored && e.toneRow >= 0 && e.toneRow < 16;
    }
    EXPECT_TRUE(found);
    EXPECT_TRUE(sided64);
    EXPECT_TRUE(sided95);
    EXPECT_TRUE(tone);
}

TEST(Scenario, ShippedFloodParsesCleanly)
{
    const Scenario sc = loadScenarioFile(TVXSIM_SCENARIO_DIR "/flood.scn");
    ASSERT_TRUE(sc.errors.empty()) << sc.errors.front().line << ": " << sc.errors.front().message;
    EXPECT_GE(sc.totalEvents(), 10000);
}

}  // namespace
