// The main dialog's menu commands, each bound into the dialog's routing
// under its id: "About ..." and "E&xit", the six selection groups, the tone
// selection, the fourteen on/off switches, "Driver Enabled" and the
// library's four set-up dialogs, the tables' items bound by looping over
// the tables. The other items (the maintenance items and "ReConnect", "Load
// Melody ...", the test dialogs) are bound by their own parts.
//
// Owns the selected tone; the dialling method is the mark of its group.
// Each device open marks the groups' default items, goes back to the first
// tone and checks the keypad beep; the "Driver Enabled" mark follows the
// session's flag. UI thread only.
#pragma once

#include "ui/DiallingMethod.h"

#include <QObject>

#include <cstdint>

class QDialog;
class QMenu;

namespace tvx {

class DeviceSession;
class EventLog;
class MessageMap;
struct PopupPath;
struct SelectionGroup;
struct Switch;
struct SwitchAction;
namespace res {
class MainMenu;
}

class MenuDispatcher final : public QObject, public DiallingMethod {
public:
    // One of the library's set-up dialogs, shown with this owner window.
    using OpenSetupDialog = int32_t (*)(void *owner);

    // dialog owns the set-up dialogs and ends on "E&xit"; menu is its menu
    // 136; routing takes the bindings; log takes the About lines; session
    // is switched by "Driver Enabled".
    MenuDispatcher(QDialog &dialog, res::MainMenu &menu, MessageMap &routing, EventLog &log, DeviceSession &session);

    // Each successful device open: the default (bold) item of every
    // selection group, the first tone selected (the marks stay), the keypad
    // beep checked. Nothing is sent.
    void OnDeviceOpened();

    // The dialling method group's mark: "Pulse Dial" checked. "Tones Dial"
    // as the menu template has it.
    bool PulseDial() const override;
    // 0..7, the position of the tone chosen in the "&Tone Generator" menu.
    uint8_t SelectedTone() const { return selectedTone_; }

private:
    void Bind(MessageMap &routing);

    void OnAbout();
    void OnExit();
    void OnSelectionGroup(const SelectionGroup &group, uint16_t id);
    void OnToneSelection(uint8_t tone, uint16_t id);
    void OnSwitch(const Switch &row);
    void OnDriverEnabled();
    void OnSetupDialog(OpenSetupDialog open);

    // The "Driver Enabled" mark as the session's flag.
    void ShowDriverEnabled(bool enabled);
    void RunSwitchAction(const SwitchAction &action);
    // Starts the tone of the tone selection; no stop is sent first.
    void StartSelectedTone();

    QMenu *Popup(const PopupPath &path) const;

    QDialog &dialog_;
    res::MainMenu &menu_;
    EventLog &log_;
    DeviceSession &session_;
    uint8_t selectedTone_ = 0;  // reset by each open
};

}  // namespace tvx
