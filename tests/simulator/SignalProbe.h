// Helpers for the signal tests: an engine with a tap that keeps every audio
// point, and independent measurements of what the audio holds (a
// double-precision DFT at given frequencies, on/off cadence, and the signal
// library's DTMF receiver as the decoder of digits).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>
#include <spandsp.h>
#include <string>
#include <vector>

#include "simulator/engine/Engine.h"
#include "simulator/engine/Sources.h"

namespace simtest {

using tvxsim::SampleTime;

struct Capture : tvxsim::AudioTap {
    std::vector<int16_t> lineTx, lineRx, earpiece, mic, pcIn, pcOut, phoneRing, lineRing;
    void OnBlock(const tvxsim::BlockAudio &b) override
    {
        const auto keep = [](std::vector<int16_t> &v, std::span<const int16_t> s) {
            v.insert(v.end(), s.begin(), s.end());
        };
        keep(lineTx, b.lineTx);
        keep(lineRx, b.lineRx);
        keep(earpiece, b.earpiece);
        keep(mic, b.mic);
        keep(pcIn, b.pcIn);
        keep(pcOut, b.pcOut);
        keep(phoneRing, b.phoneRing);
        keep(lineRing, b.lineRing);
    }
};

// `top` added into `base` from sample `at` on (saturating; `base` grows to hold it).
inline void MixAt(std::vector<int16_t> &base, std::span<const int16_t> top, size_t at)
{
    if (base.size() < at + top.size())
        base.resize(at + top.size(), 0);
    tvxsim::MixInto(std::span<int16_t>(base).subspan(at, top.size()), top);
}

// Samples played as they are, once: a recording made elsewhere.
class SamplesSource : public tvxsim::Source {
public:
    explicit SamplesSource(std::vector<int16_t> samples) : samples_(std::move(samples)) {}
    bool MixInto(std::span<int16_t> out) override
    {
        const size_t n = std::min(out.size(), samples_.size() - at_);
        tvxsim::MixInto(out.first(n), std::span<const int16_t>(samples_).subspan(at_, n));
        at_ += n;
        return at_ < samples_.size();
    }

private:
    std::vector<int16_t> samples_;
    size_t at_ = 0;
};

// An engine on a fresh device state with every block kept and every event collected.
struct Rig {
    tvxsim::DeviceState state;
    tvxsim::Engine engine{state};
    Capture audio;
    std::vector<tvxsim::EngineEvent> events;

    Rig() { engine.AddTap(&audio); }
    void Load(const std::string &scenarioText) { engine.Load(tvxsim::ParseScenario(scenarioText)); }
    void RunMs(int64_t ms)
    {
        const SampleTime until = engine.Now() + tvxsim::MsToSamples(ms);
        while (engine.Now() < until) {
            engine.Step();
            for (tvxsim::EngineEvent &e : engine.TakeEvents())
                events.push_back(std::move(e));
        }
    }
    std::vector<tvxsim::EngineEvent> EventsOf(int32_t code) const
    {
        std::vector<tvxsim::EngineEvent> out;
        for (const tvxsim::EngineEvent &e : events)
            if (e.code == code)
                out.push_back(e);
        return out;
    }
};

inline std::span<const int16_t> Slice(const std::vector<int16_t> &v, int64_t fromMs, int64_t lengthMs)
{
    const auto from =
        static_cast<size_t>(std::min<int64_t>(tvxsim::MsToSamples(fromMs), static_cast<int64_t>(v.size())));
    const auto n =
        static_cast<size_t>(std::min<int64_t>(tvxsim::MsToSamples(lengthMs), static_cast<int64_t>(v.size() - from)));
    return std::span<const int16_t>(v.data() + from, n);
}

inline double MeanSquare(std::span<const int16_t> s)
{
    double sum = 0;
    for (int16_t x : s)
        sum += static_cast<double>(x) * x;
    return s.empty() ? 0.0 : sum / static_cast<double>(s.size());
}

inline double Dbm0OfMeanSquare(double ms)
{
    return ms <= 0 ? -200.0 : 10.0 * std::log10(ms / (32767.0 * 32767.0 / 2.0)) + 3.14;
}

// Mean square carried by a sine at `hz`, measured by a DFT over the whole span.
inline double MeanSquareAt(std::span<const int16_t> s, double hz)
{
    double re = 0, im = 0;
    const double w = 2.0 * std::numbers::pi * hz / 8000.0;
    for (size_t n = 0; n < s.size(); ++n) {
        re += s[n] * std::cos(w * static_cast<double>(n));
        im -= s[n] * std::sin(w * static_cast<double>(n));
    }
    const double amplitude = 2.0 * std::hypot(re, im) / static_cast<double>(s.size());
    return amplitude * amplitude / 2.0;
}

inline double LevelAt(std::span<const int16_t> s, double hz) { return Dbm0OfMeanSquare(MeanSquareAt(s, hz)); }

// Share of the span's power carried by the given frequencies.
inline double ShareAt(std::span<const int16_t> s, std::initializer_list<double> hz)
{
    const double total = MeanSquare(s);
    double tones = 0;
    for (double f : hz)
        tones += MeanSquareAt(s, f);
    return total > 0 ? tones / total : 0.0;
}

// Lengths in ms of the on and off stretches (5 ms frames above -40 dBm0),
// starting with the first on stretch; the last, unfinished one is left out.
inline std::vector<int> Cadence(std::span<const int16_t> s)
{
    constexpr size_t kFrame = 40;
    std::vector<int> runs;
    bool on = false;
    int length = 0;
    bool started = false;
    for (size_t i = 0; i + kFrame <= s.size(); i += kFrame) {
        const bool loud = Dbm0OfMeanSquare(MeanSquare(s.subspan(i, kFrame))) > -40.0;
        if (!started) {
            if (!loud)
                continue;
            started = true;
            on = true;
        }
        if (loud != on) {
            runs.push_back(length);
            length = 0;
            on = loud;
        }
        length += 5;
    }
    return runs;
}

// The digits the signal library's DTMF receiver hears in the span; a
// `twistDb` of 0 or more is the twist it accepts either way (else its own).
inline std::string DecodeDtmf(std::span<const int16_t> s, int twistDb = -1)
{
    std::string digits;
    dtmf_rx_state_t *rx = dtmf_rx_init(
        nullptr,
        [](void *user, const char *d, int len) {
            static_cast<std::string *>(user)->append(d, static_cast<size_t>(len));
        },
        &digits);
    dtmf_rx_parms(rx, -1, twistDb, twistDb, -99);
    dtmf_rx(rx, s.data(), static_cast<int>(s.size()));
    const int16_t silence[400] = {};
    dtmf_rx(rx, silence, 400);
    dtmf_rx_free(rx);
    return digits;
}

}  // namespace simtest
