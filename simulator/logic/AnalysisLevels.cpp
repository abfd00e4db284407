#include "simulator/logic/AnalysisLevels.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tvxsim {
namespace {

struct Peak {
    float hz;
    float level;
};

// Gaussian bump of a peak seen at frequency f.
float Bump(const Peak &p, float f, float widthHz)
{
    const float d = (f - p.hz) / widthHz;
    return p.level * std::exp(-d * d);
}

// Cheap deterministic noise in [0, 1).
float Noise(uint32_t a, uint32_t b)
{
    uint32_t x = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u;
    x ^= x >> 15;
    x *= 0x2C1B3C6Du;
    x ^= x >> 12;
    return static_cast<float>(x & 0xFFFFu) / 65536.0f;
}

}  // namespace

bool ColumnToHz(uint32_t column, int width, float &hz)
{
    if (width <= 0 || column >= static_cast<uint32_t>(width))
        return false;
    hz = kSpectrumTopHz * static_cast<float>(column) / static_cast<float>(width);
    return true;
}

void SpectrumLevels(uint32_t frame, std::span<float> bars)
{
    if (bars.empty())
        return;
    const float sweepPhase = static_cast<float>(frame % 100) / 100.0f;
    const std::array<Peak, 3> peaks = {{
        {350.0f, 0.75f},
        {440.0f, 0.70f},
        {600.0f + 2800.0f * (0.5f - 0.5f * std::cos(6.2831853f * sweepPhase)), 0.55f},
    }};
    const float binHz = kSpectrumTopHz / static_cast<float>(bars.size());
    for (size_t i = 0; i < bars.size(); ++i) {
        const float f = (static_cast<float>(i) + 0.5f) * binHz;
        float level = 0.05f + 0.08f * Noise(frame, static_cast<uint32_t>(i));
        for (const Peak &p : peaks)
            level += Bump(p, f, std::max(binHz, 60.0f));
        bars[i] = std::clamp(level, 0.0f, 1.0f);
    }
}

}  // namespace tvxsim
