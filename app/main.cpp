#include "app/CControlMonitorApp.h"
#include "app/CommandLine.h"
#include "app/StartupMarks.h"
#include "app/StartupWarmUp.h"
#include "device/Adapter.h"

int main(int argc, char **argv)
{
    tvx::StartupMark("main");
    // Taken before Qt removes its own arguments: the library gets the text as
    // the process received it.
    tvx::adapter::SetCommandLineText(tvx::CommandLineText(argc, argv));
    tvx::StartupWarmUp warmUp;
    CControlMonitorApp app(argc, argv);
    tvx::StartupMark("application");
    warmUp.ApplicationReady();
    app.InitInstance();
    warmUp.Finish();
    return 0;
}
