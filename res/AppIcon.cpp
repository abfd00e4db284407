#include "res/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tvx::res {

namespace {

QPixmap DrawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);

    // Rounded body of the adapter.
    painter.setPen(QPen(QColor(0x1f, 0x3a, 0x5f), 1.2));
    painter.setBrush(QColor(0x3d, 0x7e, 0xc4));
    painter.drawRoundedRect(QRectF(2, 6, 28, 22), 4, 4);

    // Handset across the top of the body.
    QPainterPath handset;
    handset.moveTo(6, 15);
    handset.cubicTo(6, 8, 26, 8, 26, 15);
    handset.lineTo(22, 16);
    handset.cubicTo(21, 13, 11, 13, 10, 16);
    handset.closeSubpath();
    painter.setBrush(Qt::white);
    painter.setPen(Qt::NoPen);
    painter.drawPath(handset);

    // Keypad dots.
    painter.setBrush(QColor(0xe8, 0xf0, 0xfa));
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column)
            painter.drawEllipse(QPointF(11 + column * 5, 20 + row * 4), 1.3, 1.3);
    return pixmap;
}

}  // namespace

QIcon ApplicationIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(DrawIcon(size));
    return icon;
}

}  // namespace tvx::res
