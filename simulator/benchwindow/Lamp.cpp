#include "simulator/benchwindow/Lamp.h"

#include <QAccessible>
#include <QPainter>

namespace tvxsim::bench {

Lamp::Lamp(const QString &name, QColor litColour, QString litWord, QString darkWord, QWidget *parent)
    : QWidget(parent), litColour_(litColour), litWord_(std::move(litWord)), darkWord_(std::move(darkWord))
{
    setAccessibleName(name);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    Describe();
}

void Lamp::SetLit(bool lit)
{
    if (lit == lit_)
        return;
    lit_ = lit;
    Describe();
    update();
    QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
}

void Lamp::Describe()
{
    const QString &state = lit_ ? litWord_ : darkWord_;
    setAccessibleDescription(state);
    setToolTip(accessibleName() + QStringLiteral(": ") + state);
}

QSize Lamp::sizeHint() const
{
    const int side = fontMetrics().height() + 4;
    return {side, side};
}

void Lamp::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(width(), height()) - 2.0;
    const QRectF circle((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1.0));
    painter.setBrush(lit_ ? litColour_ : palette().color(QPalette::Mid));
    painter.drawEllipse(circle);
}

}  // namespace tvxsim::bench
