// The main dialog's part for device maintenance and the test dialogs: binds
// "&Burn Device ...", the "&File" maintenance items, "ReConnect", "Load
// Melody ...", "Generate Caller ID ..." and "LEDs Test ..." in the dialog's
// routing. UI thread only.
#pragma once

#include "dialogs/DeviceMaintenance.h"
#include "dialogs/MelodyUpload.h"
#include "ui/DialogControls.h"

namespace tvx {

class MaintenanceAndTests {
public:
    // The test dialogs open over controls' window; log takes the outcomes;
    // fileDialog asks for melody files (empty: the platform's).
    MaintenanceAndTests(DialogControls controls, EventLog &log, MelodyFileDialog fileDialog = {});

    // "Generate Caller ID ...": runs the generator modally; its result is not used.
    void OnGenerateCallerId();
    // "LEDs Test ...": runs the test modally, then releases every lamp with
    // ScTestLEDs(0) once, however the dialog was closed.
    void OnLedsTest();

private:
    QWidget &window_;
    DeviceMaintenance maintenance_;
    MelodyUpload melody_;
};

}  // namespace tvx
