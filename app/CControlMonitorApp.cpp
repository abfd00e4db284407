#include "app/CControlMonitorApp.h"

#include "app/CControlMonitorDlg.h"
#include "app/DeferredIconStyle.h"
#include "app/SingleInstance.h"
#include "app/UnixSignals.h"

#include <QDialog>

#include <memory>

namespace {

// The library's timing was tuned for a 1 ms system timer; Linux timers are
// already that fine, so raising and restoring the resolution do nothing.
void BeginTimerResolution() {}
void EndTimerResolution() {}

}  // namespace

CControlMonitorApp::CControlMonitorApp(int &argc, char **argv) : QApplication(argc, argv)
{
    SetIdentity(*this);
    setQuitOnLastWindowClosed(false);
    setStyle(new tvx::DeferredIconStyle(style()->name()));
}

void CControlMonitorApp::SetIdentity(QGuiApplication &app)
{
    app.setApplicationName(QStringLiteral("tvxmonitor"));
    // The installed desktop entry: where the desktop finds the icon and title.
    app.setDesktopFileName(QStringLiteral("com.telvora.tvxmonitor"));
    // No display name: the platform would append it to every window's title.
}

bool CControlMonitorApp::InitInstance()
{
    tvx::SingleInstance instance(QString::fromLatin1(CControlMonitorDlg::kTitle));
    if (instance.RaiseRunningInstance())
        return false;

    // Signals are caught from before the device opens; they are acted on once
    // the dialog runs.
    tvx::UnixSignals termination;
    BeginTimerResolution();
    auto dialog = std::make_unique<CControlMonitorDlg>();
    connect(&instance, &tvx::SingleInstance::RaiseRequested, dialog.get(), [&dialog] {
        if (dialog->isMinimized())
            dialog->showNormal();
        dialog->raise();
        dialog->activateWindow();
    });
    connect(&termination, &tvx::UnixSignals::TerminationRequested, dialog.get(), [&dialog] {
        // Dialogs running modally over the main one (test dialogs, the file
        // dialog, the library's set-up dialogs) end first, as by Escape.
        for (QWidget *window : QApplication::topLevelWidgets()) {
            auto *modal = qobject_cast<QDialog *>(window);
            if (modal && modal != dialog.get() && modal->isVisible())
                modal->reject();
        }
        dialog->reject();
    });
    dialog->exec();
    EndTimerResolution();
    dialog.reset();
    return false;
}
