#include "simulator/sip/logic/ToneGate.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tvxsim::sip {

namespace {

constexpr std::array<double, 4> kRows = {697, 770, 852, 941};
constexpr std::array<double, 4> kColumns = {1209, 1336, 1477, 1633};
constexpr double kMinMeanSquare = 2.0e4;  // about -41 dBm0: quieter frames are never held
// A pair that fills a share c of the frame shows c of its energy here: a
// third catches a tone that begins in the frame's last 13 ms.
constexpr double kPairShare = 0.33;  // the pair carries at least this share of the frame's energy
constexpr double kToneShare = 0.08;  // and each of its tones this

// The energy a sine at `hz` contributes to the frame (Goertzel).
double ToneEnergy(std::span<const int16_t, kFrameSamples> frame, double hz)
{
    const double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * hz / 8000.0);
    double s1 = 0;
    double s2 = 0;
    for (int16_t x : frame) {
        const double s = x + coefficient * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return 2.0 * power / static_cast<double>(frame.size());
}

}  // namespace

bool ToneGate::LooksLikeDtmf(std::span<const int16_t, kFrameSamples> frame)
{
    double energy = 0;
    for (int16_t x : frame)
        energy += static_cast<double>(x) * x;
    if (energy < kMinMeanSquare * static_cast<double>(frame.size()))
        return false;
    double row = 0;
    for (double hz : kRows)
        row = std::max(row, ToneEnergy(frame, hz));
    double column = 0;
    for (double hz : kColumns)
        column = std::max(column, ToneEnergy(frame, hz));
    return row >= kToneShare * energy && column >= kToneShare * energy && row + column >= kPairShare * energy;
}

void ToneGate::Reset(bool enabled) { *this = ToneGate(enabled); }

void ToneGate::Enable(bool enabled)
{
    enabled_ = enabled;
    if (!enabled)
        digit_ = 0;
}

void ToneGate::DigitStart(char digit)
{
    if (!enabled_)
        return;
    digit_ = digit;
    for (size_t i = 0; i < heldCount_; ++i) {
        held_[i].samples.fill(0);
        held_[i].digit = digit;
    }
}

void ToneGate::DigitEnd() { digit_ = 0; }

size_t ToneGate::Frame(std::span<const int16_t, kFrameSamples> in, std::span<GatedFrame, kMaxHeldFrames + 1> out)
{
    GatedFrame frame;
    frame.index = nextIndex_++;
    std::copy(in.begin(), in.end(), frame.samples.begin());
    size_t n = 0;
    auto releaseHeld = [&] {
        for (size_t i = 0; i < heldCount_; ++i)
            out[n++] = held_[i];
        heldCount_ = 0;
    };
    if (!enabled_) {
        releaseHeld();
        out[n++] = frame;
        return n;
    }
    if (digit_ != 0) {
        releaseHeld();
        frame.samples.fill(0);
        frame.digit = digit_;
        out[n++] = frame;
        return n;
    }
    if (!LooksLikeDtmf(in)) {
        releaseHeld();
        out[n++] = frame;
        return n;
    }
    if (heldCount_ == kMaxHeldFrames) {
        // Held as long as a digit takes to be reported: the oldest goes on.
        out[n++] = held_[0];
        std::move(held_.begin() + 1, held_.end(), held_.begin());
        --heldCount_;
    }
    held_[heldCount_++] = frame;
    return n;
}

}  // namespace tvxsim::sip
