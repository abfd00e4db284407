#include "simulator/engine/Audio.h"

#include <algorithm>
#include <cmath>

namespace tvxsim {

float Dbm0ToPeak(float dbm0) { return 32767.0f * std::pow(10.0f, (dbm0 - kFullScaleSineDbm0) / 20.0f); }

float PeakToDbm0(float peak)
{
    if (peak <= 0.0f)
        return -200.0f;
    return 20.0f * std::log10(peak / 32767.0f) + kFullScaleSineDbm0;
}

float MeanSquareToDbm0(double meanSquare)
{
    if (meanSquare <= 0.0)
        return -200.0f;
    return static_cast<float>(10.0 * std::log10(meanSquare / (32767.0 * 32767.0 / 2.0))) + kFullScaleSineDbm0;
}

float DbToGain(float db) { return std::pow(10.0f, db / 20.0f); }

void MixInto(std::span<int16_t> dst, std::span<const int16_t> src, float gain)
{
    const size_t n = std::min(dst.size(), src.size());
    if (gain == 1.0f) {
        for (size_t i = 0; i < n; ++i)
            dst[i] = Saturate(static_cast<int32_t>(dst[i]) + src[i]);
        return;
    }
    for (size_t i = 0; i < n; ++i)
        dst[i] = Saturate(static_cast<float>(dst[i]) + static_cast<float>(src[i]) * gain);
}

void ApplyGain(std::span<int16_t> dst, float gain)
{
    if (gain == 1.0f)
        return;
    for (int16_t &s : dst)
        s = Saturate(static_cast<float>(s) * gain);
}

bool IsSilent(std::span<const int16_t> samples)
{
    return std::all_of(samples.begin(), samples.end(), [](int16_t s) { return s == 0; });
}

}  // namespace tvxsim
