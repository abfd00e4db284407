#include "app/CControlMonitorApp.h"
#include "app/CommandLine.h"
#include "device/Adapter.h"

int main(int argc, char **argv)
{
    // Taken before Qt removes its own arguments: the library gets the text as
    // the process received it.
    tvx::adapter::SetCommandLineText(tvx::CommandLineText(argc, argv));
    CControlMonitorApp app(argc, argv);
    app.InitInstance();
    return 0;
}
