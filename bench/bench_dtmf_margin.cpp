// The DTMF receiver's detection margins against the ITU-T Q.24 limits, beside
// the signal library's own receiver (dtmf_rx, default parameters) on the same
// audio. Each figure holds for every start of the digit among eight offsets
// against the 20 ms blocks (and, for noise, every one of eight noise seeds):
//   frequency  how far off each frequency may be, the other at nominal, and
//              from how far off it is refused (0.1 % steps; -10 dBm0 each, 60 ms)
//   twist      the high group louder / quieter than the low (0.5 dB steps)
//   duration   the longest pair refused and the shortest taken (1 ms steps)
//   level      the weakest level per frequency (1 dB steps)
//   dial tone  the weakest digit (per frequency) under each dial tone at -13 dBm0
//   beside     the loudest tone outside the DTMF band (against each of the
//              pair's frequencies, 1 dB steps) with which every key is taken
//   noise      the worst ratio of the pair to white noise across the band
//   talk-off   digits from a minute of speech-like noise at -10 and -20 dBm0
// Run: build/default/bench/bench_dtmf_margin
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <spandsp.h>
#include <string>
#include <vector>

#include "simulator/engine/DtmfReceiver.h"
#include "simulator/engine/Sources.h"

namespace {

using tvxsim::kBlockSamples;

constexpr std::array<double, 4> kRows = {697, 770, 852, 941};
constexpr std::array<double, 4> kColumns = {1209, 1336, 1477, 1633};
constexpr char kKeys[] = "123A456B789C*0#D";  // row by row
constexpr int kStarts = 8;

struct Sine {
    double hz;
    double dbm0;
};

struct Signal {
    std::vector<Sine> pair;
    int onMs = 60;
    std::vector<Sine> background;  // all along
    double noiseDbm0 = -200;
    uint32_t seed = 1;
};

std::vector<int16_t> Render(const Signal &s, int start)
{
    const size_t lead = 800 + static_cast<size_t>(start);
    const size_t on = static_cast<size_t>(s.onMs) * 8;
    std::vector<double> x(lead + on + 800, 0.0);
    const auto add = [&](const Sine &t, size_t from, size_t n) {
        const double a = tvxsim::Dbm0ToPeak(static_cast<float>(t.dbm0));
        for (size_t i = 0; i < n; ++i)
            x[from + i] += a * std::sin(2 * std::numbers::pi * t.hz * static_cast<double>(i) / 8000.0);
    };
    for (const Sine &t : s.pair)
        add(t, lead, on);
    for (const Sine &t : s.background)
        add(t, 0, x.size());
    std::vector<int16_t> out(x.size());
    for (size_t i = 0; i < x.size(); ++i)
        out[i] = static_cast<int16_t>(std::clamp(std::lround(x[i]), -32768L, 32767L));
    if (s.noiseDbm0 > -100)
        tvxsim::NoiseSource(static_cast<tvxsim::SampleTime>(out.size()), static_cast<float>(s.noiseDbm0), s.seed)
            .MixInto(out);
    return out;
}

std::string Ours(const std::vector<int16_t> &audio)
{
    tvxsim::DtmfReceiver rx;
    std::vector<tvxsim::DtmfDigit> digits;
    for (size_t i = 0; i < audio.size(); i += kBlockSamples)
        rx.Process(std::span<const int16_t>(audio).subspan(i, std::min<size_t>(kBlockSamples, audio.size() - i)),
                   static_cast<tvxsim::SampleTime>(i),
                   digits);
    std::string keys;
    for (const tvxsim::DtmfDigit &d : digits)
        keys += d.key;
    return keys;
}

std::string Library(const std::vector<int16_t> &audio)
{
    dtmf_rx_state_t *rx = dtmf_rx_init(nullptr, nullptr, nullptr);
    dtmf_rx_parms(rx, 0, -1, -1, tvxsim::DtmfReceiver::kDefaultThresholdDbm0);
    dtmf_rx(rx, audio.data(), static_cast<int>(audio.size()));
    char keys[64];
    const int n = dtmf_rx_get(rx, keys, 63);
    keys[std::max(n, 0)] = '\0';
    dtmf_rx_free(rx);
    return keys;
}

using Receiver = std::function<std::string(const std::vector<int16_t> &)>;

// Whether every start (and noise seed) gives exactly `key` (or, with `key` 0, nothing).
bool Always(const Receiver &rx, Signal s, char key)
{
    const std::string want = key ? std::string(1, key) : std::string();
    for (int k = 0; k < kStarts; ++k) {
        s.seed = static_cast<uint32_t>(k + 1);
        if (rx(Render(s, k * 37)) != want)
            return false;
    }
    return true;
}
bool Never(const Receiver &rx, Signal s, char key)
{
    for (int k = 0; k < kStarts; ++k) {
        s.seed = static_cast<uint32_t>(k + 1);
        if (rx(Render(s, k * 37)).find(key) != std::string::npos)
            return false;
    }
    return true;
}

Signal Pair(size_t row, size_t column, double rowOff = 0, double columnOff = 0)
{
    Signal s;
    s.pair = {{kRows[row] * (1 + rowOff), -10}, {kColumns[column] * (1 + columnOff), -10}};
    return s;
}

// Largest offset (in %, signed by `dir`) up to which every step is taken, and
// the smallest from which every step up to 6 % is refused.
void FrequencyRow(const char *name, const Receiver &rx, bool low, size_t index, double dir)
{
    const size_t row = low ? index : 1;
    const size_t column = low ? 1 : index;
    const char key = kKeys[row * 4 + column];
    int taken = 0;
    while (taken < 60 && Always(rx,
                                low ? Pair(row, column, dir * (taken + 1) / 1000.0, 0)
                                    : Pair(row, column, 0, dir * (taken + 1) / 1000.0),
                                key))
        ++taken;
    int refused = 60;
    while (refused > 0 && Never(rx,
                                low ? Pair(row, column, dir * (refused - 1) / 1000.0, 0)
                                    : Pair(row, column, 0, dir * (refused - 1) / 1000.0),
                                key))
        --refused;
    const double hz = (low ? kRows[index] : kColumns[index]);
    std::printf(
        "  %-8s %4.0f Hz %c  taken to %4.1f %%   refused from %4.1f %%   (Q.24: 1.5 %% + 2 Hz = %.2f %%, 3.5 %%)\n",
        name,
        hz,
        dir > 0 ? '+' : '-',
        taken / 10.0,
        refused / 10.0,
        1.5 + 200.0 / hz);
}

void Table(const char *name, const Receiver &rx)
{
    std::printf("%s\n", name);
    for (bool low : {true, false})
        for (size_t i = 0; i < 4; ++i)
            for (double dir : {-1.0, 1.0})
                FrequencyRow("frequency", rx, low, i, dir);

    // Twist: the worst key at each step.
    const auto allKeys = [&](const std::function<Signal(size_t, size_t)> &make) {
        for (size_t r = 0; r < 4; ++r)
            for (size_t c = 0; c < 4; ++c)
                if (!Always(rx, make(r, c), kKeys[r * 4 + c]))
                    return false;
        return true;
    };
    for (double dir : {1.0, -1.0}) {
        double db = 0;
        while (db < 15 && allKeys([&](size_t r, size_t c) {
                   Signal s = Pair(r, c);
                   s.pair[1].dbm0 += dir * (db + 0.5);
                   return s;
               }))
            db += 0.5;
        std::printf("  twist    high group %s: every key taken to %.1f dB (Q.24: %s)\n",
                    dir > 0 ? "louder " : "quieter",
                    db,
                    dir > 0 ? "4" : "8");
    }

    int longestRefused = 0;
    int shortestTaken = 0;
    for (int ms = 10; ms <= 60; ++ms) {
        Signal s = Pair(1, 1);
        s.onMs = ms;
        if (Never(rx, s, '5'))
            longestRefused = ms;
        if (shortestTaken == 0 && Always(rx, s, '5'))
            shortestTaken = ms;
    }
    std::printf("  duration refused to %d ms, taken from %d ms (Q.24: 23, 40)\n", longestRefused, shortestTaken);

    double weakest = -10;
    while (weakest > -40 && allKeys([&](size_t r, size_t c) {
               Signal s = Pair(r, c);
               s.pair[0].dbm0 = s.pair[1].dbm0 = weakest - 1;
               return s;
           }))
        weakest -= 1;
    std::printf("  level    every key taken down to %.0f dBm0 per frequency\n", weakest);

    const std::vector<std::pair<const char *, std::vector<Sine>>> dials = {{"350 + 440 Hz", {{350, -13}, {440, -13}}},
                                                                           {"425 Hz", {{425, -13}}}};
    for (const auto &[dialName, tones] : dials) {
        double level = 0;
        while (level > -30 && allKeys([&](size_t r, size_t c) {
                   Signal s = Pair(r, c);
                   s.pair[0].dbm0 = s.pair[1].dbm0 = level - 1;
                   s.background = tones;
                   return s;
               }))
            level -= 1;
        std::printf("  dial %-12s every key taken down to %.0f dBm0 per frequency%s\n",
                    dialName,
                    level,
                    level >= 0 ? " (none at 0)" : "");
    }

    // A tone outside the DTMF band all along, above and below it.
    for (double hz : {60.0, 300.0, 590.0, 2000.0, 2700.0, 3400.0}) {
        double above = -11;
        while (above < 15 && allKeys([&](size_t r, size_t c) {
                   Signal s = Pair(r, c);
                   s.background = {{hz, s.pair[0].dbm0 + above + 1}};
                   return s;
               }))
            above += 1;
        if (above < -10)
            std::printf("  beside %4.0f Hz  no key taken with the tone 10 dB below each frequency\n", hz);
        else
            std::printf(
                "  beside %4.0f Hz  every key taken with the tone up to %+.0f dB against each frequency\n", hz, above);
    }

    double snr = 30;
    while (snr > 0 && allKeys([&](size_t r, size_t c) {
               Signal s = Pair(r, c);
               s.noiseDbm0 = -10 + 3 - (snr - 1);  // the pair's total is 3 dB above each tone
               return s;
           }))
        snr -= 1;
    std::printf("  noise    every key taken down to a signal-to-noise ratio of %.0f dB%s\n",
                snr,
                snr >= 30 ? " (none at 30)" : "");

    for (float dbm0 : {-10.0f, -20.0f}) {
        std::vector<int16_t> speech(static_cast<size_t>(tvxsim::MsToSamples(60000)), 0);
        tvxsim::SpeechSource(static_cast<tvxsim::SampleTime>(speech.size()), dbm0, 11).MixInto(speech);
        std::printf("  talk-off %zu digits from a minute of speech-like noise at %.0f dBm0\n",
                    rx(speech).size(),
                    static_cast<double>(dbm0));
    }
}

}  // namespace

int main()
{
    Table("the adapter's receiver (DtmfReceiver)", Ours);
    Table("the signal library's dtmf_rx alone, default parameters", Library);
    return 0;
}
