// Scenario file parsing: good lines, each kind of malformed line, shipped files.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "simulator/logic/EventNames.h"
#include "simulator/logic/Scenario.h"

using namespace tvxsim;

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> list)
{
    std::vector<uint8_t> out;
    for (int b : list)
        out.push_back(static_cast<uint8_t>(b));
    return out;
}

struct GoodLine {
    const char *text;
    ScenarioEvent expected;  // line is set to 1 by the test
};

// Test names show the line, quotes and control characters spelled out.
void PrintLine(const char *text, std::ostream *os)
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
void PrintTo(const GoodLine &g, std::ostream *os) { PrintLine(g.text, os); }

ScenarioEvent Ev(int64_t t, int32_t code, int32_t param, int32_t side, std::vector<uint8_t> payload = {},
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
    const Scenario sc = ParseScenario(g.text);
    ASSERT_TRUE(sc.errors.empty()) << sc.errors.front().message;
    ASSERT_EQ(sc.events.size(), 1u);
    EXPECT_EQ(sc.events[0], g.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScenarioGoodLine,
    ::testing::Values(
        GoodLine{"0 16", Ev(0, 16, 0, 0)}, GoodLine{"  250\t64 0 2   # off hook on the line", Ev(250, 64, 0, 2)},
        GoodLine{"100 95 7 -", Ev(100, 95, 7, 0)}, GoodLine{"10 48 -3 1", Ev(10, 48, -3, 1)},
        GoodLine{"0x10 0x40 0x1 3", Ev(16, 64, 1, 3)},
        GoodLine{"5 225 - 0 80 1E 01", Ev(5, 225, 3, 0, Bytes({0x80, 0x1E, 0x01}))},
        GoodLine{"5 225", Ev(5, 225, 0, 0)},
        GoodLine{"5 228 - 0 801E0102", Ev(5, 228, 4, 0, Bytes({0x80, 0x1E, 0x01, 0x02}))},
        GoodLine{"5 225 2 0 80 1E 01", Ev(5, 225, 2, 0, Bytes({0x80, 0x1E, 0x01}))},
        GoodLine{"5 225 - 0 07 03 \"A #b\" 0x0A", Ev(5, 225, 7, 0, Bytes({7, 3, 'A', ' ', '#', 'b', 0x0A}))},
        GoodLine{"7 229 0 0 13", Ev(7, 229, 0, 0, {}, 13)}, GoodLine{"7 229 - - 0", Ev(7, 229, 0, 0, {}, 0)},
        GoodLine{"9 112 0 0 ff 00", Ev(9, 112, 0, 0, Bytes({0xFF, 0x00}))},
        GoodLine{"repeat 1000 2 50 113 0 0", Ev(50, 113, 0, 0, {}, -1, 1000, 2)},
        GoodLine{"repeat 3 0 0 229 0 0 5", Ev(0, 229, 0, 0, {}, 5, 3, 0)},
        GoodLine{"repeat 2 10 0 225 - 0 01 02", Ev(0, 225, 2, 0, Bytes({1, 2}), -1, 2, 10)},
        GoodLine{"86400000 1\r", Ev(86400000, 1, 0, 0)}));

struct BadLine {
    const char *text;
    const char *messageStart;
};
void PrintTo(const BadLine &b, std::ostream *os) { PrintLine(b.text, os); }

class ScenarioBadLine : public ::testing::TestWithParam<BadLine> {};

// The bad line sits between two good ones: it is reported with its own line
// number and skipped, and both neighbours still parse.
TEST_P(ScenarioBadLine, IsReportedWithItsLineAndSkipped)
{
    const BadLine &b = GetParam();
    const std::string text = std::string("0 16\n# comment\n") + b.text + "\n10 17\n";
    const Scenario sc = ParseScenario(text);
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
        BadLine{"repeat 10 1 0", "missing event code"}, BadLine{"repeat 100 1000000 0 16", "repeat runs past"},
        BadLine{"100 225 -1 0 80 1E", "negative byte count '-1'"}, BadLine{"100 228 -5", "negative byte count"},
        BadLine{"100 far", "missing action"}, BadLine{"100 far jump", "unknown action 'jump'"},
        BadLine{"100 door open", "unknown action target 'door'"}, BadLine{"100 far ring 0", "far ring takes"},
        BadLine{"100 far ring 2 3", "far ring takes"}, BadLine{"100 far answer now", "the action takes no arguments"},
        BadLine{"100 phone keys 123", "keys needs quoted digits"}, BadLine{"100 phone keys \"12x\"", "keys needs"},
        BadLine{"100 far dtmf \"\"", "dtmf needs"}, BadLine{"100 far dtmf \"1\" 100", "dtmf needs"},
        BadLine{"100 far dtmf \"1\" 0 10", "dtmf on time"}, BadLine{"100 far tone 4000 0 -10 1 1 1", "tone needs"},
        BadLine{"100 far tone 400 0 -10 1 1", "tone needs"}, BadLine{"100 far tone 400 0 -81 1 1 1", "tone needs"},
        BadLine{"100 far speech", "speech needs"}, BadLine{"100 far speech 10 5", "speech needs"},
        BadLine{"100 phone dtmf \"1\"", "unknown action 'dtmf'"}, BadLine{"-1 far ring", "bad time '-1'"},
        BadLine{"number 555 busy", "number needs quoted digits"},
        BadLine{"number \"555\" answer", "number ... answer needs"},
        BadLine{"number \"555\" rings", "bad route 'rings'"},
        BadLine{"number \"555555555555555555555555555555555\" busy", "number needs"},
        BadLine{"100 far call \"Ivor\"", "call needs a quoted name and a quoted number"},
        BadLine{"100 far call Ivor \"1\"", "call needs"},
        BadLine{"100 far call \"\" \"55555555555555555555555555555555555555555555555555\"", "call needs"},
        BadLine{"100 far call \"\t\" \"1\"", "call needs"},
        BadLine{"100 far call \"a\" \"1\" sdmf mdmf", "option given twice 'mdmf'"},
        BadLine{"100 far call \"a\" \"1\" private out-of-area", "option given twice 'out-of-area'"},
        BadLine{"100 far call-waiting \"a\" \"1\" v24", "unknown call option 'v24'"},
        BadLine{"100 far call \"a\" \"1\" date", "missing value after 'date'"},
        BadLine{"100 far call \"a\" \"1\" date 13011200", "bad date '13011200' (MMDDhhmm)"},
        BadLine{"100 far call \"a\" \"1\" date 04322230", "bad date"},
        BadLine{"100 far call \"a\" \"1\" date 0429223", "bad date"},
        BadLine{"100 far call \"a\" \"1\" date 04292460", "bad date"},
        BadLine{"100 far call \"a\" \"1\" level 4", "bad level '4' (-80 to +3 dBm0)"},
        BadLine{"100 far call \"a\" \"1\" level -10 level -9", "option given twice 'level'"},
        BadLine{"100 line noise", "noise needs"}, BadLine{"100 line noise 10 -81", "noise needs"},
        BadLine{"100 line ring", "unknown action 'ring'"}, BadLine{"100 adapter command", "command needs"},
        BadLine{"100 adapter command 65536", "command needs"},
        BadLine{"100 adapter command 126 1 2", "command needs"}));

ScenarioAction Action(int64_t t, ActionTarget target, ActionVerb verb)
{
    ScenarioAction a;
    a.timeMs = t;
    a.target = target;
    a.verb = verb;
    a.line = 1;
    return a;
}

struct ActionLine {
    const char *text;
    ScenarioAction expected;
};
void PrintTo(const ActionLine &a, std::ostream *os) { PrintLine(a.text, os); }

class ScenarioActionLine : public ::testing::TestWithParam<ActionLine> {};

TEST_P(ScenarioActionLine, ParsesToTheAction)
{
    const Scenario sc = ParseScenario(GetParam().text);
    ASSERT_TRUE(sc.errors.empty()) << sc.errors.front().message;
    ASSERT_EQ(sc.actions.size(), 1u);
    EXPECT_EQ(sc.actions[0], GetParam().expected);
}

ScenarioAction With(ScenarioAction a, const std::function<void(ScenarioAction &)> &change)
{
    change(a);
    return a;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScenarioActionLine,
    ::testing::Values(
        ActionLine{"1000 far ring", Action(1000, ActionTarget::Far, ActionVerb::Ring)},
        ActionLine{"0 far ring 3  # three rings",
                   With(Action(0, ActionTarget::Far, ActionVerb::Ring), [](auto &a) { a.count = 3; })},
        ActionLine{"5 far answer", Action(5, ActionTarget::Far, ActionVerb::Answer)},
        ActionLine{"5 far hangup", Action(5, ActionTarget::Far, ActionVerb::Hangup)},
        ActionLine{"7 far dtmf \"12#d\"",
                   With(Action(7, ActionTarget::Far, ActionVerb::Dtmf),
                        [](auto &a) {
                            a.digits = "12#D";
                            a.onMs = 300;
                            a.offMs = 200;
                        })},
        ActionLine{"7 pc dtmf \"*\" 80 40",
                   With(Action(7, ActionTarget::Pc, ActionVerb::Dtmf),
                        [](auto &a) {
                            a.digits = "*";
                            a.onMs = 80;
                            a.offMs = 40;
                        })},
        ActionLine{"9 far tone 425 0 -13 1000 4000 60000",
                   With(Action(9, ActionTarget::Far, ActionVerb::Tone),
                        [](auto &a) {
                            a.f1 = 425;
                            a.dbm0 = -13;
                            a.onMs = 1000;
                            a.offMs = 4000;
                            a.lengthMs = 60000;
                        })},
        ActionLine{"9 far speech 2500",
                   With(Action(9, ActionTarget::Far, ActionVerb::Speech),
                        [](auto &a) {
                            a.lengthMs = 2500;
                            a.dbm0 = -20;
                        })},
        ActionLine{"9 phone speech 100 -30",
                   With(Action(9, ActionTarget::Phone, ActionVerb::Speech),
                        [](auto &a) {
                            a.lengthMs = 100;
                            a.dbm0 = -30;
                        })},
        ActionLine{"2 phone offhook", Action(2, ActionTarget::Phone, ActionVerb::OffHook)},
        ActionLine{"2 phone onhook", Action(2, ActionTarget::Phone, ActionVerb::OnHook)},
        ActionLine{"2 phone flash", Action(2, ActionTarget::Phone, ActionVerb::Flash)},
        ActionLine{"3 phone keys \"5551234\"",
                   With(Action(3, ActionTarget::Phone, ActionVerb::Keys), [](auto &a) { a.digits = "5551234"; })},
        ActionLine{"4 far call \"Ivor Kell\" \"7964710\"",
                   With(Action(4, ActionTarget::Far, ActionVerb::Call),
                        [](auto &a) {
                            a.caller.name = "Ivor Kell";
                            a.caller.number = "7964710";
                        })},
        ActionLine{"4 far call-waiting \"\" \"+1 555\" private date 12312359 v23 sdmf na level -60",
                   With(Action(4, ActionTarget::Far, ActionVerb::CallWaiting),
                        [](auto &a) {
                            a.caller.number = "+1 555";
                            a.caller.absence = 'P';
                            a.caller.date = "12312359";
                            a.caller.modem = CidModem::V23;
                            a.caller.format = CidFormat::Sdmf;
                            a.caller.timing = CidTiming::NorthAmerican;
                            a.caller.dbm0 = -60;
                        })},
        ActionLine{"4 far call \"x\" \"1\" out-of-area bell202 etsi mdmf",
                   With(Action(4, ActionTarget::Far, ActionVerb::Call),
                        [](auto &a) {
                            a.caller.name = "x";
                            a.caller.number = "1";
                            a.caller.absence = 'O';
                            a.caller.modem = CidModem::Bell202;
                            a.caller.timing = CidTiming::Etsi;
                        })},
        ActionLine{"5 line noise 800",
                   With(Action(5, ActionTarget::Line, ActionVerb::Noise),
                        [](auto &a) {
                            a.lengthMs = 800;
                            a.dbm0 = -40;
                        })},
        ActionLine{"5 adapter command 126 1", With(Action(5, ActionTarget::Adapter, ActionVerb::Command), [](auto &a) {
                       a.code = 126;
                       a.param = 1;
                   })}));

TEST(Scenario, NumbersGiveTheirRoutes)
{
    const Scenario sc = ParseScenario("number \"5551234\" answer 4000\nnumber \"1#\" busy\nnumber \"9\" no-answer\n");
    ASSERT_TRUE(sc.errors.empty()) << sc.errors.front().message;
    ASSERT_EQ(sc.numbers.size(), 3u);
    EXPECT_EQ(sc.numbers[0], (NumberRule{"5551234", RouteKind::Answer, 4000, 1}));
    EXPECT_EQ(sc.numbers[1], (NumberRule{"1#", RouteKind::Busy, 0, 2}));
    EXPECT_EQ(sc.numbers[2], (NumberRule{"9", RouteKind::NoAnswer, 0, 3}));
}

// A file of nothing but junk: every line is counted, only the first 20 keep
// a message, and no item is kept.
TEST(Scenario, JunkIsCountedButOnlyTwentyLinesAreReported)
{
    std::string junk;
    for (int i = 0; i < 5000; ++i)
        junk += "\x01\xff junk " + std::to_string(i) + "\n";
    const Scenario sc = ParseScenario(junk);
    EXPECT_EQ(sc.badLines, 5000);
    ASSERT_EQ(sc.errors.size(), kScenarioMaxReportedErrors);
    EXPECT_EQ(sc.errors.back().line, 20);
    EXPECT_TRUE(sc.events.empty());
    EXPECT_TRUE(sc.actions.empty());
}

// Items beyond the cap are bad lines, so memory stays bounded whatever the file.
TEST(Scenario, ItemsBeyondTheCapAreRefused)
{
    std::string text;
    for (size_t i = 0; i < kScenarioMaxItems + 3; ++i)
        text += "0 1\n";
    const Scenario sc = ParseScenario(text);
    EXPECT_EQ(sc.events.size(), kScenarioMaxItems);
    EXPECT_EQ(sc.badLines, 3);
    EXPECT_EQ(sc.errors.at(0).message, "more than 65536 items in the file");
}

TEST(Scenario, DirectivesSetDeviceTypeAndOpenError)
{
    const Scenario sc = ParseScenario("devtype 11\nopenerror 5\n0 16\ndevtype 10  # the last one counts\n");
    EXPECT_TRUE(sc.errors.empty());
    EXPECT_EQ(sc.devType, 10);
    EXPECT_EQ(sc.openError, 5);
    EXPECT_EQ(sc.events.size(), 1u);
}

TEST(Scenario, TotalEventsCountsRepeats)
{
    const Scenario sc = ParseScenario("0 16\nrepeat 500 0 0 112\nrepeat 3 5 10 229 0 0 1\n");
    EXPECT_EQ(sc.TotalEvents(), 504);
}

TEST(Scenario, PayloadLongerThanTheLimitIsRejected)
{
    std::string line = "0 225 - 0";
    for (size_t i = 0; i <= kScenarioMaxPayload; ++i)
        line += " 00";
    const Scenario sc = ParseScenario(line);
    ASSERT_EQ(sc.errors.size(), 1u);
    EXPECT_TRUE(sc.events.empty());
}

// What became of a scenario, in the one line the state shows.
TEST(Scenario, SummaryTellsWhatBecameOfTheFile)
{
    struct Row {
        Scenario scenario;
        const char *summary;
    };
    const Row rows[] = {
        {ParseScenario("0 16\n100 far ring\n"), "ok"},
        {ParseScenario("0 16\nbogus\n0 far ring 0\n"),
         "2 lines skipped; the first: /s.scn:2: unknown directive 'bogus'"},
        {ParseScenario("0 16\n0 far ring 0\n"),
         "1 line skipped; the first: /s.scn:2: far ring takes an optional count of rings (1 to 1000)"},
        {LoadScenarioFile("/dev/zero"), "refused: /s.scn: not a regular file (a directory, FIFO or device is refused)"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(ScenarioSummary(row.scenario, "/s.scn"), row.summary);
}

TEST(Scenario, UnreadableFileIsOneErrorAtLineZero)
{
    const Scenario sc = LoadScenarioFile(::testing::TempDir() + "no-such-dir/none.scn");
    ASSERT_EQ(sc.errors.size(), 1u);
    EXPECT_EQ(sc.errors[0].line, 0);
    EXPECT_TRUE(sc.events.empty());
}

TEST(Scenario, ShippedFloodParsesCleanly)
{
    const Scenario sc = LoadScenarioFile(TVXSIM_SCENARIO_DIR "/flood.scn");
    ASSERT_TRUE(sc.errors.empty()) << sc.errors.front().line << ": " << sc.errors.front().message;
    EXPECT_GE(sc.TotalEvents(), 10000);
}

}  // namespace
