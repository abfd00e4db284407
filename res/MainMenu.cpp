#include "res/MainMenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QVector>

namespace tvx::res {

namespace {

void SetMark(QAction *action, bool checked)
{
    // Items become checkable when first marked, so that items never marked
    // show no check box at all.
    if (checked)
        action->setCheckable(true);
    if (action->isCheckable())
        action->setChecked(checked);
}

// The menu bar stays in the window, where the template puts it, on every
// desktop: no global menu bar, and so no D-Bus session to reach (or start)
// while the window is being built.
QMenuBar *InWindowMenuBar(QWidget *owner)
{
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    return new QMenuBar(owner);
}

}  // namespace

MainMenu::MainMenu(QWidget *owner, std::span<const MenuEntry> entries) : QObject(owner), bar_(InWindowMenuBar(owner))
{
    QVector<QMenu *> stack;  // the pop-up open at each depth
    for (const MenuEntry &entry : entries) {
        stack.resize(entry.depth);
        const QString text = QString::fromLatin1(entry.text);
        switch (entry.kind) {
        case MenuKind::Popup: {
            QMenu *popup = entry.depth == 0 ? bar_->addMenu(text) : stack.back()->addMenu(text);
            stack.append(popup);
            break;
        }
        case MenuKind::Separator:
            stack.back()->addSeparator();
            break;
        case MenuKind::Item: {
            QAction *action = stack.back()->addAction(text);
            action->setObjectName(QString::number(entry.id));
            SetMark(action, entry.checked);
            const uint16_t id = entry.id;
            connect(action, &QAction::triggered, this, [this, action, id](bool checked) {
                // A checkable action toggles itself before this runs; the
                // commands decide the marks, so put it back as it stood.
                if (action->isCheckable())
                    action->setChecked(!checked);
                emit Chosen(id);
            });
            break;
        }
        }
    }
}

QMenu *MainMenu::SubMenu(const PopupPath &path) const
{
    QList<QAction *> actions = bar_->actions();
    QMenu *popup = nullptr;
    for (int level = 0; level < path.depth && level < static_cast<int>(path.pos.size()); ++level) {
        const int position = path.pos[static_cast<std::size_t>(level)];
        if (position >= actions.size())
            return nullptr;
        popup = actions.at(position)->menu();
        if (!popup)
            return nullptr;
        actions = popup->actions();
    }
    return popup;
}

QAction *MainMenu::FindItem(const QMenu *popup, uint16_t id)
{
    if (!popup)
        return nullptr;
    const QString name = QString::number(id);
    for (QAction *action : popup->actions()) {
        if (action->objectName() == name)
            return action;
        if (QAction *nested = FindItem(action->menu(), id))
            return nested;
    }
    return nullptr;
}

QAction *MainMenu::Item(uint16_t id) const
{
    for (QAction *top : bar_->actions())
        if (QAction *action = FindItem(top->menu(), id))
            return action;
    return nullptr;
}

bool MainMenu::IsChecked(const QMenu *popup, uint16_t id)
{
    const QAction *action = FindItem(popup, id);
    return action && action->isChecked();
}

void MainMenu::Check(const QMenu *popup, uint16_t id, bool checked)
{
    if (QAction *action = FindItem(popup, id))
        SetMark(action, checked);
}

void MainMenu::SetDefaultItem(const QMenu *popup, uint16_t id)
{
    if (!popup)
        return;
    const QString name = QString::number(id);
    for (QAction *action : popup->actions()) {
        if (action->isSeparator() || action->menu())
            continue;
        QFont font = action->font();
        font.setBold(action->objectName() == name);
        action->setFont(font);
    }
}

bool MainMenu::IsDefaultItem(const QAction *item) { return item && item->font().bold(); }

}  // namespace tvx::res
