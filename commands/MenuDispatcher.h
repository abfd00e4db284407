// The main dialog's single command entry: menu choices are acted on here,
// then every command goes on to the dialog's standard routing.
//
// Handled here: "About ..." and "E&xit", the six selection groups, the tone
// selection, the fourteen on/off switches, "Driver Enabled" and the
// library's four set-up dialogs. Every other id (the maintenance items and
// "ReConnect", "Load Melody ...", the test dialogs, the controls) only passes
// through to the routing, where its own part has bound a handler. Owns the
// pulse-dial flag and the selected tone; each device open marks the groups'
// default items, goes back to the first tone and checks the keypad beep.
// UI thread only.
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
struct SwitchAction;
namespace res {
class MainMenu;
}

class MenuDispatcher final : public QObject, public DiallingMethod {
public:
    // dialog owns the set-up dialogs and ends on "E&xit"; menu is its menu
    // 136; routing takes every command after the dispatch; log takes the
    // About lines; session is switched by "Driver Enabled".
    MenuDispatcher(QDialog &dialog, res::MainMenu &menu, MessageMap &routing, EventLog &log, DeviceSession &session);

    // wParam: id in the low 16 bits, notification code in the high 16 bits;
    // lParam: the sending control, null for a menu choice. A notification
    // other than 0 is only routed. Returns the routing's result.
    bool OnCommand(uint32_t wParam, void *lParam);

    // Each successful device open: the default (bold) item of every
    // selection group, the first tone selected (the marks stay), the keypad
    // beep checked. Nothing is sent.
    void OnDeviceOpened();

    // The dialling method group's choice, 0 ("Tones Dial") at construction.
    bool PulseDial() const override { return pulseDial_ != 0; }
    // 0..7, the position of the tone chosen in the "&Tone Generator" menu.
    uint8_t SelectedTone() const { return selectedTone_; }

private:
    // Each handler returns false when the id is not its own, and true when
    // it has acted on it.
    using Handler = bool (MenuDispatcher::*)(uint16_t id);
    static const Handler kHandlers[];

    void Dispatch(uint16_t id);

    bool OnAboutOrExit(uint16_t id);
    bool OnSelectionGroup(uint16_t id);
    bool OnToneSelection(uint16_t id);
    bool OnSwitch(uint16_t id);
    bool OnDriverEnabled(uint16_t id);
    bool OnSetupDialog(uint16_t id);

    void OnAbout();
    void RunSwitchAction(const SwitchAction &action);
    // Starts the tone of the tone selection; no stop is sent first.
    void StartSelectedTone();

    QMenu *Popup(const PopupPath &path) const;

    QDialog &dialog_;
    res::MainMenu &menu_;
    MessageMap &routing_;
    EventLog &log_;
    DeviceSession &session_;
    uint8_t pulseDial_ = 0;     // 0 dial with tones, 1 with pulses
    uint8_t selectedTone_ = 0;  // reset by each open
};

}  // namespace tvx
