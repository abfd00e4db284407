// Tones the adapter plays toward the phone's earpiece: the tone generator's
// tones (dial tone, ring-back, busy, reorder and proceeding in the local
// country's cadences; an endless beep, a 250 ms beep and the receiver
// off-hook tone), and the tone set of ScGenerateTones.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "device/tvxusb.h"
#include "simulator/engine/CadencedTone.h"
#include "simulator/engine/TonePlan.h"

namespace tvxsim {

inline constexpr int32_t kToneInfiniteBeep = 5;
inline constexpr int32_t kToneBeep = 6;
inline constexpr int32_t kToneReceiverOffHook = 7;
inline constexpr int32_t kBeepHz = 1000;
inline constexpr float kBeepDbm0 = -10.0f;
inline constexpr int32_t kBeepMs = 250;

// The ToneSpecs of a generator tone 0..7 (two for the four-frequency
// receiver off-hook tone). Empty for any other number.
std::vector<ToneSpec> GeneratorTone(int32_t tone, const TonePlan &plan);

// The tones of ScGenerateTones records, all sounding together, each in its
// own on/off cadence. When the amplitudes add up to more than full scale the
// set is scaled down to fit. Records with a frequency outside 1..3999 Hz, no
// amplitude or no on time are silent.
std::vector<ToneSpec> ToneSetSpecs(std::span<const ToneGenRecord> records);

class PhoneTones {
public:
    // Starts generator tone 0..7 in place of the one playing.
    void Start(int32_t tone, const TonePlan &plan);
    void Stop() { tone_.clear(); }
    bool Playing() const { return !tone_.empty(); }

    void StartSet(std::span<const ToneGenRecord> records);
    void StopSet() { set_.clear(); }

    // Adds both into out. True when the generator's tone has just ended by itself (the beep).
    bool MixInto(std::span<int16_t> out);

private:
    std::vector<std::unique_ptr<CadencedTone>> tone_;
    std::vector<std::unique_ptr<CadencedTone>> set_;
};

}  // namespace tvxsim
