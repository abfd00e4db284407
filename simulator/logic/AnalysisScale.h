// The spectrum area's scales: hertz along the width (what ScGetIndexFreq
// reports for a column is the frequency drawn in it), levels in dBm0 up the
// height, and the FFT bins the levels come from.
#pragma once

#include <cstdint>
#include <span>

namespace tvxsim {

inline constexpr float kSpectrumTopHz = 4000.0f;
inline constexpr int kSpectrumFftSize = 512;  // 64 ms of the 8 kHz audio
inline constexpr int kSpectrumBins = kSpectrumFftSize / 2 + 1;
inline constexpr float kSpectrumBinHz = 8000.0f / kSpectrumFftSize;  // 15.625 Hz
inline constexpr int kSpectrumHop = 400;                             // a frame every 50 ms: 20 a second
inline constexpr float kSpectrumTopDbm0 = 0.0f;                      // the area's top edge
inline constexpr float kSpectrumFloorDbm0 = -80.0f;                  // its bottom edge

// Column 0 is 0 Hz, the right edge (width) is 4000 Hz: hz = 4000 * column / width.
// False, hz untouched, when width <= 0 or column >= width.
bool ColumnToHz(uint32_t column, int width, float &hz);

// The level each of columns.size() columns shows, from the bins' levels
// (kSpectrumBins values in dBm0): the level at the column's frequency,
// straight between the bins either side of it, or the strongest bin within
// half a column either side when that is higher (a narrow area loses no
// peak between its columns).
void ColumnLevels(std::span<const float> bins, std::span<float> columns);

// Height in pixels that a level fills in an area `height` pixels high: 0
// at the floor or below, the whole height at the top or above.
double LevelHeight(float dbm0, double height);

}  // namespace tvxsim
