// Serial-number programming, the two erasures, the reboot and "ReConnect":
// one ScE2Rom call each, its outcome one line at the top of the event log.
// Every call passes the tool's command-line text. UI thread only.
#pragma once

class QWidget;

namespace tvx {

class EventLog;

class DeviceMaintenance {
public:
    // window holds the serial-number edit (1001); log takes the outcomes.
    DeviceMaintenance(QWidget &window, EventLog &log);

    // "&Burn Device ..." (1083), also Enter in the dialog: programs the text
    // of edit 1001 when it is exactly 22 characters, else logs
    // "Invalid serial number" and calls nothing.
    void OnBurnDevice();
    void OnErazeDevice();     // "Eraze Device": operation 0
    void OnErazeDeviceTvx();  // "Eraze Device tvx": operation 1
    void OnReBootDevice();    // "ReBoot Device": operation 3
    // "ReConnect": operation 3 with lines of its own; the device stays as
    // the session left it.
    void OnReConnect();

private:
    // ScE2Rom(operation, data, command line), then the operation's line.
    void Run(int operation, const char *data);

    QWidget &window_;
    EventLog &log_;
};

}  // namespace tvx
