// Loads the font configuration on a worker thread while the application
// object connects to the display, so that the first text the main window
// measures does not wait for it. Create it before the application object,
// Wait() once that exists. Any thread; the font library is thread-safe.
#pragma once

#include <thread>

namespace tvx {

class FontWarmUp {
public:
    FontWarmUp();
    // Waits, if Wait() has not.
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp &) = delete;
    FontWarmUp &operator=(const FontWarmUp &) = delete;

    // Returns once the configuration is loaded.
    void Wait();

private:
    std::thread thread_;
};

}  // namespace tvx
