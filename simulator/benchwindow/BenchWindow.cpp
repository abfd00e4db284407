#include "simulator/benchwindow/BenchWindow.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QTime>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <utility>

#include "res/ControlAccessibility.h"
#include "simulator/benchwindow/AdapterPanel.h"
#include "simulator/benchwindow/AudioRow.h"
#include "simulator/benchwindow/BenchClient.h"
#include "simulator/benchwindow/CallPanel.h"
#include "simulator/benchwindow/EventLogView.h"
#include "simulator/benchwindow/FarPartyPanel.h"
#include "simulator/benchwindow/HandsetPanel.h"
#include "simulator/benchwindow/LinePanel.h"
#include "simulator/benchwindow/RoutesPanel.h"
#include "simulator/benchwindow/StatusLine.h"

namespace tvxsim::bench {
namespace {

// What a window manager's frame and a desktop's panels may take beside the
// screen's available area, which is all that is known before the window shows.
const QSize kFrameAllowance(16, 48);

const QColor kWarningColour(0xb0, 0x10, 0x10);

// Periodic state lines shown as text.
constexpr std::array<StateItem, 3> kThrottledItems = {StateItem::Time, StateItem::PacketsLost, StateItem::Jitter};

// The parts in a scroll area that asks for all of their size, and scrolls
// them when the window has less room than that.
class DeskArea : public QScrollArea {
public:
    DeskArea()
    {
        setWidgetResizable(true);
        setFrameShape(QFrame::NoFrame);
    }

    QSize sizeHint() const override
    {
        const int frame = 2 * frameWidth();
        return (widget() ? widget()->sizeHint() : QSize()) + QSize(frame, frame);
    }
};

}  // namespace

BenchWindow::BenchWindow(const QString &socketPath, int retryMs, QWidget *parent)
    : QMainWindow(parent),
      client_(new BenchClient(socketPath, retryMs, this)),
      handset_(new HandsetPanel),
      adapter_(new AdapterPanel),
      call_(new CallPanel),
      routes_(new RoutesPanel),
      farParty_(new FarPartyPanel),
      line_(new LinePanel),
      audio_(new AudioRow),
      log_(new EventLogView),
      bench_(new QWidget),
      callState_(new QLabel),
      scenario_(new QLabel),
      time_(new QLabel),
      status_(new StatusLine)
{
    // Qt adds the application's display name: "Simulated adapter — Parlino bench".
    setWindowTitle(tr("Simulated adapter"));

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    auto *benchLayout = new QVBoxLayout(bench_);
    benchLayout->setContentsMargins(0, 0, 0, 0);

    auto *top = new QHBoxLayout;
    top->addWidget(callState_);
    top->addWidget(scenario_, 1);
    top->addWidget(time_);
    benchLayout->addLayout(top);
    scenario_->setWordWrap(true);
    scenario_->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    // A long file name is one word: it may not widen the window beyond the
    // screen. What the label cannot show, its tooltip and a screen reader do.
    scenario_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    // The time changes ten times a second: a label of a fixed size is
    // repainted alone, without laying out the window again each time, and
    // a screen reader hears of it no more often than it is shown.
    const QFontMetrics metrics = time_->fontMetrics();
    const int timeWidth = std::max(metrics.horizontalAdvance(tr("Model time %1").arg(QStringLiteral("00000:00.0"))),
                                   metrics.horizontalAdvance(tr("Model time: unknown")));
    time_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    time_->setFixedSize(timeWidth + metrics.averageCharWidth(), metrics.height());
    timeRefresh_.setSingleShot(true);
    timeRefresh_.setInterval(kTimeRefreshMs);
    connect(&timeRefresh_, &QTimer::timeout, this, [this] {
        if (pending_.empty())
            return;
        const std::vector<StateItem> items = std::exchange(pending_, {});
        for (StateItem item : items)
            Show(item);
        timeRefresh_.start();
    });

    // The handset with the sound over it, the adapter, the far end.
    auto *desk = new QWidget;
    auto *parts = new QHBoxLayout(desk);
    parts->setContentsMargins(0, 0, 0, 0);
    auto *phoneSide = new QVBoxLayout;
    phoneSide->addWidget(handset_, 1);
    phoneSide->addWidget(audio_);
    parts->addLayout(phoneSide, 2);
    parts->addWidget(adapter_, 3);
    auto *farEnd = new QTabWidget;
    farEnd->setAccessibleName(tr("Far end"));
    // In a tab, a panel's name is its tab's.
    for (BenchPanel *panel : {static_cast<BenchPanel *>(call_),
                              static_cast<BenchPanel *>(routes_),
                              static_cast<BenchPanel *>(farParty_),
                              static_cast<BenchPanel *>(line_)}) {
        panel->setAccessibleName(panel->title());
        farEnd->addTab(panel, panel->title());
        panel->setTitle(QString());
        panel->setFlat(true);
    }
    parts->addWidget(farEnd, 3);
    auto *deskArea = new DeskArea;
    deskArea->setWidget(desk);
    // A Tab stop of its own (the arrow keys scroll it): named for a screen reader.
    deskArea->setAccessibleName(tr("Bench parts"));
    benchLayout->addWidget(deskArea);
    // A control that takes the focus comes into view, by Tab as by its
    // mnemonic or a screen reader.
    connect(qApp, &QApplication::focusChanged, deskArea, [deskArea](QWidget *, QWidget *now) {
        if (now && deskArea->widget()->isAncestorOf(now))
            deskArea->ensureWidgetVisible(now);
    });

    auto *logCaption = new QLabel(tr("Adapter &events:"));
    logCaption->setBuddy(log_);
    benchLayout->addWidget(logCaption);
    benchLayout->addWidget(log_, 1);
    layout->addWidget(bench_, 1);
    setCentralWidget(central);

    statusBar()->addWidget(status_, 1);

    for (BenchPanel *panel : {static_cast<BenchPanel *>(handset_),
                              static_cast<BenchPanel *>(adapter_),
                              static_cast<BenchPanel *>(call_),
                              static_cast<BenchPanel *>(routes_),
                              static_cast<BenchPanel *>(farParty_),
                              static_cast<BenchPanel *>(line_),
                              static_cast<BenchPanel *>(audio_)})
        AddPanel(panel);
    for (QAbstractButton *button : bench_->findChildren<QAbstractButton *>())
        button->installEventFilter(this);

    connect(client_, &BenchClient::connectedChanged, this, &BenchWindow::OnConnected);
    connect(client_, &BenchClient::watchStarted, this, [this] { MarkSession(true); });
    connect(client_, &BenchClient::stateReceived, this, &BenchWindow::OnState);
    connect(client_, &BenchClient::eventReceived, log_, &EventLogView::Add);
    connect(client_, &BenchClient::linesDropped, this, [this](quint64 count) {
        log_->Add(tr("(%1 lines dropped: this window read too slowly)").arg(count));
    });
    connect(client_, &BenchClient::replied, this, &BenchWindow::OnReply);

    ShowAll();
    OnConnected(client_->IsConnected());
    FitToScreen();
}

void BenchWindow::AddPanel(BenchPanel *panel)
{
    panels_.append(panel);
    connect(panel, &BenchPanel::requested, this, &BenchWindow::Request);
    connect(panel, &BenchPanel::refused, this, [this](const QString &reason) {
        SetStatus(tr("Not sent: %1").arg(reason));
    });
}

QString BenchWindow::StatusText() const { return status_->Message(); }

void BenchWindow::SetStatus(const QString &text) { status_->SetMessage(text); }

// Its size hint, no larger than the room the screen leaves for it.
void BenchWindow::FitToScreen()
{
    QSize size = sizeHint();
    if (const QScreen *screen = this->screen()) {
        const QSize room = screen->availableGeometry().size() - kFrameAllowance;
        size = size.boundedTo(room);
    }
    resize(size);
}

// A line in the log where a device's events begin and end, with the clock's
// time: the model times of two sessions both count from their own open.
void BenchWindow::MarkSession(bool started)
{
    const QString clock = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    if (started) {
        log_->Add(tr("---- %1 connected to the simulated adapter: the model times below count from its open ----")
                      .arg(clock));
    } else if (inSession_) {
        log_->Add(tr("---- %1 the simulated adapter closed ----").arg(clock));
    }
    inSession_ = started;
}

void BenchWindow::Request(const QString &line)
{
    if (!client_->Send(line))
        SetStatus(tr("Not sent: no simulated adapter is running."));
}

void BenchWindow::OnConnected(bool connected)
{
    bench_->setEnabled(connected);
    if (!connected) {
        MarkSession(false);
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
    // The time and the SIP call's figures come ten times a second; each is
    // shown (and told to a screen reader) at most every kTimeRefreshMs, the
    // newest value at the end of each such wait. The meters draw their own.
    if (std::find(kThrottledItems.begin(), kThrottledItems.end(), *item) != kThrottledItems.end()) {
        if (timeRefresh_.isActive()) {
            if (std::find(pending_.begin(), pending_.end(), *item) == pending_.end())
                pending_.push_back(*item);
            return;
        }
        timeRefresh_.start();
    }
    Show(*item);
}

void BenchWindow::Show(StateItem item)
{
    ShowTopLine(item);
    for (BenchPanel *panel : panels_)
        panel->Show(state_, item);
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
        ShowTopLine(row.item);
        for (BenchPanel *panel : panels_)
            panel->Show(state_, row.item);
    }
}

void BenchWindow::ShowTopLine(StateItem item)
{
    if (item == StateItem::Scenario) {
        const ScenarioText scenario = ScenarioTextOf(state_.Raw(StateItem::Scenario));  // "" when unknown
        // A scenario that went wrong stands out, in bold and the warning colour.
        QFont font = scenario_->font();
        font.setBold(scenario.wrong);
        scenario_->setFont(font);
        QPalette colours = scenario_->palette();
        colours.setColor(QPalette::WindowText, scenario.wrong ? kWarningColour : palette().color(QPalette::WindowText));
        scenario_->setPalette(colours);
        scenario_->setAccessibleDescription(scenario.wrong ? tr("Warning: the scenario went wrong") : QString());
        scenario_->setToolTip(Qs(scenario.text));
        tvx::res::SetValueText(scenario_, Qs(scenario.text));
    } else if (item == StateItem::Call) {
        const QString text = Qs(WordText(StateItem::Call, state_.Raw(StateItem::Call)));
        tvx::res::SetValueText(callState_, text.isEmpty() ? tr("Call: unknown") : tr("Call: %1").arg(text));
    } else if (item == StateItem::Time) {
        ShowTime();
    }
}

void BenchWindow::ShowTime()
{
    const auto ms = state_.Number(StateItem::Time);
    tvx::res::SetValueText(time_, ms ? tr("Model time %1").arg(Qs(FormatModelTime(*ms))) : tr("Model time: unknown"));
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
