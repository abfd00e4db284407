// Icon 128: the application icon, drawn rather than loaded from a file.
#pragma once

#include <QIcon>

namespace tvx::res {

// A telephone handset over a USB plug, in the sizes a window manager asks for.
QIcon ApplicationIcon();

}  // namespace tvx::res
