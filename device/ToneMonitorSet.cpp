#include "device/ToneMonitorSet.h"

#include "device/logic/ToneMonitorRows.h"

namespace tvx {

namespace {

static_assert(kToneMonitorRows.size() == kToneMonitorCount, "one entry per row");

ToneMonitorEntry g_toneMonitorSet[kToneMonitorCount];

}  // namespace

const ToneMonitorEntry *FillToneMonitorSet()
{
    for (int32_t i = 0; i < kToneMonitorCount; ++i) {
        const ToneMonitorRow &row = kToneMonitorRows[static_cast<size_t>(i)];
        g_toneMonitorSet[i] = ToneMonitorEntry{0, row.name, row.duration, row.frequency1, row.frequency2, 0};
    }
    return g_toneMonitorSet;
}

}  // namespace tvx
