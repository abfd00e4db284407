#include "simulator/engine/Biquad.h"

#include <cmath>
#include <numbers>

#include "simulator/engine/Audio.h"

namespace tvxsim {
namespace {

Biquad Design(float hz, float q, bool highPass)
{
    const float w = 2.0f * std::numbers::pi_v<float> * hz / static_cast<float>(kSampleRate);
    const float alpha = std::sin(w) / (2.0f * q);
    const float c = std::cos(w);
    const float a0 = 1.0f + alpha;
    const float k = highPass ? (1.0f + c) / 2.0f : (1.0f - c) / 2.0f;
    Biquad b;
    b.b0 = k / a0;
    b.b1 = (highPass ? -2.0f * k : 2.0f * k) / a0;
    b.b2 = k / a0;
    b.a1 = -2.0f * c / a0;
    b.a2 = (1.0f - alpha) / a0;
    return b;
}

}  // namespace

void Biquad::Flush()
{
    for (float *z : {&z1, &z2})
        if (std::fabs(*z) < 1e-12f)
            *z = 0.0f;
}

Biquad LowPass(float hz, float q) { return Design(hz, q, false); }
Biquad HighPass(float hz, float q) { return Design(hz, q, true); }

}  // namespace tvxsim
