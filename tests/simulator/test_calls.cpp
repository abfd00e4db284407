// The whole engine offline: dialling, the exchange, the tones toward the
// phone in each country plan, ringing, the routing of the device modes and
// the switches, and recording. Time advances block by block, never sleeping.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "simulator/engine/Recorder.h"
#include "simulator/logic/EventNames.h"
#include "simulator/logic/SimErrors.h"
#include "tests/simulator/SignalProbe.h"
#include "tests/simulator/SimTestSupport.h"

using namespace tvxsim;
using namespace simtest;

namespace {

ScenarioAction Phone(ActionVerb verb)
{
    ScenarioAction a;
    a.target = ActionTarget::Phone;
    a.verb = verb;
    return a;
}

std::vector<int32_t> CodesOf(const std::vector<EngineEvent> &events)
{
    std::vector<int32_t> codes;
    for (const EngineEvent &e : events)
        codes.push_back(e.code);
    return codes;
}

// The frequencies out of `candidates` that a sink carries above -40 dBm0.
std::set<int> Heard(const std::vector<int16_t> &sink, std::initializer_list<int> candidates)
{
    std::set<int> out;
    const auto s = Slice(sink, 500, 1000);
    for (int hz : candidates)
        if (LevelAt(s, hz) > -40.0)
            out.insert(hz);
    return out;
}

void ExpectNear(const std::vector<int> &got, const std::vector<int> &expected, int toleranceMs, const char *what)
{
    ASSERT_GE(got.size(), expected.size()) << what;
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(got[i], expected[i], toleranceMs) << what << " run " << i;
}

class DtmfDialCode : public ::testing::TestWithParam<int32_t> {};

// Each tone dial code goes out as its Q.23 pair for the "DTMF Dial Time".
TEST_P(DtmfDialCode, SendsItsPairForTheDialTime)
{
    const int32_t code = GetParam();
    Rig rig;
    ASSERT_EQ(rig.engine.DoCommand(199, 60), kOk);
    ASSERT_EQ(rig.engine.DoCommand(140, code), kOk);
    rig.RunMs(1200);
    EXPECT_EQ(DecodeDtmf(rig.audio.lineTx), std::string(1, "0123456789*#ABCD"[code]));
    ExpectNear(Cadence(rig.audio.lineTx), {60}, 5, "tone length");
    const auto dialled = rig.EventsOf(kEvDialled);
    ASSERT_EQ(dialled.size(), 1u);
    EXPECT_EQ(dialled[0].param, code);
    EXPECT_EQ(dialled[0].time, MsToSamples(500));  // after the line has settled
    EXPECT_EQ(rig.EventsOf(kEvOffHook).at(0).side, TVX_SIDE_LINE);
}

INSTANTIATE_TEST_SUITE_P(Codes, DtmfDialCode, ::testing::Range(0, 16));

struct PulseCase {
    int32_t makeBreakCode;
    int32_t digit;
    double breakMs;
    double makeMs;
};
void PrintTo(const PulseCase &c, std::ostream *os) { *os << "code " << c.makeBreakCode << " digit " << c.digit; }

class PulseDialCode : public ::testing::TestWithParam<PulseCase> {};

// A pulse digit is as many loop breaks, timed by the make/break item, and the
// exchange counts it as that digit.
TEST_P(PulseDialCode, BreaksTheLoopAtTheChosenRatioAndRate)
{
    const PulseCase &c = GetParam();
    Rig rig;
    ASSERT_EQ(rig.engine.DoCommand(c.makeBreakCode, 0), kOk);
    ASSERT_EQ(rig.engine.DoCommand(140, 16 + c.digit), kOk);
    rig.RunMs(2500);
    EXPECT_EQ(rig.engine.GetExchange().Number(), std::to_string(c.digit));
    const auto &breaks = rig.engine.GetExchange().PulseBreaks();
    const auto &makes = rig.engine.GetExchange().PulseMakes();
    ASSERT_EQ(breaks.size(), static_cast<size_t>(c.digit == 0 ? 10 : c.digit));
    ASSERT_EQ(makes.size(), breaks.size() - 1);
    for (SampleTime b : breaks)
        EXPECT_NEAR(static_cast<double>(b) / kSamplesPerMs, c.breakMs, 0.2);
    for (SampleTime m : makes)
        EXPECT_NEAR(static_cast<double>(m) / kSamplesPerMs, c.makeMs, 0.2);
}

INSTANTIATE_TEST_SUITE_P(MakeBreak, PulseDialCode,
                         ::testing::Values(PulseCase{13, 1, 61, 39}, PulseCase{13, 0, 61, 39}, PulseCase{29, 5, 67, 33},
                                           PulseCase{45, 3, 30.5, 19.5}, PulseCase{61, 9, 33.5, 16.5}));

struct FlashCase {
    int32_t hookFlashTime;  // 10 ms steps
    int32_t flashes;
    const char *number;
};
void PrintTo(const FlashCase &c, std::ostream *os) { *os << c.hookFlashTime; }

class HookFlash : public ::testing::TestWithParam<FlashCase> {};

// A break of the "Hook Flash Time" is a register recall for the exchange,
// not a digit; a break as short as a dial pulse is a digit.
TEST_P(HookFlash, IsRecognisedAsAFlashNotADigit)
{
    const FlashCase &c = GetParam();
    Rig rig;
    rig.Load("number \"1\" answer 0\n");
    ASSERT_EQ(rig.engine.DoCommand(141, c.hookFlashTime), kOk);
    ASSERT_EQ(rig.engine.DoCommand(221, 10), kOk);
    ASSERT_EQ(rig.engine.DoCommand(237, 10), kOk);
    ASSERT_EQ(rig.engine.DoCommand(140, 1), kOk);
    rig.RunMs(5000);
    ASSERT_EQ(rig.engine.GetExchange().State(), CallState::Connected);
    ASSERT_EQ(rig.engine.DoCommand(140, 26), kOk);
    rig.RunMs(2000);
    EXPECT_EQ(rig.engine.GetExchange().Flashes(), c.flashes);
    EXPECT_EQ(rig.engine.GetExchange().Number(), c.number);
    EXPECT_EQ(rig.engine.GetExchange().State(), c.flashes ? CallState::DialTone : CallState::Connected);
    EXPECT_EQ(rig.engine.GetExchange().Holding(), c.flashes == 1);
}

INSTANTIATE_TEST_SUITE_P(Times, HookFlash,
                         ::testing::Values(FlashCase{70, 1, ""}, FlashCase{20, 1, ""}, FlashCase{120, 1, ""},
                                           FlashCase{8, 0, "1"}));

struct CallCase {
    const char *what;
    const char *scenario;
    std::vector<int32_t> codes;
    int64_t ms;
    std::vector<int32_t> outcomes;  // the dialler's wait events, in order
    CallState state;
};
void PrintTo(const CallCase &c, std::ostream *os) { *os << c.what; }

class OutgoingCall : public ::testing::TestWithParam<CallCase> {};

// Dialled in tone or pulse mode, the number reaches the route the scenario
// gives it, and the dialler's waits end with the event that says how.
TEST_P(OutgoingCall, ReachesTheNumberAndReportsTheWaits)
{
    const CallCase &c = GetParam();
    Rig rig;
    rig.Load(c.scenario);
    ASSERT_EQ(rig.engine.DoCommand(167, 3), kOk);   // wait for dial tone: 3 s
    ASSERT_EQ(rig.engine.DoCommand(183, 12), kOk);  // wait for answer: 12 s
    for (int32_t code : c.codes)
        ASSERT_EQ(rig.engine.DoCommand(140, code), kOk) << code;
    rig.RunMs(c.ms);
    std::vector<int32_t> outcomes;
    for (const EngineEvent &e : rig.events)
        if (e.code >= kEvDialToneDetected && e.code <= kEvBusyDetected)
            outcomes.push_back(e.code);
    EXPECT_EQ(outcomes, c.outcomes);
    EXPECT_EQ(rig.engine.GetExchange().State(), c.state) << CallStateName(rig.engine.GetExchange().State());
    if (c.state != CallState::DialTone) {
        EXPECT_EQ(rig.engine.GetExchange().LastRouted(), "5551234");
    }
}

INSTANTIATE_TEST_SUITE_P(Routes, OutgoingCall,
                         ::testing::Values(CallCase{"tones, answered",
                                                    "number \"5551234\" answer 2000\n",
                                                    {28, 5, 5, 5, 1, 2, 3, 4, 29},
                                                    16000,
                                                    {kEvDialToneDetected, kEvAnswerDetected},
                                                    CallState::Connected},
                                           CallCase{"pulses, answered",
                                                    "number \"5551234\" answer 2000\n",
                                                    {28, 21, 21, 21, 17, 18, 19, 20, 29},
                                                    24000,
                                                    {kEvDialToneDetected, kEvAnswerDetected},
                                                    CallState::Connected},
                                           CallCase{"default route, talking far end",
                                                    "",
                                                    {5, 5, 5, 1, 2, 3, 4, 29},
                                                    12000,
                                                    {kEvAnswerDetected},
                                                    CallState::Connected},
                                           CallCase{"busy",
                                                    "number \"5551234\" busy\n",
                                                    {5, 5, 5, 1, 2, 3, 4, 29},
                                                    9000,
                                                    {kEvBusyDetected},
                                                    CallState::Busy},
                                           CallCase{"no answer",
                                                    "number \"5551234\" no-answer\n",
                                                    {5, 5, 5, 1, 2, 3, 4, 29},
                                                    20000,
                                                    {kEvNoAnswer},
                                                    CallState::RingBack},
                                           CallCase{"no dial tone during a call",
                                                    "number \"5551234\" busy\n",
                                                    {5, 5, 5, 1, 2, 3, 4, 27, 27, 28},
                                                    14000,
                                                    {kEvNoDialTone},
                                                    CallState::Busy}),
                         [](const auto &info) { return NameOf(info.param.what); });

struct ToneCase {
    const char *country;
    int32_t code;
    int32_t param;
    std::vector<int> hz;
    std::vector<int> runs;  // on, off, ... in ms; empty for a continuous tone
};
void PrintTo(const ToneCase &c, std::ostream *os) { *os << c.country << " code " << c.code << "/" << c.param; }

class GeneratorTone : public ::testing::TestWithParam<ToneCase> {};

// The tone generator plays each tone toward the phone in the local country's
// frequencies and cadence (ITU-T E.180 supplement values).
TEST_P(GeneratorTone, HasItsCountrysFrequenciesAndCadence)
{
    const ToneCase &c = GetParam();
    Rig rig;
    rig.engine.SetLocalCountry(c.country);
    ASSERT_EQ(rig.engine.DoCommand(c.code, c.param), kOk);
    rig.RunMs(7000);
    const std::vector<int> runs = Cadence(rig.audio.earpiece);
    if (c.runs.empty()) {
        EXPECT_TRUE(runs.empty()) << runs.size();
    } else {
        ExpectNear(runs, c.runs, 10, "cadence");
    }
    const auto on = Slice(rig.audio.earpiece, 20, 80);
    double share = 0;
    for (int hz : c.hz)
        share += ShareAt(on, {static_cast<double>(hz)});
    EXPECT_GT(share, 0.95);
    const auto started = rig.EventsOf(kEvToneStarted);
    ASSERT_EQ(started.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Plans, GeneratorTone,
    ::testing::Values(ToneCase{"1", 12, 0, {350, 440}, {}}, ToneCase{"1", 28, 0, {440, 480}, {2000, 4000}},
                      ToneCase{"1", 44, 0, {480, 620}, {500, 500, 500, 500}},
                      ToneCase{"1", 60, 0, {480, 620}, {250, 250, 250, 250}},
                      ToneCase{"1", 76, 0, {350, 440}, {300, 2700, 300}}, ToneCase{"44", 12, 0, {350, 440}, {}},
                      ToneCase{"44", 28, 0, {400, 450}, {400, 200, 400, 2000, 400}},
                      ToneCase{"44", 44, 0, {400}, {375, 375, 375, 375}},
                      ToneCase{"44", 60, 0, {400}, {400, 350, 225, 525, 400}},
                      ToneCase{"44", 76, 0, {350, 440}, {300, 2700, 300}}, ToneCase{"33", 12, 0, {425}, {}},
                      ToneCase{"33", 28, 0, {425}, {1000, 4000, 1000}}, ToneCase{"49", 44, 0, {425}, {500, 500, 500}},
                      ToneCase{"33", 60, 0, {425}, {250, 250, 250}}, ToneCase{"33", 76, 0, {425}, {300, 2700, 300}},
                      ToneCase{"44", 108, 0, {1000}, {}}, ToneCase{"44", 108, 1, {1000}, {250}},
                      ToneCase{"1", 108, 2, {1400, 2060, 2450, 2600}, {100, 100, 100, 100}}),
    [](const auto &info) {
        return "c" + std::string(info.param.country) + "_" + std::to_string(info.param.code) + "_" +
               std::to_string(info.param.param);
    });

TEST(GeneratorTone, BeepEndsByItselfAndStopEndsTheOthers)
{
    Rig rig;
    ASSERT_EQ(rig.engine.DoCommand(124, 0), kOk);  // nothing playing: nothing to report
    ASSERT_EQ(rig.engine.DoCommand(108, 1), kOk);
    rig.RunMs(1000);
    ASSERT_EQ(rig.engine.DoCommand(44, 0), kOk);
    rig.RunMs(500);
    ASSERT_EQ(rig.engine.DoCommand(124, 0), kOk);
    rig.RunMs(500);
    EXPECT_EQ(CodesOf(rig.events), (std::vector<int32_t>{32, 33, 32, 33}));
    EXPECT_NEAR(static_cast<double>(rig.events[1].time) / kSamplesPerMs, 250, 20);
    EXPECT_LT(MeanSquare(Slice(rig.audio.earpiece, 1600, 400)), 1.0);
    EXPECT_EQ(rig.engine.DoCommand(108, 3), kErrBadArgument);
    EXPECT_EQ(rig.engine.DoCommand(108, 2147483647), kErrBadArgument);
}

// ScGenerateTones: the records sound together, each in its cadence, scaled to fit full scale.
TEST(ToneSet, RecordsSoundTogetherInTheirCadence)
{
    Rig rig;
    const ToneGenRecord records[4] = {
        {1400, 32767, 100, 100}, {2060, 32767, 100, 100}, {2450, 32767, 100, 100}, {2600, 32767, 100, 100}};
    rig.engine.GenerateTones(records);
    rig.RunMs(1000);
    ExpectNear(Cadence(rig.audio.earpiece), {100, 100, 100, 100}, 5, "cadence");
    const auto on = Slice(rig.audio.earpiece, 10, 80);
    EXPECT_GT(ShareAt(on, {1400, 2060, 2450, 2600}), 0.95);
    for (double hz : {1400.0, 2060.0, 2450.0, 2600.0})
        EXPECT_NEAR(LevelAt(on, hz), 3.14 - 20 * std::log10(4.0), 0.7) << hz;
    rig.engine.GenerateTones({});
    rig.RunMs(200);
    EXPECT_LT(MeanSquare(Slice(rig.audio.earpiece, 1020, 180)), 1.0);
    EXPECT_EQ(CodesOf(rig.events), (std::vector<int32_t>{34, 35}));
}

struct RingCase {
    int32_t frequencyCode;
    int hz;
};
void PrintTo(const RingCase &c, std::ostream *os) { *os << c.hz << " Hz"; }

class PhoneRinging : public ::testing::TestWithParam<RingCase> {};

// Ringing the phone: the chosen ringer frequency, on and off for the ringer
// periods (100 ms steps), until the handset is lifted.
TEST_P(PhoneRinging, RingsAtTheChosenFrequencyAndPeriods)
{
    Rig rig;
    ASSERT_EQ(rig.engine.DoCommand(GetParam().frequencyCode, 0), kOk);
    ASSERT_EQ(rig.engine.DoCommand(151, 10), kOk);
    ASSERT_EQ(rig.engine.DoCommand(135, 15), kOk);
    ASSERT_EQ(rig.engine.DoCommand(20, 0), kOk);
    rig.RunMs(4000);
    ExpectNear(Cadence(rig.audio.phoneRing), {1000, 1500, 1000}, 10, "ringer periods");
    int crossings = 0;
    const auto burst = Slice(rig.audio.phoneRing, 0, 1000);
    for (size_t i = 1; i < burst.size(); ++i)
        crossings += (burst[i - 1] < 0) != (burst[i] < 0);
    EXPECT_NEAR(crossings / 2.0, GetParam().hz, 1.0);
    rig.engine.Apply(Phone(ActionVerb::OffHook));
    rig.RunMs(500);
    EXPECT_LT(MeanSquare(Slice(rig.audio.phoneRing, 4100, 400)), 1.0);
    EXPECT_EQ(rig.EventsOf(kEvRingingStarted).size(), 1u);
    EXPECT_EQ(rig.EventsOf(kEvRingingStopped).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Frequencies, PhoneRinging,
                         ::testing::Values(RingCase{68, 17}, RingCase{84, 20}, RingCase{100, 25}, RingCase{116, 50}));

struct LineRingCase {
    const char *country;
    std::vector<int> runs;
    int64_t secondRingMs;
};
void PrintTo(const LineRingCase &c, std::ostream *os) { *os << c.country; }

class LineRinging : public ::testing::TestWithParam<LineRingCase> {};

// The exchange rings the line in the country's cadence; the adapter reports
// each ring (a double ring is one) and its end; the phone rings along.
TEST_P(LineRinging, RingsInTheCountrysCadenceAndCountsTheRings)
{
    const LineRingCase &c = GetParam();
    Rig rig;
    rig.engine.SetLocalCountry(c.country);
    rig.Load("0 far ring 2\n");
    rig.RunMs(15000);
    ExpectNear(Cadence(rig.audio.lineRing), c.runs, 10, "ring cadence");
    const auto rings = rig.EventsOf(kEvLineRing);
    ASSERT_EQ(rings.size(), 2u);
    EXPECT_EQ(rings[0].param, 1);
    EXPECT_EQ(rings[1].param, 2);
    EXPECT_NEAR(static_cast<double>(rings[1].time) / kSamplesPerMs, c.secondRingMs, 10);
    EXPECT_EQ(rig.EventsOf(kEvLineRingEnded).size(), 2u);
    EXPECT_EQ(rig.audio.phoneRing, rig.audio.lineRing);  // "Phone -Line": the phone is on the line
    EXPECT_EQ(rig.engine.GetExchange().State(), CallState::Idle);
}

INSTANTIATE_TEST_SUITE_P(Plans, LineRinging,
                         ::testing::Values(LineRingCase{"1", {2000, 4000, 2000}, 6000},
                                           LineRingCase{"44", {400, 200, 400, 2000, 400}, 3000},
                                           LineRingCase{"33", {1000, 4000, 1000}, 5000}),
                         [](const auto &info) { return "c" + std::string(info.param.country); });

// Sources for the routing tests: the phone's user hums 600 Hz, the PC plays
// 900 Hz and the line brings 1300 Hz.
void PlaySources(Rig &rig)
{
    for (const ScenarioAction &a :
         ParseScenario("0 phone tone 600 0 -15 3000 0 3000\n0 pc tone 900 0 -15 3000 0 3000").actions)
        rig.engine.Apply(a);
    ToneSpec line;
    line.f1 = 1300;
    line.level1 = -15;
    line.cadenceMs = {3000, 0, 0, 0};
    rig.engine.GetExchange().LinePlay(std::make_unique<ToneSource>(line, MsToSamples(3000)));
}

struct RouteCase {
    int32_t modeCode;
    std::set<int> earpiece;
    std::set<int> lineTx;
    std::set<int> pcIn;
};
void PrintTo(const RouteCase &c, std::ostream *os) { *os << "mode " << c.modeCode; }

class DeviceMode : public ::testing::TestWithParam<RouteCase> {};

// The routing table of simulator/README.md, mode by mode.
TEST_P(DeviceMode, ConnectsTheSidesAsTheTableSays)
{
    const RouteCase &c = GetParam();
    Rig rig;
    ASSERT_EQ(rig.engine.DoCommand(c.modeCode, 0), kOk);
    PlaySources(rig);
    rig.RunMs(2000);
    EXPECT_EQ(Heard(rig.audio.earpiece, {600, 900, 1300}), c.earpiece);
    EXPECT_EQ(Heard(rig.audio.lineTx, {600, 900, 1300}), c.lineTx);
    EXPECT_EQ(Heard(rig.audio.pcIn, {600, 900, 1300}), c.pcIn);
}

INSTANTIATE_TEST_SUITE_P(Modes, DeviceMode,
                         ::testing::Values(RouteCase{10, {900}, {}, {600}}, RouteCase{26, {1300}, {600}, {600, 1300}},
                                           RouteCase{42, {}, {}, {}}, RouteCase{58, {1300}, {600}, {}},
                                           RouteCase{74, {900}, {}, {600}}, RouteCase{90, {}, {900}, {1300}},
                                           RouteCase{106, {900, 1300}, {600, 900}, {600, 1300}},
                                           RouteCase{122, {900, 1300}, {900}, {1300}}));

struct SwitchCase {
    const char *what;
    std::vector<std::pair<int32_t, int32_t>> commands;  // code, parameter; after mode 106 (all connected)
    std::set<int> earpiece;
    std::set<int> lineTx;
    std::set<int> pcIn;
};
void PrintTo(const SwitchCase &c, std::ostream *os) { *os << c.what; }

class Switch : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(Switch, ChangesThePathsAsTheTableSays)
{
    const SwitchCase &c = GetParam();
    Rig rig;
    ASSERT_EQ(rig.engine.DoCommand(106, 0), kOk);
    for (const auto &[code, param] : c.commands)
        ASSERT_EQ(rig.engine.DoCommand(code, param), kOk) << code;
    PlaySources(rig);
    rig.RunMs(2000);
    EXPECT_EQ(Heard(rig.audio.earpiece, {600, 900, 1300}), c.earpiece);
    EXPECT_EQ(Heard(rig.audio.lineTx, {600, 900, 1300}), c.lineTx);
    EXPECT_EQ(Heard(rig.audio.pcIn, {600, 900, 1300}), c.pcIn);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Switch,
    ::testing::Values(SwitchCase{"none", {}, {900, 1300}, {600, 900}, {600, 1300}},
                      SwitchCase{"mute line", {{91, 0}}, {900, 1300}, {}, {600, 1300}},
                      SwitchCase{"mute line off again", {{91, 0}, {75, 0}}, {900, 1300}, {600, 900}, {600, 1300}},
                      SwitchCase{"mute phone", {{59, 0}}, {900, 1300}, {900}, {1300}},
                      SwitchCase{"silent PC stream", {{2, 0}}, {1300}, {600}, {}},
                      SwitchCase{"wave out", {{94, 0}}, {900, 1300}, {600, 900}, {900}},
                      SwitchCase{"wave out with CODEC", {{110, 0}}, {900, 1300}, {600, 900}, {600, 900, 1300}},
                      SwitchCase{"wiretapping", {{58, 0}, {138, 1}}, {1300}, {600}, {600, 1300}},
                      SwitchCase{"wiretapping off", {{58, 0}, {138, 1}, {138, 0}}, {1300}, {600}, {}}),
    [](const auto &info) { return NameOf(info.param.what); });

// The phone's bell sounds in the ringer's bursts and is quiet in its gaps,
// while the cadence runs on through both.
TEST(Bell, SoundsInTheBurstsOfTheCadence)
{
    Rig rig;
    ASSERT_EQ(rig.engine.DoCommand(20, 0), kOk);  // ring the phone: 2 s on, 3 s off (factory)
    const std::pair<int, bool> moments[] = {{500, true}, {1900, true}, {2500, false}, {4800, false}, {5500, true}};
    int64_t at = 0;
    for (const auto &[ms, sounding] : moments) {
        rig.RunMs(ms - at);
        at = ms;
        EXPECT_TRUE(rig.engine.PhoneRinging()) << ms;
        EXPECT_EQ(rig.engine.BellSounding(), sounding) << ms;
    }
    ASSERT_EQ(rig.engine.DoCommand(4, 0), kOk);  // stop
    rig.RunMs(100);
    EXPECT_FALSE(rig.engine.BellSounding());
}

struct GainCase {
    const char *what;
    std::vector<std::pair<int32_t, int32_t>> commands;
    std::pair<int32_t, uint8_t> reg;  // register 66:n = value, {0, 0} for none
    int hz;
    std::vector<int16_t> Capture::*sink;
    double gainDb;  // against the same sink without the switch
};
void PrintTo(const GainCase &c, std::ostream *os) { *os << c.what; }

class SwitchGain : public ::testing::TestWithParam<GainCase> {};

TEST_P(SwitchGain, ChangesTheLevelBy)
{
    const GainCase &c = GetParam();
    const auto levelWith = [&](bool on) {
        Rig rig;
        rig.engine.DoCommand(106, 0);
        if (on) {
            for (const auto &[code, param] : c.commands)
                rig.engine.DoCommand(code, param);
            if (c.reg.first != 0)
                rig.engine.WriteRegisters(66, c.reg.first, std::span<const uint8_t>(&c.reg.second, 1));
        }
        PlaySources(rig);
        rig.RunMs(2000);
        return LevelAt(Slice(rig.audio.*c.sink, 500, 1000), c.hz);
    };
    const double off = levelWith(false);
    EXPECT_NEAR(levelWith(true) - off, c.gainDb, 0.3) << "level without: " << off;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SwitchGain,
    ::testing::Values(GainCase{"DAA boost", {{54, 0}}, {0, 0}, 1300, &Capture::lineRx, 6.0},
                      GainCase{"CODEC boost earpiece", {}, {130, 7}, 1300, &Capture::earpiece, 10.5},
                      GainCase{"CODEC boost microphone", {}, {129, 1}, 600, &Capture::lineTx, 1.5}),
    [](const auto &info) { return NameOf(info.param.what); });

// Without echo suppression the line sends back what the adapter transmits, 12 dB lower.
TEST(EchoSuppression, RemovesTheLinesEchoOfTheTransmitAudio)
{
    for (const bool suppressed : {false, true}) {
        Rig rig;
        rig.engine.DoCommand(suppressed ? 27 : 11, 0);
        rig.engine.DoCommand(46, 0);
        PlaySources(rig);
        rig.RunMs(2000);
        const auto rx = Slice(rig.audio.lineRx, 500, 1000);
        if (suppressed) {
            EXPECT_LT(LevelAt(rx, 600), -60.0);
        } else {
            EXPECT_NEAR(LevelAt(rx, 600), -15.0 - 12.0, 0.5);
        }
        EXPECT_NEAR(LevelAt(rx, 1300), -15.0, 0.5);
    }
}

struct LiteDtmfCase {
    int32_t code;
    int32_t value;
    std::vector<std::pair<int32_t, int32_t>> digits;  // key, side
};
void PrintTo(const LiteDtmfCase &c, std::ostream *os) { *os << "code " << c.code << " value " << c.value; }

class LiteDtmf : public ::testing::TestWithParam<LiteDtmfCase> {};

// The light DTMF settings are each receiver's threshold in -dBm0, 0 off: the
// line's while the handset is off hook (152) or on hook (136), the phone's (168).
TEST_P(LiteDtmf, SetsTheReceiversThreshold)
{
    const LiteDtmfCase &c = GetParam();
    Rig rig;
    ASSERT_EQ(rig.engine.DoCommand(c.code, c.value), kOk);
    rig.Load("0 far ring\n100 phone offhook\n500 far dtmf \"5\"\n1000 phone keys \"7\"\n");
    rig.RunMs(1500);
    std::vector<std::pair<int32_t, int32_t>> got;
    for (const EngineEvent &e : rig.EventsOf(kEvDtmfDetected))
        got.emplace_back(e.param, e.side);
    EXPECT_EQ(got, c.digits);
}

INSTANTIATE_TEST_SUITE_P(Settings, LiteDtmf,
                         ::testing::Values(LiteDtmfCase{152, 26, {{5, 2}, {7, 1}}}, LiteDtmfCase{152, 0, {{7, 1}}},
                                           LiteDtmfCase{152, 5, {{7, 1}}}, LiteDtmfCase{136, 0, {{5, 2}, {7, 1}}},
                                           LiteDtmfCase{168, 0, {{5, 2}}}, LiteDtmfCase{168, 30, {{5, 2}, {7, 1}}}));

// The handset's flash button breaks the loop for 600 ms: a recall for the exchange.
TEST(Hooks, HandsetFlashIsARecall)
{
    Rig rig;
    rig.Load("number \"1\" answer 0\n0 phone offhook\n600 phone keys \"1\"\n5000 phone flash\n");
    rig.RunMs(4800);
    ASSERT_EQ(rig.engine.GetExchange().State(), CallState::Connected);
    rig.RunMs(1000);
    EXPECT_EQ(rig.engine.GetExchange().Flashes(), 1);
    EXPECT_TRUE(rig.engine.GetExchange().Holding());
    EXPECT_EQ(rig.engine.GetExchange().State(), CallState::DialTone);
    EXPECT_TRUE(rig.engine.LineOffHook());
    EXPECT_EQ(rig.EventsOf(kEvOnHook).size(), 0u) << "a flash is no hang-up";
}

// Events of the hooks on each side come from the model's state.
TEST(Hooks, EachSideReportsItsOwnHook)
{
    Rig rig;
    rig.engine.Apply(Phone(ActionVerb::OffHook));
    rig.RunMs(100);
    ASSERT_EQ(rig.engine.DoCommand(10, 0), kOk);  // "Phone - Audio Stream": the line is let go
    rig.RunMs(100);
    rig.engine.Apply(Phone(ActionVerb::OnHook));
    ASSERT_EQ(rig.engine.DoCommand(46, 0), kOk);
    ASSERT_EQ(rig.engine.DoCommand(46, 0), kOk);  // already off hook: nothing new
    ASSERT_EQ(rig.engine.DoCommand(62, 0), kOk);
    rig.RunMs(100);
    std::vector<std::pair<int32_t, int32_t>> got;
    for (const EngineEvent &e : rig.events)
        if (e.code == kEvOffHook || e.code == kEvOnHook)
            got.emplace_back(e.code, e.side);
    const std::vector<std::pair<int32_t, int32_t>> expected = {{64, TVX_SIDE_PHONE},
                                                               {64, TVX_SIDE_LINE},
                                                               {95, TVX_SIDE_LINE},
                                                               {95, TVX_SIDE_PHONE},
                                                               {64, TVX_SIDE_LINE},
                                                               {95, TVX_SIDE_LINE}};
    EXPECT_EQ(got, expected);
}

TEST(Commands, UnknownCodesAndParametersAreRefused)
{
    Rig rig;
    for (int32_t code : {-1, 0, 7, 158, 2147483647, -2147483647 - 1})
        EXPECT_EQ(rig.engine.DoCommand(code, 0), kErrBadArgument) << code;
    EXPECT_EQ(rig.engine.DoCommand(140, 32), kErrBadArgument);
    EXPECT_EQ(rig.engine.DoCommand(140, -1), kErrBadArgument);
    EXPECT_EQ(rig.engine.DoCommand(237, 2147483647), kOk);
    EXPECT_EQ(rig.engine.DoCommand(141, -2147483647 - 1), kOk);
    rig.RunMs(100);
    const auto set = rig.EventsOf(kEvParameterChanged);
    ASSERT_EQ(set.size(), 2u);
    EXPECT_EQ(set[0].param, (237 << 16) | 0xFFFF);
    EXPECT_EQ(set[1].param, 141 << 16);
    int32_t queued = 0;
    while (rig.engine.DoCommand(140, 27) == kOk && queued < 10000)
        ++queued;
    EXPECT_EQ(queued, 512);
    EXPECT_EQ(rig.engine.DoCommand(140, 27), kErrDialQueueFull);
}

// The six recordings are valid WAV files at every second, and hold the audio.
TEST(Recording, WritesSixFilesWithHeadersKeptValid)
{
    const std::string folder = ::testing::TempDir() + "tvxsim_rec_" + std::to_string(::getpid());
    ASSERT_EQ(std::system(("mkdir -p '" + folder + "'").c_str()), 0);
    Rig rig;
    tvxsim::Recorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open(folder, error)) << error;
    rig.engine.AddTap(&recorder);
    rig.engine.DoCommand(140, 5);
    rig.RunMs(2500);
    const auto header = [&](const char *file) {
        std::ifstream in(folder + "/" + file, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
        return bytes;
    };
    const auto u32 = [](const std::vector<uint8_t> &b, size_t at) {
        return static_cast<uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24);
    };
    for (const char *file : tvxsim::Recorder::kFiles) {
        const std::vector<uint8_t> b = header(file);
        ASSERT_GE(b.size(), 44u) << file;
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
        EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(u32(b, 24), 8000u);
        EXPECT_EQ(u32(b, 40), 2u * 16000u) << file << ": two seconds flushed";
    }
    recorder.Close();
    const std::vector<uint8_t> tx = header("line-tx.wav");
    ASSERT_EQ(u32(tx, 40), 2u * 20000u);
    ASSERT_EQ(tx.size(), 44u + 40000u);
    EXPECT_EQ(u32(tx, 4), 36u + 40000u);
    for (size_t i = 0; i < rig.audio.lineTx.size(); i += 997)
        EXPECT_EQ(static_cast<int16_t>(tx[44 + 2 * i] | tx[45 + 2 * i] << 8), rig.audio.lineTx[i]) << i;
    EXPECT_FALSE(recorder.Open(folder + "/none", error));
    std::system(("rm -rf '" + folder + "'").c_str());
}

}  // namespace
