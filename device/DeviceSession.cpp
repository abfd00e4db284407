#include "device/DeviceSession.h"

#include "device/DeviceEventCallback.h"
#include "device/EventLog.h"
#include "device/EventRelay.h"
#include "device/SessionText.h"
#include "device/ToneMonitorSet.h"
#include "device/tvxusb.h"

#include <QWidget>

#include <string>
#include <utility>

namespace tvx {

DeviceSession::DeviceSession(EventLog &log, QWidget *spectrum) : log_(log), spectrum_(spectrum) {}

DeviceSession::~DeviceSession() { Close(); }

int32_t DeviceSession::Open()
{
    // 1. Reset the version number.
    libraryVersion_ = 0;

    // 2. Initialise the library with the callback and a context that leads
    // to the event log for this open only.
    context_ = EventRelay::Instance().Open(this, [this](const LogDelta &delta) { log_.ApplyDeviceEvents(delta); });
    const int32_t initialized =
        ScInitialize(&OnDeviceEvent, context_, 0, 0, 0, 0, 17, &libraryVersion_, spectrum_.data());
    if (initialized != 0) {
        log_.Insert(OpenErrorLine("ScInitialize() returned error code", initialized));
        return -2;
    }

    // 3. Open the device; on failure the library stays initialised until the next close.
    const int32_t opened = ScOpen(0, 0);
    if (opened != 0) {
        log_.Insert(OpenErrorLine("ScOpen() returned error code", opened));
        return -3;
    }

    // 4-7. Identity lines.
    char text[TVX_TEXT_SIZE] = "";
    ScGetDeviceSN(text, TVX_TEXT_SIZE);
    const std::string serial = BoundedText(text, sizeof text);
    emit SerialNumberRead(QString::fromLatin1(serial.c_str()));
    log_.Insert(SerialNumberLine(text, sizeof text));
    log_.Insert(FirmwareLine(ScGetRawDeviceRevision(0)));
    ScGetDeviceName(text, TVX_TEXT_SIZE);
    log_.Insert(DeviceNameLine(text, sizeof text));
    log_.Insert(LibraryVersionLine(libraryVersion_));

    // Arm the tone monitor; the set stays valid while the library is initialised.
    ScMonitorTones(1, FillToneMonitorSet(), kToneMonitorCount);

    // The menu marks, the panel's defaults and the country lists follow.
    emit Opened();
    return 1;
}

void DeviceSession::Close()
{
    ScClose(0);
    ScShutdown(0);
    EventRelay::Instance().Close(std::exchange(context_, nullptr));
    emit Closed();
}

uint8_t DeviceSession::ToggleDriver()
{
    if (driverEnabled_ == 1) {
        driverEnabled_ = 0;
        Close();
    } else {
        Open();
        driverEnabled_ = 1;
    }
    return driverEnabled_;
}

}  // namespace tvx
