// A part of the bench window: a titled group that asks for requests and
// shows the adapter's state. UI thread only.
#pragma once

#include <QGroupBox>

class QComboBox;

#include "simulator/benchwindow/logic/BenchState.h"
#include "simulator/benchwindow/logic/Requests.h"

namespace tvxsim::bench {

class BenchPanel : public QGroupBox {
    Q_OBJECT

public:
    explicit BenchPanel(const QString &title, QWidget *parent = nullptr);

    // Shows what changed: item has a new value in state.
    virtual void Show(const BenchState &state, StateItem item) = 0;

signals:
    // A request line for the adapter.
    void requested(const QString &line);
    // Why what the person entered could not be sent.
    void refused(const QString &reason);

protected:
    // Asks for the request, or reports why it was refused.
    void Submit(const Request &request);
};

// A choice box as narrow as a short choice, so that the window fits a small
// screen; a wider window shows the long ones whole.
void NarrowChoices(QComboBox *box);

// The text of a std::string for a widget.
inline QString Qs(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace tvxsim::bench
