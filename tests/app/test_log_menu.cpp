// The main window's event log carries the Copy / Copy All / Save Log As...
// menu, and the menu bar of template 136 stays as it was.
#include "device/EventLogMenu.h"
#include "tests/support/MainDialogFixture.h"

#include <QListView>
#include <QMenu>
#include <QMenuBar>

namespace tvx::test {
namespace {

class LogMenuWiringTest : public MainDialogTest {};

TEST_F(LogMenuWiringTest, TheLogHasTheMenuAndTheMenuBarIsUnchanged)
{
    Create();
    Dialog().Log().Insert("extra line");
    auto *view = Control<QListView>(1000);
    ASSERT_NE(view, nullptr);
    auto *menu = view->findChild<EventLogMenu *>();
    ASSERT_NE(menu, nullptr);
    QStringList entries;
    for (QAction *action : menu->Menu()->actions())
        entries << action->text();
    EXPECT_EQ(entries, QStringList({"Copy", "Copy All", "Save Log As..."}));
    EXPECT_EQ(EventLogMenu::Text(Dialog().Log()), Lines().join('\n') + '\n') << "the dialog's own log";

    QStringList bar;
    for (QAction *popup : Dialog().Menu().Bar()->actions())
        bar << popup->text();
    EXPECT_EQ(bar,
              QStringList({"&File",
                           "Device &Mode",
                           "&Audio",
                           "&DAA Config.",
                           "&Ringer",
                           "D&ialing",
                           "&Tone Generator",
                           "Mis&c.",
                           "Setup",
                           "&Help"}));
}

}  // namespace
}  // namespace tvx::test
