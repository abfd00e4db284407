#include "res/AppIcon.h"

#include "res/AppIconShapes.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tvx::res {

namespace {

QPainterPath Outline(std::span<const IconStep> steps)
{
    QPainterPath path;
    for (const IconStep &step : steps) {
        switch (step.op) {
        case 'M':
            path.moveTo(step.x, step.y);
            break;
        case 'L':
            path.lineTo(step.x, step.y);
            break;
        case 'C':
            path.cubicTo(step.x1, step.y1, step.x2, step.y2, step.x, step.y);
            break;
        case 'Z':
            path.closeSubpath();
            break;
        }
    }
    return path;
}

}  // namespace

QImage PaintApplicationIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / double(kIconFrame), size / double(kIconFrame));
    for (const IconShape &shape : kAppIconShapes) {
        painter.setBrush(QColor::fromRgb(shape.fill));
        painter.setPen(shape.strokeWidth > 0 ? QPen(QColor::fromRgb(shape.stroke), shape.strokeWidth)
                                             : QPen(Qt::NoPen));
        switch (shape.kind) {
        case IconShapeKind::RoundedRect:
            painter.drawRoundedRect(QRectF(shape.x, shape.y, shape.width, shape.height), shape.radius, shape.radius);
            break;
        case IconShapeKind::Circle:
            painter.drawEllipse(QPointF(shape.x, shape.y), shape.radius, shape.radius);
            break;
        case IconShapeKind::Outline:
            painter.drawPath(Outline(shape.steps));
            break;
        }
    }
    return image;
}

const std::array<QImage, kApplicationIconSizes.size()> &ApplicationIconImages()
{
    static const auto images = [] {
        std::array<QImage, kApplicationIconSizes.size()> painted;
        for (size_t i = 0; i < painted.size(); ++i)
            painted[i] = PaintApplicationIcon(kApplicationIconSizes[i]);
        return painted;
    }();
    return images;
}

QIcon ApplicationIcon()
{
    QIcon icon;
    for (const QImage &image : ApplicationIconImages())
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

}  // namespace tvx::res
