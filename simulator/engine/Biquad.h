// One second-order filter section (the audio EQ cookbook's low-pass and
// high-pass), run sample by sample; cascades of them make the engine's band
// filters.
#pragma once

namespace tvxsim {

struct Biquad {
    float b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;  // the coefficients (a0 is 1)
    float z1 = 0, z2 = 0;                          // the state (transposed direct form II)

    float Run(float x)
    {
        const float y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
    void Clear() { z1 = z2 = 0; }
    // Zeroes a state that has decayed to nothing, so that no denormals follow a fade to silence.
    void Flush();
};

// A section at `hz` with quality `q` (0.7071 alone is Butterworth).
Biquad LowPass(float hz, float q);
Biquad HighPass(float hz, float q);

}  // namespace tvxsim
