// The adapter's adjustable parameters: the ScDoCommand code of each, its
// factory value, the range the adapter uses (a value outside it counts as
// the nearest end) and its unit.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tvxsim {

enum class Param : uint8_t {
    RingerOff,
    RingerOn,
    WaitDialTone,
    WaitAnswer,
    DtmfDialTime,
    PauseTime,
    HookFlash,
    PreFlashGuard,
    PostFlashGuard,
    VoiceThreshold,
    LiteDtmfLineOnHook,
    LiteDtmfLineOffHook,
    LiteDtmfPhone,
};

struct ParameterRow {
    int32_t code;
    Param param;
    int32_t factory;
    int32_t min;
    int32_t max;
    int32_t unitMs;  // ms per step for times, 0 for levels
};

inline constexpr std::array kParameterRows = std::to_array<ParameterRow>({
    {135, Param::RingerOff, 30, 1, 255, 100},
    {151, Param::RingerOn, 20, 1, 255, 100},
    {167, Param::WaitDialTone, 4, 1, 255, 1000},
    {183, Param::WaitAnswer, 30, 1, 255, 1000},
    {199, Param::DtmfDialTime, 95, 20, 2000, 1},
    {215, Param::PauseTime, 2, 0, 255, 1000},
    {141, Param::HookFlash, 70, 1, 1000, 10},
    {221, Param::PreFlashGuard, 100, 0, 1000, 10},
    {237, Param::PostFlashGuard, 100, 0, 1000, 10},
    {142, Param::VoiceThreshold, 63, 0, 128, 0},
    {136, Param::LiteDtmfLineOnHook, 26, 0, 60, 0},
    {152, Param::LiteDtmfLineOffHook, 26, 0, 60, 0},
    {168, Param::LiteDtmfPhone, 26, 0, 60, 0},
});
inline constexpr size_t kParameterCount = kParameterRows.size();

const ParameterRow &ParameterRowOf(Param p);
// The row of a ScDoCommand code, or nullptr.
const ParameterRow *ParameterRowForCode(int32_t code);

// Level of the voice detector's threshold: -64 dBm0 plus half a dB per step.
float VoiceThresholdDbm0(int32_t value);
// Level of a light DTMF detector's threshold, -value dBm0; 0 switches the detector off.
int32_t LiteDtmfThresholdDbm0(int32_t value);

// Threshold selectors of ScSetThreshold / ScGetThreshold.
inline constexpr int32_t kThresholdTones = 0;
inline constexpr int32_t kThresholdSilence = 1;
inline constexpr int32_t kThresholdVoiceLow = 16;
inline constexpr int32_t kThresholdVoiceHigh = 17;
inline constexpr uint32_t kThresholdTop = 32766;

// A tone or silence threshold 0..32766 as a level: 20 log10((v + 1) k) dBm0,
// the scale the tool shows; values above 32766 count as 32766.
double ThresholdToDbm0(uint32_t value);
// Voice band edges: the low edge in steps of 4 Hz, the high edge in steps of 31.25 Hz.
float VoiceBandLowHz(uint32_t value);
float VoiceBandHighHz(uint32_t value);

}  // namespace tvxsim
