// The four tones that "ScGenerateTones() API" hands to ScGenerateTones.
//
// MenuDispatcher passes them when the switch goes on. Constexpr data, usable
// from any thread.
#ifndef TVX_COMMANDS_LOGIC_TONEGENRECORDS_H
#define TVX_COMMANDS_LOGIC_TONEGENRECORDS_H

#include <array>
#include <cstdint>

#include "device/logic/LibraryRecords.h"

namespace tvx {

inline constexpr uint16_t kToneGenAmplitude = 32767;  // full scale
inline constexpr int32_t kToneGenOnMs = 100;
inline constexpr int32_t kToneGenOffMs = 100;

// In frequency order: 1400, 2060, 2450, 2600 Hz.
inline constexpr std::array<ToneGenRecord, 4> kToneGenRecords = {{
    {1400, kToneGenAmplitude, kToneGenOnMs, kToneGenOffMs},
    {2060, kToneGenAmplitude, kToneGenOnMs, kToneGenOffMs},
    {2450, kToneGenAmplitude, kToneGenOnMs, kToneGenOffMs},
    {2600, kToneGenAmplitude, kToneGenOnMs, kToneGenOffMs},
}};

inline constexpr int32_t kToneGenRecordCount = static_cast<int32_t>(kToneGenRecords.size());

}  // namespace tvx

#endif  // TVX_COMMANDS_LOGIC_TONEGENRECORDS_H
