#include "app/CControlMonitorDlg.h"

#include "app/host/ControlCommands.h"
#include "commands/MenuDispatcher.h"
#include "commands/logic/SelectionGroups.h"
#include "device/DeviceEventCallback.h"
#include "device/EventLog.h"
#include "device/EventLogMenu.h"
#include "device/EventRelay.h"
#include "device/SessionText.h"
#include "device/ToneMonitorSet.h"
#include "device/tvxusb.h"
#include "dialogs/MaintenanceAndTests.h"
#include "panel/AnalysisReadout.h"
#include "panel/CountryPanel.h"
#include "panel/DialPanel.h"
#include "panel/ParameterPanel.h"
#include "res/AppIcon.h"
#include "res/DialogBuilder.h"
#include "res/MainDialogIds.h"
#include "res/MainDialogTemplate.h"
#include "res/MainMenu.h"
#include "res/MainMenu136.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>

#include <utility>

using tvx::res::Control;
using tvx::res::MainMenu;

namespace {

constexpr int kDialStringLimit = 255;

}  // namespace

// The template checks "Driver Enabled", so the flag starts at 1 with it.
uint8_t CControlMonitorDlg::driverEnabled_ = 1;

CControlMonitorDlg::CControlMonitorDlg(QWidget *parent) : QDialog(parent)
{
    driverEnabled_ = 1;
    const auto &tmpl = tvx::res::kMainDialogTemplate;
    setWindowTitle(QString::fromLatin1(tmpl.title));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(tvx::res::DialogFont(tmpl));

    menu_ = new MainMenu(this, tvx::res::kMainMenu136, [this](uint16_t id) {
        OnCommand(tvx::MakeCommandArg(id, tvx::kClicked), nullptr);
    });
    const int menuHeight = menu_->Bar()->sizeHint().height();
    const tvx::res::BaseUnits base = tvx::res::DialogBaseUnits(font());
    const QSize client = tvx::res::DialogClientSize(tmpl, base);
    menu_->Bar()->setGeometry(0, 0, client.width(), menuHeight);
    tvx::res::BuildControls(this, tmpl, base, QPoint(0, menuHeight));
    setFixedSize(client.width(), client.height() + menuHeight);

    log_ = new tvx::EventLog(this);
    log_->Attach(Control<QListView>(this, tvx::kIdEventLog));
    // Copy, Copy All and Save Log As... on the log; owned by the list.
    new tvx::EventLogMenu(*log_, Control<QListView>(this, tvx::kIdEventLog));

    dispatcher_ = std::make_unique<tvx::MenuDispatcher>(*this);
    // Panel parts.
    parameters_ = std::make_unique<tvx::ParameterPanel>(*this);
    dial_ = std::make_unique<tvx::DialPanel>(*this);
    analysis_ = std::make_unique<tvx::AnalysisReadout>(*this);
    countries_ = std::make_unique<tvx::CountryPanel>(*this);
    // Maintenance and test dialog parts.
    maintenance_ = std::make_unique<tvx::MaintenanceAndTests>(*this);
    WireControls();
    OnInitDialog();
}

CControlMonitorDlg::~CControlMonitorDlg() { CloseDevice(); }

void CControlMonitorDlg::OnInitDialog()
{
    setWindowIcon(tvx::res::ApplicationIcon());
    OpenDevice();
    Control<QLineEdit>(this, tvx::kIdDialString)->setMaxLength(kDialStringLimit);
}

void CControlMonitorDlg::WireControls()
{
    // Buttons and check boxes send a click, drop-down lists a selection
    // change, through the same command entry as the menu.
    tvx::ConnectControlCommands(*this, [this](uint32_t wParam, QWidget *control) { OnCommand(wParam, control); });
}

bool CControlMonitorDlg::OnCommand(uint32_t wParam, void *lParam) { return dispatcher_->OnCommand(wParam, lParam); }

int32_t CControlMonitorDlg::OpenDevice()
{
    // 1. Reset the version number; take the spectrum area.
    state_.libraryVersion = 0;
    state_.spectrum = Control<QWidget>(this, tvx::kIdSpectrum);

    // 2. Initialise the library with the callback and a context that leads
    // to this dialog's event log for this session only.
    sessionContext_ =
        tvx::EventRelay::Instance().Open(this, [this](const tvx::LogDelta &delta) { log_->ApplyDeviceEvents(delta); });
    const int32_t initialized = ScInitialize(
        &tvx::OnDeviceEvent, sessionContext_, 0, 0, 0, 0, 17, &state_.libraryVersion, state_.spectrum.data());
    if (initialized != 0) {
        log_->Insert(tvx::OpenErrorLine("ScInitialize() returned error code", initialized));
        return -2;
    }

    // 3. Open the device; on failure the library stays initialised until the next close.
    const int32_t opened = ScOpen(0, 0);
    if (opened != 0) {
        log_->Insert(tvx::OpenErrorLine("ScOpen() returned error code", opened));
        return -3;
    }

    // 4-7. Identity lines.
    char text[TVX_TEXT_SIZE] = "";
    ScGetDeviceSN(text, TVX_TEXT_SIZE);
    const std::string serial = tvx::BoundedText(text, sizeof text);
    Control<QLineEdit>(this, tvx::kIdSerialNumber)->setText(QString::fromLatin1(serial.c_str()));
    log_->Insert(tvx::SerialNumberLine(text, sizeof text));
    log_->Insert(tvx::FirmwareLine(ScGetRawDeviceRevision(0)));
    ScGetDeviceName(text, TVX_TEXT_SIZE);
    log_->Insert(tvx::DeviceNameLine(text, sizeof text));
    log_->Insert(tvx::LibraryVersionLine(state_.libraryVersion));

    // 8. Default (bold) items of the selection groups.
    for (const tvx::SelectionGroup &group : tvx::kSelectionGroups)
        MainMenu::SetDefaultItem(menu_->SubMenu(group.popup), group.defaultId);

    // 9. Back to the first tone; the marks stay.
    state_.selectedTone = 0;

    // 10. The keypad beep is on after an open; nothing is sent for it.
    MainMenu::Check(menu_->SubMenu(tvx::kPopupAudio), tvx::kIdKeypadBeep, true);

    // 11. The spectrum rectangle for the frequency readout.
    state_.spectrumRect = state_.spectrum ? QRect(QPoint(0, 0), state_.spectrum->contentsRect().size()) : QRect();

    // 12. Parameter defaults, first parameter selected.
    parameters_->OnDeviceOpened();

    // 13. Arm the tone monitor.
    ScMonitorTones(1, tvx::FillToneMonitorSet(), tvx::kToneMonitorCount);

    // 14. Country lists filled, the library's countries selected.
    countries_->OnDeviceOpened();

    return 1;
}

void CControlMonitorDlg::CloseDevice()
{
    ScClose(0);
    ScShutdown(0);
    // Events still queued go into the log; later callbacks of this session
    // go nowhere.
    tvx::EventRelay::Instance().Close(std::exchange(sessionContext_, nullptr));
}

void CControlMonitorDlg::OnDriverEnabled()
{
    QMenu *misc = menu_->SubMenu(tvx::kPopupMisc);
    if (driverEnabled_ == 1) {
        driverEnabled_ = 0;
        CloseDevice();
        MainMenu::Check(misc, tvx::kIdDriverEnabled, false);
    } else {
        OpenDevice();
        driverEnabled_ = 1;
        MainMenu::Check(misc, tvx::kIdDriverEnabled, true);
    }
}

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
