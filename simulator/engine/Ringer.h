// A ringing voltage: a low-frequency sine switched on and off in a cadence,
// for a number of cycles or until stopped. The exchange rings the line with
// one, the adapter rings the phone with another.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "simulator/engine/Audio.h"

namespace tvxsim {

class Ringer {
public:
    static constexpr int16_t kPeak = 20000;

    // cycles < 0: until stopped. A cadence starting with 0 ms on rings nothing.
    void Start(int32_t hz, const std::array<int32_t, 4> &cadenceMs, int32_t cycles = -1);
    void Stop() { active_ = false; }
    // Lengthens the silence after the current cycle's last ring by `extra`,
    // once (room for caller ID between the first and second ring).
    void ExtendGap(SampleTime extra) { extra_ = extra; }
    bool Active() const { return active_; }
    int32_t Hz() const { return hz_; }
    int32_t CyclesDone() const { return cycles_; }

    // Writes the voltage (0 while off or stopped) into out.
    void Process(std::span<int16_t> out);

private:
    bool LastSection() const;
    SampleTime SectionLength() const;

    bool active_ = false;
    int32_t hz_ = 0;
    std::array<SampleTime, 4> sections_{};
    int section_ = 0;
    SampleTime position_ = 0;
    int32_t cycles_ = 0;
    int32_t maxCycles_ = -1;
    uint32_t phase_ = 0;
    int32_t phaseRate_ = 0;
    SampleTime extra_ = 0;
};

}  // namespace tvxsim
