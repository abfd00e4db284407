// The dialog's menu bar built from a menu table, with the menu operations the
// commands use: pop-ups by position, check marks and default items by id.
// UI thread only.
#pragma once

#include "res/Menu.h"

#include <QObject>

#include <cstdint>
#include <span>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace tvx::res {

class MainMenu : public QObject {
    Q_OBJECT
public:
    MainMenu(QWidget *owner, std::span<const MenuEntry> entries);

    QMenuBar *Bar() const { return bar_; }

    // The pop-up reached by positions: the first along the bar, the next one
    // inside the pop-up (separators count). nullptr if there is none.
    QMenu *SubMenu(const PopupPath &path) const;

    // The item with this id inside popup or its nested pop-ups, or nullptr.
    static QAction *FindItem(const QMenu *popup, uint16_t id);
    // The item with this id anywhere in the menu, or nullptr.
    QAction *Item(uint16_t id) const;

    static bool IsChecked(const QMenu *popup, uint16_t id);
    static void Check(const QMenu *popup, uint16_t id, bool checked);
    // Makes id the popup's default item (bold), clearing the others of that
    // popup's own items.
    static void SetDefaultItem(const QMenu *popup, uint16_t id);
    static bool IsDefaultItem(const QAction *item);

signals:
    // The user chose the item with this id; its check mark is as it stood
    // before the choice.
    void Chosen(uint16_t id);

private:
    QMenuBar *bar_;
};

}  // namespace tvx::res
