// Icon 128: the application icon, painted from its shape table
// (res/AppIconShapes.h) rather than loaded from a file.
#pragma once

#include <QIcon>
#include <QImage>

#include <array>

namespace tvx::res {

// The sizes a window manager asks for.
inline constexpr std::array<int, 5> kApplicationIconSizes{16, 24, 32, 48, 64};

// A telephone handset over the adapter's body, in kApplicationIconSizes. UI thread.
QIcon ApplicationIcon();

// The icon's images in kApplicationIconSizes, painted once per process by
// the first thread that asks (any thread; the others wait for it), so that
// start-up can paint them beside the main window's construction.
const std::array<QImage, kApplicationIconSizes.size()> &ApplicationIconImages();

// The icon painted at size x size pixels on a transparent background. Needs
// no application object: the build paints the installed PNG icons with it.
QImage PaintApplicationIcon(int size);

}  // namespace tvx::res
