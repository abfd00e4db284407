#include "app/CControlMonitorApp.h"
#include "app/CommandLine.h"
#include "app/FontWarmUp.h"
#include "device/Adapter.h"

int main(int argc, char **argv)
{
    // Taken before Qt removes its own arguments: the library gets the text as
    // the process received it.
    tvx::adapter::SetCommandLineText(tvx::CommandLineText(argc, argv));
    tvx::FontWarmUp fonts;
    CControlMonitorApp app(argc, argv);
    fonts.Wait();
    app.InitInstance();
    return 0;
}
