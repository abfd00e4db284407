// The main dialog: builds template 102 and menu 136, owns every control, the
// event log and the parts that handle the menu and the panel, and holds the
// device session open from its initialisation to its destruction.
// UI thread only.
#pragma once

#include "app/host/DialogHost.h"

#include <QDialog>

#include <cstdint>
#include <memory>

namespace tvx {
class EventLog;
class MenuDispatcher;
// Panel parts.
class AnalysisReadout;
class CountryPanel;
class DialPanel;
class ParameterPanel;
// Maintenance and test dialog parts.
class MaintenanceAndTests;
namespace res {
class MainMenu;
}
}  // namespace tvx

class CControlMonitorDlg : public QDialog, public tvx::DialogHost {
    Q_OBJECT
public:
    static constexpr const char *kTitle = "Telvora Parlino USB Control / Monitor";

    // Creates the controls and the menu, then initialises the dialog, which
    // opens the device.
    explicit CControlMonitorDlg(QWidget *parent = nullptr);
    // Closes the device: ScClose(0), then ScShutdown(0).
    ~CControlMonitorDlg() override;

    // Opens the device and sets up the dialog for it: 1 when open, -2 when
    // ScInitialize failed, -3 when ScOpen failed. Failures are logged.
    int32_t OpenDevice();
    // ScClose(0), then ScShutdown(0); results ignored. Events of the closed
    // session still queued go into the log, later ones nowhere.
    void CloseDevice();

    // The command message: id in the low 16 bits, notification in the high
    // 16 bits of wParam; lParam is the sending control, or null for a menu
    // choice. Returns whether the dialog's routing took the command.
    bool OnCommand(uint32_t wParam, void *lParam);

    // The program-wide driver-enabled flag behind "Driver Enabled".
    static uint8_t DriverEnabled() { return driverEnabled_; }

    // DialogHost
    QWidget *Window() override { return this; }
    tvx::EventLog &Log() override { return *log_; }
    tvx::res::MainMenu &Menu() override { return *menu_; }
    tvx::MessageMap &Messages() override { return messages_; }
    tvx::MainDialogState &State() override { return state_; }
    void OnDriverEnabled() override;
    void EndDialog(int result) override { done(result); }

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    // Mouse moves over the dialog, the spectrum area's included: the analysis readout.
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void OnInitDialog();
    void WireControls();
    // Focus in the serial-number edit with its whole text selected, ready to be
    // overwritten and confirmed with Enter.
    void FocusSerialNumber();

    static uint8_t driverEnabled_;

    tvx::MainDialogState state_;
    // What the library hands back with each event of the open session.
    void *sessionContext_ = nullptr;
    tvx::MessageMap messages_;
    tvx::EventLog *log_ = nullptr;
    tvx::res::MainMenu *menu_ = nullptr;
    std::unique_ptr<tvx::MenuDispatcher> dispatcher_;
    // Panel parts (parameters, dialling, analysis readout, countries).
    std::unique_ptr<tvx::ParameterPanel> parameters_;
    std::unique_ptr<tvx::DialPanel> dial_;
    std::unique_ptr<tvx::AnalysisReadout> analysis_;
    std::unique_ptr<tvx::CountryPanel> countries_;
    // Maintenance and test dialog parts.
    std::unique_ptr<tvx::MaintenanceAndTests> maintenance_;
};
