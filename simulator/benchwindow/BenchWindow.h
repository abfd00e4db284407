// The bench window: the handset, the adapter and the far end side by side,
// the sound row, the call state, what became of the scenario and the model
// time, the event log, and a status line that says whether an adapter is
// there and what it answered. It opens no larger than the screen; the parts
// scroll when the window is too small for them. UI thread only.
#pragma once

#include <vector>

#include <QMainWindow>
#include <QTimer>

#include "simulator/benchwindow/logic/BenchState.h"

class QLabel;

namespace tvxsim::bench {

class AdapterPanel;
class AudioRow;
class BenchPanel;
class CallPanel;
class BenchClient;
class EventLogView;
class FarPartyPanel;
class HandsetPanel;
class LinePanel;
class RoutesPanel;
class StatusLine;

class BenchWindow : public QMainWindow {
    Q_OBJECT

public:
    // The model time is shown at most this often (its lines come every 100 ms).
    static constexpr int kTimeRefreshMs = 200;  // the periodic figures shown as text, at most this often

    // Connects to the control socket at socketPath (retrying every retryMs).
    explicit BenchWindow(const QString &socketPath, int retryMs = 500, QWidget *parent = nullptr);

    // What the status line says now (the whole message).
    QString StatusText() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void AddPanel(BenchPanel *panel);
    void OnConnected(bool connected);
    void OnState(const QString &name, const QString &value);
    void OnReply(const QString &request, bool ok, const QString &reason);
    void Request(const QString &line);
    void SetStatus(const QString &text);
    void ShowAll();
    void Show(StateItem item);  // in the top line and every panel
    void ShowTopLine(StateItem item);
    void ShowTime();
    void MarkSession(bool started);
    void FitToScreen();

    BenchClient *client_;         // the connection to the adapter
    BenchState state_;            // what the adapter last said
    QList<BenchPanel *> panels_;  // every part that shows state
    HandsetPanel *handset_;
    AdapterPanel *adapter_;
    CallPanel *call_;
    RoutesPanel *routes_;
    FarPartyPanel *farParty_;
    LinePanel *line_;
    AudioRow *audio_;
    EventLogView *log_;
    QWidget *bench_;                  // everything that needs an adapter
    QLabel *callState_;               // the line's call state
    QLabel *scenario_;                // what became of the scenario file
    QLabel *time_;                    // the model's time, of a fixed size
    StatusLine *status_;              // connection, replies and refusals
    bool inSession_ = false;          // the log shows a session's start, not yet its end
    QTimer timeRefresh_;              // running: a periodic figure was shown less than kTimeRefreshMs ago
    std::vector<StateItem> pending_;  // periodic figures that changed meanwhile
};

}  // namespace tvxsim::bench
