// Menu items chosen from the keyboard, as a user would: Alt with the
// pop-up's mnemonic, arrow keys (separators are skipped), the item's own
// mnemonic, Enter. Keys go where the window system would send them: to the
// open pop-up, else to the dialog.
#include "tests/commands/CommandsTestSupport.h"

#include <QApplication>
#include <QTest>

namespace tvx::test {
namespace {

using ::testing::ElementsAreArray;

class MenuKeyboardTest : public CommandsTest {
protected:
    // Makes the dialog the active window, as the window system does when it
    // is shown and again when a pop-up closes (the offscreen platform leaves
    // the closed pop-up active).
    bool Activate()
    {
        Dialog().show();
        Dialog().activateWindow();
        return PumpUntil([this] { return QApplication::activeWindow() == &Dialog(); });
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *target = QApplication::activePopupWidget();
        QTest::keyClick(target ? target : &Dialog(), key, modifiers);
    }
};

struct Keys {
    const char *name;
    Qt::Key mnemonic;           // with Alt: opens the pop-up
    std::vector<Qt::Key> keys;  // then these, the last one choosing
    std::vector<std::string> calls;
    uint16_t checkedAfter;  // 0: no mark to look at
};

TEST_F(MenuKeyboardTest, ItemsChosenWithMnemonicsAndArrows)
{
    using K = Qt::Key;
    const Keys cases[] = {
        {"Device Mode, fifth below the first",
         Qt::Key_M,
         {K::Key_Down, K::Key_Down, K::Key_Down, K::Key_Down, K::Key_Down, K::Key_Return},
         {"ScDoCommand(90, 0, 0, 65535)"},
         32775},
        {"Device Mode, the checked item again",
         Qt::Key_M,
         {K::Key_Down, K::Key_Down, K::Key_Down, K::Key_Enter},
         {"ScDoCommand(58, 0, 0, 65535)"},
         32773},
        {"DAA Config., up from the first wraps to the last",
         Qt::Key_D,
         {K::Key_Up, K::Key_Return},
         {"ScDoCommand(83, 0, 0, 65535)"},
         32799},
        {"Ringer, Frequency pop-up, second item",
         Qt::Key_R,
         {K::Key_Right, K::Key_Down, K::Key_Return},
         {"ScDoCommand(84, 0, 0, 65535)"},
         32791},
        {"Ringer, Ring past the separator",
         Qt::Key_R,
         {K::Key_Down, K::Key_Down, K::Key_Return},
         {"ScDoCommand(20, 0, 0, 65535)"},
         32810},
        {"Audio, Auxilary Audio Content, Wave Out",
         Qt::Key_A,
         {K::Key_Down,
          K::Key_Down,
          K::Key_Down,
          K::Key_Down,
          K::Key_Down,
          K::Key_Down,
          K::Key_Right,
          K::Key_Down,
          K::Key_Return},
         {"ScDoCommand(94, 0, 0, 65535)"},
         32784},
        {"Audio, CODEC Boost at the end",
         Qt::Key_A,
         {K::Key_Up, K::Key_Return},
         {"ScSetHardwareRegs(ptr, 66, 129, 1) bytes=01",
          "ScGetDevType(0, 0)",
          "ScSetHardwareRegs(ptr, 66, 130, 1) bytes=01"},
         32840},
        {"Dialing, Pulse Dial sends nothing", Qt::Key_I, {K::Key_Down, K::Key_Return}, {}, 32801},
        {"Dialing, make/break pop-up, last item",
         Qt::Key_I,
         {K::Key_Up, K::Key_Right, K::Key_Up, K::Key_Return},
         {"ScDoCommand(61, 0, 0, 65535)"},
         32806},
        {"Tone Generator, Generate Tone at the end",
         Qt::Key_T,
         {K::Key_Up, K::Key_Return},
         {"ScDoCommand(12, 0, 0, 65535)"},
         32829},
        {"Misc., the item's own mnemonic", Qt::Key_C, {K::Key_O}, {"ScDoCommand(46, 0, 0, 65535)"}, 32832},
        {"Misc., Driver Enabled",
         Qt::Key_C,
         {K::Key_Down, K::Key_Down, K::Key_Down, K::Key_Down, K::Key_Down, K::Key_Return},
         {"ScClose(0)", "ScShutdown(0)"},
         0},
        {"Setup, reached from Help by Left",
         Qt::Key_H,
         {K::Key_Left, K::Key_Down, K::Key_Down, K::Key_Down, K::Key_Return},
         {"ScHardwareChipsDlg(ptr)"},
         0},
    };
    for (const Keys &c : cases) {
        SCOPED_TRACE(c.name);
        CreateClean();
        ASSERT_TRUE(Activate());
        Press(c.mnemonic, Qt::AltModifier);
        ASSERT_NE(QApplication::activePopupWidget(), nullptr) << "Alt did not open the pop-up";
        for (Qt::Key key : c.keys)
            Press(key);
        Pump();
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "the menu is still open";
        EXPECT_THAT(Described(), ElementsAreArray(c.calls));
        if (c.checkedAfter != 0) {
            EXPECT_TRUE(Checked(c.checkedAfter)) << c.checkedAfter;
        }
        Destroy();
    }
}

TEST_F(MenuKeyboardTest, AboutAndExitFromTheKeyboard)
{
    CreateClean();
    ASSERT_TRUE(Activate());
    const qsizetype before = Lines().size();
    Press(Qt::Key_H, Qt::AltModifier);
    Press(Qt::Key_Return);
    Pump();
    EXPECT_EQ(Lines().size(), before + 6);

    ASSERT_TRUE(Activate());
    Dialog().setResult(5);
    Press(Qt::Key_F, Qt::AltModifier);
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    Press(Qt::Key_X);  // "E&xit"
    Pump();
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_EQ(Dialog().result(), 0);
    EXPECT_TRUE(stub::Calls().empty());
}

}  // namespace
}  // namespace tvx::test
