// Shared set-up for tests of the main dialog against the recording stand-in.
#pragma once

#include "app/CControlMonitorDlg.h"
#include "commands/MenuDispatcher.h"
#include "device/DeviceSession.h"
#include "log/EventLog.h"
#include "panel/AnalysisReadout.h"
#include "res/MainMenu.h"
#include "tests/stub/StubLibrary.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QWidget>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace tvx::test {

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override { stub::Reset(); }
    void TearDown() override
    {
        dialog_.reset();
        stub::Reset();
    }

    // Creates the dialog (which opens the device) with the stand-in as
    // configured and the seams the test has put in seams_.
    CControlMonitorDlg &Create()
    {
        dialog_ = std::make_unique<CControlMonitorDlg>(nullptr, seams_);
        return *dialog_;
    }
    CControlMonitorDlg &Dialog() { return *dialog_; }
    void Destroy() { dialog_.reset(); }

    // Lines of the event log, top first.
    QStringList Lines() const
    {
        QStringList lines;
        for (int i = 0; i < dialog_->Log().Count(); ++i)
            lines << dialog_->Log().Line(i);
        return lines;
    }

    // Chooses a menu item as the user would.
    void Choose(uint16_t id)
    {
        QAction *action = dialog_->Menu().Item(id);
        ASSERT_NE(action, nullptr) << id;
        action->trigger();
    }
    bool Checked(uint16_t id) { return dialog_->Menu().Item(id)->isChecked(); }

    template <class Widget> Widget *Control(int id) const { return dialog_->findChild<Widget *>(QString::number(id)); }

    // Runs the event loop until done() holds or the time is up.
    static bool PumpUntil(const std::function<bool()> &done, int timeoutMs = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done()) {
            if (timer.elapsed() > timeoutMs)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return true;
    }
    static void Pump() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

    CControlMonitorDlg::Seams seams_;
    std::unique_ptr<CControlMonitorDlg> dialog_;
};

}  // namespace tvx::test
