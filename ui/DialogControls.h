// What a part of a dialog needs to handle its controls: the window whose
// children they are, and the routing their commands reach.
// UI thread only.
#pragma once

#include "res/DialogBuilder.h"
#include "ui/MessageMap.h"

#include <cstdint>
#include <utility>

class QWidget;

namespace tvx {

struct DialogControls {
    QWidget &window;
    MessageMap &messages;

    // The control with this id, or nullptr.
    template <class Widget> Widget *Control(int id) const { return res::Control<Widget>(&window, id); }
    // Binds handler to the command of a control or menu item.
    void Bind(uint16_t id, uint16_t notification, MessageMap::Handler handler) const
    {
        messages.Bind(id, notification, std::move(handler));
    }
};

}  // namespace tvx
