// Icon 128: the application icon, painted from its shape table
// (res/AppIconShapes.h) rather than loaded from a file.
#pragma once

#include <QIcon>
#include <QImage>

namespace tvx::res {

// A telephone handset over the adapter's body, in the sizes a window manager asks for.
QIcon ApplicationIcon();

// The icon painted at size x size pixels on a transparent background. Needs
// no application object: the build paints the installed PNG icons with it.
QImage PaintApplicationIcon(int size);

}  // namespace tvx::res
