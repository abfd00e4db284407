// Dialog units to pixels, from the dialog font's base units (average character
// width and character height, in logical pixels). Pure: no Qt.
#pragma once

#include <cmath>

namespace tvx::res {

struct BaseUnits {
    double x;  // average character width
    double y;  // character height
};

// A horizontal dialog unit is a quarter of the average character width.
inline int DluToPixelsX(int dlu, BaseUnits base) { return static_cast<int>(std::lround(dlu * base.x / 4.0)); }

// A vertical dialog unit is an eighth of the character height.
inline int DluToPixelsY(int dlu, BaseUnits base) { return static_cast<int>(std::lround(dlu * base.y / 8.0)); }

// Logical pixels to device pixels at a device pixel ratio (1, 1.5, 2, ...).
inline int LogicalToDevice(int logical, double devicePixelRatio)
{
    return static_cast<int>(std::lround(logical * devicePixelRatio));
}

}  // namespace tvx::res
