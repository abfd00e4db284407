// The tool's sixteen tones (device/logic/ToneMonitorRows.h) as rows of the
// engine's tone monitor: tvxsim, the tests and the benchmarks arm what the
// tool arms at every open.
#pragma once

#include <vector>

#include "device/logic/ToneMonitorRows.h"
#include "simulator/engine/ToneMonitor.h"

namespace tvxsim {

inline std::vector<MonitorRow> ToolToneRows()
{
    std::vector<MonitorRow> rows;
    rows.reserve(tvx::kToneMonitorRows.size());
    for (const tvx::ToneMonitorRow &t : tvx::kToneMonitorRows)
        rows.push_back({t.frequency1, t.frequency2, t.duration});
    return rows;
}

}  // namespace tvxsim
