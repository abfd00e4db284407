#include "res/ControlAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QDialog>
#include <QFocusFrame>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>

namespace tvx::res {

namespace {

// The text without its mnemonic marks ("Anal&ysis" reads "Analysis", "&&" reads "&").
QString WithoutMnemonic(const QString &text)
{
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}

class CheckBoxAccessible : public QAccessibleWidget {
public:
    explicit CheckBoxAccessible(QCheckBox *box) : QAccessibleWidget(box, QAccessible::CheckBox) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = Box()->checkState() == Qt::Checked;
        state.checkStateMixed = Box()->checkState() == Qt::PartiallyChecked;
        state.pressed = Box()->isDown();
        return state;
    }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return Box()->accessibleName().isEmpty() ? WithoutMnemonic(Box()->text()) : Box()->accessibleName();
        case QAccessible::Accelerator:
            return QKeySequence::mnemonic(Box()->text()).toString(QKeySequence::NativeText);
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (Box()->isEnabled())
            names << toggleAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &action) override
    {
        if (action == toggleAction() || action == pressAction()) {
            if (Box()->isEnabled())
                Box()->click();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

    QStringList keyBindingsForAction(const QString &action) const override
    {
        if (action == toggleAction() || action == pressAction()) {
            const QKeySequence mnemonic = QKeySequence::mnemonic(Box()->text());
            if (!mnemonic.isEmpty())
                return {mnemonic.toString(QKeySequence::NativeText)};
            return {};
        }
        return QAccessibleWidget::keyBindingsForAction(action);
    }

private:
    QCheckBox *Box() const { return static_cast<QCheckBox *>(widget()); }
};

QAccessibleInterface *CheckBoxFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("QCheckBox") && object && object->isWidgetType())
        return new CheckBoxAccessible(static_cast<QCheckBox *>(object));
    return nullptr;
}

// The property that marks a window whose hidden controls are not offered.
constexpr char kShownOnly[] = "tvxOffersShownControlsOnly";

// A window as the platform's own interface offers it, but without the child
// controls it keeps hidden.
class ShownControlsAccessible : public QAccessibleWidget {
public:
    explicit ShownControlsAccessible(QWidget *window)
        : QAccessibleWidget(window, qobject_cast<QDialog *>(window) ? QAccessible::Dialog : QAccessible::Client)
    {
    }

    int childCount() const override { return static_cast<int>(Offered().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> offered = Offered();
        if (index < 0 || index >= offered.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(offered.at(index));
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child || !child->object() || !child->object()->isWidgetType())
            return -1;
        return static_cast<int>(Offered().indexOf(static_cast<QWidget *>(child->object())));
    }

private:
    // The child widgets the platform's interface lists, in the same order,
    // less the hidden ones.
    QList<QWidget *> Offered() const
    {
        QList<QWidget *> offered;
        for (QObject *object : widget()->children()) {
            auto *child = qobject_cast<QWidget *>(object);
            if (!child || child->isWindow() || child->isHidden() || qobject_cast<QMenu *>(child) ||
                qobject_cast<QFocusFrame *>(child) || child->objectName() == QLatin1String("qt_rubberband"))
                continue;
            offered.append(child);
        }
        return offered;
    }
};

QAccessibleInterface *WindowFactory(const QString &, QObject *object)
{
    if (object && object->isWidgetType() && object->property(kShownOnly).toBool())
        return new ShownControlsAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

}  // namespace

void InstallCheckBoxAccessibility()
{
    // Factories installed later are asked first, before the platform's own.
    static const bool installed = [] {
        QAccessible::installFactory(CheckBoxFactory);
        return true;
    }();
    (void)installed;
}

void OfferShownControlsOnly(QWidget *window)
{
    static const bool installed = [] {
        QAccessible::installFactory(WindowFactory);
        return true;
    }();
    (void)installed;
    if (window)
        window->setProperty(kShownOnly, true);
}

void SetValueText(QLabel *valueStatic, const QString &text)
{
    if (!valueStatic || valueStatic->text() == text)
        return;
    valueStatic->setText(text);
    QAccessibleEvent changed(valueStatic, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

}  // namespace tvx::res
