#include "simulator/logic/AnalysisScale.h"

#include <algorithm>
#include <cmath>

namespace tvxsim {

bool ColumnToHz(uint32_t column, int width, float &hz)
{
    if (width <= 0 || column >= static_cast<uint32_t>(width))
        return false;
    hz = kSpectrumTopHz * static_cast<float>(column) / static_cast<float>(width);
    return true;
}

void ColumnLevels(std::span<const float> bins, std::span<float> columns)
{
    if (bins.size() < 2 || columns.empty())
        return;
    const double width = static_cast<double>(columns.size());
    const double halfColumnBins = kSpectrumTopHz / width / 2.0 / kSpectrumBinHz;
    const auto last = static_cast<long>(bins.size()) - 1;
    for (size_t c = 0; c < columns.size(); ++c) {
        const double at = kSpectrumTopHz * static_cast<double>(c) / width / kSpectrumBinHz;  // in bins
        // Straight between the two bins either side (never above them).
        const long k = std::clamp(static_cast<long>(std::floor(at)), 0L, last - 1);
        const double x = std::min(at - static_cast<double>(k), 1.0);
        double level = (1.0 - x) * bins[static_cast<size_t>(k)] + x * bins[static_cast<size_t>(k + 1)];
        const long from = std::max(0L, static_cast<long>(std::ceil(at - halfColumnBins)));
        const long to = std::min(last, static_cast<long>(std::floor(at + halfColumnBins)));
        for (long b = from; b <= to; ++b)
            level = std::max(level, static_cast<double>(bins[static_cast<size_t>(b)]));
        columns[c] = static_cast<float>(level);
    }
}

double LevelHeight(float dbm0, double height)
{
    const double share = (static_cast<double>(dbm0) - kSpectrumFloorDbm0) / (kSpectrumTopDbm0 - kSpectrumFloorDbm0);
    return std::clamp(share, 0.0, 1.0) * height;
}

}  // namespace tvxsim
