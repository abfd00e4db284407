// The main window's event log carries the Copy / Copy All / Save Log As...
// menu, over the dialog's own log; the menu bar (checked by the shell tests)
// gets nothing from it.
#include "log/EventLogMenu.h"
#include "tests/support/MainDialogFixture.h"

#include <QListView>
#include <QMenu>
#include <QMenuBar>

namespace tvx::test {
namespace {

class LogMenuWiringTest : public MainDialogTest {};

TEST_F(LogMenuWiringTest, TheLogHasTheMenuOverTheDialogsOwnLog)
{
    Create();
    const int popups = Dialog().Menu().Bar()->actions().size();
    Dialog().Log().Insert("extra line");
    auto *menu = Control<QListView>(1000)->findChild<EventLogMenu *>();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->Menu()->actions().size(), 3);
    EXPECT_EQ(EventLogMenu::Text(Dialog().Log()), Lines().join('\n') + '\n');
    EXPECT_EQ(Dialog().Menu().Bar()->actions().size(), popups);
    EXPECT_EQ(popups, 10);
}

}  // namespace
}  // namespace tvx::test
