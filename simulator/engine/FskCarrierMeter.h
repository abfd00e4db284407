// Whether what reaches a caller-ID receiver is an FSK carrier, frame by
// frame (5 ms): most of the frame's power lies between 900 and 2700 Hz, the
// band of both modems' tones with the spread of their keying, and that power
// stays within kSteadyDb of the level its stretch began with (its first 20
// ms), never drifting away from it. A run of such frames is one steady stretch. An FSK signal is one stretch from its
// onset to its end, through line noise, hum and clipping; voiced speech and
// most music put their power below the band, and what falls in it swings
// from frame to frame.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "simulator/engine/Biquad.h"

namespace tvxsim {

class FskCarrierMeter {
public:
    static constexpr size_t kFrame = 40;       // 5 ms
    static constexpr float kMinInBand = 0.7f;  // the band's share of a frame's power
    static constexpr float kSteadyDb = 4.0f;   // how far a frame's level may stray from its stretch's

    FskCarrierMeter();
    void Reset();
    // Measures the first samples up to the current frame's end (all of them
    // when fewer) and returns how many it took.
    size_t Take(std::span<const int16_t> samples);
    // The steady stretch that the last whole frame belongs to: a number that
    // changes whenever one stretch ends and another begins, 0 when that frame
    // was not carrier.
    uint32_t Stretch() const { return stretch_; }

private:
    void EndFrame();

    std::array<Biquad, 4> band_;  // high-pass then low-pass, each a fourth-order Butterworth cascade
    double total_ = 0;            // the frame's power so far, whole
    double inBand_ = 0;           // and within the band
    size_t filled_ = 0;           // samples of the frame so far
    uint32_t stretch_ = 0;        // the last whole frame's stretch, 0: none
    uint32_t lastStretch_ = 0;    // the number of the latest stretch
    double stretchLevel_ = 0;     // the stretch's in-band power, the mean of its first frames
    int stretchFrames_ = 0;       // frames in that mean
};

}  // namespace tvxsim
