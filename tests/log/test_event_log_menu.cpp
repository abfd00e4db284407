// The event log's Copy, Copy All and Save Log As...: what reaches the
// clipboard and the file, by mouse, keyboard and assistive technology, and
// what a failed save leaves behind.
#include "log/EventLog.h"
#include "log/EventLogMenu.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>

namespace tvx {
namespace {

// A window with the log in a list (single selection, as the template makes
// it) above an edit that can take the focus away.
class LogMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        auto *layout = new QVBoxLayout(&window_);
        view_ = new QListView(&window_);
        view_->setSelectionMode(QAbstractItemView::SingleSelection);
        edit_ = new QLineEdit(&window_);
        layout->addWidget(view_);
        layout->addWidget(edit_);
        log_.Attach(view_);
        menu_ = new EventLogMenu(log_, view_, [this](QWidget *, const QString &) { return savePath_; });
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    }
    void TearDown() override
    {
        if (QMenu *menu = menu_->Menu())
            menu->hide();
    }

    // Lines inserted at the top in turn: the last one ends on top.
    void Insert(std::initializer_list<const char *> lines)
    {
        for (const char *line : lines)
            log_.Insert(line);
    }
    void Select(int row) { view_->setCurrentIndex(log_.index(row)); }
    void ShowFocused(QWidget *focus)
    {
        window_.show();
        QApplication::setActiveWindow(&window_);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
        focus->setFocus();
    }
    static QString Clipboard() { return QGuiApplication::clipboard()->text(); }
    QByteArray FileBytes(const QString &path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)");
    }
    // Runs action, closing the message box it opens; its text, or empty if none opened.
    static QString MessageOf(const std::function<void()> &action)
    {
        QString text;
        // Ends with this call: a save that shows no box leaves no timer behind.
        QTimer closer;
        closer.setSingleShot(true);
        QObject::connect(&closer, &QTimer::timeout, [&text] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                text = box->text();
                box->close();
            }
        });
        closer.start(0);
        action();
        return text;
    }

    QTemporaryDir dir_;
    QWidget window_;
    QListView *view_ = nullptr;
    QLineEdit *edit_ = nullptr;
    EventLog log_;
    EventLogMenu *menu_ = nullptr;
    QString savePath_;
};

TEST_F(LogMenuTest, SaveWritesEveryLineTopFirstAsUtf8)
{
    struct Row {
        std::vector<const char *> inserted;  // in the order written
        QByteArray file;
    };
    const Row rows[] = {
        {{}, ""},
        {{"Device SN: TVX-1"}, "Device SN: TVX-1\n"},
        {{"Caller ID", "Ivor Kell at 7964710 - 29/04 22:30"}, "Ivor Kell at 7964710 - 29/04 22:30\nCaller ID\n"},
        // 8-bit texts are Latin-1: an e with acute accent becomes two bytes.
        {{"Caf\xE9 [ 33 ]", "Tone Monitored: 5 "}, "Tone Monitored: 5 \nCaf\xC3\xA9 [ 33 ]\n"},
    };
    int n = 0;
    for (const Row &row : rows) {
        // A log of its own for each row: nothing clears a log.
        EventLog log;
        QListView view;
        log.Attach(&view);
        const QString path = dir_.filePath(QStringLiteral("log%1.txt").arg(n++));
        QString start;
        auto *menu = new EventLogMenu(log, &view, [&](QWidget *, const QString &startPath) {
            start = startPath;
            return path;
        });
        for (const char *line : row.inserted)
            log.Insert(line);
        EXPECT_TRUE(MessageOf([menu] { menu->SaveAction()->trigger(); }).isEmpty());
        EXPECT_EQ(FileBytes(path), row.file) << n;
        EXPECT_EQ(QFileInfo(start).fileName(), "event-log.txt");
    }
}

TEST_F(LogMenuTest, AFailedSaveReportsAndLeavesNothingBehind)
{
    Insert({"first", "second"});
    QFile existing(dir_.filePath("kept.txt"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("old contents\n");
    existing.close();
    ASSERT_TRUE(QFile(dir_.filePath("plain-file")).open(QIODevice::WriteOnly));
    struct Row {
        QString path;
        bool fails;
    };
    const Row rows[] = {
        {dir_.filePath("missing-folder/log.txt"), true},
        {dir_.filePath("plain-file/log.txt"), true},  // a file where a folder should be
        {dir_.filePath("."), true},                   // a folder where the file should be
        {QString(), false},                           // cancelled: nothing happens
    };
    const QStringList before = QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const Row &row : rows) {
        savePath_ = row.path;
        const QString message = MessageOf([this] { menu_->SaveAs(); });
        EXPECT_EQ(!message.isEmpty(), row.fails) << row.path.toStdString();
        if (row.fails) {
            EXPECT_TRUE(message.contains(QDir::toNativeSeparators(row.path))) << message.toStdString();
        }
        EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before)
            << "no temporary or partial file for " << row.path.toStdString();
    }
    EXPECT_EQ(FileBytes(existing.fileName()), "old contents\n");

    // Replacing an existing file is all or nothing too: the whole new log.
    savePath_ = existing.fileName();
    EXPECT_TRUE(MessageOf([this] { menu_->SaveAs(); }).isEmpty());
    EXPECT_EQ(FileBytes(existing.fileName()), "second\nfirst\n");
}

// Copy and Copy All by the menu's actions, by their keys (only while the log
// has the focus) and by a screen reader pressing the open menu's entries.
TEST_F(LogMenuTest, EveryWayOfCopyingPutsTheSameTextOnTheClipboard)
{
    Insert({"oldest", "middle", "newest"});
    const QString all = "newest\nmiddle\noldest\n";
    auto key = [this](QWidget *focus, QKeyCombination combination) {
        return [=, this] {
            ShowFocused(focus);
            QTest::keyClick(window_.windowHandle(), combination.key(), combination.keyboardModifiers());
        };
    };
    auto pressEntry = [this](int entry) {
        return [=, this] {
            ShowFocused(view_);
            QTest::keyClick(window_.windowHandle(), Qt::Key_F10, Qt::ShiftModifier);
            ASSERT_TRUE(menu_->Menu()->isVisible());
            QAccessibleInterface *item = QAccessible::queryAccessibleInterface(menu_->Menu())->child(entry);
            ASSERT_NE(item, nullptr);
            ASSERT_NE(item->actionInterface(), nullptr);
            item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        };
    };
    struct Row {
        const char *way;
        int selected;  // -1: none
        std::function<void()> act;
        QString clipboard;
    };
    const Row rows[] = {
        {"Copy", 1, [this] { menu_->CopyAction()->trigger(); }, "middle"},
        {"Copy, nothing selected", -1, [this] { menu_->CopyAction()->trigger(); }, "before"},
        {"Copy All", -1, [this] { menu_->CopyAllAction()->trigger(); }, all},
        {"Ctrl+C", 0, key(view_, Qt::CTRL | Qt::Key_C), "newest"},
        {"Ctrl+Shift+C", 2, key(view_, Qt::CTRL | Qt::SHIFT | Qt::Key_C), all},
        {"Ctrl+C in the edit", 0, key(edit_, Qt::CTRL | Qt::Key_C), "before"},
        {"Ctrl+Shift+C in the edit", 0, key(edit_, Qt::CTRL | Qt::SHIFT | Qt::Key_C), "before"},
        {"screen reader: Copy", 2, pressEntry(0), "oldest"},
        {"screen reader: Copy All", 2, pressEntry(1), all},
    };
    for (const Row &row : rows) {
        menu_->Menu()->hide();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        view_->clearSelection();
        if (row.selected >= 0)
            Select(row.selected);
        row.act();
        EXPECT_EQ(Clipboard(), row.clipboard) << row.way;
        EXPECT_EQ(view_->selectionModel()->selectedIndexes().size(), row.selected >= 0 ? 1 : 0) << row.way;
    }

    savePath_ = dir_.filePath("by-key.txt");
    key(view_, Qt::CTRL | Qt::Key_S)();
    EXPECT_EQ(FileBytes(savePath_), all.toUtf8());
}

TEST_F(LogMenuTest, TheMenuOpensByMouseAndKeyboardWithItsThreeEntries)
{
    Insert({"oldest", "newest"});
    const std::function<void()> openers[] = {
        [this] {
            // The right button selects the line under the pointer, then asks for the menu.
            const QPoint at = view_->visualRect(log_.index(1)).center();
            QTest::mouseClick(view_->viewport(), Qt::RightButton, {}, at);
            QContextMenuEvent event(QContextMenuEvent::Mouse, at, view_->viewport()->mapToGlobal(at));
            QApplication::sendEvent(view_->viewport(), &event);
        },
        [this] { QTest::keyClick(window_.windowHandle(), Qt::Key_Menu); },
        [this] { QTest::keyClick(window_.windowHandle(), Qt::Key_F10, Qt::ShiftModifier); },
    };
    for (const auto &open : openers) {
        menu_->Menu()->hide();
        view_->clearSelection();
        ShowFocused(view_);
        open();
        QMenu *menu = menu_->Menu();
        ASSERT_TRUE(menu->isVisible()) << &open - openers;
        QStringList texts;
        for (QAction *action : menu->actions())
            texts << action->text();
        EXPECT_EQ(texts, QStringList({"Copy", "Copy All", "Save Log As..."}));
        // Copy needs a selected line: the right click selects the one under the pointer.
        EXPECT_EQ(menu_->CopyAction()->isEnabled(), &open == openers) << &open - openers;
    }
}

}  // namespace
}  // namespace tvx
