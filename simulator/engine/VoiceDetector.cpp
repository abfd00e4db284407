#include "simulator/engine/VoiceDetector.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tvxsim {
namespace {

constexpr float kQ = 0.7071f;
constexpr float kTopHz = 3990.0f;

// Audio EQ cookbook filters.
void Design(float hz, bool highPass, float &b0, float &b1, float &b2, float &a1, float &a2)
{
    const float w = 2.0f * std::numbers::pi_v<float> * hz / static_cast<float>(kSampleRate);
    const float alpha = std::sin(w) / (2.0f * kQ);
    const float c = std::cos(w);
    const float a0 = 1.0f + alpha;
    const float k = highPass ? (1.0f + c) / 2.0f : (1.0f - c) / 2.0f;
    b0 = k / a0;
    b1 = (highPass ? -2.0f * k : 2.0f * k) / a0;
    b2 = k / a0;
    a1 = -2.0f * c / a0;
    a2 = (1.0f - alpha) / a0;
}

}  // namespace

VoiceDetector::VoiceDetector() { SetBand(340.0f, 3500.0f); }

void VoiceDetector::SetBand(float lowHz, float highHz)
{
    highHz = std::min(highHz, kTopHz);
    if (lowHz == lowHz_ && highHz == highHz_)
        return;
    lowHz_ = lowHz;
    highHz_ = highHz;
    open_ = lowHz > 0 && lowHz < highHz;
    if (!open_)
        return;
    highPass_ = Biquad{};
    lowPass_ = Biquad{};
    Design(lowHz, true, highPass_.b0, highPass_.b1, highPass_.b2, highPass_.a1, highPass_.a2);
    Design(highHz, false, lowPass_.b0, lowPass_.b1, lowPass_.b2, lowPass_.a1, lowPass_.a2);
}

void VoiceDetector::Reset()
{
    highPass_.z1 = highPass_.z2 = lowPass_.z1 = lowPass_.z2 = 0;
    energy_ = 0;
    inFrame_ = 0;
    loudFrames_ = 0;
    quietFrames_ = 0;
    voice_ = false;
    frameDbm0_ = -200.0f;
}

void VoiceDetector::Process(std::span<const int16_t> samples, SampleTime start, std::vector<VoiceChange> &changes)
{
    for (size_t i = 0; i < samples.size(); ++i) {
        const float y = open_ ? lowPass_.Run(highPass_.Run(static_cast<float>(samples[i]))) : 0.0f;
        energy_ += static_cast<double>(y) * y;
        if (++inFrame_ == kFrame)
            EndFrame(start + static_cast<SampleTime>(i) + 1, changes);
    }
}

void VoiceDetector::EndFrame(SampleTime end, std::vector<VoiceChange> &changes)
{
    frameDbm0_ = MeanSquareToDbm0(energy_ / kFrame);
    energy_ = 0;
    for (float *z : {&highPass_.z1, &highPass_.z2, &lowPass_.z1, &lowPass_.z2})
        if (std::fabs(*z) < 1e-12f)
            *z = 0.0f;  // no denormals after a fade to silence
    inFrame_ = 0;
    if (frameDbm0_ >= thresholdDbm0_) {
        quietFrames_ = 0;
        if (!voice_ && ++loudFrames_ >= kFramesToStart) {
            voice_ = true;
            changes.push_back({true, end});
        }
        return;
    }
    loudFrames_ = 0;
    if (voice_ && ++quietFrames_ >= kFramesToEnd) {
        voice_ = false;
        changes.push_back({false, end});
    }
}

}  // namespace tvxsim
