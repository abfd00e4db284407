// The adapter's events as the runner prints them, newest at the bottom,
// kept to the newest 2000 lines. A flood costs a few repaints a second: lines
// are added in batches. The view follows the newest line unless the user has
// scrolled away from the bottom, whatever changes its height. UI thread only.
#pragma once

#include <QPlainTextEdit>
#include <QStringList>
#include <QTimer>

namespace tvxsim::bench {

class EventLogView : public QPlainTextEdit {
    Q_OBJECT

public:
    static constexpr int kMaxLines = 2000;
    static constexpr int kHintLines = 12;    // lines it asks for
    static constexpr int kMinimumLines = 4;  // lines it keeps on a small screen

    explicit EventLogView(QWidget *parent = nullptr);

    // Adds a line at the next batch.
    void Add(const QString &line);
    // Adds what waits now (also done by the batch timer).
    void Flush();

    // Room for a few lines; the window gives it what the parts above leave.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Whether new lines scroll into view (the view is at the bottom, or the
    // user has come back there).
    bool IsFollowing() const { return following_; }

private:
    int HeightFor(int lines) const;  // the height of this many lines, frame and scroll bar included
    void OnScrolled(int value);
    void OnRangeChanged();

    QStringList pending_;     // lines not shown yet, at most kMaxLines
    QTimer batch_;            // shows the pending lines
    bool following_ = true;   // new lines scroll into view
    bool scrolling_ = false;  // the view is moving to the bottom by itself
};

}  // namespace tvxsim::bench
