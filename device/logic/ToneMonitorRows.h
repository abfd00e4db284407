// The sixteen tones the tool asks the library to report at every open, one
// row each: name, duration (samples of the 8 kHz audio) and frequencies.
// Used by device/ToneMonitorSet and by tvxsim, which arms the same rows so
// that an offline run reports what the tool would show.
#pragma once

#include <array>
#include <cstdint>

namespace tvx {

struct ToneMonitorRow {
    const char *name;
    int32_t duration;
    int32_t frequency1;
    int32_t frequency2;
};

// DTMF pairs for 0-9, then the star, hash and D keys under "10", "11", "12",
// silence, and a single 825 Hz tone with two time values.
inline constexpr std::array<ToneMonitorRow, 16> kToneMonitorRows = {{
    {"0", 2000, 941, 1336},
    {"1", 2000, 697, 1209},
    {"2", 2000, 697, 1336},
    {"3", 2000, 697, 1477},
    {"4", 2000, 770, 1209},
    {"5", 2000, 770, 1336},
    {"6", 2000, 770, 1477},
    {"7", 2000, 852, 1209},
    {"8", 2000, 852, 1336},
    {"9", 2000, 852, 1477},
    {"10", 2000, 941, 1209},
    {"11", 2000, 941, 1477},
    {"12", 2000, 941, 1633},
    {"Silent", 10000, 0, 0},
    {"14", 300, 825, 0},
    {"15", 1000, 825, 0},
}};

}  // namespace tvx
