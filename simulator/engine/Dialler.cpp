#include "simulator/engine/Dialler.h"

#include <algorithm>

#include "simulator/engine/DtmfReceiver.h"
#include "simulator/logic/EventNames.h"

namespace tvxsim {
namespace {

constexpr int32_t kFirstPulseCode = 16;
constexpr int32_t kFlashCode = 26;
constexpr int32_t kPauseCode = 27;
constexpr int32_t kWaitDialToneCode = 28;
constexpr int32_t kWaitAnswerCode = 29;

}  // namespace

bool Dialler::Enqueue(int32_t code)
{
    if (code < 0 || code > kWaitAnswerCode || queue_.size() >= kMaxQueue)
        return false;
    queue_.push_back(code);
    return true;
}

void Dialler::Clear()
{
    queue_.clear();
    current_ = -1;
    phase_ = Phase::Idle;
    breaking_ = false;
    tone_.reset();
}

void Dialler::SetBreaking(bool on, SampleTime now, std::vector<LoopEdge> &edges)
{
    if (breaking_ == on)
        return;
    breaking_ = on;
    edges.push_back({!on, now});
}

void Dialler::Begin(SampleTime now, const DialTimings &t, const TonePlan &plan, std::vector<DialEvent> &events)
{
    events.push_back({kEvDialled, current_, now});
    const int32_t code = current_;
    if (code < kFirstPulseCode) {
        const char key = DtmfKeyChar(code);
        tone_ = std::make_unique<DtmfSource>(std::string_view(&key, 1),
                                             static_cast<int32_t>(SamplesToMs(t.dtmfOn)),
                                             static_cast<int32_t>(SamplesToMs(t.dtmfOn)));
        phase_ = Phase::Tone;
        phaseEnd_ = now + 2 * t.dtmfOn;
    } else if (code < kFlashCode) {
        const int32_t digit = code - kFirstPulseCode;
        pulsesLeft_ = digit == 0 ? 10 : digit;
        phase_ = Phase::PulseMake;  // the first advance opens the loop
        phaseEnd_ = now;
    } else if (code == kFlashCode) {
        phase_ = Phase::PreFlash;
        phaseEnd_ = now + t.preFlash;
    } else if (code == kPauseCode) {
        phase_ = Phase::Pause;
        phaseEnd_ = now + t.pause;
    } else {
        progress_.Start(plan);
        phase_ = code == kWaitDialToneCode ? Phase::WaitDialTone : Phase::WaitAnswer;
        phaseEnd_ = now + (code == kWaitDialToneCode ? t.waitDialTone : t.waitAnswer);
    }
}

bool Dialler::Advance(SampleTime now, const DialTimings &t, std::vector<LoopEdge> &edges,
                      std::vector<DialEvent> &events)
{
    switch (phase_) {
    case Phase::PulseMake:
        if (pulsesLeft_ > 0) {
            --pulsesLeft_;
            SetBreaking(true, now, edges);
            phase_ = Phase::PulseBreak;
            phaseEnd_ = now + t.pulseBreak;
            return true;
        }
        phase_ = Phase::Pause;
        phaseEnd_ = now + kPulseInterDigit - t.pulseMake;
        return true;
    case Phase::PulseBreak:
        SetBreaking(false, now, edges);
        phase_ = Phase::PulseMake;
        phaseEnd_ = now + t.pulseMake;
        return true;
    case Phase::PreFlash:
        SetBreaking(true, now, edges);
        phase_ = Phase::FlashBreak;
        phaseEnd_ = now + t.flashBreak;
        return true;
    case Phase::FlashBreak:
        SetBreaking(false, now, edges);
        phase_ = Phase::PostFlash;
        phaseEnd_ = now + t.postFlash;
        return true;
    case Phase::WaitDialTone:
        events.push_back({kEvNoDialTone, 0, now});
        return false;
    case Phase::WaitAnswer:
        events.push_back({kEvNoAnswer, 0, now});
        return false;
    case Phase::Idle:
    case Phase::Tone:
    case Phase::PostFlash:
    case Phase::Pause:
        return false;
    }
    return false;
}

void Dialler::Process(std::span<int16_t> lineTx, SampleTime start, SampleTime lineOffHookSince,
                      const DialTimings &timings, const TonePlan &plan, std::vector<LoopEdge> &edges,
                      std::vector<DialEvent> &events)
{
    const SampleTime end = start + static_cast<SampleTime>(lineTx.size());
    SampleTime pos = start;
    while (pos < end) {
        if (current_ < 0) {
            if (queue_.empty())
                return;
            const SampleTime ready = lineOffHookSince + kSeizeSettle;
            if (pos < ready) {
                pos = std::min(end, ready);
                continue;
            }
            current_ = queue_.front();
            queue_.pop_front();
            Begin(pos, timings, plan, events);
        }
        if (phase_ == Phase::WaitDialTone && progress_.DialTone()) {
            events.push_back({kEvDialToneDetected, 0, pos});
            phaseEnd_ = pos;
            phase_ = Phase::Idle;
        } else if (phase_ == Phase::WaitAnswer && progress_.Answer() != AnswerSignal::None) {
            events.push_back({progress_.Answer() == AnswerSignal::Busy ? kEvBusyDetected : kEvAnswerDetected, 0, pos});
            phaseEnd_ = pos;
            phase_ = Phase::Idle;
        }
        const SampleTime stop = std::min(end, std::max(pos, phaseEnd_));
        if (phase_ == Phase::Tone && tone_) {
            const auto offset = static_cast<size_t>(pos - start);
            tone_->MixInto(lineTx.subspan(offset, static_cast<size_t>(stop - pos)));
        }
        pos = stop;
        if (pos >= phaseEnd_ && !Advance(pos, timings, edges, events)) {
            current_ = -1;
            phase_ = Phase::Idle;
            tone_.reset();
        }
    }
}

void Dialler::Listen(std::span<const int16_t> lineRx, SampleTime start)
{
    if (Waiting())
        progress_.Process(lineRx, start);
}

}  // namespace tvxsim
