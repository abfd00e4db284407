// The tool's one session with the adapter library: opening the device
// (OpenDevice), closing it, the identity lines, the tone monitor, the event
// relay's context for each open and the driver-enabled flag behind "Driver
// Enabled". It owns no widget: what it has to say goes out through its
// signals, as values (the lines it writes, the device events as a batch).
// UI thread only.
#pragma once

#include "device/logic/LogDelta.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

namespace tvx {

class DeviceSession final : public QObject {
    Q_OBJECT
public:
    // The window the library draws the spectrum in, asked for at every open
    // and handed to ScInitialize; null for none.
    using SpectrumWindow = std::function<void *()>;

    // Opens nothing.
    explicit DeviceSession(SpectrumWindow spectrumWindow = {});
    // Closes, whatever the driver-enabled flag says: ScClose(0), then
    // ScShutdown(0).
    ~DeviceSession() override;
    DeviceSession(const DeviceSession &) = delete;
    DeviceSession &operator=(const DeviceSession &) = delete;

    // OpenDevice: initialises the library with the event callback and a
    // context of this open's own, opens the device, writes the identity
    // lines and arms the tone monitor, then emits Opened. Returns 1 when
    // open, -2 when ScInitialize failed, -3 when ScOpen failed; a failure is
    // one line, and nothing after it is done.
    int32_t Open();
    // ScClose(0), then ScShutdown(0), results ignored; then Closed. Events of
    // the closed session still queued go out first, later ones nowhere.
    void Close();

    // "Driver Enabled": with the flag at 1, sets it to 0 and closes; else
    // opens and sets it to 1, whatever the open gave. Then
    // DriverEnabledChanged.
    void ToggleDriver();
    // 1 at construction, as the menu template's mark on "Driver Enabled".
    uint8_t DriverEnabled() const { return driverEnabled_; }
    // What the last ScInitialize wrote; 0 before it.
    int32_t LibraryVersion() const { return libraryVersion_; }

signals:
    // One line of the session's own for the event log: the identity lines
    // of an open, or why it failed.
    void LineWritten(const QString &line);
    // What a run of device events does to the event log, in the order they
    // came; on the UI thread, before the close that ends their session
    // returns.
    void DeviceEvents(const tvx::LogDelta &events);
    // The serial number the open read, for the serial-number edit; emitted
    // just before its line.
    void SerialNumberRead(const QString &serial);
    // After a successful open.
    void Opened();
    // After every close.
    void Closed();
    // After "Driver Enabled" has switched the flag, open or close done:
    // enabled is the new flag.
    void DriverEnabledChanged(bool enabled);

private:
    void Write(const std::string &line);

    SpectrumWindow spectrumWindow_;
    uint8_t driverEnabled_ = 1;
    int32_t libraryVersion_ = 0;
    // What the library hands back with each event of the open session.
    void *context_ = nullptr;
};

}  // namespace tvx
