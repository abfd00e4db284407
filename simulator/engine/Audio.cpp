#include "simulator/engine/Audio.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

namespace {

// Samples side by side, so that one instruction mixes them all: eight as
// they are, four widened for the gain.
typedef int16_t Samples __attribute__((vector_size(16)));
typedef uint16_t UnsignedSamples __attribute__((vector_size(16)));
constexpr size_t kSamplesAtOnce = sizeof(Samples) / sizeof(int16_t);
typedef int16_t Shorts __attribute__((vector_size(8)));
typedef int32_t Ints __attribute__((vector_size(16)));
typedef float Floats __attribute__((vector_size(16)));
constexpr size_t kLanes = 4;

Ints Widen(const int16_t *p)
{
    Shorts v;
    std::memcpy(&v, p, sizeof v);
    return __builtin_convertvector(v, Ints);
}

void Narrow(int16_t *p, Ints v)
{
    const Shorts s = __builtin_convertvector(v, Shorts);
    std::memcpy(p, &s, sizeof s);
}

// Saturate(float) of four lanes: the same clamp and rounding half away from zero.
Ints SaturateLanes(Floats v)
{
    v = v < -32768.0f ? Floats{} - 32768.0f : v;
    v = v > 32767.0f ? Floats{} + 32767.0f : v;
    const Floats half = v >= 0.0f ? Floats{} + 0.5f : Floats{} - 0.5f;
    return __builtin_convertvector(v + half, Ints);
}

}  // namespace

void MixInto(std::span<int16_t> dst, std::span<const int16_t> src, float gain)
{
    const size_t n = std::min(dst.size(), src.size());
    if (std::isfinite(gain) && IsSilent(src.first(n)))
        return;  // adds nothing to any sample
    size_t i = 0;
    if (gain == 1.0f) {
        for (; i + kSamplesAtOnce <= n; i += kSamplesAtOnce) {
            Samples a, b;
            std::memcpy(&a, dst.data() + i, sizeof a);
            std::memcpy(&b, src.data() + i, sizeof b);
            // The sum wrapped round where both addends have a sign the sum has not:
            // there it is the end of the range on the addends' side.
            const Samples sum =
                reinterpret_cast<Samples>(reinterpret_cast<UnsignedSamples>(a) + reinterpret_cast<UnsignedSamples>(b));
            const Samples wrapped = ((a ^ sum) & (b ^ sum)) < 0;
            const Samples end = (a >> 15) ^ 0x7FFF;
            const Samples out = (sum & ~wrapped) | (end & wrapped);
            std::memcpy(dst.data() + i, &out, sizeof out);
        }
        for (; i < n; ++i)
            dst[i] = Saturate(static_cast<int32_t>(dst[i]) + src[i]);
        return;
    }
    if (std::isfinite(gain))
        for (; i + kLanes <= n; i += kLanes) {
            const Floats mixed = __builtin_convertvector(Widen(dst.data() + i), Floats) +
                                 __builtin_convertvector(Widen(src.data() + i), Floats) * gain;
            Narrow(dst.data() + i, SaturateLanes(mixed));
        }
    for (; i < n; ++i)
        dst[i] = Saturate(static_cast<float>(dst[i]) + static_cast<float>(src[i]) * gain);
}

void ApplyGain(std::span<int16_t> dst, float gain)
{
    if (gain == 1.0f)
        return;
    size_t i = 0;
    if (std::isfinite(gain))
        for (; i + kLanes <= dst.size(); i += kLanes)
            Narrow(dst.data() + i, SaturateLanes(__builtin_convertvector(Widen(dst.data() + i), Floats) * gain));
    for (; i < dst.size(); ++i)
        dst[i] = Saturate(static_cast<float>(dst[i]) * gain);
}

bool IsSilent(std::span<const int16_t> samples)
{
    // Every sample looked at, without a branch each: one instruction takes eight.
    Samples any{};
    size_t i = 0;
    for (; i + kSamplesAtOnce <= samples.size(); i += kSamplesAtOnce) {
        Samples v;
        std::memcpy(&v, samples.data() + i, sizeof v);
        any |= v;
    }
    int16_t rest = 0;
    for (; i < samples.size(); ++i)
        rest |= samples[i];
    for (size_t lane = 0; lane < kSamplesAtOnce; ++lane)
        rest |= any[lane];
    return rest == 0;
}

}  // namespace tvxsim
