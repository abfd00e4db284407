// Voice and silence by energy within the voice band: the audio passes a
// high-pass filter at the band's low edge and a low-pass filter at its high
// edge; every 10 ms frame at or above the threshold counts as loud. Voice
// starts after 30 ms of loud frames and ends after a second without one (the
// pauses between talk spurts do not end it).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "simulator/engine/Audio.h"
#include "simulator/engine/Biquad.h"

namespace tvxsim {

struct VoiceChange {
    bool voice;
    SampleTime time;
};

class VoiceDetector {
public:
    static constexpr int kFrame = 80;  // 10 ms
    static constexpr int kFramesToStart = 3;
    static constexpr int kFramesToEnd = 100;

    VoiceDetector();
    // A band whose low edge is at or above its high edge passes nothing.
    void SetBand(float lowHz, float highHz);
    void SetThreshold(float dbm0) { thresholdDbm0_ = dbm0; }
    void Reset();
    void Process(std::span<const int16_t> samples, SampleTime start, std::vector<VoiceChange> &changes);
    bool Voice() const { return voice_; }
    // Level of the last whole frame within the band.
    float FrameDbm0() const { return frameDbm0_; }

private:
    void EndFrame(SampleTime end, std::vector<VoiceChange> &changes);
    // Both filters hold no signal (a state that has decayed is zeroed at each frame's end).
    bool Settled() const
    {
        return !open_ || (highPass_.z1 == 0 && highPass_.z2 == 0 && lowPass_.z1 == 0 && lowPass_.z2 == 0);
    }

    Biquad highPass_;
    Biquad lowPass_;
    bool open_ = true;
    float thresholdDbm0_ = -32.5f;
    double energy_ = 0;
    int inFrame_ = 0;
    int loudFrames_ = 0;
    int quietFrames_ = 0;
    bool voice_ = false;
    float frameDbm0_ = -200.0f;
    float lowHz_ = 0;
    float highHz_ = 0;
};

}  // namespace tvxsim
