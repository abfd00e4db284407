#include "log/EventLogMenu.h"

#include "log/EventLog.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QSaveFile>
#include <QShortcut>
#include <QStandardPaths>

#include <utility>

namespace tvx {

namespace {

constexpr const char *kSaveTitle = "Save Log As";
constexpr const char *kFileName = "event-log.txt";

QString AskWithFileDialog(QWidget *parent, const QString &startPath)
{
    return QFileDialog::getSaveFileName(
        parent, QString::fromLatin1(kSaveTitle), startPath, QStringLiteral("Text files (*.txt);;All files (*)"));
}

QAction *AddAction(QListView *view, const char *text, std::initializer_list<QKeySequence> keys)
{
    auto *action = new QAction(QString::fromLatin1(text), view);
    action->setShortcuts(QList<QKeySequence>(keys));
    // Only while the log (or its viewport) has the focus: elsewhere the keys
    // keep their meaning, Ctrl+C in the edits above all.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    view->addAction(action);
    return action;
}

}  // namespace

EventLogMenu::EventLogMenu(EventLog &log, QListView *view, AskSavePath askSavePath)
    : QObject(view),
      log_(log),
      view_(view),
      askSavePath_(askSavePath ? std::move(askSavePath) : AskSavePath(AskWithFileDialog)),
      menu_(new QMenu(view)),
      copy_(AddAction(view, "Copy", {QKeySequence::Copy})),
      copyAll_(AddAction(view, "Copy All", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)})),
      save_(AddAction(view, "Save Log As...", {QKeySequence::Save, QKeySequence::SaveAs}))
{
    menu_->setAccessibleName(QStringLiteral("Event log"));
    menu_->addActions({copy_, copyAll_, save_});
    connect(copy_, &QAction::triggered, this, &EventLogMenu::Copy);
    connect(copyAll_, &QAction::triggered, this, &EventLogMenu::CopyAll);
    connect(save_, &QAction::triggered, this, &EventLogMenu::SaveAs);

    // Right click; from the keyboard the Menu key and Shift+F10, at the
    // current line.
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, &EventLogMenu::ShowMenu);
    auto *menuKey = new QShortcut(view);
    menuKey->setKeys({QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)});
    menuKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(menuKey, &QShortcut::activated, this, [this] {
        const QModelIndex current = view_->currentIndex();
        ShowMenu(current.isValid() ? view_->visualRect(current).center() : QPoint(0, 0));
    });
}

void EventLogMenu::ShowMenu(const QPoint &viewportPos)
{
    copy_->setEnabled(view_->selectionModel() && view_->selectionModel()->hasSelection());
    copyAll_->setEnabled(log_.Count() > 0);
    menu_->popup(view_->viewport()->mapToGlobal(viewportPos));
}

void EventLogMenu::Copy()
{
    const QItemSelectionModel *selection = view_->selectionModel();
    if (!selection)
        return;
    const QModelIndexList selected = selection->selectedIndexes();
    if (selected.isEmpty() || selected.first().row() >= log_.Count())
        return;
    QGuiApplication::clipboard()->setText(log_.Line(selected.first().row()));
}

void EventLogMenu::CopyAll() { QGuiApplication::clipboard()->setText(Text(log_)); }

void EventLogMenu::SaveAs()
{
    QWidget *window = view_->window();
    const QString path = askSavePath_(window, StartPath());
    if (path.isEmpty())
        return;
    QString error;
    if (!WriteFile(path, Text(log_), &error))
        QMessageBox::warning(window,
                             QString::fromLatin1(kSaveTitle),
                             QStringLiteral("The event log could not be saved to \"%1\": %2")
                                 .arg(QDir::toNativeSeparators(path), error));
}

QString EventLogMenu::Text(const EventLog &log)
{
    QString text;
    for (int i = 0; i < log.Count(); ++i)
        text.append(log.Line(i)).append(QLatin1Char('\n'));
    return text;
}

bool EventLogMenu::WriteFile(const QString &path, const QString &text, QString *error)
{
    QSaveFile file(path);
    // Where the folder cannot take a temporary file, fail rather than write
    // the target in place.
    file.setDirectWriteFallback(false);
    const QByteArray bytes = text.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

QString EventLogMenu::StartPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir(folder).filePath(QString::fromLatin1(kFileName));
}

}  // namespace tvx
