#include "log/EventLog.h"

#include <QListView>

#include <utility>

namespace tvx {

namespace {
// A larger change is applied as one model reset rather than row by row.
constexpr size_t kRowByRowBatch = 64;
}  // namespace

EventLog::EventLog(QObject *parent) : QAbstractListModel(parent) {}

void EventLog::Attach(QListView *view) { view->setModel(this); }

void EventLog::Insert(const QString &line) { InsertTop(line, true); }

void EventLog::ApplyDeviceEvents(const LogDelta &delta)
{
    const bool rowByRow = delta.HeldLines() + delta.HeldDeletions() <= kRowByRowBatch;
    if (!rowByRow)
        beginResetModel();
    for (uint16_t index : delta.Deletions())
        if (index < lines_.size())
            EraseAt(index, rowByRow);
    delta.ForEachLineUpwards([&](const std::string &line) { InsertTop(Latin1(line), rowByRow); });
    if (!rowByRow)
        endResetModel();
}

void EventLog::EraseAt(size_t index, bool notify)
{
    const int row = static_cast<int>(index);
    if (notify)
        beginRemoveRows({}, row, row);
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
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
