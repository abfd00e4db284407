// Start-up time: from main() to the main window shown with the device open,
// beside an empty QDialog shown by the same build.
//   bench_startup dialog|empty     prints the milliseconds and exits
#include "app/CControlMonitorDlg.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char **argv)
{
    QElapsedTimer timer;
    timer.start();
    const bool empty = argc > 1 && std::strcmp(argv[1], "empty") == 0;
    QApplication app(argc, argv);
    std::unique_ptr<QDialog> dialog;
    if (empty)
        dialog = std::make_unique<QDialog>();
    else
        dialog = std::make_unique<CControlMonitorDlg>();
    dialog->show();
    if (!QTest::qWaitForWindowExposed(dialog.get(), 5000)) {
        std::fprintf(stderr, "window not exposed\n");
        return 1;
    }
    std::printf("%s shown after %.1f ms\n",
                empty ? "empty QDialog" : "main window with the device open",
                timer.nsecsElapsed() / 1e6);
    return 0;
}
