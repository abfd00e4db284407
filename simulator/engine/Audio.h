// Audio of the simulated adapter: 8 kHz, 16-bit, moved in 20 ms blocks.
// Levels are in dBm0 on the scale the signal library uses: a full-scale
// sine is +3.14 dBm0.
#pragma once

#include <cstdint>
#include <span>

namespace tvxsim {

inline constexpr int kSampleRate = 8000;
inline constexpr int kSamplesPerMs = kSampleRate / 1000;
inline constexpr int kBlockSamples = 160;
inline constexpr int kBlockMs = kBlockSamples / kSamplesPerMs;
inline constexpr float kFullScaleSineDbm0 = 3.14f;

using SampleTime = int64_t;  // samples since the device opened

constexpr SampleTime MsToSamples(int64_t ms) { return ms * kSamplesPerMs; }
constexpr int64_t SamplesToMs(SampleTime samples) { return samples / kSamplesPerMs; }

// Peak amplitude of a sine at `dbm0`, and back.
float Dbm0ToPeak(float dbm0);
float PeakToDbm0(float peak);
// Level of a signal whose mean square is `meanSquare` (a sine of peak A has A*A/2).
float MeanSquareToDbm0(double meanSquare);
float DbToGain(float db);

inline int16_t Saturate(int32_t value)
{
    return static_cast<int16_t>(value < -32768 ? -32768 : (value > 32767 ? 32767 : value));
}
inline int16_t Saturate(float value)
{
    if (!(value > -32768.0f))  // also NaN
        return value != value ? 0 : -32768;
    if (value > 32767.0f)
        return 32767;
    return static_cast<int16_t>(value + (value >= 0 ? 0.5f : -0.5f));
}

// dst[i] = saturate(dst[i] + src[i] * gain).
void MixInto(std::span<int16_t> dst, std::span<const int16_t> src, float gain = 1.0f);
// dst[i] = saturate(dst[i] * gain).
void ApplyGain(std::span<int16_t> dst, float gain);
bool IsSilent(std::span<const int16_t> samples);

}  // namespace tvxsim
