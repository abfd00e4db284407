// Call-progress tones and line ringing of each country plan: North America
// (country code 1), the United Kingdom (44), and the CEPT plan (425 Hz) for
// every other code.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "simulator/engine/CadencedTone.h"

namespace tvxsim {

enum class ProgressTone : uint8_t {
    Dial,
    RingBack,
    Busy,
    Reorder,
    Proceeding,
};
inline constexpr size_t kProgressTones = 5;

struct TonePlan {
    int32_t country;  // 0 for the CEPT plan of every code not listed
    const char *name;
    std::array<ToneSpec, kProgressTones> tones;  // in ProgressTone order
    int32_t ringHz;                              // ringing voltage toward the adapter
    std::array<int32_t, 4> ringCadenceMs;
    int32_t dialToneConfirmMs;  // how long dial tone must last to tell it from the other tones

    const ToneSpec &Tone(ProgressTone t) const { return tones[static_cast<size_t>(t)]; }
};

const TonePlan &TonePlanFor(int32_t countryCode);
// "440 + 480 Hz, 2.0 s on, 4.0 s off", "425 Hz, continuous".
std::string DescribeTone(const ToneSpec &tone);

// The plan of a country code given as decimal text ("44"); the CEPT plan for anything else.
const TonePlan &TonePlanForText(std::string_view countryText);

}  // namespace tvxsim
