// Start-up work that waits on files or on other processes, moved off the UI
// thread so that it overlaps the work that needs it:
// - the font configuration loads while the application object connects to
//   the display, so that the first text the main window measures finds it
//   read;
// - the image-format plugins load and the application icon is painted while
//   the main window is built: the style's first image file would otherwise
//   load every plugin on the UI thread as the window is first painted;
// - the session bus connects while the main window is built, so that the
//   accessibility bridge, which the first control's text brings up, finds
//   it connected instead of waiting for it (or for its autolaunch).
// Create it before the application object, call ApplicationReady() once
// that exists and Finish() before it goes. UI thread only; the work runs on
// threads of its own.
#pragma once

#include <thread>

namespace tvx {

class StartupWarmUp {
public:
    // Starts loading the font configuration.
    StartupWarmUp();
    ~StartupWarmUp() { Finish(); }
    StartupWarmUp(const StartupWarmUp &) = delete;
    StartupWarmUp &operator=(const StartupWarmUp &) = delete;

    // Waits for the font configuration, then starts the rest. Call once,
    // with the application object constructed.
    void ApplicationReady();

    // Waits for the work in flight.
    void Finish();

private:
    std::thread files_;  // font configuration, then plugins and icon
    std::thread bus_;
};

}  // namespace tvx
