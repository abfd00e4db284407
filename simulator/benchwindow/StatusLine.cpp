#include "simulator/benchwindow/StatusLine.h"

#include <QEvent>
#include <QFontMetrics>
#include <QTextLayout>

namespace tvxsim::bench {

StatusLine::StatusLine(QWidget *parent) : QLabel(parent)
{
    // The width is the window's to give; the text is fitted to it.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setWordWrap(false);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setAccessibleDescription(tr("Status"));
    FitHeight();
}

void StatusLine::SetMessage(const QString &message)
{
    if (message == message_)
        return;
    // A message is one line of text: a line break in a reply is a space here.
    message_ = message;
    message_.replace(u'\n', u' ');
    setToolTip(message_);
    FitText();
    // The accessible name is the whole message; setting it tells screen readers.
    setAccessibleName(message_);
}

void StatusLine::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    FitText();
}

void StatusLine::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        FitHeight();
        FitText();
    }
}

void StatusLine::FitHeight()
{
    const QMargins margins = contentsMargins();
    setFixedHeight(kLines * fontMetrics().lineSpacing() + margins.top() + margins.bottom() + 2 * margin());
}

// Breaks the message into at most kLines lines of the label's width, at
// word boundaries where it can; the last line takes the rest, elided.
void StatusLine::FitText()
{
    const int width = contentsRect().width() - 2 * margin();
    if (width <= 0) {
        setText(message_);
        return;
    }
    const QFontMetrics metrics = fontMetrics();
    QTextLayout layout(message_, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (int i = 0; i < kLines; ++i) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        if (i == kLines - 1) {
            lines << metrics.elidedText(message_.mid(line.textStart()).trimmed(), Qt::ElideRight, width);
            break;
        }
        lines << message_.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    setText(lines.join(u'\n'));
}

}  // namespace tvxsim::bench
