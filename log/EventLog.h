// The event log: list box 1000, newest line on top. Every writer inserts at
// index 0; only device events delete, one line at index 1000 each.
// UI thread only.
#pragma once

#include "device/Latin1.h"
#include "device/logic/LogDelta.h"

#include <QAbstractListModel>

#include <deque>
#include <string_view>

class QListView;

namespace tvx {

class EventLog : public QAbstractListModel {
    Q_OBJECT
public:
    // The line at this index is deleted when a device event finds more lines than it.
    static constexpr int kTrimLimit = static_cast<int>(LogDelta::kTrimLimit);

    explicit EventLog(QObject *parent = nullptr);

    // Shows the log in view (the dialog's list box).
    void Attach(QListView *view);

    // Inserts one line of the tool's own at the top.
    void Insert(const QString &line);
    // An 8-bit line, as the library's texts and the tool's own are.
    void Insert(std::string_view line) { Insert(Latin1(line)); }
    void Insert(const char *line) { Insert(std::string_view(line)); }

    // Applies what a run of device events does: each event trims, then
    // inserts its heading (if any) and its line at the top.
    void ApplyDeviceEvents(const LogDelta &delta);

    int Count() const { return static_cast<int>(lines_.size()); }
    const QString &Line(int index) const { return lines_[static_cast<size_t>(index)]; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    void EraseAt(size_t index, bool notify);
    void InsertTop(QString line, bool notify);

    std::deque<QString> lines_;
};

}  // namespace tvx
