// The main dialog: builds template 102 and menu 136, owns every control, the
// event log, the device session and the parts that handle the menu and the
// panel. The session opens at the dialog's initialisation and closes at its
// destruction. UI thread only.
#pragma once

#include "dialogs/MelodyUpload.h"
#include "panel/DialPanel.h"
#include "panel/logic/CountryList.h"
#include "ui/MessageMap.h"

#include <QDialog>

#include <cstdint>
#include <memory>

namespace tvx {
class AnalysisReadout;
class CountryPanel;
class DeviceSession;
class EventLog;
class MaintenanceAndTests;
class MenuDispatcher;
class ParameterPanel;
namespace res {
class MainMenu;
}
}  // namespace tvx

class CControlMonitorDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr const char *kTitle = "Telvora Parlino USB Control / Monitor";

    // What the parts take from outside: the tool leaves each empty for the
    // platform's own, tests give theirs.
    struct Seams {
        std::shared_ptr<tvx::CountrySource> countries;  // the country lists' source
        tvx::DialPanel::PauseFunction dialPause;        // how a pause of a dial string waits
        tvx::MelodyFileDialog melodyFileDialog;         // how "Load Melody ..." asks for a file
    };

    // Builds dialog as template 102 with menu 136: its title, font, menu bar
    // and controls, at the template's fixed size. Returns the menu, which
    // dialog owns.
    static tvx::res::MainMenu *BuildWindow(QDialog &dialog);

    // Creates the controls, the menu and the parts, then initialises the
    // dialog, which opens the device.
    explicit CControlMonitorDlg(QWidget *parent = nullptr, Seams seams = {});
    // The session's destruction closes the device: ScClose(0), then ScShutdown(0).
    ~CControlMonitorDlg() override;

    // The command message: id in the low 16 bits, notification in the high
    // 16 bits of wParam; lParam is the sending control, or null for a menu
    // choice. Only routes: returns whether a handler was bound to it.
    bool OnCommand(uint32_t wParam, void *lParam);

    tvx::EventLog &Log() const { return *log_; }
    tvx::res::MainMenu &Menu() const { return *menu_; }
    tvx::MessageMap &Messages() { return messages_; }
    tvx::DeviceSession &Session() const { return *session_; }
    const tvx::MenuDispatcher &Dispatcher() const { return *dispatcher_; }
    const tvx::AnalysisReadout &Readout() const { return *analysis_; }

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    // Mouse moves over the dialog, the spectrum area's included: the analysis readout.
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void OnInitDialog();
    // Focus in the serial-number edit with its whole text selected, ready to be
    // overwritten and confirmed with Enter.
    void FocusSerialNumber();

    tvx::MessageMap messages_;
    tvx::EventLog *log_ = nullptr;
    tvx::res::MainMenu *menu_ = nullptr;
    // Destroyed after every part: closing the device is the last thing the
    // dialog's parts see.
    std::unique_ptr<tvx::DeviceSession> session_;
    std::unique_ptr<tvx::MenuDispatcher> dispatcher_;
    // Panel parts, in the order they take each open: the readout's
    // rectangle, the parameter defaults, the country lists.
    std::unique_ptr<tvx::AnalysisReadout> analysis_;
    std::unique_ptr<tvx::ParameterPanel> parameters_;
    std::unique_ptr<tvx::DialPanel> dial_;
    std::unique_ptr<tvx::CountryPanel> countries_;
    // Maintenance and test dialog parts.
    std::unique_ptr<tvx::MaintenanceAndTests> maintenance_;
};
