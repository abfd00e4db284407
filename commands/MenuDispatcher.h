// The main dialog's single command entry: menu choices are acted on here,
// then every command goes on to the dialog's standard routing.
// UI thread only.
#pragma once

#include "host/DialogHost.h"

#include <cstdint>

namespace tvx {

class MenuDispatcher {
public:
    explicit MenuDispatcher(DialogHost &host);

    // wParam: id in the low 16 bits, notification code in the high 16 bits;
    // lParam: the sending control, null for a menu choice. A notification
    // other than 0 is only routed. Returns the routing's result.
    bool OnCommand(uint32_t wParam, void *lParam);

private:
    void Dispatch(uint16_t id);

    DialogHost &host_;
};

}  // namespace tvx
