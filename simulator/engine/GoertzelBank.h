// Single-frequency DFT filters (what a Goertzel filter computes) at a set of
// frequencies over a sliding 20 ms window that moves in 5 ms hops, and the
// tests that decide whether a tone or silence is present in the window.
//
// Each frequency is watched together with two guards 3 % below and above it:
// a tone counts only when its own filter sees more than both guards, so a
// tone 3 % off frequency is refused while one on frequency is taken. A tone
// must also carry most of the window's energy, so broadband sound such as
// speech never counts as a tone. In a pair closer than 100 Hz, the guards
// that lie next to the other frequency are not used.
//
// The bank keeps the window's four hops of samples and works out a filter's
// output only when a decision asks for it: each hop's part once, from that
// hop's samples, so that a filter first asked when a tone has begun still
// sees the whole window exactly. A window too quiet for any filter to reach
// a tone's level costs no filter at all.
#pragma once

#include <array>
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
            if (filled_ == kHop) {
                FinishHop();
                if (windowHops_ >= kWindowHops)
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
    double WindowMeanSquare() const { return static_cast<double>(windowEnergy_) / kWindow; }
    double MeanSquare(size_t index) const
    {
        if (index >= tones_.size() || tones_[index][0].nominal < 0)
            return 0.0;
        return MeanSquareOf(tones_[index][0]);
    }
    // No filter's mean square exceeds this bound on the window (twice the
    // window's mean square, and a margin for rounding): a level above it
    // cannot be reached, whatever the frequency.
    double MeanSquareBound() const { return 2.02 * WindowMeanSquare(); }

private:
    struct Component {
        int nominal = -1;  // index into filters_, -1 none
        int below = -1;    // -1: not used
        int above = -1;
    };
    // One frequency: what it needs to turn a hop's samples into its share of
    // the window's DFT, and the shares worked out so far.
    struct Filter {
        float hz = 0;
        std::array<float, kWindowHops> turnRe{};  // e^{-iw kHop j}: the j-th hop of the window
        std::array<float, kWindowHops> turnIm{};
        std::array<float, kWindowHops> hopRe{};  // a hop's DFT about its middle, by slot
        std::array<float, kWindowHops> hopIm{};
        std::array<int64_t, kWindowHops> hopSerial{};  // the hop each slot's DFT is of (-1 none)
    };
    // A filter's mean square over the window, and the window it is of.
    struct Level {
        int64_t serial = -1;  // serial_ when it was worked out
        double meanSquare = 0;
    };

    int FilterFor(float hz);
    void Feed(std::span<const int16_t> samples);
    void FinishHop();
    // The mean square of filter k over the window, worked out on first use in each window.
    double FilterMeanSquare(int k) const
    {
        const Level &l = levels_[static_cast<size_t>(k)];
        return l.serial == serial_ ? l.meanSquare : WorkOutLevel(k);
    }
    double WorkOutLevel(int k) const;
    double MeanSquareOf(const Component &c) const { return FilterMeanSquare(c.nominal); }

    mutable std::vector<Filter> filters_;
    mutable std::vector<Level> levels_;  // by filter
    std::vector<float> tables_;          // per filter: cos(wm') for m' = 1/2 .. kHop/2 - 1/2, then sin(wm')
    std::vector<std::array<Component, 2>> tones_;
    std::array<int16_t, kHop> filling_{};  // the hop being filled
    int64_t hopEnergy_ = 0;                // its sum of squares so far
    // The window's hops by slot (serial % kWindowHops), each folded about its
    // middle (kHop/2 sums of samples at equal distances before and after it,
    // then their differences), and their energies.
    alignas(16) std::array<std::array<float, kHop>, kWindowHops> folded_{};
    std::array<int64_t, kWindowHops> energy_{};
    int64_t windowEnergy_ = 0;     // sum of squares over the window (exact)
    float lastMinDbm0_ = 1000.0f;  // the level asked last, and its mean square
    double lastMinMeanSquare_ = 0;
    int filled_ = 0;          // samples in the hop being filled
    int64_t serial_ = 0;      // the hop being filled, counted from the first (never reset)
    int64_t windowHops_ = 0;  // hops completed since Reset
};

}  // namespace tvxsim
