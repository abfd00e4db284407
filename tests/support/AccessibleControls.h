// What a screen reader reads and does through the accessibility interfaces,
// as AT-SPI reaches them.
#pragma once

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QString>
#include <QWidget>

namespace tvx::test {

inline QAccessibleInterface *Accessible(QWidget *widget) { return QAccessible::queryAccessibleInterface(widget); }

inline QString AccessibleText(QWidget *widget, QAccessible::Text text = QAccessible::Name)
{
    QAccessibleInterface *accessible = Accessible(widget);
    return accessible ? accessible->text(text) : QString();
}

// The name of the control that labels widget (its label relation), or "".
inline QString AccessibleLabel(QWidget *widget)
{
    QAccessibleInterface *accessible = Accessible(widget);
    if (!accessible)
        return {};
    const auto labels = accessible->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}

// Whether window offers control to assistive technology among its children.
inline bool Offered(QWidget *window, QWidget *control)
{
    QAccessibleInterface *parent = Accessible(window);
    QAccessibleInterface *child = Accessible(control);
    return parent && child && parent->indexOfChild(child) >= 0;
}

// Runs a named action (toggle, press) as a screen reader does; false if the
// control offers no action interface.
inline bool AccessibleAction(QWidget *widget, const QString &action)
{
    QAccessibleInterface *accessible = Accessible(widget);
    QAccessibleActionInterface *actions = accessible ? accessible->actionInterface() : nullptr;
    if (!actions)
        return false;
    actions->doAction(action);
    return true;
}

}  // namespace tvx::test
