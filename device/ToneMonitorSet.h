// The sixteen tones the library is asked to report, in static storage that
// stays valid while the library is initialised.
#pragma once

#include "device/tvxusb.h"

#include <cstdint>

namespace tvx {

constexpr int32_t kToneMonitorCount = 16;

// Refills the program-wide set from its table and returns row 0. UI thread only.
const ToneMonitorEntry *FillToneMonitorSet();

}  // namespace tvx
