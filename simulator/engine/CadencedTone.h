// A tone of one or two frequencies switched on and off in a cadence of up to
// two on/off pairs, made by the signal library's tone generator. It can run
// for a limited total time or until it is dropped.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "simulator/engine/Audio.h"

struct tone_gen_state_s;

namespace tvxsim {

struct ToneSpec {
    int32_t f1 = 0;  // Hz; 0 for none
    int32_t f2 = 0;
    float level1 = -13.0f;  // dBm0 of each frequency
    float level2 = -13.0f;
    std::array<int32_t, 4> cadenceMs{};  // on, off, on, off; a 0 ends the cadence; all-on is {n, 0, 0, 0}
    bool repeat = true;
};

class CadencedTone {
public:
    // totalSamples < 0: runs until dropped (or until a cadence without repeat ends).
    explicit CadencedTone(const ToneSpec &tone, SampleTime totalSamples = -1);
    ~CadencedTone();
    CadencedTone(const CadencedTone &) = delete;
    CadencedTone &operator=(const CadencedTone &) = delete;

    // Adds the next samples into out (saturating). False once the tone has ended.
    bool MixInto(std::span<int16_t> out, float gain = 1.0f);
    bool Finished() const { return finished_; }

private:
    tone_gen_state_s *state_ = nullptr;
    SampleTime remaining_;
    bool finished_ = false;
};

// Longest time a cadence stays silent (the gap that ends a ring-back cycle).
int32_t LongestGapMs(const std::array<int32_t, 4> &cadenceMs);

}  // namespace tvxsim
