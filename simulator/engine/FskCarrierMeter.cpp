#include "simulator/engine/FskCarrierMeter.h"

#include <algorithm>
#include <cmath>

namespace tvxsim {
namespace {

constexpr float kLowHz = 900.0f;
constexpr float kHighHz = 2700.0f;
constexpr float kButterworthQ[2] = {0.5412f, 1.3066f};  // the two sections of a fourth-order Butterworth filter
constexpr int kSettleFrames = 4;                        // the stretch's level is its first 20 ms's, then holds

}  // namespace

FskCarrierMeter::FskCarrierMeter()
    : band_{HighPass(kLowHz, kButterworthQ[0]),
            HighPass(kLowHz, kButterworthQ[1]),
            LowPass(kHighHz, kButterworthQ[0]),
            LowPass(kHighHz, kButterworthQ[1])}
{
}

void FskCarrierMeter::Reset()
{
    for (Biquad &b : band_)
        b.Clear();
    total_ = inBand_ = 0;
    filled_ = 0;
    stretch_ = 0;
    stretchFrames_ = 0;
}

size_t FskCarrierMeter::Take(std::span<const int16_t> samples)
{
    const size_t n = std::min(samples.size(), kFrame - filled_);
    for (size_t i = 0; i < n; ++i) {
        float y = static_cast<float>(samples[i]);
        total_ += static_cast<double>(y) * y;
        for (Biquad &b : band_)
            y = b.Run(y);
        inBand_ += static_cast<double>(y) * y;
    }
    filled_ += n;
    if (filled_ == kFrame)
        EndFrame();
    return n;
}

void FskCarrierMeter::EndFrame()
{
    const bool carrier = total_ > 0 && inBand_ >= kMinInBand * total_;
    const bool steady = carrier && stretch_ != 0 && std::fabs(10.0 * std::log10(inBand_ / stretchLevel_)) <= kSteadyDb;
    if (!carrier) {
        stretch_ = 0;
    } else if (steady) {
        if (stretchFrames_ < kSettleFrames)
            stretchLevel_ += (inBand_ - stretchLevel_) / ++stretchFrames_;
    } else {
        lastStretch_ = lastStretch_ == UINT32_MAX ? 1 : lastStretch_ + 1;
        stretch_ = lastStretch_;
        stretchLevel_ = inBand_;
        stretchFrames_ = 1;
    }
    for (Biquad &b : band_)
        b.Flush();
    total_ = inBand_ = 0;
    filled_ = 0;
}

}  // namespace tvxsim
