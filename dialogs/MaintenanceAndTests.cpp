#include "dialogs/MaintenanceAndTests.h"

#include "app/host/DialogHost.h"
#include "device/Adapter.h"
#include "dialogs/CCallerIdGenDlg.h"
#include "dialogs/CLedsTestDlg.h"
#include "dialogs/logic/LedMask.h"
#include "res/MainDialogIds.h"
#include "res/MenuIds.h"

namespace tvx {

MaintenanceAndTests::MaintenanceAndTests(DialogHost &host) : host_(host), maintenance_(host), melody_(host)
{
    MessageMap &messages = host.Messages();
    messages.Bind(kIdBurnDevice, kClicked, [this] { maintenance_.OnBurnDevice(); });
    messages.Bind(kIdEraseDevice, kClicked, [this] { maintenance_.OnErazeDevice(); });
    messages.Bind(kIdEraseDeviceTvx, kClicked, [this] { maintenance_.OnErazeDeviceTvx(); });
    messages.Bind(kIdRebootDevice, kClicked, [this] { maintenance_.OnReBootDevice(); });
    messages.Bind(kIdLoadMelody, kClicked, [this] { melody_.OnLoadMelody(); });
    messages.Bind(kIdGenerateCallerId, kClicked, [this] { OnGenerateCallerId(); });
    messages.Bind(kIdLedsTest, kClicked, [this] { OnLedsTest(); });
}

void MaintenanceAndTests::OnGenerateCallerId()
{
    CCallerIdGenDlg dialog(host_.Window());
    dialog.exec();
}

void MaintenanceAndTests::OnLedsTest()
{
    CLedsTestDlg dialog(host_.Window());
    dialog.exec();
    adapter::TestLeds(kLedMaskReleased);
}

}  // namespace tvx
