#include "panel/DialPanel.h"

#include "device/Adapter.h"
#include "panel/logic/DialString.h"
#include "res/DialogBuilder.h"
#include "res/MainDialogIds.h"

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

DialPanel::WaitFunction &CurrentWait()
{
    static DialPanel::WaitFunction wait = SleepFor;
    return wait;
}

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

DialPanel::DialPanel(DialogHost &host)
    : host_(host),
      dialString_(res::Control<QLineEdit>(host.Window(), kIdDialString)),
      dialButton_(res::Control<QPushButton>(host.Window(), kIdDialButton))
{
    host_.Messages().Bind(kIdDialButton, kClicked, [this] { OnDial(); });
}

void DialPanel::SetWaitFunction(WaitFunction wait) { CurrentWait() = wait ? std::move(wait) : WaitFunction(SleepFor); }

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
    const WaitFunction wait = CurrentWait();
    AdapterDialSink sink(wait);
    RunDialString(
        std::string_view(text.constData(), static_cast<std::size_t>(text.size())), host_.State().pulseDial != 0, sink);
    dialButton_->setEnabled(true);
}

}  // namespace tvx
