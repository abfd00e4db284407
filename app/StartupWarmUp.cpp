#include "app/StartupWarmUp.h"

#include <QDBusConnection>
#include <QGuiApplication>

#include <fontconfig/fontconfig.h>

namespace tvx {

// Reading the configuration files is most of the font database's first
// start; the toolkit's own FcInit() then finds them read.
StartupWarmUp::StartupWarmUp() : thread_([] { FcInit(); }) {}

void StartupWarmUp::ApplicationReady()
{
    Finish();
    // Without a screen (the offscreen platform) there is no accessibility
    // bridge to wait for the bus, and no bus is asked for at all.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    // The connection is shared: the bridge's own request gets this one.
    thread_ = std::thread([] { QDBusConnection::sessionBus(); });
}

void StartupWarmUp::Finish()
{
    if (thread_.joinable())
        thread_.join();
}

}  // namespace tvx
