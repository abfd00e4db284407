// The main dialog's part for device maintenance and the test dialogs: binds
// "&Burn Device ...", the "&File" maintenance items, "Load Melody ...",
// "Generate Caller ID ..." and "LEDs Test ..." in the dialog's routing.
// UI thread only.
#pragma once

#include "dialogs/DeviceMaintenance.h"
#include "dialogs/MelodyUpload.h"

namespace tvx {

class DialogHost;

class MaintenanceAndTests {
public:
    explicit MaintenanceAndTests(DialogHost &host);

    // "Generate Caller ID ...": runs the generator modally; its result is not used.
    void OnGenerateCallerId();
    // "LEDs Test ...": runs the test modally, then releases every lamp with
    // ScTestLEDs(0) once, however the dialog was closed.
    void OnLedsTest();

private:
    DialogHost &host_;
    DeviceMaintenance maintenance_;
    MelodyUpload melody_;
};

}  // namespace tvx
