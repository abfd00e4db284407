#include "app/StartupWarmUp.h"

#include "res/AppIcon.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QImageReader>

#include <fontconfig/fontconfig.h>

namespace tvx {

// Reading the configuration files is most of the font database's first
// start; the toolkit's own FcInit() then finds them read.
StartupWarmUp::StartupWarmUp() : files_([] { FcInit(); }) {}

void StartupWarmUp::ApplicationReady()
{
    Finish();
    files_ = std::thread([] {
        // Asking for the formats loads every image plugin once per process;
        // the painted icon images are kept for the window that asks.
        QImageReader::supportedImageFormats();
        res::ApplicationIconImages();
    });
    // Without a screen (the offscreen platform) there is no accessibility
    // bridge to wait for the bus, and no bus is asked for at all.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    // The connection is shared: the bridge's own request gets this one.
    bus_ = std::thread([] { QDBusConnection::sessionBus(); });
}

void StartupWarmUp::Finish()
{
    for (std::thread *thread : {&files_, &bus_})
        if (thread->joinable())
            thread->join();
}

}  // namespace tvx
