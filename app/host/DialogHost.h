// What the main dialog offers the parts that handle its menu and controls.
// UI thread only.
#pragma once

#include "app/host/MainDialogState.h"
#include "app/host/MessageMap.h"

#include <cstdint>

class QWidget;

namespace tvx {

class EventLog;
namespace res {
class MainMenu;
}

class DialogHost {
public:
    virtual QWidget *Window() = 0;
    virtual EventLog &Log() = 0;
    virtual res::MainMenu &Menu() = 0;
    virtual MessageMap &Messages() = 0;
    virtual MainDialogState &State() = 0;
    // "Driver Enabled": closes the device, or opens it again.
    virtual void OnDriverEnabled() = 0;
    // Ends the modal run with this result.
    virtual void EndDialog(int result) = 0;

protected:
    ~DialogHost() = default;
};

}  // namespace tvx
