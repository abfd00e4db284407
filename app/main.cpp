#include "app/CControlMonitorApp.h"
#include "app/CommandLine.h"
#include "app/StartupWarmUp.h"
#include "device/Adapter.h"

int main(int argc, char **argv)
{
    // Taken before Qt removes its own arguments: the library gets the text as
    // the process received it.
    tvx::adapter::SetCommandLineText(tvx::CommandLineText(argc, argv));
    tvx::StartupWarmUp warmUp;
    CControlMonitorApp app(argc, argv);
    warmUp.ApplicationReady();
    app.InitInstance();
    warmUp.Finish();
    return 0;
}
