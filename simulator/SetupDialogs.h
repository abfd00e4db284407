// The library's four set-up dialogs: small modal dialogs that show the
// simulated settings, with a Close button.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class QWidget;

namespace tvxsim {

enum class SetupDialog {
    DistinctiveRing,
    InternationalTones,
    InternationalHardware,
    HardwareChips
};

// The values a dialog shows, taken under the library's lock before it opens.
struct SetupSnapshot {
    std::string serial;
    std::string localCountry;
    std::string destinationCountry;
    int32_t devType = 0;
    int32_t revision = 0;
    int32_t ringerOnPeriod = 0;  // in 100 ms
    int32_t ringerOffPeriod = 0;
    int32_t ringerHz = 25;
    int32_t daaConfig = 0;  // item of the DAA configuration group
    bool daaBoost = false;
    int32_t codecBoost129 = -1;  // register 66:129, -1 never written
    int32_t codecBoost130 = -1;
    std::string tonePlan;  // the local country's call-progress tones
    std::string dialTone;
    std::string ringBack;
    std::string busy;
    std::string reorder;
};

// Window title of each dialog.
const char *SetupDialogTitle(SetupDialog which);

// The label/value rows a dialog shows for a snapshot.
std::vector<std::pair<std::string, std::string>> SetupDialogRows(SetupDialog which, const SetupSnapshot &s);

// Shows the dialog modally over owner (may be null) and returns kOk when it
// is closed; kErrNoGui without a QApplication, kErrWrongThread off its thread.
// TVXUSB_DIALOG_AUTOCLOSE_MS=<ms> closes it by itself after that time.
int32_t RunSetupDialog(SetupDialog which, QWidget *owner, const SetupSnapshot &snapshot);

}  // namespace tvxsim
