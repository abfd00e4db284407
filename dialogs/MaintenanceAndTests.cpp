#include "dialogs/MaintenanceAndTests.h"

#include "device/Adapter.h"
#include "dialogs/CCallerIdGenDlg.h"
#include "dialogs/CLedsTestDlg.h"
#include "dialogs/logic/LedMask.h"
#include "res/MainDialogIds.h"
#include "res/MenuIds.h"

#include <utility>

namespace tvx {

MaintenanceAndTests::MaintenanceAndTests(DialogControls controls, EventLog &log, MelodyFileDialog fileDialog)
    : window_(controls.window), maintenance_(controls.window, log), melody_(controls.window, log, std::move(fileDialog))
{
    controls.Bind(kIdBurnDevice, kClicked, [this] { maintenance_.OnBurnDevice(); });
    controls.Bind(kIdEraseDevice, kClicked, [this] { maintenance_.OnErazeDevice(); });
    controls.Bind(kIdEraseDeviceTvx, kClicked, [this] { maintenance_.OnErazeDeviceTvx(); });
    controls.Bind(kIdRebootDevice, kClicked, [this] { maintenance_.OnReBootDevice(); });
    controls.Bind(kIdReconnect, kClicked, [this] { maintenance_.OnReConnect(); });
    controls.Bind(kIdLoadMelody, kClicked, [this] { melody_.OnLoadMelody(); });
    controls.Bind(kIdGenerateCallerId, kClicked, [this] { OnGenerateCallerId(); });
    controls.Bind(kIdLedsTest, kClicked, [this] { OnLedsTest(); });
}

void MaintenanceAndTests::OnGenerateCallerId()
{
    CCallerIdGenDlg dialog(&window_);
    dialog.exec();
}

void MaintenanceAndTests::OnLedsTest()
{
    CLedsTestDlg dialog(&window_);
    dialog.exec();
    adapter::TestLeds(kLedMaskReleased);
}

}  // namespace tvx
