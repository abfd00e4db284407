// The sixteen tones the tool arms at every open, as rows of name, duration
// (samples of the 8 kHz audio) and frequencies. tvxsim arms them too, so that
// an offline run reports what the tool would show.
#pragma once

#include <array>
#include <cstdint>

namespace tvxsim {

struct ToolTone {
    const char *name;
    int32_t duration;
    int32_t f1;
    int32_t f2;
};

// DTMF pairs for 0-9, the star, hash and D keys under "10", "11", "12",
// silence, and a single 825 Hz tone with two time values.
inline constexpr std::array<ToolTone, 16> kToolToneSet = {{
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

}  // namespace tvxsim
