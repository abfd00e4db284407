// A bare host for one panel part at a time: a window with the main dialog's
// controls, its routing and a device session that is never opened, without
// the dialog and its other parts.
#pragma once

#include "device/DeviceSession.h"
#include "res/DialogBuilder.h"
#include "res/MainDialogTemplate.h"
#include "tests/stub/StubLibrary.h"
#include "ui/DialogControls.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace tvx::test {

class PanelHost {
public:
    PanelHost()
    {
        const res::DialogTemplate &tmpl = res::kMainDialogTemplate;
        window_.setFont(res::DialogFont(tmpl));
        const res::BaseUnits base = res::DialogBaseUnits(window_.font());
        res::BuildControls(&window_, tmpl, base);
        window_.resize(res::DialogClientSize(tmpl, base));
    }

    DialogControls Controls() { return {window_, messages_}; }
    DeviceSession &Session() { return session_; }

    // A control's command as the dialog sends it.
    bool Command(uint16_t id, uint16_t notification) { return messages_.Route(MakeCommandArg(id, notification)); }

    template <class Widget> Widget *Control(int id) const { return res::Control<Widget>(&window_, id); }

private:
    QWidget window_;
    MessageMap messages_;
    DeviceSession session_;
};

// Tests of one part on its own, with the stand-in reset around each.
class PanelPartTest : public ::testing::Test {
protected:
    void SetUp() override { stub::Reset(); }
    void TearDown() override { stub::Reset(); }
};

}  // namespace tvx::test
