// The main window as built from its template and menu: controls, menu by
// position, the ways it closes, keyboard and assistive access.
#include "tests/support/MainDialogFixture.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>

namespace tvx::test {
namespace {

class ShellTest : public MainDialogTest {};

// Walks the menu bar by positions, as the commands find their pop-ups.
QAction *AtPath(QMenuBar *bar, std::initializer_list<int> path)
{
    QList<QAction *> actions = bar->actions();
    QAction *action = nullptr;
    for (int position : path) {
        if (position >= actions.size())
            return nullptr;
        action = actions.at(position);
        if (action->menu())
            actions = action->menu()->actions();
    }
    return action;
}

TEST_F(ShellTest, MenuEntriesStandAtTheirPositions)
{
    Create();
    struct Row {
        std::initializer_list<int> path;
        const char *id;  // "" for pop-ups, "-" for separators
        const char *text;
        bool checked;
    };
    const Row rows[] = {
        {{0}, "", "&File", false},
        {{0, 0}, "32830", "Eraze Device", false},
        {{0, 2}, "-", "", false},
        {{0, 5}, "32808", "E&xit", false},
        {{1, 3}, "32773", "Phone -Line (Default)", true},
        {{1, 7}, "32777", "Line Audio Stream, Phone Monitor", false},
        {{2, 4}, "32789", "USB Phone - Keypad Beep", true},  // checked by the open
        {{2, 5}, "32835", "Echo Supression", true},
        {{2, 7}, "", "Auxilary Audio Content", false},
        {{2, 7, 0}, "32783", "CODEC", true},
        {{2, 7, 2}, "32785", "Wave Out Mixed with CODEC", false},
        {{2, 10}, "-", "", false},
        {{2, 12}, "32840", "CODEC Boost", false},
        {{3, 5}, "32799", "CTR21 / Complex", false},
        {{4, 0, 2}, "32792", "25Hz (Default)", true},
        {{4, 1}, "32807", "Load Melody ...", false},
        {{4, 3}, "32810", "Ring", false},
        {{5, 0}, "32800", "Tones Dial", true},
        {{5, 3, 3}, "32806", "33/67 @ 20 PPS Japan", false},
        {{6, 0}, "32811", "Dialtone", true},
        {{6, 5}, "-", "", false},
        {{6, 10}, "32829", "Generate Tone", false},
        {{7, 2}, "32832", "USB Phone - Off H&ook", false},
        {{7, 6}, "32826", "Driver Enabled", true},
        {{7, 8}, "32836", "ReConnect", false},
        {{8, 4}, "32842", "Hardware Chips ...", false},
        {{9, 0}, "32809", "About ...", false},
    };
    QMenuBar *bar = Dialog().Menu().Bar();
    EXPECT_EQ(bar->actions().size(), 10);
    for (const Row &row : rows) {
        QAction *action = AtPath(bar, row.path);
        ASSERT_NE(action, nullptr) << row.text;
        if (std::string(row.id) == "-") {
            EXPECT_TRUE(action->isSeparator());
            continue;
        }
        EXPECT_EQ(action->text(), row.text);
        EXPECT_EQ(action->objectName(), std::string(row.id) == "" ? QString() : QString(row.id)) << row.text;
        EXPECT_EQ(action->isChecked(), row.checked) << row.text;
        EXPECT_TRUE(action->isEnabled());
    }
    EXPECT_EQ(Dialog().Menu().SubMenu({6})->actions().size(), 11);
    EXPECT_EQ(Dialog().Menu().SubMenu({2, 7})->actions().size(), 3);
    EXPECT_EQ(Dialog().Menu().SubMenu({10}), nullptr);
}

TEST_F(ShellTest, ControlsFollowTheTemplate)
{
    Create();
    EXPECT_EQ(Dialog().windowTitle(), "Telvora Parlino USB Control / Monitor");
    EXPECT_FALSE(Dialog().windowIcon().isNull());
    EXPECT_TRUE(Control<QPushButton>(1083)->isDefault());
    EXPECT_EQ(Control<QPushButton>(1083)->text(), "&Burn Device ...");
    EXPECT_FALSE(Control<QPushButton>(1067)->isDefault());
    EXPECT_EQ(Control<QCheckBox>(1077)->text(), "Telephony Anal&ysis");
    EXPECT_EQ(Control<QLabel>(1082)->text(), "2000 Hz");
    EXPECT_EQ(Control<QLabel>(1080)->text(), "30") << "the open shows the first parameter's default";
    EXPECT_EQ(Control<QComboBox>(1079)->count(), 17);
    EXPECT_EQ(Control<QSlider>(1043)->tickPosition(), QSlider::NoTicks);
    EXPECT_TRUE(Control<QCheckBox>(1097)->isHidden());
    EXPECT_TRUE(Control<QCheckBox>(1099)->isHidden());
    EXPECT_FALSE(Control<QCheckBox>(1099)->isEnabled());

    // Places keep the template's proportions: the event log lies left of the
    // dial group, the serial edit below the parameter group.
    EXPECT_LT(Control<QListView>(1000)->geometry().right(), Control<QLineEdit>(1047)->geometry().left());
    EXPECT_GT(Control<QLineEdit>(1001)->geometry().top(), Control<QSlider>(1043)->geometry().bottom());
}

TEST_F(ShellTest, ControlsWithoutTextHaveAccessibleNames)
{
    Create();
    const std::pair<int, const char *> named[] = {
        {1000, "Event log"},
        {1047, "Dial string"},
        {1001, "Serial number"},
        {1074, "Spectrum"},
        {1079, "Parameter"},
        {1043, "Parameter value"},
        {1081, "Local country"},
        {1084, "Destination country"},
    };
    for (const auto &[id, name] : named) {
        QWidget *widget = Control<QWidget>(id);
        ASSERT_NE(widget, nullptr) << id;
        EXPECT_EQ(widget->accessibleName(), name) << id;
    }
}

TEST_F(ShellTest, EveryWayOfClosingClosesTheDeviceOnce)
{
    const std::function<void(CControlMonitorDlg &)> closers[] = {
        [this](CControlMonitorDlg &) { QTest::keyClick(Control<QLineEdit>(1001), Qt::Key_Escape); },
        [](CControlMonitorDlg &dialog) { dialog.close(); },
    };
    for (const auto &close : closers) {
        stub::Reset();
        Create().show();
        close(Dialog());
        EXPECT_FALSE(Dialog().isVisible()) << &close - closers;
        EXPECT_EQ(stub::CountOf("ScClose"), 0) << "the device closes with the dialog's destruction";
        Destroy();
        EXPECT_EQ(stub::CallTexts({"ScClose", "ScShutdown"}),
                  std::vector<std::string>({"ScClose(0)", "ScShutdown(0)"}));
    }
}

TEST_F(ShellTest, SerialNumberIsFocusedAndSelectedWhenShown)
{
    Create();
    Dialog().show();
    Dialog().activateWindow();
    auto *serial = Control<QLineEdit>(1001);
    ASSERT_TRUE(PumpUntil([&] { return serial->hasFocus(); }, 2000));
    EXPECT_EQ(serial->selectedText(), serial->text());

    Control<QLineEdit>(1047)->setFocus();
    Dialog().showMinimized();
    Dialog().showNormal();
    Pump();
    EXPECT_TRUE(serial->hasFocus()) << "restoring the window focuses the serial number again";
}

TEST_F(ShellTest, EnterInTheDialStringClicksTheDefaultButtonNotDial)
{
    Create();
    Dialog().show();
    int burns = 0, dials = 0;
    QObject::connect(Control<QPushButton>(1083), &QPushButton::clicked, [&] { ++burns; });
    QObject::connect(Control<QPushButton>(1067), &QPushButton::clicked, [&] { ++dials; });
    Control<QLineEdit>(1047)->setFocus();
    QTest::keyClick(Control<QLineEdit>(1047), Qt::Key_Return);
    QTest::keyClick(Control<QLineEdit>(1001), Qt::Key_Return);
    EXPECT_EQ(burns, 2);
    EXPECT_EQ(dials, 0);
}

}  // namespace
}  // namespace tvx::test
