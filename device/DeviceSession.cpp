#include "device/DeviceSession.h"

#include "device/Adapter.h"
#include "device/DeviceEventCallback.h"
#include "device/EventRelay.h"
#include "device/Latin1.h"
#include "device/SessionText.h"
#include "device/ToneMonitorSet.h"
#include "device/tvxusb.h"

#include <string>
#include <utility>

namespace tvx {

DeviceSession::DeviceSession(SpectrumWindow spectrumWindow) : spectrumWindow_(std::move(spectrumWindow)) {}

DeviceSession::~DeviceSession() { Close(); }

void DeviceSession::Write(const std::string &line) { emit LineWritten(Latin1(line)); }

int32_t DeviceSession::Open()
{
    // 1. Reset the version number.
    libraryVersion_ = 0;

    // 2. Initialise the library with the callback and a context that leads
    // to this open's events only.
    context_ = EventRelay::Instance().Open(this, [this](const LogDelta &events) { emit DeviceEvents(events); });
    const int32_t initialized =
        adapter::Initialize(&OnDeviceEvent, context_, &libraryVersion_, spectrumWindow_ ? spectrumWindow_() : nullptr);
    if (initialized != 0) {
        Write(OpenErrorLine("ScInitialize() returned error code", initialized));
        return -2;
    }

    // 3. Open the device; on failure the library stays initialised until the next close.
    const int32_t opened = adapter::Open();
    if (opened != 0) {
        Write(OpenErrorLine("ScOpen() returned error code", opened));
        return -3;
    }

    // 4-7. Identity lines.
    char text[TVX_TEXT_SIZE] = "";
    adapter::GetDeviceSerialNumber(text);
    const std::string serial = BoundedText(text, sizeof text);
    emit SerialNumberRead(QString::fromLatin1(serial.c_str()));
    Write(SerialNumberLine(text, sizeof text));
    Write(FirmwareLine(adapter::GetRawDeviceRevision()));
    adapter::GetDeviceName(text);
    Write(DeviceNameLine(text, sizeof text));
    Write(LibraryVersionLine(libraryVersion_));

    // Arm the tone monitor; the set stays valid while the library is initialised.
    adapter::MonitorTones(FillToneMonitorSet(), kToneMonitorCount);

    // The menu marks, the panel's defaults and the country lists follow.
    emit Opened();
    return 1;
}

void DeviceSession::Close()
{
    adapter::Close();
    adapter::Shutdown();
    EventRelay::Instance().Close(std::exchange(context_, nullptr));
    emit Closed();
}

void DeviceSession::ToggleDriver()
{
    if (driverEnabled_ == 1) {
        driverEnabled_ = 0;
        Close();
    } else {
        Open();
        driverEnabled_ = 1;
    }
    emit DriverEnabledChanged(driverEnabled_ == 1);
}

}  // namespace tvx
