#include "MaintenanceAndTests.h"

#include "Adapter.h"
#include "CCallerIdGenDlg.h"
#include "CLedsTestDlg.h"
#include "LedMask.h"
#include "host/DialogHost.h"

namespace tvx {

namespace {

constexpr uint16_t kIdBurnDevice = 1083;
constexpr uint16_t kIdErazeDevice = 32830;
constexpr uint16_t kIdErazeDeviceTvx = 32831;
constexpr uint16_t kIdReBootDevice = 32839;
constexpr uint16_t kIdLoadMelody = 32807;
constexpr uint16_t kIdGenerateCallerId = 32827;
constexpr uint16_t kIdLedsTest = 32843;

}  // namespace

MaintenanceAndTests::MaintenanceAndTests(DialogHost &host) : host_(host), maintenance_(host), melody_(host)
{
    MessageMap &messages = host.Messages();
    messages.Bind(kIdBurnDevice, kClicked, [this] { maintenance_.OnBurnDevice(); });
    messages.Bind(kIdErazeDevice, kClicked, [this] { maintenance_.OnErazeDevice(); });
    messages.Bind(kIdErazeDeviceTvx, kClicked, [this] { maintenance_.OnErazeDeviceTvx(); });
    messages.Bind(kIdReBootDevice, kClicked, [this] { maintenance_.OnReBootDevice(); });
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
