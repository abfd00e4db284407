#include "simulator/benchwindow/EventLogView.h"

#include <QFontDatabase>
#include <QScrollBar>

namespace tvxsim::bench {

EventLogView::EventLogView(QWidget *parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setMaximumBlockCount(kMaxLines);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setAccessibleName(tr("Adapter events"));
    setAccessibleDescription(tr("The adapter's events as the runner prints them: time in ms, code, text"));
    batch_.setSingleShot(true);
    batch_.setInterval(50);
    connect(&batch_, &QTimer::timeout, this, &EventLogView::Flush);
    // Only the user moves the view away from the bottom: a new height or new
    // lines change the range, and a following view then goes to its end.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &EventLogView::OnScrolled);
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, &EventLogView::OnRangeChanged);
}

QSize EventLogView::sizeHint() const { return {QPlainTextEdit::sizeHint().width(), HeightFor(kHintLines)}; }

QSize EventLogView::minimumSizeHint() const
{
    return {QPlainTextEdit::minimumSizeHint().width(), HeightFor(kMinimumLines)};
}

int EventLogView::HeightFor(int lines) const
{
    const int frame = 2 * frameWidth();
    const int scrollBar = horizontalScrollBar()->sizeHint().height();
    return lines * fontMetrics().lineSpacing() + frame + scrollBar + 2 * int(document()->documentMargin());
}

void EventLogView::Add(const QString &line)
{
    if (pending_.size() >= kMaxLines)
        pending_.removeFirst();
    pending_.append(line);
    if (!batch_.isActive())
        batch_.start();
}

void EventLogView::Flush()
{
    batch_.stop();
    if (pending_.isEmpty())
        return;
    const bool follow = following_;
    appendPlainText(pending_.join(u'\n'));
    pending_.clear();
    following_ = follow;
    if (following_)
        OnRangeChanged();
}

void EventLogView::OnScrolled(int value)
{
    if (!scrolling_)
        following_ = value >= verticalScrollBar()->maximum();
}

void EventLogView::OnRangeChanged()
{
    if (!following_)
        return;
    QScrollBar *bar = verticalScrollBar();
    scrolling_ = true;
    bar->setValue(bar->maximum());
    scrolling_ = false;
}

}  // namespace tvxsim::bench
