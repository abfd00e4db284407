// The keystroke scripts (for the keyscript plugin) that reach the main
// window and open its test dialogs from the "Mis&c." menu, as a keyboard
// user does; the tests that run the whole tool share them.
#pragma once

#include <QString>
#include <QStringList>

namespace dialogtest {

// Waits for the main window.
inline const QString kMain = QStringLiteral("wait:Telvora Parlino USB Control / Monitor");
// "Generate Caller ID ...", the menu's first item, and its dialog.
inline const QStringList kOpenCallerIdGenerator = {"Alt+C", "Return", "wait:Parlino Caller ID Generator"};
// "LEDs Test ...", four items below it, and its dialog.
inline const QStringList kOpenLedsTest = {"Alt+C", "Down", "Down", "Down", "Down", "Return", "wait:Parlino LEDs Test"};

}  // namespace dialogtest
