#include "app/CControlMonitorDlg.h"

#include "app/StartupMarks.h"
#include "commands/MenuDispatcher.h"
#include "device/DeviceSession.h"
#include "dialogs/MaintenanceAndTests.h"
#include "log/EventLog.h"
#include "log/EventLogMenu.h"
#include "panel/AnalysisReadout.h"
#include "panel/CountryPanel.h"
#include "panel/ParameterPanel.h"
#include "res/AppIcon.h"
#include "res/DialogBuilder.h"
#include "res/MainDialogIds.h"
#include "res/MainDialogTemplate.h"
#include "res/MainMenu.h"
#include "res/MainMenu136.h"
#include "ui/ControlCommands.h"
#include "ui/DialogControls.h"

#include <QEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPointer>

#include <utility>

using tvx::res::Control;
using tvx::res::MainMenu;

namespace {

constexpr int kDialStringLimit = 255;

}  // namespace

MainMenu *CControlMonitorDlg::BuildWindow(QDialog &dialog)
{
    const auto &tmpl = tvx::res::kMainDialogTemplate;
    dialog.setWindowTitle(QString::fromLatin1(tmpl.title));
    dialog.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint);
    dialog.setFont(tvx::res::DialogFont(tmpl));

    auto *menu = new MainMenu(&dialog, tvx::res::kMainMenu136);
    tvx::StartupMark("menu built");
    const int menuHeight = menu->Bar()->sizeHint().height();
    tvx::StartupMark("menu measured (the first text: fonts loaded)");
    const tvx::res::BaseUnits base = tvx::res::DialogBaseUnits(dialog.font());
    const QSize client = tvx::res::DialogClientSize(tmpl, base);
    menu->Bar()->setGeometry(0, 0, client.width(), menuHeight);
    tvx::res::BuildControls(&dialog, tmpl, base, QPoint(0, menuHeight));
    tvx::StartupMark("controls built");
    dialog.setFixedSize(client.width(), client.height() + menuHeight);
    return menu;
}

CControlMonitorDlg::CControlMonitorDlg(QWidget *parent, Seams seams) : QDialog(parent)
{
    menu_ = BuildWindow(*this);

    auto *logView = Control<QListView>(this, tvx::kIdEventLog);
    log_ = new tvx::EventLog(this);
    log_->Attach(logView);
    // Copy, Copy All and Save Log As... on the log; owned by the list.
    new tvx::EventLogMenu(*log_, logView);

    // The session hands its lines and the device events to the log, the
    // serial number to its edit; the library draws in the spectrum area.
    session_ =
        std::make_unique<tvx::DeviceSession>([spectrum = QPointer<QWidget>(Control<QWidget>(this, tvx::kIdSpectrum))] {
            return static_cast<void *>(spectrum.data());
        });
    connect(session_.get(), &tvx::DeviceSession::LineWritten, log_, qOverload<const QString &>(&tvx::EventLog::Insert));
    connect(session_.get(), &tvx::DeviceSession::DeviceEvents, log_, &tvx::EventLog::ApplyDeviceEvents);
    if (auto *serial = Control<QLineEdit>(this, tvx::kIdSerialNumber))
        connect(session_.get(), &tvx::DeviceSession::SerialNumberRead, serial, &QLineEdit::setText);

    // Each part binds its menu items and controls in the routing and takes
    // the opens it needs.
    const tvx::DialogControls controls{*this, messages_};
    dispatcher_ = std::make_unique<tvx::MenuDispatcher>(*this, *menu_, messages_, *log_, *session_);
    analysis_ = std::make_unique<tvx::AnalysisReadout>(controls, *session_);
    parameters_ = std::make_unique<tvx::ParameterPanel>(controls, *session_);
    dial_ = std::make_unique<tvx::DialPanel>(controls, *dispatcher_, *session_, std::move(seams.dialPause));
    countries_ = std::make_unique<tvx::CountryPanel>(controls, *session_, std::move(seams.countries));
    maintenance_ = std::make_unique<tvx::MaintenanceAndTests>(controls, *log_, std::move(seams.melodyFileDialog));

    tvx::StartupMark("parts bound");
    // Menu choices send a click, buttons and check boxes too, drop-down
    // lists a selection change: each straight into the routing.
    tvx::ConnectMenuCommands(*menu_, messages_);
    tvx::ConnectControlCommands(*this, messages_);
    OnInitDialog();
}

CControlMonitorDlg::~CControlMonitorDlg() = default;

void CControlMonitorDlg::OnInitDialog()
{
    setWindowIcon(tvx::res::ApplicationIcon());
    session_->Open();
    tvx::StartupMark("device open");
    Control<QLineEdit>(this, tvx::kIdDialString)->setMaxLength(kDialStringLimit);
}

bool CControlMonitorDlg::OnCommand(uint32_t wParam, void *) { return messages_.Route(wParam); }

void CControlMonitorDlg::FocusSerialNumber()
{
    if (auto *serial = Control<QLineEdit>(this, tvx::kIdSerialNumber)) {
        serial->setFocus(Qt::OtherFocusReason);
        serial->selectAll();
    }
}

void CControlMonitorDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FocusSerialNumber();
}

void CControlMonitorDlg::mouseMoveEvent(QMouseEvent *event)
{
    if (analysis_)
        analysis_->OnAnalysisMouseMove();
    QDialog::mouseMoveEvent(event);
}

void CControlMonitorDlg::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    // Restored from the task bar, or uncovered by becoming the active window.
    if ((event->type() == QEvent::WindowStateChange && !isMinimized()) ||
        (event->type() == QEvent::ActivationChange && isActiveWindow()))
        FocusSerialNumber();
}
