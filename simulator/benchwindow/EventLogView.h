// The adapter's events as the runner prints them, newest at the bottom,
// kept to the newest 2000 lines. A flood costs a few repaints a second: lines
// are added in batches. UI thread only.
#pragma once

#include <QPlainTextEdit>
#include <QStringList>
#include <QTimer>

namespace tvxsim::bench {

class EventLogView : public QPlainTextEdit {
    Q_OBJECT

public:
    static constexpr int kMaxLines = 2000;

    explicit EventLogView(QWidget *parent = nullptr);

    // Adds a line at the next batch.
    void Add(const QString &line);
    // Adds what waits now (also done by the batch timer).
    void Flush();

private:
    QStringList pending_;  // lines not shown yet, at most kMaxLines
    QTimer batch_;         // shows the pending lines
};

}  // namespace tvxsim::bench
