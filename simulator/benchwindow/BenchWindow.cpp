#include "simulator/benchwindow/BenchWindow.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "res/ControlAccessibility.h"
#include "simulator/benchwindow/AdapterPanel.h"
#include "simulator/benchwindow/AudioRow.h"
#include "simulator/benchwindow/BenchClient.h"
#include "simulator/benchwindow/CallPanel.h"
#include "simulator/benchwindow/EventLogView.h"
#include "simulator/benchwindow/FarPartyPanel.h"
#include "simulator/benchwindow/HandsetPanel.h"
#include "simulator/benchwindow/RoutesPanel.h"

namespace tvxsim::bench {

BenchWindow::BenchWindow(const QString &socketPath, int retryMs, QWidget *parent)
    : QMainWindow(parent),
      client_(new BenchClient(socketPath, retryMs, this)),
      handset_(new HandsetPanel),
      adapter_(new AdapterPanel),
      call_(new CallPanel),
      routes_(new RoutesPanel),
      farParty_(new FarPartyPanel),
      audio_(new AudioRow),
      log_(new EventLogView),
      bench_(new QWidget),
      callState_(new QLabel),
      time_(new QLabel),
      status_(new QLabel)
{
    // Qt adds the application's display name: "Simulated adapter — Parlino bench".
    setWindowTitle(tr("Simulated adapter"));

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    auto *benchLayout = new QVBoxLayout(bench_);
    benchLayout->setContentsMargins(0, 0, 0, 0);

    auto *top = new QHBoxLayout;
    top->addWidget(callState_, 1);
    top->addWidget(time_);
    benchLayout->addLayout(top);

    auto *desk = new QHBoxLayout;
    desk->addWidget(handset_, 2);
    desk->addWidget(adapter_, 3);
    auto *farEnd = new QTabWidget;
    farEnd->setAccessibleName(tr("Far end"));
    // In a tab, a panel's name is its tab's.
    for (BenchPanel *panel :
         {static_cast<BenchPanel *>(call_), static_cast<BenchPanel *>(routes_), static_cast<BenchPanel *>(farParty_)}) {
        panel->setAccessibleName(panel->title());
        farEnd->addTab(panel, panel->title());
        panel->setTitle(QString());
        panel->setFlat(true);
    }
    desk->addWidget(farEnd, 3);
    benchLayout->addLayout(desk, 3);
    benchLayout->addWidget(audio_);

    auto *logCaption = new QLabel(tr("Adapter &events:"));
    logCaption->setBuddy(log_);
    benchLayout->addWidget(logCaption);
    benchLayout->addWidget(log_, 2);
    layout->addWidget(bench_, 1);
    setCentralWidget(central);

    status_->setWordWrap(true);
    status_->setAccessibleDescription(tr("Status"));
    statusBar()->addWidget(status_, 1);

    for (BenchPanel *panel : {static_cast<BenchPanel *>(handset_),
                              static_cast<BenchPanel *>(adapter_),
                              static_cast<BenchPanel *>(call_),
                              static_cast<BenchPanel *>(routes_),
                              static_cast<BenchPanel *>(farParty_),
                              static_cast<BenchPanel *>(audio_)})
        AddPanel(panel);
    for (QAbstractButton *button : bench_->findChildren<QAbstractButton *>())
        button->installEventFilter(this);

    connect(client_, &BenchClient::connectedChanged, this, &BenchWindow::OnConnected);
    connect(client_, &BenchClient::stateReceived, this, &BenchWindow::OnState);
    connect(client_, &BenchClient::eventReceived, log_, &EventLogView::Add);
    connect(client_, &BenchClient::linesDropped, this, [this](quint64 count) {
        log_->Add(tr("(%1 lines dropped: this window read too slowly)").arg(count));
    });
    connect(client_, &BenchClient::replied, this, &BenchWindow::OnReply);

    ShowAll();
    OnConnected(client_->IsConnected());
    resize(1180, 820);
}

void BenchWindow::AddPanel(BenchPanel *panel)
{
    panels_.append(panel);
    connect(panel, &BenchPanel::requested, this, &BenchWindow::Request);
    connect(panel, &BenchPanel::refused, this, [this](const QString &reason) {
        SetStatus(tr("Not sent: %1").arg(reason));
    });
}

QString BenchWindow::StatusText() const { return status_->text(); }

void BenchWindow::SetStatus(const QString &text) { tvx::res::SetValueText(status_, text); }

void BenchWindow::Request(const QString &line)
{
    if (!client_->Send(line))
        SetStatus(tr("Not sent: no simulated adapter is running."));
}

void BenchWindow::OnConnected(bool connected)
{
    bench_->setEnabled(connected);
    if (!connected) {
        state_.Clear();
        ShowAll();
        SetStatus(tr("No simulated adapter is running. Start the tool on the simulator (scripts/run.sh); "
                     "this window connects by itself (%1).")
                      .arg(client_->Path()));
        return;
    }
    SetStatus(tr("Connected to the simulated adapter."));
    routes_->Resend();
}

void BenchWindow::OnState(const QString &name, const QString &value)
{
    const std::optional<StateItem> item = state_.Apply(name.toStdString(), value.toStdString());
    if (!item)
        return;
    ShowCallAndTime(*item);
    for (BenchPanel *panel : panels_)
        panel->Show(state_, *item);
}

void BenchWindow::OnReply(const QString &request, bool ok, const QString &reason)
{
    if (ok) {
        SetStatus(tr("Done: %1").arg(request));
        return;
    }
    SetStatus(request.isEmpty() ? tr("The adapter says: %1").arg(reason)
                                : tr("The adapter refused \"%1\": %2").arg(request, reason));
    // A switch the adapter refused shows its state as it is again.
    for (StateItem item : {StateItem::Listen, StateItem::Talk, StateItem::BeFar})
        audio_->Show(state_, item);
}

void BenchWindow::ShowAll()
{
    for (const StateLineRow &row : kStateLineRows) {
        ShowCallAndTime(row.item);
        for (BenchPanel *panel : panels_)
            panel->Show(state_, row.item);
    }
}

void BenchWindow::ShowCallAndTime(StateItem item)
{
    if (item == StateItem::Call) {
        const QString text = Qs(WordText(StateItem::Call, state_.Raw(StateItem::Call)));
        tvx::res::SetValueText(callState_, text.isEmpty() ? tr("Call: unknown") : tr("Call: %1").arg(text));
    } else if (item == StateItem::Time) {
        const auto ms = state_.Number(StateItem::Time);
        tvx::res::SetValueText(time_,
                               ms ? tr("Model time %1").arg(Qs(FormatModelTime(*ms))) : tr("Model time: unknown"));
    }
}

// Enter or Return on a focused button clicks it, as the space bar does.
bool BenchWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        auto *button = qobject_cast<QAbstractButton *>(watched);
        if (button && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers() == Qt::NoModifier) {
            button->click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace tvxsim::bench
