// The tool's one session with the adapter library: opening the device
// (OpenDevice), closing it, the identity lines, the tone monitor, the event
// relay's context for each open and the driver-enabled flag behind "Driver
// Enabled". The rest of the tool hears of it through its signals.
// UI thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>

class QWidget;

namespace tvx {

class EventLog;

class DeviceSession final : public QObject {
    Q_OBJECT
public:
    // log takes the session's lines and the device events; spectrum is the
    // area the library draws in, handed to ScInitialize at every open.
    // Opens nothing.
    DeviceSession(EventLog &log, QWidget *spectrum);
    // Closes, whatever the driver-enabled flag says: ScClose(0), then
    // ScShutdown(0).
    ~DeviceSession() override;
    DeviceSession(const DeviceSession &) = delete;
    DeviceSession &operator=(const DeviceSession &) = delete;

    // OpenDevice: initialises the library with the event callback and a
    // context of this open's own, opens the device, writes the identity
    // lines and arms the tone monitor, then emits Opened. Returns 1 when
    // open, -2 when ScInitialize failed, -3 when ScOpen failed; a failure is
    // one line in the log, and nothing after it is done.
    int32_t Open();
    // ScClose(0), then ScShutdown(0), results ignored; then Closed. Events of
    // the closed session still queued go into the log, later ones nowhere.
    void Close();

    // "Driver Enabled": with the flag at 1, sets it to 0 and closes; else
    // opens and sets it to 1, whatever the open gave. Returns the new flag.
    uint8_t ToggleDriver();
    // 1 at construction, as the menu template's mark on "Driver Enabled".
    uint8_t DriverEnabled() const { return driverEnabled_; }
    // What the last ScInitialize wrote; 0 before it.
    int32_t LibraryVersion() const { return libraryVersion_; }

signals:
    // The serial number the open read, for the serial-number edit; emitted
    // just before its log line.
    void SerialNumberRead(const QString &serial);
    // After a successful open.
    void Opened();
    // After every close.
    void Closed();

private:
    EventLog &log_;
    QPointer<QWidget> spectrum_;
    uint8_t driverEnabled_ = 1;
    int32_t libraryVersion_ = 0;
    // What the library hands back with each event of the open session.
    void *context_ = nullptr;
};

}  // namespace tvx
