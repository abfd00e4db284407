// A bare host for one panel part at a time: a window with the main dialog's
// controls, its menu, an event log and the shared state, without the dialog
// and its other parts.
#pragma once

#include "app/host/DialogHost.h"
#include "device/EventLog.h"
#include "res/DialogBuilder.h"
#include "res/MainDialogTemplate.h"
#include "res/MainMenu.h"
#include "res/MainMenu136.h"

#include <QWidget>

namespace tvx::test {

class PanelHost final : public DialogHost {
public:
    PanelHost() : menu_(&window_, res::kMainMenu136, [](uint16_t) {}), log_(&window_)
    {
        const res::DialogTemplate &tmpl = res::kMainDialogTemplate;
        window_.setFont(res::DialogFont(tmpl));
        const res::BaseUnits base = res::DialogBaseUnits(window_.font());
        res::BuildControls(&window_, tmpl, base);
        window_.resize(res::DialogClientSize(tmpl, base));
        state_.spectrum = res::Control<QWidget>(&window_, 1074);
    }

    QWidget *Window() override { return &window_; }
    EventLog &Log() override { return log_; }
    res::MainMenu &Menu() override { return menu_; }
    MessageMap &Messages() override { return messages_; }
    MainDialogState &State() override { return state_; }
    void OnDriverEnabled() override {}
    void EndDialog(int) override {}

    // A control's command as the dialog sends it.
    bool Command(uint16_t id, uint16_t notification) { return messages_.Route(MakeCommandArg(id, notification)); }

    template <class Widget> Widget *Control(int id) const { return res::Control<Widget>(&window_, id); }

private:
    QWidget window_;
    res::MainMenu menu_;
    EventLog log_;
    MessageMap messages_;
    MainDialogState state_;
};

}  // namespace tvx::test
