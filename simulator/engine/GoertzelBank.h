// Goertzel filters at a set of frequencies over a sliding 20 ms window that
// moves in 5 ms hops, and the tests that decide whether a tone or silence is
// present in the window.
//
// Each frequency is watched together with two guards 3 % below and above it:
// a tone counts only when its own filter sees more than both guards, so a
// tone 3 % off frequency is refused while one on frequency is taken. A tone
// must also carry most of the window's energy, so broadband sound such as
// speech never counts as a tone. In a pair closer than 100 Hz, the guards
// that lie next to the other frequency are not used.
#pragma once

#include <array>
#include <complex>
#include <cstdint>
#include <span>
#include <vector>

#include "simulator/engine/Audio.h"

namespace tvxsim {

class GoertzelBank {
public:
    static constexpr int kHop = 40;  // 5 ms
    static constexpr int kWindowHops = 4;
    static constexpr int kWindow = kHop * kWindowHops;  // 20 ms
    static constexpr float kGuardRatio = 0.03f;
    static constexpr float kMinPurity = 0.7f;  // share of the window's energy in the tone

    // A tone to watch: one or two frequencies in Hz (0 for none).
    struct Tone {
        int32_t f1 = 0;
        int32_t f2 = 0;
    };

    // Replaces the watched tones and starts over. Frequencies outside
    // 1..3999 Hz are not watched (a tone with none left never counts).
    // Without guards a tone counts at any frequency the filters hear.
    void Configure(std::span<const Tone> tones, bool guards = true);
    // Forgets the samples seen so far: the window fills again.
    void Reset();

    // Feeds samples; after every completed hop calls onHop(endTime), with
    // endTime the time just after the hop's last sample. `start` is the time
    // of samples[0].
    template <typename OnHop> void Process(std::span<const int16_t> samples, SampleTime start, OnHop &&onHop)
    {
        size_t i = 0;
        while (i < samples.size()) {
            const size_t n = std::min(samples.size() - i, static_cast<size_t>(kHop - filled_));
            Feed(samples.subspan(i, n));
            i += n;
            filled_ += static_cast<int>(n);
            if (filled_ == kHop) {
                FinishHop();
                filled_ = 0;
                if (hops_ >= kWindowHops)
                    onHop(start + static_cast<SampleTime>(i));
            }
        }
    }

    // Decisions about the current window (valid inside onHop).
    // True when tone `index` is present with each of its frequencies at or above minDbm0.
    bool TonePresent(size_t index, float minDbm0);
    // Level of the whole window.
    float WindowDbm0() const;
    // Level of one watched frequency of tone `index` (0 or 1), -200 when it has none.
    float ComponentDbm0(size_t index, int component) const;
    // Share of the window's energy that tone `index` carries (0..1).
    float Purity(size_t index) const;
    // Mean square of the window, and of the first frequency of tone `index` (0 when it has none).
    double WindowMeanSquare() const { return windowEnergy_ / kWindow; }
    double MeanSquare(size_t index) const;

private:
    struct Component {
        int nominal = -1;  // index into the filter arrays, -1 none
        int below = -1;    // -1: not used
        int above = -1;
    };
    struct Filter {
        float hz;
        float coef;  // 2 cos w
        float cosW;
        float sinW;
        std::complex<float> endTurn;  // e^{-iw(kHop-1)}
        std::complex<float> hopTurn;  // e^{-iw kHop}
        std::complex<float> phasor;   // e^{-iw n0}, n0 the hop's first sample
        std::array<std::complex<float>, kWindowHops> hops{};
    };

    // Four filters' Goertzel states side by side, so that one instruction steps them all.
    typedef float Lanes __attribute__((vector_size(16)));
    static constexpr size_t kLanes = 4;

    int FilterFor(float hz);
    void Feed(std::span<const int16_t> samples);
    void FinishHop();
    double ComponentPower(int filter) const { return power_[static_cast<size_t>(filter)]; }  // |window DFT|^2
    double MeanSquareOf(const Component &c) const;

    std::vector<Filter> filters_;
    std::vector<Lanes> s1_;
    std::vector<Lanes> s2_;
    std::vector<Lanes> coef_;
    std::vector<double> power_;  // of the current window, per filter
    std::vector<std::array<Component, 2>> tones_;
    std::array<double, kWindowHops> energy_{};
    double windowEnergy_ = 0;
    double hopEnergy_ = 0;
    float lastMinDbm0_ = 1000.0f;  // the level asked last, and its mean square
    double lastMinMeanSquare_ = 0;
    int filled_ = 0;
    int64_t hops_ = 0;
    int slot_ = 0;
};

}  // namespace tvxsim
