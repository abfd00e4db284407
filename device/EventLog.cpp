#include "device/EventLog.h"

#include <QListView>

#include <utility>

namespace tvx {

namespace {
// A larger batch is applied as one model reset rather than row by row.
constexpr size_t kRowByRowBatch = 64;
}  // namespace

EventLog::EventLog(QObject *parent) : QAbstractListModel(parent) {}

void EventLog::Attach(QListView *view) { view->setModel(this); }

void EventLog::Insert(const QString &line) { InsertTop(line, true); }

void EventLog::ApplyDeviceEvents(std::vector<DeviceEventText> &events)
{
    const bool rowByRow = events.size() <= kRowByRowBatch;
    if (!rowByRow)
        beginResetModel();
    for (DeviceEventText &event : events) {
        TrimForDeviceEvent(rowByRow);
        if (!event.heading.isEmpty())
            InsertTop(std::move(event.heading), rowByRow);
        InsertTop(std::move(event.line), rowByRow);
    }
    if (!rowByRow)
        endResetModel();
}

void EventLog::TrimForDeviceEvent(bool notify)
{
    if (lines_.size() <= static_cast<size_t>(kTrimLimit))
        return;
    if (notify)
        beginRemoveRows({}, kTrimLimit, kTrimLimit);
    lines_.erase(lines_.begin() + kTrimLimit);
    if (notify)
        endRemoveRows();
}

void EventLog::InsertTop(QString line, bool notify)
{
    if (notify)
        beginInsertRows({}, 0, 0);
    lines_.push_front(std::move(line));
    if (notify)
        endInsertRows();
}

int EventLog::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : Count(); }

QVariant EventLog::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= Count())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return Line(index.row());
    return {};
}

}  // namespace tvx
