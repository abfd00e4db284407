// The main dialog's single command entry: menu choices are acted on here,
// then every command goes on to the dialog's standard routing.
//
// Handled here: "About ..." and "E&xit", the six selection groups, the tone
// selection, the fourteen on/off switches, "Driver Enabled", the library's
// four set-up dialogs and "ReConnect". Every other id (the maintenance items,
// "Load Melody ...", the test dialogs, the controls) only passes through to
// the routing, where its own part has bound a handler.
// UI thread only.
#pragma once

#include "app/host/DialogHost.h"

#include <cstdint>

class QMenu;

namespace tvx {

struct PopupPath;
struct SwitchAction;

class MenuDispatcher {
public:
    explicit MenuDispatcher(DialogHost &host);

    // wParam: id in the low 16 bits, notification code in the high 16 bits;
    // lParam: the sending control, null for a menu choice. A notification
    // other than 0 is only routed. Returns the routing's result.
    bool OnCommand(uint32_t wParam, void *lParam);

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
    bool OnReconnect(uint16_t id);

    void OnAbout();
    void RunSwitchAction(const SwitchAction &action);
    // Starts the tone of the tone selection; no stop is sent first.
    void StartSelectedTone();

    QMenu *Popup(const PopupPath &path) const;

    DialogHost &host_;
};

}  // namespace tvx
