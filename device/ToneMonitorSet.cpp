#include "device/ToneMonitorSet.h"

namespace tvx {

namespace {

struct ToneRow {
    const char *name;
    int32_t duration;
    int32_t frequency1;
    int32_t frequency2;
};

// DTMF pairs for 0-9, then the star, hash and D keys under "10", "11", "12",
// silence, and a single 825 Hz tone with two time values.
constexpr ToneRow kToneRows[kToneMonitorCount] = {
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
};

ToneMonitorEntry g_toneMonitorSet[kToneMonitorCount];

}  // namespace

const ToneMonitorEntry *FillToneMonitorSet()
{
    for (int32_t i = 0; i < kToneMonitorCount; ++i) {
        const ToneRow &row = kToneRows[i];
        g_toneMonitorSet[i] = ToneMonitorEntry{0, row.name, row.duration, row.frequency1, row.frequency2, 0};
    }
    return g_toneMonitorSet;
}

}  // namespace tvx
