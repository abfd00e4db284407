#include "panel/DialPanel.h"

#include "device/Adapter.h"
#include "device/DeviceSession.h"
#include "res/MainDialogIds.h"
#include "ui/DiallingMethod.h"

#include <QByteArray>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <string_view>
#include <utility>

namespace tvx {

// One dial string on its way: its calls in order and how far it has got.
struct DialPanel::Run {
    std::vector<DialStep> steps;
    std::size_t next = 0;
    bool waiting = false;        // a pause has begun and not yet ended
    bool insidePause = false;    // the pause function is still running
    bool resumedInside = false;  // and it resumed already
};

DialPanel::DialPanel(DialogControls controls, const DiallingMethod &method, DeviceSession &session, PauseFunction pause)
    : method_(method),
      pause_(std::move(pause)),
      dialString_(controls.Control<QLineEdit>(kIdDialString)),
      dialButton_(controls.Control<QPushButton>(kIdDialButton))
{
    if (!pause_) {
        // Precise: a pause never ends early. The timer goes with the panel.
        pause_ = [this](int milliseconds, std::function<void()> resume) {
            QTimer::singleShot(milliseconds, Qt::PreciseTimer, this, std::move(resume));
        };
    }
    controls.Bind(kIdDialButton, kClicked, [this] { OnDial(); });
    // Commands of a string belong to the session it started in.
    connect(&session, &DeviceSession::Closed, this, &DialPanel::Stop);
    connect(&session, &DeviceSession::Opened, this, &DialPanel::Stop);
    if (auto *dialog = qobject_cast<QDialog *>(&controls.window))
        connect(dialog, &QDialog::finished, this, &DialPanel::Stop);
}

DialPanel::~DialPanel() = default;

void DialPanel::OnDial()
{
    if (!dialString_ || !dialButton_ || run_)
        return;
    // The tool's texts are 8-bit; a character beyond Latin-1 becomes one that
    // dials nothing.
    const QByteArray text = dialString_->text().toLatin1();
    if (text.isEmpty())
        return;
    dialButton_->setEnabled(false);
    const auto run = std::make_shared<Run>();
    run->steps = InterpretDialString(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                                     method_.PulseDial());
    run_ = run;
    Continue(run);
}

void DialPanel::Stop()
{
    if (!run_)
        return;
    run_.reset();
    if (dialButton_)
        dialButton_->setEnabled(true);
}

void DialPanel::Continue(const std::shared_ptr<Run> &run)
{
    while (run_ == run && run->next < run->steps.size()) {
        const DialStep step = run->steps[run->next++];
        if (step.kind == DialStep::Kind::Send) {
            adapter::DoCommand(kDialCommandCode, step.value, step.arg4);
            continue;
        }
        run->waiting = true;
        run->insidePause = true;
        run->resumedInside = false;
        pause_(step.value, [this, weak = std::weak_ptr<Run>(run)] {
            // A run outlives neither its panel nor its end.
            if (const std::shared_ptr<Run> alive = weak.lock())
                Resume(alive);
        });
        run->insidePause = false;
        if (!run->resumedInside)
            return;  // Resume goes on once the pause is over
    }
    if (run_ == run)
        Stop();
}

void DialPanel::Resume(const std::shared_ptr<Run> &run)
{
    if (run_ != run || !run->waiting)
        return;
    run->waiting = false;
    if (run->insidePause)
        run->resumedInside = true;  // Continue, below on the stack, goes on
    else
        Continue(run);
}

}  // namespace tvx
