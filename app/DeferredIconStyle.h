// The platform's style, except that the menu bar's overflow arrows are read
// from their image files when first drawn instead of when a menu bar is
// made: reading the first image file loads every image-format plugin, which
// made building the main window's menu bar the slowest step of start-up,
// for a button that shows only when the menu bar is too narrow.
#pragma once

#include <QProxyStyle>

namespace tvx {

class DeferredIconStyle final : public QProxyStyle {
public:
    // baseStyleKey: the style to keep (the application's, command-line
    // -style and QT_STYLE_OVERRIDE included).
    explicit DeferredIconStyle(const QString &baseStyleKey);

    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const override;
};

}  // namespace tvx
