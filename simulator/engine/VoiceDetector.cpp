#include "simulator/engine/VoiceDetector.h"

#include <algorithm>

namespace tvxsim {
namespace {

constexpr float kQ = 0.7071f;
constexpr float kTopHz = 3990.0f;

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
    highPass_ = HighPass(lowHz, kQ);
    lowPass_ = LowPass(highHz, kQ);
}

void VoiceDetector::Reset()
{
    highPass_.Clear();
    lowPass_.Clear();
    energy_ = 0;
    inFrame_ = 0;
    loudFrames_ = 0;
    quietFrames_ = 0;
    voice_ = false;
    frameDbm0_ = -200.0f;
}

void VoiceDetector::Process(std::span<const int16_t> samples, SampleTime start, std::vector<VoiceChange> &changes)
{
    if (Settled() && IsSilent(samples)) {
        // Silence through filters at rest gives nothing: only the frames end.
        for (size_t i = 0; i < samples.size();) {
            const size_t n = std::min(samples.size() - i, static_cast<size_t>(kFrame - inFrame_));
            i += n;
            inFrame_ += static_cast<int>(n);
            if (inFrame_ == kFrame)
                EndFrame(start + static_cast<SampleTime>(i), changes);
        }
        return;
    }
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
    highPass_.Flush();
    lowPass_.Flush();
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
