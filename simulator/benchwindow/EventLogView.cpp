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
    QScrollBar *bar = verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    appendPlainText(pending_.join(u'\n'));
    pending_.clear();
    if (atEnd)
        bar->setValue(bar->maximum());
}

}  // namespace tvxsim::bench
