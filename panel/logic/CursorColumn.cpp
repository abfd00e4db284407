#include "panel/logic/CursorColumn.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tvx {

std::optional<int32_t> PixelAt(double x)
{
    if (!std::isfinite(x))
        return std::nullopt;
    const double pixel = std::floor(x);
    if (pixel < static_cast<double>(std::numeric_limits<int32_t>::min()) ||
        pixel > static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::nullopt;
    return static_cast<int32_t>(pixel);
}

std::optional<int32_t> SpectrumColumnAt(double x, double y, const ClientRect &rect)
{
    const std::optional<int32_t> px = PixelAt(x);
    const std::optional<int32_t> py = PixelAt(y);
    if (!px || !py)
        return std::nullopt;
    if (*px < rect.left || *px >= rect.right || *py < rect.top || *py >= rect.bottom)
        return std::nullopt;
    // Inside the rectangle the offset is at least 0; a rectangle wider than
    // 32 bits can count caps it at the largest column.
    const int64_t column = static_cast<int64_t>(*px) - rect.left;
    return static_cast<int32_t>(std::min<int64_t>(column, std::numeric_limits<int32_t>::max()));
}

}  // namespace tvx
