// The application icon as an SVG document, written from its shape table.
// Pure: no Qt.
#pragma once

#include "res/AppIconShapes.h"

#include <span>
#include <string>

namespace tvx::res {

// A standalone SVG of shapes in a kIconFrame x kIconFrame view box.
std::string IconSvg(std::span<const IconShape> shapes);

}  // namespace tvx::res
