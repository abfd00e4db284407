// The LEDs test opened from "LEDs Test ...": the masks the library receives
// for sequences of clicks, and the release ScTestLEDs(0) once after the
// dialog has closed, however it closed.
#include "dialogs/CLedsTestDlg.h"
#include "dialogs/logic/LedMask.h"
#include "res/DialogBuilder.h"
#include "simulator/benchwindow/logic/BenchTables.h"
#include "tests/support/AccessibleControls.h"
#include "tests/support/MainDialogFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace tvx::test {
namespace {

enum class Close {
    CloseBox,
    Escape,
    Enter,
    KeypadEnter
};

struct Row {
    const char *what;
    std::vector<int> clicks;  // box ids, each pressed with Space
    Close close;
    std::vector<int> masks;  // ScTestLEDs while the dialog is up
};

class LedsTestTest : public MainDialogTest {
protected:
    // Chooses "LEDs Test ...", works the dialog with drive, and returns the
    // ScTestLEDs calls made from the choice on.
    std::vector<std::string> RunLedsTest(const std::function<void(QDialog &)> &drive)
    {
        stub::ClearCalls();
        bool driven = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            driven = true;
            drive(*dialog);
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the dialog is still open";
                dialog->reject();
            }
        });
        Choose(32843);
        EXPECT_TRUE(driven) << "no modal dialog came up";
        return stub::CallTexts({"ScTestLEDs"});
    }

    // A click on a box with the space bar, or a screen reader's toggle.
    static void Press(QDialog &dialog, int id, bool screenReader = false)
    {
        auto *box = res::Control<QCheckBox>(&dialog, id);
        ASSERT_NE(box, nullptr) << id;
        ASSERT_TRUE(box->isVisible() && box->isEnabled()) << id;
        if (screenReader) {
            ASSERT_TRUE(AccessibleAction(box, QAccessibleActionInterface::toggleAction()));
            return;
        }
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClick(box, Qt::Key_Space);
    }

    static void CloseBy(QDialog &dialog, Close close)
    {
        switch (close) {
        case Close::CloseBox:
            dialog.close();
            break;
        case Close::Escape:
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &dialog, Qt::Key_Escape);
            break;
        case Close::Enter:
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &dialog, Qt::Key_Return);
            break;
        case Close::KeypadEnter:
            QTest::keyClick(&dialog, Qt::Key_Enter, Qt::KeypadModifier);
            break;
        }
    }
};

std::vector<std::string> Texts(const std::vector<int> &masks)
{
    std::vector<std::string> texts;
    for (int mask : masks)
        texts.push_back("ScTestLEDs(" + std::to_string(mask) + ")");
    return texts;
}

TEST_F(LedsTestTest, EveryClickSendsTheWholeMaskAndTheCloseReleasesAll)
{
    const std::vector<Row> rows = {
        {"opened and closed by the close box", {}, Close::CloseBox, {}},
        {"opened and closed by Escape", {}, Close::Escape, {}},
        {"opened and closed by Enter", {}, Close::Enter, {}},
        {"enable, power, last lamp", {1077, 1100, 1106}, Close::Escape, {0x80, 0x81, 0xC1}},
        {"a lamp without enable", {1102}, Close::CloseBox, {0x04}},
        {"the last checked box unchecked", {1103, 1103}, Close::Enter, {0x08, 0x00}},
        {"every box, then enable cleared",
         {1077, 1100, 1101, 1102, 1103, 1104, 1105, 1106, 1077},
         Close::Enter,
         {0x80, 0x81, 0x83, 0x87, 0x8F, 0x9F, 0xBF, 0xFF, 0x7F}},
        {"boxes still checked at the close box", {1105, 1077}, Close::CloseBox, {0x20, 0xA0}},
        {"keypad Enter", {1101}, Close::KeypadEnter, {0x02}},
    };
    Create();
    for (const bool screenReader : {false, true}) {
        for (const Row &row : rows) {
            SCOPED_TRACE(testing::Message() << row.what << (screenReader ? ", by a screen reader" : ""));
            const auto calls = RunLedsTest([&](QDialog &dialog) {
                for (int id : row.clicks)
                    Press(dialog, id, screenReader);
                CloseBy(dialog, row.close);
            });
            std::vector<int> expected = row.masks;
            expected.push_back(kLedMaskReleased);
            EXPECT_EQ(calls, Texts(expected));
        }
    }
}

TEST_F(LedsTestTest, EachOpeningStartsUncheckedAndTheDialogIsOwnedByTheMainDialog)
{
    Create();
    const int lines = Dialog().Log().Count();
    for (int opening = 0; opening < 2; ++opening) {
        SCOPED_TRACE(opening);
        RunLedsTest([&](QDialog &dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Parlino LEDs Test");
            EXPECT_EQ(dialog.parentWidget(), &Dialog());
            EXPECT_TRUE(dialog.findChildren<QPushButton *>().isEmpty()) << "no OK, no Cancel, no default button";
            const auto boxes = dialog.findChildren<QCheckBox *>();
            EXPECT_EQ(static_cast<size_t>(boxes.size()), kLedBoxes.size());
            for (const LedBox &box : kLedBoxes) {
                auto *widget = res::Control<QCheckBox>(&dialog, box.id);
                ASSERT_NE(widget, nullptr) << box.id;
                EXPECT_FALSE(widget->isChecked()) << box.id;
            }
            Press(dialog, 1100);
            dialog.close();
        });
    }
    EXPECT_EQ(stub::CallTexts(), Texts({0x01, 0x00})) << "nothing but the masks of the second opening";
    EXPECT_EQ(Dialog().Log().Count(), lines);
    EXPECT_TRUE(Dialog().findChildren<CLedsTestDlg *>().isEmpty());
}

// A screen reader tells the eight boxes apart: the six lamp boxes, which
// all show "LED", by the names the bench window gives the same lamps.
TEST_F(LedsTestTest, AScreenReaderTellsTheLampsApartByTheBenchWindowsNames)
{
    Create();
    RunLedsTest([&](QDialog &dialog) {
        std::set<QString> names;
        for (const LedBox &box : kLedBoxes) {
            SCOPED_TRACE(box.id);
            auto *widget = res::Control<QCheckBox>(&dialog, box.id);
            ASSERT_NE(widget, nullptr);
            EXPECT_TRUE(Offered(&dialog, widget));
            const QString name = AccessibleText(widget);
            EXPECT_TRUE(names.insert(name).second) << name.toStdString();
            if (widget->text() != "LED")
                continue;
            const auto lamp = std::find_if(tvxsim::bench::kLampRows.begin(),
                                           tvxsim::bench::kLampRows.end(),
                                           [&](const auto &row) { return row.bit == box.bit; });
            ASSERT_NE(lamp, tvxsim::bench::kLampRows.end());
            EXPECT_EQ(name.toStdString(), lamp->name);
        }
        EXPECT_EQ(names.size(), kLedBoxes.size());
        dialog.close();
    });
}

}  // namespace
}  // namespace tvx::test
