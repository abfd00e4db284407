// What the dialler listens for on the line while it waits: the local
// country's dial tone, and the answer to a call (the end of ring-back, or
// speech), or a busy signal.
//
// Bursts of a tone closer than 230 ms apart count as one (the UK ring-back's
// double burst). Ring-back is a burst of at least 800 ms; busy is two bursts
// of 150 to 700 ms (busy and reorder alike). The call is answered when
// ring-back, once heard, has stayed away for the cadence's longest gap plus
// a second, or when 300 ms of sound that is no progress tone has been heard
// (gaps under 100 ms, as between syllables, do not break it).
#pragma once

#include <cstdint>
#include <span>

#include "simulator/engine/GoertzelBank.h"
#include "simulator/engine/TonePlan.h"

namespace tvxsim {

enum class AnswerSignal : uint8_t {
    None,
    Answered,
    Busy,
};

class CallProgress {
public:
    static constexpr float kToneDbm0 = -35.0f;
    static constexpr float kSoundDbm0 = -40.0f;
    static constexpr SampleTime kBurstMerge = MsToSamples(230);
    static constexpr SampleTime kRingBackBurst = MsToSamples(800);
    static constexpr SampleTime kBusyMin = MsToSamples(150);
    static constexpr SampleTime kBusyMax = MsToSamples(700);
    static constexpr SampleTime kSoundToAnswer = MsToSamples(300);
    static constexpr SampleTime kSoundGap = MsToSamples(100);

    // Starts listening afresh for the plan's tones.
    void Start(const TonePlan &plan);
    void Process(std::span<const int16_t> lineRx, SampleTime start);

    bool DialTone() const { return dialTone_; }
    AnswerSignal Answer() const { return answer_; }

private:
    struct Bursts {
        bool on = false;
        SampleTime since = 0;
        SampleTime lastSeen = -1;
    };
    // Follows one tone; returns the length of a burst that has just ended, or 0.
    static SampleTime Follow(Bursts &b, bool present, SampleTime now);
    void OnHop(SampleTime end);

    GoertzelBank bank_;
    const TonePlan *plan_ = nullptr;
    Bursts dial_;
    Bursts ringBack_;
    Bursts busy_;
    bool ringBackSeen_ = false;
    int busyBursts_ = 0;
    SampleTime sound_ = 0;
    SampleTime quiet_ = 0;
    bool dialTone_ = false;
    AnswerSignal answer_ = AnswerSignal::None;
};

}  // namespace tvxsim
