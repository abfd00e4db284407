// The detectors on their own, fed made-up audio and the recordings of
// Debian's sound packages: the tone monitor with the tool's sixteen rows,
// the DTMF receiver against the Q.24 limits (frequency, twist, duration,
// level; over dial tone, beside a tone outside its band, noise, dropouts and
// clipping; and no digit from speech, music, modem and call-progress tones,
// from the engine and from sox), the caller-ID receiver and its carrier
// meter (no message from speech, music and tones, nor without a genuine
// channel seizure), the voice detector and the dialler's call-progress
// listener.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <numbers>
#include <optional>
#include <ostream>
#include <set>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include <unistd.h>

#include "simulator/engine/CallProgress.h"
#include "simulator/engine/CallerIdReceiver.h"
#include "simulator/engine/DtmfReceiver.h"
#include "simulator/engine/FskCarrierMeter.h"
#include "simulator/engine/FskSource.h"
#include "simulator/engine/GoertzelBank.h"
#include "simulator/engine/Sources.h"
#include "simulator/engine/ToneMonitor.h"
#include "simulator/engine/VoiceDetector.h"
#include "simulator/logic/CallerIdMessage.h"
#include "simulator/logic/EventNames.h"
#include "simulator/logic/Parameters.h"
#include "tests/simulator/LineRecordings.h"
#include "tests/simulator/SignalProbe.h"
#include "tests/simulator/SimTestSupport.h"
#include "tests/simulator/SoundFiles.h"

using namespace tvxsim;
using simtest::HaveSox;
using simtest::MixAt;

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

struct FilterCase {
    const char *what;
    int32_t hz;
    float dbm0;
    int64_t toneFromMs;          // after silence
    int64_t toneMs;              // then silence again
    int64_t resetAtMs;           // the banks start over (-1 never)
    int64_t askAtMs;             // the window ending here
    std::optional<float> reads;  // what it reads, if the window holds the tone alone or silence
};
void PrintTo(const FilterCase &c, std::ostream *os) { *os << c.what; }

class FilterBankWindow : public ::testing::TestWithParam<FilterCase> {};

// The filter bank works a filter out only when a decision asks for it: a
// bank asked about one window alone reads exactly what a bank asked about
// every window reads, from all of that window's samples, and no samples from
// before a reset.
TEST_P(FilterBankWindow, ReadsTheSameWhenFirstAskedLate)
{
    const FilterCase &c = GetParam();
    const std::vector<int16_t> audio = Render({Silence(c.toneFromMs), Tone(c.hz, 0, c.dbm0, c.toneMs), Silence(500)});
    const std::array<GoertzelBank::Tone, 1> tone = {{{c.hz, 0}}};
    GoertzelBank everyWindow, oneWindow;
    everyWindow.Configure(tone);
    oneWindow.Configure(tone);
    const SampleTime ask = MsToSamples(c.askAtMs);
    std::optional<float> every, once;
    for (size_t i = 0; i < audio.size(); i += kBlockSamples) {
        const auto t = static_cast<SampleTime>(i);
        if (t == MsToSamples(c.resetAtMs)) {
            everyWindow.Reset();
            oneWindow.Reset();
        }
        const auto block =
            std::span<const int16_t>(audio).subspan(i, std::min<size_t>(kBlockSamples, audio.size() - i));
        everyWindow.Process(block, t, [&](SampleTime end) {
            const float level = everyWindow.ComponentDbm0(0, 0);
            if (end == ask)
                every = level;
        });
        oneWindow.Process(block, t, [&](SampleTime end) {
            if (end == ask)
                once = oneWindow.ComponentDbm0(0, 0);
        });
    }
    ASSERT_TRUE(every.has_value() && once.has_value()) << "no window ends at " << c.askAtMs << " ms";
    EXPECT_EQ(*once, *every);
    if (c.reads) {
        EXPECT_NEAR(*once, *c.reads, 0.2f);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lazy, FilterBankWindow,
    ::testing::Values(FilterCase{"1209 Hz, the window full of it", 1209, -10, 100, 300, -1, 130, -10.0f},
                      FilterCase{"697 Hz, half the window", 697, -10, 100, 300, -1, 110, std::nullopt},
                      FilterCase{"2130 Hz, as it ends", 2130, -20, 100, 300, -1, 410, std::nullopt},
                      FilterCase{"825 Hz, weak", 825, -35, 40, 600, -1, 300, -35.0f},
                      FilterCase{"1633 Hz, after a reset", 1633, -7, 40, 400, 200, 225, -7.0f},
                      FilterCase{"941 Hz, silence after a reset", 941, -7, 40, 160, 200, 225, -200.0f}),
    [](const auto &info) { return simtest::NameOf(info.param.what); });

// The keys the receiver reports for `audio`, fed in 20 ms blocks after
// `lead` samples of silence.
std::string DtmfKeys(const std::vector<int16_t> &audio, size_t lead = 0)
{
    std::vector<int16_t> fed(lead, 0);
    fed.insert(fed.end(), audio.begin(), audio.end());
    DtmfReceiver rx;
    std::vector<DtmfDigit> got;
    for (size_t i = 0; i < fed.size(); i += kBlockSamples)
        rx.Process(std::span<const int16_t>(fed).subspan(i, std::min<size_t>(kBlockSamples, fed.size() - i)),
                   static_cast<SampleTime>(i),
                   got);
    std::string keys;
    for (const DtmfDigit &d : got)
        keys += d.key;
    return keys;
}

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
    const std::vector<int16_t> digits =
        Render({Silence(100), {c.onMs * 3 + 300, [&] { return std::make_unique<DtmfSource>("707", c.onMs, 100); }}});
    for (size_t offset = 0; offset < 160; offset += 13)
        EXPECT_EQ(DtmfKeys(digits, offset), c.expected) << "offset " << offset;
}

INSTANTIATE_TEST_SUITE_P(Q24, DtmfTiming,
                         ::testing::Values(DtmfTimingCase{23, ""}, DtmfTimingCase{40, "707"},
                                           DtmfTimingCase{95, "707"}));

// One sine of a DTMF signal made by sox.
struct SoxTone {
    double hz;
    double dbm0;
};

struct LimitCase {
    std::string what;
    std::vector<SoxTone> pair;
    int64_t ms;
    std::string keys;
};
void PrintTo(const LimitCase &c, std::ostream *os) { *os << c.what; }

class DtmfLimits : public ::testing::TestWithParam<LimitCase> {};

std::vector<LimitCase> LimitCases();

// The sines of every case, made by one run of sox the first time one is asked for.
const std::vector<int16_t> *LimitSine(const SoxTone &tone, int64_t ms)
{
    using Key = std::tuple<double, double, int64_t>;
    static const std::map<Key, std::vector<int16_t>> sines = [] {
        std::vector<simtest::SoxSineSpec> specs;
        for (const LimitCase &c : LimitCases())
            for (const SoxTone &t : c.pair)
                specs.push_back({t.hz, t.dbm0, c.ms});
        const std::vector<std::vector<int16_t>> made = simtest::SoxSines(specs);
        std::map<Key, std::vector<int16_t>> out;
        for (size_t i = 0; i < made.size(); ++i)
            out.emplace(Key{specs[i].hz, specs[i].dbm0, specs[i].ms}, made[i]);
        return out;
    }();
    const auto it = sines.find({tone.hz, tone.dbm0, ms});
    return it == sines.end() ? nullptr : &it->second;
}

// Pairs that sox makes, 100 ms after silence: what Q.24 says a receiver
// takes is one digit, what it says a receiver refuses is none, at four
// starts against the blocks.
TEST_P(DtmfLimits, TakesWhatQ24TakesAndRefusesTheRest)
{
    if (!HaveSox())
        GTEST_SKIP() << "sox is not installed (scripts/install-deps.sh installs it)";
    const LimitCase &c = GetParam();
    std::vector<int16_t> audio(static_cast<size_t>(MsToSamples(100 + c.ms + 150)), 0);
    for (const SoxTone &t : c.pair) {
        const std::vector<int16_t> *sine = LimitSine(t, c.ms);
        ASSERT_NE(sine, nullptr) << "sox made no sine of " << t.hz << " Hz";
        MixAt(audio, *sine, static_cast<size_t>(MsToSamples(100)));
    }
    for (size_t lead : {0, 37, 91, 133})
        EXPECT_EQ(DtmfKeys(audio, lead), c.keys) << "lead " << lead;
}

constexpr std::array<double, 4> kRowHz = {697, 770, 852, 941};
constexpr std::array<double, 4> kColumnHz = {1209, 1336, 1477, 1633};
constexpr std::string_view kKeyGrid = "123A456B789C*0#D";  // row by row

std::string Key(size_t row, size_t column) { return std::string(1, kKeyGrid[row * 4 + column]); }

std::string Percent(double fraction)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s %.2f %%", fraction < 0 ? "down" : "up", std::fabs(fraction) * 100);
    return text;
}

std::vector<LimitCase> LimitCases()
{
    std::vector<LimitCase> cases;
    // Each frequency off on either side, its partner at nominal: 1.5 % plus
    // 2 Hz is taken, 3.5 % is refused.
    for (size_t i = 0; i < 4; ++i)
        for (double side : {-1.0, 1.0}) {
            const double row = kRowHz[i], column = kColumnHz[i];
            const double rowNear = side * (0.015 + 2.0 / row), columnNear = side * (0.015 + 2.0 / column);
            cases.push_back({"row " + std::to_string(i) + " " + Percent(rowNear),
                             {{row * (1 + rowNear), -10}, {kColumnHz[1], -10}},
                             60,
                             Key(i, 1)});
            cases.push_back({"row " + std::to_string(i) + " " + Percent(side * 0.035),
                             {{row * (1 + side * 0.035), -10}, {kColumnHz[1], -10}},
                             60,
                             ""});
            cases.push_back({"column " + std::to_string(i) + " " + Percent(columnNear),
                             {{kRowHz[1], -10}, {column * (1 + columnNear), -10}},
                             60,
                             Key(1, i)});
            cases.push_back({"column " + std::to_string(i) + " " + Percent(side * 0.035),
                             {{kRowHz[1], -10}, {column * (1 + side * 0.035), -10}},
                             60,
                             ""});
        }
    // Both 1.5 % off together, above and below (the pair of 707 and 1499 Hz
    // was lost once), and in opposite directions.
    cases.push_back({"3 both up 1.5 %", {{707, -10}, {1499, -10}}, 60, "3"});
    cases.push_back({"3 both down 1.5 %", {{686.5, -10}, {1454.8, -10}}, 60, "3"});
    cases.push_back({"D apart 1.5 %", {{941 * 0.985, -10}, {1633 * 1.015, -10}}, 60, "D"});
    // Twist: the high group up to 4 dB louder and 8 dB quieter, at each corner of the keypad.
    for (const auto &[row, column] : {std::pair<size_t, size_t>{0, 0}, {0, 3}, {3, 0}, {3, 3}}) {
        const std::string key = Key(row, column);
        cases.push_back({key + " twist +4 dB", {{kRowHz[row], -14}, {kColumnHz[column], -10}}, 60, key});
        cases.push_back({key + " twist -8 dB", {{kRowHz[row], -10}, {kColumnHz[column], -18}}, 60, key});
        cases.push_back({key + " twist +7 dB", {{kRowHz[row], -17}, {kColumnHz[column], -10}}, 60, ""});
        cases.push_back({key + " twist -11 dB", {{kRowHz[row], -10}, {kColumnHz[column], -21}}, 60, ""});
    }
    // Duration and level.
    cases.push_back({"9 for 40 ms", {{852, -10}, {1477, -10}}, 40, "9"});
    cases.push_back({"9 for 23 ms", {{852, -10}, {1477, -10}}, 23, ""});
    cases.push_back({"9 at -24 dBm0", {{852, -24}, {1477, -24}}, 60, "9"});
    cases.push_back({"9 at -30 dBm0", {{852, -30}, {1477, -30}}, 60, ""});
    // One frequency alone, and two of one group, are no digit.
    cases.push_back({"852 Hz alone", {{852, -10}}, 100, ""});
    cases.push_back({"852 and 941 Hz", {{852, -10}, {941, -10}}, 100, ""});
    cases.push_back({"852 941 and 1477 Hz", {{852, -10}, {941, -10}, {1477, -10}}, 100, ""});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Q24, DtmfLimits, ::testing::ValuesIn(LimitCases()),
                         [](const auto &info) { return simtest::NameOf(info.param.what); });

// Audio that the engine makes, laid over other audio.
struct Layer {
    int64_t atMs;
    int64_t ms;
    std::function<std::unique_ptr<Source>()> make;
};
std::vector<int16_t> Layers(int64_t totalMs, const std::vector<Layer> &layers)
{
    std::vector<int16_t> out(static_cast<size_t>(MsToSamples(totalMs)), 0);
    for (const Layer &l : layers) {
        std::vector<int16_t> part(static_cast<size_t>(MsToSamples(l.ms)), 0);
        l.make()->MixInto(part);
        MixAt(out, part, static_cast<size_t>(MsToSamples(l.atMs)));
    }
    return out;
}

Layer DialTone(int32_t country, int64_t ms)
{
    return {0, ms, [=] {
                return std::make_unique<ToneSource>(TonePlanFor(country).Tone(ProgressTone::Dial), MsToSamples(ms));
            }};
}
Layer Keys(int64_t atMs, const char *keys, int32_t onMs, int32_t offMs, int lowGroupDbm0 = DtmfSource::kLowGroupDbm0)
{
    const auto ms = static_cast<int64_t>(std::string_view(keys).size()) * (onMs + offMs);
    return {atMs, ms, [=] { return std::make_unique<DtmfSource>(keys, onMs, offMs, lowGroupDbm0); }};
}
Layer Noise(int64_t ms, float dbm0)
{
    return {0, ms, [=] { return std::make_unique<NoiseSource>(MsToSamples(ms), dbm0, 5); }};
}
Layer Pair(int32_t f1, int32_t f2, float dbm0, int64_t ms)
{
    ToneSpec t;
    t.f1 = f1;
    t.f2 = f2;
    t.level1 = t.level2 = dbm0;
    t.cadenceMs = {static_cast<int32_t>(ms), 0, 0, 0};
    return {0, ms, [=] { return std::make_unique<ToneSource>(t, MsToSamples(ms)); }};
}

struct LineCase {
    const char *what;
    std::function<std::vector<int16_t>()> audio;
    const char *keys;
};
void PrintTo(const LineCase &c, std::ostream *os) { *os << c.what; }

class DtmfOnRealLines : public ::testing::TestWithParam<LineCase> {};

// What recordings of real lines hold: a first digit that begins under dial
// tone (the exchange stops it only once it has the digit), a tone beside the
// digits outside their band, noise, dropouts, clipping. Each digit comes
// once, at four starts against the blocks.
TEST_P(DtmfOnRealLines, GivesEachDigitOnce)
{
    const std::vector<int16_t> audio = GetParam().audio();
    for (size_t lead : {0, 29, 83, 151})
        EXPECT_EQ(DtmfKeys(audio, lead), GetParam().keys) << "lead " << lead;
}

// `audio` with `ms` of silence cut out of it at `atMs`, as a lost packet leaves it.
std::vector<int16_t> Dropout(std::vector<int16_t> audio, int64_t atMs, int64_t ms)
{
    const auto from = static_cast<size_t>(MsToSamples(atMs));
    std::fill_n(audio.begin() + static_cast<std::ptrdiff_t>(from), static_cast<size_t>(MsToSamples(ms)), int16_t{0});
    return audio;
}
std::vector<int16_t> Amplified(std::vector<int16_t> audio, float db)
{
    ApplyGain(audio, DbToGain(db));
    return audio;
}

// The keys 1, A, *, D and 5 (every row and column at the keypad's corners,
// and one inside) with a tone at `hz` all along.
std::vector<int16_t> BesideTone(int32_t hz, float toneDbm0, int lowGroupDbm0)
{
    return Layers(1400, {Pair(hz, 0, toneDbm0, 1400), Keys(300, "1A*D5", 80, 100, lowGroupDbm0)});
}

std::vector<LineCase> LineCases()
{
    std::vector<LineCase> cases = {
        // The exchange's dial tone until 40 ms after the first digit began.
        {"1 then 5 under 350 + 440 Hz dial tone",
         [] {
             return Layers(1200, {DialTone(1, 340), Keys(300, "15", 80, 120)});
         },
         "15"},
        {"1 then 5 under 425 Hz dial tone",
         [] {
             return Layers(1200, {DialTone(33, 340), Keys(300, "15", 80, 120)});
         },
         "15"},
        {"weak 0 under 350 + 440 Hz dial tone",
         [] {
             return Layers(1000, {DialTone(44, 1000), Keys(300, "0", 80, 0, -22)});
         },
         "0"},
        {"weak 0 under 425 Hz dial tone",
         [] {
             return Layers(1000, {DialTone(33, 1000), Keys(300, "0", 80, 0, -22)});
         },
         "0"},
        {"dial tone alone", [] { return Layers(2000, {DialTone(1, 2000)}); }, ""},
        // White noise 12 dB below the pair.
        {"159 in noise",
         [] {
             return Layers(1500, {Noise(1500, -17), Keys(200, "159", 60, 100)});
         },
         "159"},
        // A dropout of up to 20 ms inside a digit keeps the digit; a pause of 50 ms makes two.
        {"5 with a 10 ms dropout", [] { return Dropout(Layers(800, {Keys(200, "5", 150, 0)}), 260, 10); }, "5"},
        {"5 with a 20 ms dropout", [] { return Dropout(Layers(800, {Keys(200, "5", 150, 0)}), 260, 20); }, "5"},
        {"55 with a 50 ms pause", [] { return Layers(800, {Keys(200, "55", 80, 50)}); }, "55"},
        // Clipped by a recording made 12 dB too loud.
        {"48 clipped", [] { return Amplified(Layers(800, {Keys(200, "48", 80, 100)}), 12); }, "48"},
        // A lone tone outside the DTMF band all along, 3 dB above the low
        // group's frequency (and 1 dB above the high group's, 2 dB louder):
        // above the band from 2,000 to 3,400 Hz, below it under 600 Hz.
        {"1A*D5 beside 2000 Hz", [] { return BesideTone(2000, -9, -12); }, "1A*D5"},
        {"1A*D5 beside 2450 Hz", [] { return BesideTone(2450, -9, -12); }, "1A*D5"},
        {"1A*D5 beside 2930 Hz", [] { return BesideTone(2930, -9, -12); }, "1A*D5"},
        {"1A*D5 beside 3400 Hz", [] { return BesideTone(3400, -9, -12); }, "1A*D5"},
        {"weak 1A*D5 beside 3170 Hz", [] { return BesideTone(3170, -20, -23); }, "1A*D5"},
        {"1A*D5 over 60 Hz hum", [] { return BesideTone(60, -9, -12); }, "1A*D5"},
        {"1A*D5 over 310 Hz", [] { return BesideTone(310, -9, -12); }, "1A*D5"},
        {"1A*D5 over 525 Hz", [] { return BesideTone(525, -9, -12); }, "1A*D5"},
        {"1A*D5 over 590 Hz", [] { return BesideTone(590, -9, -12); }, "1A*D5"},
        {"weak 1A*D5 over 475 Hz", [] { return BesideTone(475, -20, -23); }, "1A*D5"},
    };
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Recordings, DtmfOnRealLines, ::testing::ValuesIn(LineCases()),
                         [](const auto &info) { return simtest::NameOf(info.param.what); });

struct DialToneCase {
    const char *country;
    int lowGroupDbm0;
};
void PrintTo(const DialToneCase &c, std::ostream *os) { *os << c.country << " at " << c.lowGroupDbm0 << " dBm0"; }

class LineDtmfOverDialTone : public ::testing::TestWithParam<DialToneCase> {};

// In the engine: with the line off hook and the exchange's dial tone on line
// receive, digits that arrive on the line are event 48 on the line side.
TEST_P(LineDtmfOverDialTone, IsReportedOnTheLineSide)
{
    simtest::Rig rig;
    rig.engine.SetLocalCountry(GetParam().country);
    rig.Load("0 phone offhook\n");
    rig.RunMs(400);
    ASSERT_EQ(rig.engine.GetExchange().State(), CallState::DialTone);
    rig.engine.GetExchange().LinePlay(std::make_unique<DtmfSource>("1#", 80, 120, GetParam().lowGroupDbm0));
    rig.RunMs(800);
    std::vector<std::pair<int32_t, int32_t>> got;
    for (const EngineEvent &e : rig.EventsOf(kEvDtmfDetected))
        got.emplace_back(e.param, e.side);
    EXPECT_EQ(got, (std::vector<std::pair<int32_t, int32_t>>{{1, TVX_SIDE_LINE}, {11, TVX_SIDE_LINE}}));
    EXPECT_EQ(rig.engine.GetExchange().State(), CallState::DialTone);  // the exchange heard nothing
}

INSTANTIATE_TEST_SUITE_P(Countries, LineDtmfOverDialTone,
                         ::testing::Values(DialToneCase{"1", -9}, DialToneCase{"1", -20}, DialToneCase{"44", -20},
                                           DialToneCase{"33", -9}, DialToneCase{"33", -20}));

struct TalkOffCase {
    const char *what;
    std::function<std::vector<int16_t>()> audio;  // empty: its tool or file is not installed
};
void PrintTo(const TalkOffCase &c, std::ostream *os) { *os << c.what; }

class DtmfTalkOff : public ::testing::TestWithParam<TalkOffCase> {};

TEST_P(DtmfTalkOff, GivesNoDigit)
{
    const std::vector<int16_t> audio = GetParam().audio();
    if (audio.empty())
        GTEST_SKIP() << "sox or the recording is not installed (scripts/install-deps.sh installs them)";
    EXPECT_EQ(DtmfKeys(audio), "");
}

Layer Talk(int64_t ms, float dbm0, uint32_t seed)
{
    return {0, ms, [=] { return std::make_unique<SpeechSource>(MsToSamples(ms), dbm0, seed); }};
}
Layer Fsk(CidModem modem, const FskFraming &framing)
{
    return {0, 2000, [=] {
                const std::vector<uint8_t> message =
                    BuildCallerIdMessage(CidFormat::Mdmf, {"Ivor Kell", "7964710", "04292230"});
                return std::make_unique<FskSource>(modem, framing, message, -13.0f);
            }};
}

// Each call-progress tone of a country, 6 s of its cadence.
std::vector<int16_t> ProgressTones(int32_t country)
{
    std::vector<int16_t> out;
    for (size_t t = 0; t < kProgressTones; ++t) {
        std::vector<int16_t> part(static_cast<size_t>(MsToSamples(6000)), 0);
        ToneSource(TonePlanFor(country).Tone(static_cast<ProgressTone>(t)), MsToSamples(6000)).MixInto(part);
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

// The spoken words that the sound utilities ship, one after the other, at
// their own level and 10 dB louder.
std::vector<int16_t> SpokenWords()
{
    std::vector<int16_t> out;
    for (const char *name : {"Front_Center",
                             "Front_Left",
                             "Front_Right",
                             "Rear_Center",
                             "Rear_Left",
                             "Rear_Right",
                             "Side_Left",
                             "Side_Right"}) {
        const std::string path = std::string("/usr/share/sounds/alsa/") + name + ".wav";
        if (!HaveSox() || ::access(path.c_str(), R_OK) != 0)
            return {};
        for (const char *gain : {"", "gain 10"}) {
            const std::vector<int16_t> words = simtest::SoxSamples("'" + path + "'", gain);
            out.insert(out.end(), words.begin(), words.end());
        }
    }
    return out;
}

std::vector<int16_t> Sox(const std::string &effects)
{
    return HaveSox() ? simtest::SoxSamples("-n", effects) : std::vector<int16_t>{};
}

// Speech, music and tones, which neither receiver may take for its signal.
std::vector<TalkOffCase> NeitherDigitsNorCallerId()
{
    return {
        {"speech-like noise at -10 dBm0", [] { return Layers(30000, {Talk(30000, -10, 3)}); }},
        {"speech-like noise at -25 dBm0", [] { return Layers(30000, {Talk(30000, -25, 4)}); }},
        {"spoken words", SpokenWords},
        // Chords of plucked strings, sawtooth triads and a square-wave run across the
        // two groups' octaves; chains played one after the other.
        {"guitar chords",
         [] {
             std::string chords;
             for (const char *chord : {"pl G2 pl B2 pl D3 pl G3 pl D4 pl G4",
                                       "pl C3 pl E3 pl G3 pl C4 pl E4 pl G4",
                                       "pl D3 pl A3 pl D4 pl F#4 pl A4 pl D5",
                                       "pl E2 pl B2 pl E3 pl G3 pl B3 pl E4",
                                       "pl F3 pl C4 pl F4 pl A4 pl C5 pl F5"})
                 chords += std::string(chords.empty() ? "" : " : ") + "synth 2 " + chord +
                           " delay 0 .05 .1 .15 .2 .25 remix - fade 0 2 .1 norm -3";
             return Sox(chords);
         }},
        {"sawtooth triads",
         [] {
             return Sox("synth 1 sawtooth F5 sawtooth A5 sawtooth C6 remix - norm -6 : "
                        "synth 1 sawtooth E5 sawtooth G5 sawtooth B5 remix - norm -6 : "
                        "synth 1 sawtooth D6 sawtooth F#6 sawtooth A6 remix - norm -6");
         }},
        {"square-wave run",
         [] {
             std::string run;
             for (int semitone = 8; semitone <= 32; ++semitone)
                 run += std::string(run.empty() ? "" : " : ") + "synth 0.15 square %" + std::to_string(semitone) +
                        " norm -10";
             return Sox(run);
         }},
        {"North American call progress", [] { return ProgressTones(1); }},
        {"British call progress", [] { return ProgressTones(44); }},
        {"CEPT call progress", [] { return ProgressTones(33); }},
        {"receiver off-hook tone",
         [] {
             return Layers(2000, {Pair(1400, 2060, -5, 2000), Pair(2450, 2600, -5, 2000)});
         }},
    };
}

std::vector<TalkOffCase> TalkOffCases()
{
    std::vector<TalkOffCase> cases = NeitherDigitsNorCallerId();
    cases.insert(cases.end(),
                 {
                     {"Bell 202 caller ID", [] { return Layers(2000, {Fsk(CidModem::Bell202, kOnHookFraming)}); }},
                     {"V.23 caller ID", [] { return Layers(2000, {Fsk(CidModem::V23, kOnHookFraming)}); }},
                     {"V.23 after a call-waiting alert",
                      [] {
                          return Layers(
                              2000, {Pair(2130, 2750, -15, 80), {180, 1800, Fsk(CidModem::V23, kOffHookFraming).make}});
                      }},
                 });
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Negatives, DtmfTalkOff, ::testing::ValuesIn(TalkOffCases()),
                         [](const auto &info) { return simtest::NameOf(info.param.what); });

// ---- the caller-ID receiver on hook -----------------------------------------

// What the receiver reports of `audio` and the quiet after it, one line each: "whole: 80 1E ...".
std::string CallerIdLine(CidFault fault, std::span<const uint8_t> bytes)
{
    std::string line = std::string(CidFaultText(fault)) + ":";
    for (const uint8_t b : bytes) {
        std::array<char, 4> hex{};
        std::snprintf(hex.data(), hex.size(), " %02X", b);
        line += hex.data();
    }
    return line + "\n";
}
std::string CallerIdReceived(std::vector<int16_t> audio)
{
    audio.resize(audio.size() + static_cast<size_t>(MsToSamples(500)), 0);
    CallerIdReceiver receiver;
    receiver.RequireSeizure(true);
    std::vector<CidReception> got;
    for (size_t i = 0; i < audio.size(); i += kBlockSamples) {
        const size_t n = std::min<size_t>(kBlockSamples, audio.size() - i);
        receiver.Process(std::span<const int16_t>(audio.data() + i, n), static_cast<SampleTime>(i), got);
    }
    std::string lines;
    for (const CidReception &r : got)
        lines += CallerIdLine(r.fault, r.bytes);
    return lines;
}

// The first `ms` of a recording as sox gives it at 8 kHz, `gainDb` louder;
// empty when sox or the file is missing.
std::vector<int16_t> Recorded(const std::string &file, int64_t ms, float gainDb)
{
    if (!HaveSox() || ::access(file.c_str(), R_OK) != 0)
        return {};
    std::vector<int16_t> out = simtest::SamplesAt8k(file);
    out.resize(std::min(out.size(), static_cast<size_t>(MsToSamples(ms))));
    ApplyGain(out, DbToGain(gainDb));
    return out;
}
// The first `ms` of the speech package's recordings, one after the other.
std::vector<int16_t> RecordedSpeech(int64_t ms)
{
    const simtest::TempFolder folder("speech");
    const std::string file = folder.File("speech.wav");
    if (!HaveSox() || !simtest::JoinRecordings(simtest::kSpeechFolder, file))
        return {};
    return Recorded(file, ms, 0.0f);
}
const std::string kRobotMusic = std::string(simtest::kMusicFolder) + "/macroform-robot_dity.wav";
const std::string kMonkeys = std::string(simtest::kSpeechFolder) + "/tt-monkeys.wav";

// Continuous-phase FSK of `bits` (0 space, 1 mark) at `bitRate` in the modem's tones, at `dbm0`.
std::vector<int16_t> Keyed(const std::vector<int> &bits, double bitRate, CidModem modem, float dbm0)
{
    const double markHz = modem == CidModem::Bell202 ? 1200.0 : 1300.0;
    const double spaceHz = modem == CidModem::Bell202 ? 2200.0 : 2100.0;
    const double amplitude = 32767.0 * simtest::SineAmplitude(dbm0);
    const auto length = static_cast<size_t>(static_cast<double>(bits.size()) * kSampleRate / bitRate);
    std::vector<int16_t> out(length);
    double phase = 0;
    for (size_t i = 0; i < length; ++i) {
        const auto at = static_cast<size_t>(static_cast<double>(i) * bitRate / kSampleRate);
        phase += 2.0 * std::numbers::pi * (bits[std::min(at, bits.size() - 1)] ? markHz : spaceHz) / kSampleRate;
        out[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(phase)));
    }
    return out;
}
std::vector<int> Alternating(size_t n)
{
    std::vector<int> bits(n);
    for (size_t i = 0; i < n; ++i)
        bits[i] = static_cast<int>(i % 2);
    return bits;
}

const std::vector<uint8_t> kIvorMessage = BuildCallerIdMessage(CidFormat::Mdmf, {"Ivor Kell", "7964710", "04292230"});

// A message as the exchange sends it on hook, at -13 dBm0.
std::vector<int16_t> OnHookMessage(CidModem modem, std::span<const uint8_t> message)
{
    return Layers(1000,
                  {{0, 1000, [=] { return std::make_unique<FskSource>(modem, kOnHookFraming, message, -13.0f); }}});
}
// The message's marks and bytes, after `before`.
std::vector<int16_t> MessageAfter(std::vector<int16_t> before, CidModem modem)
{
    std::vector<int16_t> message(static_cast<size_t>(MsToSamples(800)), 0);
    FskSource(modem, kOffHookFraming, kIvorMessage, -13.0f).MixInto(message);
    before.insert(before.end(), message.begin(), message.end());
    return before;
}
// 300 bits of V.23 channel seizure, its level 6 dB up and down ten times a second.
std::vector<int16_t> SwingingSeizure()
{
    std::vector<int16_t> seizure = Keyed(Alternating(300), 1200.0, CidModem::V23, -13.0f);
    for (size_t i = 0; i < seizure.size(); ++i) {
        const double swingDb = 6.0 * std::sin(2.0 * std::numbers::pi * 10.0 * static_cast<double>(i) / kSampleRate);
        seizure[i] = static_cast<int16_t>(std::lround(seizure[i] * DbToGain(static_cast<float>(swingDb))));
    }
    return seizure;
}
std::string Whole(const std::vector<uint8_t> &message)
{
    return CallerIdLine(CidFault::None, std::span<const uint8_t>(message).first(message.size() - 1));
}

// The longest steady stretch of carrier that the meter finds in `audio`, in ms.
int64_t LongestCarrierMs(const std::vector<int16_t> &audio)
{
    FskCarrierMeter meter;
    int64_t longest = 0;
    int64_t run = 0;
    uint32_t last = 0;
    for (size_t at = 0; at < audio.size();) {
        at += meter.Take(std::span<const int16_t>(audio).subspan(at));
        if (at % FskCarrierMeter::kFrame != 0)
            break;  // the audio's last, partial frame
        run = meter.Stretch() == 0 ? 0 : (meter.Stretch() == last ? run + 1 : 1);
        last = meter.Stretch();
        longest = std::max(longest, run);
    }
    return longest * static_cast<int64_t>(FskCarrierMeter::kFrame) / kSamplesPerMs;
}

struct CarrierCase {
    const char *what;
    std::function<std::vector<int16_t>()> audio;  // empty: its tool or file is not installed
    int64_t fromMs;                               // the longest stretch lies within [fromMs, toMs]
    int64_t toMs;
};
void PrintTo(const CarrierCase &c, std::ostream *os) { *os << c.what; }

class CarrierMeter : public ::testing::TestWithParam<CarrierCase> {};

// A message's FSK is one steady stretch from its seizure to its end (about
// 690 ms), through noise and clipping. White noise makes at most a stray
// frame of one, a tone below the band none, speech none as long as a
// seizure and its marks (50 ms), and a seizure whose level swings by 12 dB
// breaks into stretches far shorter than itself (250 ms).
TEST_P(CarrierMeter, FindsTheFskCarrierAndNothingElse)
{
    const CarrierCase &c = GetParam();
    const std::vector<int16_t> audio = c.audio();
    if (audio.empty())
        GTEST_SKIP() << "sox or the recording is not installed (scripts/install-deps.sh installs them)";
    const int64_t longest = LongestCarrierMs(audio);
    EXPECT_GE(longest, c.fromMs);
    EXPECT_LE(longest, c.toMs);
}

std::vector<int16_t> WithNoise(std::vector<int16_t> audio, float dbm0)
{
    NoiseSource(static_cast<SampleTime>(audio.size()), dbm0, 5).MixInto(audio);
    return audio;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CarrierMeter,
    ::testing::Values(
        CarrierCase{"Bell 202", [] { return OnHookMessage(CidModem::Bell202, kIvorMessage); }, 670, 700},
        CarrierCase{"V.23 with noise 11 dB below",
                    [] { return WithNoise(OnHookMessage(CidModem::V23, kIvorMessage), -24.0f); },
                    670,
                    700},
        CarrierCase{"Bell 202 clipped",
                    [] {
                        std::vector<int16_t> audio = OnHookMessage(CidModem::Bell202, kIvorMessage);
                        ApplyGain(audio, DbToGain(18.0f));
                        return audio;
                    },
                    670,
                    700},
        CarrierCase{"white noise", [] { return WithNoise(std::vector<int16_t>(8000, 0), -20.0f); }, 0, 10},
        CarrierCase{"a tone below the band", [] { return Layers(1000, {Pair(440, 0, -10, 1000)}); }, 0, 0},
        CarrierCase{"recorded speech, two minutes", [] { return RecordedSpeech(120000); }, 0, 45},
        CarrierCase{"a seizure 6 dB up and down ten times a second", SwingingSeizure, 0, 100}),
    [](const auto &info) { return simtest::NameOf(info.param.what); });

class CallerIdTalkOff : public ::testing::TestWithParam<TalkOffCase> {};

// The demodulator makes bits of anything; none of these begins a message.
TEST_P(CallerIdTalkOff, BeginsNoMessage)
{
    const std::vector<int16_t> audio = GetParam().audio();
    if (audio.empty())
        GTEST_SKIP() << "sox or the recording is not installed (scripts/install-deps.sh installs them)";
    EXPECT_EQ(CallerIdReceived(audio), "");
}

std::vector<TalkOffCase> CallerIdTalkOffCases()
{
    std::vector<TalkOffCase> cases = NeitherDigitsNorCallerId();
    cases.insert(cases.end(),
                 {
                     {"modem answer tone", [] { return Layers(3000, {Pair(2100, 0, -12, 3000)}); }},
                     {"modem calling tone", [] { return Layers(3000, {Pair(1300, 0, -12, 3000)}); }},
                     {"fax calling tone", [] { return Layers(3000, {Pair(1100, 0, -12, 3000)}); }},
                     // Where the receiver used to find bytes: 12 times in the speech, 4 in the music.
                     {"recorded speech, two minutes", [] { return RecordedSpeech(120000); }},
                     {"recorded music, 6 dB louder", [] { return Recorded(kRobotMusic, 200000, 6.0f); }},
                     // In the band and steady, but not keyed at the bit rate.
                     {"recorded screeching monkeys", [] { return Recorded(kMonkeys, 20000, 0.0f); }},
                 });
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Negatives, CallerIdTalkOff, ::testing::ValuesIn(CallerIdTalkOffCases()),
                         [](const auto &info) { return simtest::NameOf(info.param.what); });

struct SeizureCase {
    const char *what;
    std::function<std::vector<int16_t>()> audio;  // empty: its tool or file is not installed
    std::string expected;                         // the receiver's report
};
void PrintTo(const SeizureCase &c, std::ostream *os) { *os << c.what; }

class CallerIdSeizure : public ::testing::TestWithParam<SeizureCase> {};

// On hook a message is taken only after a channel seizure at the bit rate
// in a steady carrier, and only when it begins with a message type; then it
// is reported whole or damaged.
TEST_P(CallerIdSeizure, BeginsAMessageOnlyAfterAGenuineOne)
{
    const std::vector<int16_t> audio = GetParam().audio();
    if (audio.empty())
        GTEST_SKIP() << "sox or the recording is not installed (scripts/install-deps.sh installs them)";
    EXPECT_EQ(CallerIdReceived(audio), GetParam().expected);
}

std::vector<SeizureCase> SeizureCases()
{
    const std::vector<uint8_t> badChecksum = {0x04, 0x03, '5', '5', '5', 0x00};
    std::vector<uint8_t> noType = {0x55, 0x03, '5', '5', '5'};
    noType.push_back(CidChecksum(noType));
    return {
        {"Bell 202", [] { return OnHookMessage(CidModem::Bell202, kIvorMessage); }, Whole(kIvorMessage)},
        {"V.23", [] { return OnHookMessage(CidModem::V23, kIvorMessage); }, Whole(kIvorMessage)},
        {"a seizure keyed at 1200 bit/s",
         [] { return MessageAfter(Keyed(Alternating(300), 1200.0, CidModem::Bell202, -13.0f), CidModem::Bell202); },
         Whole(kIvorMessage)},
        {"a seizure keyed at 1500 bit/s",
         [] { return MessageAfter(Keyed(Alternating(300), 1500.0, CidModem::Bell202, -13.0f), CidModem::Bell202); },
         ""},
        {"a seizure keyed at 950 bit/s",
         [] { return MessageAfter(Keyed(Alternating(300), 950.0, CidModem::V23, -13.0f), CidModem::V23); },
         ""},
        {"a seizure 6 dB up and down ten times a second",
         [] { return MessageAfter(SwingingSeizure(), CidModem::V23); },
         ""},
        {"a known type with a bad checksum",
         [=] { return OnHookMessage(CidModem::Bell202, badChecksum); },
         CallerIdLine(CidFault::BadChecksum, badChecksum)},
        {"no known type", [=] { return OnHookMessage(CidModem::Bell202, noType); }, ""},
        {"after recorded speech",
         [] {
             const std::vector<int16_t> speech = RecordedSpeech(20000);
             if (speech.empty())
                 return speech;
             std::vector<int16_t> out = speech;
             const std::vector<int16_t> message = OnHookMessage(CidModem::V23, kIvorMessage);
             out.insert(out.end(), message.begin(), message.end());
             return out;
         },
         Whole(kIvorMessage)},
        {"over recorded music 10 dB quieter",
         [] {
             std::vector<int16_t> out = Recorded(kRobotMusic, 60000, -10.0f);
             if (!out.empty())
                 MixAt(out, OnHookMessage(CidModem::Bell202, kIvorMessage), static_cast<size_t>(MsToSamples(30000)));
             return out;
         },
         Whole(kIvorMessage)},
    };
}

INSTANTIATE_TEST_SUITE_P(Table, CallerIdSeizure, ::testing::ValuesIn(SeizureCases()),
                         [](const auto &info) { return simtest::NameOf(info.param.what); });

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
