#include "simulator/sip/SipLine.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "simulator/sip/ReText.h"
#include "simulator/sip/SipAgent.h"

namespace tvxsim::sip {

namespace {

constexpr int64_t kBlockUs = 20000;
constexpr int64_t kClockSlipUs = 60000;  // the block clock is set again when it is this far off

}  // namespace

SipLine::SipLine(const LineConfig &config, std::string passwordPath, LineTimings timings) : config_(config)
{
    plan_.localNumbers = config.localNumbers;
    plan_.relayFlash = config.flash == FlashMethod::Info;
    bridge_.status.farEnd = config.account.Uri();  // known at once, before the line's thread has begun
    agent_ = std::make_unique<SipAgent>(config, std::move(passwordPath), bridge_, timings);
    bridge_.wake = [agent = agent_.get()] { agent->Wake(); };
    agent_->Start();
}

SipLine::~SipLine()
{
    agent_->Stop();
    bridge_.wake = nullptr;
}

LineStatus SipLine::Status() const
{
    std::lock_guard<std::mutex> lock(const_cast<std::mutex &>(bridge_.statusLock));
    return bridge_.status;
}

bool SipLine::Next(FarLineEvent &event) { return bridge_.events.Pop(event); }

void SipLine::Command(CommandKind kind, FarCallId call, bool held)
{
    LineCommand c;
    c.kind = kind;
    c.call = call;
    c.held = held;
    if (!bridge_.commands.Push(c))
        bridge_.droppedCommands.fetch_add(1, std::memory_order_relaxed);
    bridge_.Wake();
}

FarCallId SipLine::Dial(std::string_view number)
{
    if (!bridge_.up.load() || !DialUri(number, config_.account))
        return 0;
    LineCommand c;
    c.kind = CommandKind::Dial;
    c.call = nextDial_;
    number.copy(c.number.data(), std::min(number.size(), c.number.size() - 1));
    if (!bridge_.commands.Push(c)) {
        bridge_.droppedCommands.fetch_add(1, std::memory_order_relaxed);
        return 0;
    }
    const FarCallId id = nextDial_;
    nextDial_ += 2;  // odd ids wrap from the largest to 1 by themselves, never 0
    bridge_.Wake();
    return id;
}

void SipLine::Alert(FarCallId call) { Command(CommandKind::Alert, call); }
void SipLine::Answer(FarCallId call) { Command(CommandKind::Answer, call); }
void SipLine::Refuse(FarCallId call) { Command(CommandKind::Refuse, call); }
void SipLine::HangUp(FarCallId call) { Command(CommandKind::HangUp, call); }
void SipLine::Hold(FarCallId call, bool held) { Command(CommandKind::Hold, call, held); }

void SipLine::Flash(FarCallId call)
{
    if (plan_.relayFlash)
        Command(CommandKind::Flash, call);
}

int SipLine::SlotOf(FarCallId call)
{
    if (call == 0)
        return -1;
    for (size_t i = 0; i < bridge_.slots.size(); ++i) {
        if (bridge_.slots[i].call.load(std::memory_order_acquire) != call)
            continue;
        Player &p = players_[i];
        const bool alaw = bridge_.slots[i].alaw.load();
        if (p.call != call) {
            p.call = call;
            p.alaw = alaw;
            p.playout.Reset(alaw ? G711Law::A : G711Law::Mu);
            p.gateOn = config_.dtmf != DtmfMethod::Inband && bridge_.slots[i].outOfBand.load();
            p.gate.Reset(p.gateOn);
            p.blocks = 0;
            p.anchorUs = NowUs();
        }
        if (alaw != p.alaw) {
            p.alaw = alaw;
            p.playout.SetLaw(alaw ? G711Law::A : G711Law::Mu);
        }
        return static_cast<int>(i);
    }
    return -1;
}

void SipLine::DigitStart(FarCallId call, char digit)
{
    const int slot = SlotOf(call);
    if (slot >= 0)
        players_[static_cast<size_t>(slot)].gate.DigitStart(digit);
}

void SipLine::DigitEnd(FarCallId call)
{
    const int slot = SlotOf(call);
    if (slot >= 0)
        players_[static_cast<size_t>(slot)].gate.DigitEnd();
}

void SipLine::Hear(FarCallId call, std::span<int16_t> out)
{
    std::fill(out.begin(), out.end(), int16_t{0});
    const int slot = SlotOf(call);
    if (slot < 0)
        return;
    Player &p = players_[static_cast<size_t>(slot)];
    CallSlot &shared = bridge_.slots[static_cast<size_t>(slot)];
    RxPacket packet;
    while (shared.rx.Pop(packet)) {
        if (packet.call == call)
            p.playout.Push(packet.packet);
    }
    // The block clock: the engine's pace, kept within reach of the steady clock.
    const int64_t steady = NowUs();
    int64_t now = p.anchorUs + p.blocks * kBlockUs;
    if (std::llabs(steady - now) > kClockSlipUs) {
        p.anchorUs = steady;
        p.blocks = 0;
        now = steady;
    }
    ++p.blocks;
    std::array<int16_t, kFrameSamples> frame{};
    p.playout.Pop(now, frame);
    std::copy_n(frame.begin(), std::min(out.size(), frame.size()), out.begin());

    // The statistics of the call the status is about; never waits for the lock.
    std::unique_lock<std::mutex> lock(bridge_.statusLock, std::try_to_lock);
    if (lock.owns_lock() && bridge_.currentCall == call) {
        const JitterStats &s = p.playout.Stats();
        bridge_.status.packetsLost = s.lost;
        bridge_.status.jitterMs = s.jitterMs;
        bridge_.status.playoutDelayMs = s.targetMs;
        bridge_.status.playoutP95Ms = s.DelayPercentileMs(0.95);
        bridge_.status.playedFrames = s.played;
        bridge_.status.concealedFrames = s.concealed;
        bridge_.status.lateFrames = s.late;
    }
}

void SipLine::Speak(FarCallId call, std::span<const int16_t> lineTx)
{
    const int slot = SlotOf(call);
    if (slot < 0)
        return;
    Player &p = players_[static_cast<size_t>(slot)];
    CallSlot &shared = bridge_.slots[static_cast<size_t>(slot)];
    const bool gateOn = config_.dtmf != DtmfMethod::Inband && shared.outOfBand.load();
    if (gateOn != p.gateOn) {
        p.gateOn = gateOn;
        p.gate.Enable(gateOn);
    }
    std::array<int16_t, kFrameSamples> frame{};
    std::copy_n(lineTx.begin(), std::min(lineTx.size(), frame.size()), frame.begin());
    std::array<GatedFrame, kMaxHeldFrames + 1> gated{};
    const size_t n = p.gate.Frame(frame, gated);
    for (size_t i = 0; i < n; ++i) {
        if (!shared.tx.Push(TxFrame{call, gated[i]}))
            bridge_.droppedFrames.fetch_add(1, std::memory_order_relaxed);
    }
    if (n > 0)
        bridge_.Wake();
}

}  // namespace tvxsim::sip
