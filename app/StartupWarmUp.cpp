#include "app/StartupWarmUp.h"

#include "app/StartupMarks.h"
#include "res/AppIcon.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QImageReader>

#include <fontconfig/fontconfig.h>

namespace tvx {

// Reading the configuration files is most of the font database's first
// start; the toolkit's own FcInit() then finds them read.
StartupWarmUp::StartupWarmUp()
    : files_([] {
          FcInit();
          StartupMark("warm-up: font configuration read");
      })
{
}

void StartupWarmUp::ApplicationReady()
{
    Finish();
    files_ = std::thread([] {
        // The painted icon images are kept for the window, which asks for
        // them as it opens the device; asking for the formats loads every
        // image plugin once per process, which the first frame needs.
        res::ApplicationIconImages();
        StartupMark("warm-up: icon painted");
        QImageReader::supportedImageFormats();
        StartupMark("warm-up: image plugins loaded");
    });
    // Without a screen (the offscreen platform) there is no accessibility
    // bridge to wait for the bus, and no bus is asked for at all.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    // The connection is shared: the bridge's own request gets this one.
    bus_ = std::thread([] {
        QDBusConnection::sessionBus();
        StartupMark("warm-up: session bus connected");
    });
}

void StartupWarmUp::Finish()
{
    for (std::thread *thread : {&files_, &bus_})
        if (thread->joinable())
            thread->join();
}

}  // namespace tvx
