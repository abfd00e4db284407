#include "panel/DialPanel.h"

#include "device/Adapter.h"
#include "panel/logic/DialString.h"
#include "res/MainDialogIds.h"
#include "ui/DiallingMethod.h"

#include <QByteArray>
#include <QLineEdit>
#include <QPushButton>

#include <chrono>
#include <string_view>
#include <thread>
#include <utility>

namespace tvx {

namespace {

void SleepFor(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

// Dial commands go to the library; pauses wait on the calling thread.
class AdapterDialSink final : public DialSink {
public:
    explicit AdapterDialSink(const DialPanel::WaitFunction &wait) : wait_(wait) {}
    void Send(int32_t dialCode, int32_t arg4) override { adapter::DoCommand(kDialCommandCode, dialCode, arg4); }
    void Wait(int milliseconds) override { wait_(milliseconds); }

private:
    const DialPanel::WaitFunction &wait_;
};

}  // namespace

DialPanel::DialPanel(DialogControls controls, const DiallingMethod &method, WaitFunction wait)
    : method_(method),
      wait_(wait ? std::move(wait) : WaitFunction(SleepFor)),
      dialString_(controls.Control<QLineEdit>(kIdDialString)),
      dialButton_(controls.Control<QPushButton>(kIdDialButton))
{
    controls.Bind(kIdDialButton, kClicked, [this] { OnDial(); });
}

void DialPanel::OnDial()
{
    if (!dialString_ || !dialButton_)
        return;
    // The tool's texts are 8-bit; a character beyond Latin-1 becomes one that
    // dials nothing.
    const QByteArray text = dialString_->text().toLatin1();
    if (text.isEmpty())
        return;
    dialButton_->setEnabled(false);
    AdapterDialSink sink(wait_);
    RunDialString(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), method_.PulseDial(), sink);
    dialButton_->setEnabled(true);
}

}  // namespace tvx
