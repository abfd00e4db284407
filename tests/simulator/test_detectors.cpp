// The detectors on their own, fed made-up audio: the tone monitor with the
// tool's sixteen rows, the DTMF receiver's timing, the voice detector and the
// dialler's call-progress listener.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "simulator/engine/CallProgress.h"
#include "simulator/engine/DtmfReceiver.h"
#include "simulator/engine/Sources.h"
#include "simulator/engine/ToneMonitor.h"
#include "simulator/engine/VoiceDetector.h"
#include "simulator/logic/Parameters.h"
#include "simulator/logic/ToolTones.h"
#include "tests/simulator/SimTestSupport.h"

using namespace tvxsim;

namespace {

// Audio made of pieces played one after the other.
struct Piece {
    int64_t ms;
    std::function<std::unique_ptr<Source>()> make;  // nullptr: silence
};

std::vector<int16_t> Render(const std::vector<Piece> &pieces)
{
    std::vector<int16_t> out;
    for (const Piece &p : pieces) {
        std::vector<int16_t> part(static_cast<size_t>(MsToSamples(p.ms)), 0);
        if (p.make)
            p.make()->MixInto(part);
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

Piece Silence(int64_t ms) { return {ms, nullptr}; }

Piece Dtmf(char key, int64_t ms)
{
    return {ms, [key, ms] { return std::make_unique<DtmfSource>(std::string(1, key), static_cast<int32_t>(ms), 0); }};
}

Piece Tone(double f1, double f2, float dbm0, int64_t ms)
{
    return {ms, [=] {
                ToneSpec t;
                t.f1 = static_cast<int32_t>(std::lround(f1));
                t.f2 = static_cast<int32_t>(std::lround(f2));
                t.level1 = t.level2 = dbm0;
                t.cadenceMs = {static_cast<int32_t>(ms), 0, 0, 0};
                return std::make_unique<ToneSource>(t, MsToSamples(ms));
            }};
}

Piece Speech(int64_t ms, float dbm0)
{
    return {ms, [=] { return std::make_unique<SpeechSource>(MsToSamples(ms), dbm0, 7); }};
}

std::set<int32_t> MonitorHits(const std::vector<int16_t> &audio, uint32_t toneThreshold = 999,
                              uint32_t silenceThreshold = 120)
{
    ToneMonitor monitor;
    monitor.Arm(ToolToneRows());
    monitor.SetLevels(static_cast<float>(ThresholdToDbm0(toneThreshold)),
                      static_cast<float>(ThresholdToDbm0(silenceThreshold)));
    std::vector<MonitorHit> hits;
    for (size_t i = 0; i < audio.size(); i += kBlockSamples) {
        const size_t n = std::min<size_t>(kBlockSamples, audio.size() - i);
        monitor.Process(std::span<const int16_t>(audio.data() + i, n), static_cast<SampleTime>(i), hits);
    }
    std::set<int32_t> rows;
    for (const MonitorHit &h : hits)
        rows.insert(h.row);
    return rows;
}

struct MonitorCase {
    const char *what;
    std::vector<Piece> audio;
    std::set<int32_t> rows;
};
void PrintTo(const MonitorCase &c, std::ostream *os) { *os << c.what; }

class ToneMonitorRows : public ::testing::TestWithParam<MonitorCase> {};

// Each signal, framed by less silence than the "Silent" row asks for,
// reports exactly the rows it satisfies.
TEST_P(ToneMonitorRows, ReportsTheRowsTheSignalSatisfies)
{
    const MonitorCase &c = GetParam();
    std::vector<Piece> framed = {Silence(300)};
    framed.insert(framed.end(), c.audio.begin(), c.audio.end());
    framed.push_back(Silence(300));
    EXPECT_EQ(MonitorHits(Render(framed)), c.rows);
}

std::vector<MonitorCase> MonitorCases()
{
    std::vector<MonitorCase> cases;
    const char keys[] = "0123456789*#D";
    for (int row = 0; row < 13; ++row)
        cases.push_back({simtest::ToneSet()[row].name, {Dtmf(keys[row], 300)}, {row}});
    cases.push_back({"silence 1.4 s", {Silence(1400)}, {13}});
    cases.push_back({"825 Hz 50 ms", {Tone(825, 0, -15, 50)}, {14}});
    cases.push_back({"825 Hz 150 ms", {Tone(825, 0, -15, 150)}, {14, 15}});
    // Shorter than the row's duration.
    cases.push_back({"DTMF 5 for 200 ms", {Dtmf('5', 200)}, {}});
    cases.push_back({"825 Hz 25 ms", {Tone(825, 0, -15, 25)}, {}});
    cases.push_back({"825 Hz 100 ms", {Tone(825, 0, -15, 100)}, {14}});
    cases.push_back(
        {"silence 1 s between tones", {Tone(1000, 0, -10, 200), Silence(1000), Tone(1000, 0, -10, 200)}, {}});
    // 3 % off frequency.
    cases.push_back({"825 Hz up 3 %", {Tone(825 * 1.03, 0, -15, 300)}, {}});
    cases.push_back({"825 Hz down 3 %", {Tone(825 * 0.97, 0, -15, 300)}, {}});
    cases.push_back({"DTMF 1 both up 3 %", {Tone(697 * 1.03, 1209 * 1.03, -9, 400)}, {}});
    cases.push_back({"DTMF 1 low group down 3 %", {Tone(697 * 0.97, 1209, -9, 400)}, {}});
    cases.push_back({"DTMF 9 high group up 3 %", {Tone(852, 1477 * 1.03, -9, 400)}, {}});
    cases.push_back({"825 Hz up 1 %", {Tone(825 * 1.01, 0, -15, 300)}, {14, 15}});
    // Speech-like noise, loud and soft, and a tone that is no row's.
    cases.push_back({"speech at -10 dBm0", {Speech(8000, -10)}, {}});
    cases.push_back({"speech at -25 dBm0", {Speech(8000, -25)}, {}});
    cases.push_back({"1 kHz", {Tone(1000, 0, -10, 500)}, {}});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Rows, ToneMonitorRows, ::testing::ValuesIn(MonitorCases()),
                         [](const auto &info) { return simtest::NameOf(info.param.what); });

struct ThresholdCase {
    uint32_t value;  // as the tool's slider sends it
};
void PrintTo(const ThresholdCase &c, std::ostream *os) { *os << c.value; }

class MonitorThreshold : public ::testing::TestWithParam<ThresholdCase> {};

// A tone 1 dB above the threshold's level is taken, 1 dB below it is not;
// silence is a level 1 dB below the silence threshold, not 1 dB above it.
TEST_P(MonitorThreshold, MovesTheDetectionLevelByItsDbm)
{
    const uint32_t v = GetParam().value;
    const auto level = static_cast<float>(ThresholdToDbm0(v));
    EXPECT_EQ(MonitorHits(Render({Tone(825, 0, level + 1, 200)}), v), (std::set<int32_t>{14, 15}));
    EXPECT_EQ(MonitorHits(Render({Tone(825, 0, level - 1, 200)}), v), std::set<int32_t>{});
    EXPECT_EQ(MonitorHits(Render({Tone(300, 0, level - 1, 1500)}), 32766, v), std::set<int32_t>{13});
    EXPECT_EQ(MonitorHits(Render({Tone(300, 0, level + 1, 1500)}), 32766, v), std::set<int32_t>{});
}

INSTANTIATE_TEST_SUITE_P(Levels, MonitorThreshold,
                         ::testing::Values(ThresholdCase{99}, ThresholdCase{999}, ThresholdCase{3162},
                                           ThresholdCase{10000}));

struct DtmfTimingCase {
    int32_t onMs;
    const char *expected;
};
void PrintTo(const DtmfTimingCase &c, std::ostream *os) { *os << c.onMs << " ms"; }

class DtmfTiming : public ::testing::TestWithParam<DtmfTimingCase> {};

// The receiver behind event 48 keeps its own Q.24 timing: 40 ms is a digit,
// 23 ms is not, wherever the tone falls against the receiver's blocks.
TEST_P(DtmfTiming, FortyMillisecondsIsADigitTwentyThreeIsNot)
{
    const DtmfTimingCase &c = GetParam();
    for (int64_t offset = 0; offset < 160; offset += 13) {
        std::vector<int16_t> audio(static_cast<size_t>(offset), 0);
        const std::vector<int16_t> digits = Render(
            {Silence(100), {c.onMs * 3 + 300, [&] { return std::make_unique<DtmfSource>("707", c.onMs, 100); }}});
        audio.insert(audio.end(), digits.begin(), digits.end());
        DtmfReceiver rx;
        std::vector<DtmfDigit> got;
        for (size_t i = 0; i < audio.size(); i += kBlockSamples)
            rx.Process(std::span<const int16_t>(audio).subspan(i, std::min<size_t>(kBlockSamples, audio.size() - i)),
                       static_cast<SampleTime>(i),
                       got);
        std::string keys;
        for (const DtmfDigit &d : got)
            keys += d.key;
        EXPECT_EQ(keys, c.expected) << "offset " << offset;
    }
}

INSTANTIATE_TEST_SUITE_P(Q24, DtmfTiming,
                         ::testing::Values(DtmfTimingCase{23, ""}, DtmfTimingCase{40, "707"},
                                           DtmfTimingCase{95, "707"}));

struct VoiceCase {
    const char *what;
    Piece audio;
    std::vector<bool> changes;
};
void PrintTo(const VoiceCase &c, std::ostream *os) { *os << c.what; }

class VoiceBand : public ::testing::TestWithParam<VoiceCase> {};

TEST_P(VoiceBand, ReportsVoiceWithinTheBandAboveTheThreshold)
{
    VoiceDetector voice;
    voice.SetBand(VoiceBandLowHz(85), VoiceBandHighHz(112));
    voice.SetThreshold(VoiceThresholdDbm0(63));
    const std::vector<int16_t> audio = Render({GetParam().audio, Silence(1500)});
    std::vector<VoiceChange> changes;
    voice.Process(audio, 0, changes);
    std::vector<bool> got;
    for (const VoiceChange &c : changes)
        got.push_back(c.voice);
    EXPECT_EQ(got, GetParam().changes);
}

INSTANTIATE_TEST_SUITE_P(Table, VoiceBand,
                         ::testing::Values(VoiceCase{"speech", Speech(1500, -20), {true, false}},
                                           VoiceCase{"quiet speech", Speech(1500, -45), {}},
                                           VoiceCase{"1 kHz at -20 dBm0", Tone(1000, 0, -20, 300), {true, false}},
                                           VoiceCase{"150 Hz below the band", Tone(150, 0, -20, 300), {}},
                                           VoiceCase{"10 ms click", Tone(1000, 0, -10, 10), {}}));

struct ProgressCase {
    int32_t country;
    const char *what;
    std::vector<Piece> audio;
    bool dialTone;
    AnswerSignal answer;
};
void PrintTo(const ProgressCase &c, std::ostream *os) { *os << c.country << " " << c.what; }

class ProgressListener : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(ProgressListener, TellsDialToneAnswerAndBusy)
{
    const ProgressCase &c = GetParam();
    CallProgress progress;
    progress.Start(TonePlanFor(c.country));
    progress.Process(Render(c.audio), 0);
    EXPECT_EQ(progress.DialTone(), c.dialTone);
    EXPECT_EQ(progress.Answer(), c.answer);
}

Piece PlanTone(int32_t country, ProgressTone t, int64_t ms)
{
    return {ms, [=] { return std::make_unique<ToneSource>(TonePlanFor(country).Tone(t), MsToSamples(ms)); }};
}

std::vector<ProgressCase> ProgressCases()
{
    std::vector<ProgressCase> cases;
    for (int32_t country : {1, 44, 33}) {
        cases.push_back(
            {country, "dial tone", {PlanTone(country, ProgressTone::Dial, 1500)}, true, AnswerSignal::None});
        cases.push_back({country,
                         "ring-back then silence",
                         {PlanTone(country, ProgressTone::RingBack, 2100), Silence(6000)},
                         false,
                         AnswerSignal::Answered});
        cases.push_back({country,
                         "ring-back then speech",
                         {PlanTone(country, ProgressTone::RingBack, 1100), Speech(1000, -20)},
                         false,
                         AnswerSignal::Answered});
        cases.push_back({country, "busy", {PlanTone(country, ProgressTone::Busy, 3000)}, false, AnswerSignal::Busy});
        cases.push_back({country,
                         "ring-back still ringing",
                         {PlanTone(country, ProgressTone::RingBack, 5500)},
                         false,
                         AnswerSignal::None});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Plans, ProgressListener, ::testing::ValuesIn(ProgressCases()), [](const auto &info) {
    return simtest::NameOf(std::to_string(info.param.country) + "_" + info.param.what);
});

}  // namespace
