// The event log's context menu: "Copy" (the selected line), "Copy All" and
// "Save Log As..." (the lines in the order shown, as a UTF-8 text file). The
// same actions answer their shortcuts while the log has the focus; the menu
// opens by right click, the Menu key or Shift+F10. The list keeps its single
// selection; nothing here changes the log. UI thread only.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QListView;
class QMenu;
class QPoint;
class QWidget;

namespace tvx {

class EventLog;

class EventLogMenu : public QObject {
    Q_OBJECT
public:
    // Asks where to save: the chosen path, or empty when cancelled. The
    // default is the file dialog, starting at startPath.
    using AskSavePath = std::function<QString(QWidget *parent, const QString &startPath)>;

    // Gives view (showing log) its menu and shortcuts.
    EventLogMenu(EventLog &log, QListView *view, AskSavePath askSavePath = {});

    QMenu *Menu() const { return menu_; }
    QAction *CopyAction() const { return copy_; }
    QAction *CopyAllAction() const { return copyAll_; }
    QAction *SaveAction() const { return save_; }

    // The selected line to the clipboard; nothing when no line is selected.
    void Copy();
    // Every line, top to bottom, each ended by a newline, to the clipboard.
    void CopyAll();
    // Asks for a file and writes every line into it; an error message box
    // when it cannot be written.
    void SaveAs();

    // Every line of log, top to bottom, each ended by "\n".
    static QString Text(const EventLog &log);
    // Writes text as UTF-8 into a temporary file beside path and renames it
    // into place: either the whole text is at path, or path is as it was
    // and no temporary file is left. False with the reason in error.
    static bool WriteFile(const QString &path, const QString &text, QString *error);
    // Where the file dialog starts: "event-log.txt" in the documents folder.
    static QString StartPath();

private:
    void ShowMenu(const QPoint &viewportPos);

    EventLog &log_;
    QListView *view_;
    AskSavePath askSavePath_;
    QMenu *menu_;
    QAction *copy_;
    QAction *copyAll_;
    QAction *save_;
};

}  // namespace tvx
