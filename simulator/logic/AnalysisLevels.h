// Frequency scale of the spectrum area and the simulated spectrum it shows.
#pragma once

#include <cstdint>
#include <span>

namespace tvxsim {

inline constexpr float kSpectrumTopHz = 4000.0f;

// Column 0 is 0 Hz, the right edge (width) is 4000 Hz: hz = 4000 * column / width.
// False, hz untouched, when width <= 0 or column >= width.
bool ColumnToHz(uint32_t column, int width, float &hz);

// Levels 0..1 for each bar of frame `frame` (about ten frames a second): a
// noise floor with a dial-tone pair and a slowly sweeping tone.
void SpectrumLevels(uint32_t frame, std::span<float> bars);

}  // namespace tvxsim
