#include "simulator/engine/Exchange.h"

#include <algorithm>
#include <array>

#include "simulator/engine/AlertDetector.h"

namespace tvxsim {
namespace {

struct StateRow {
    CallState state;
    const char *name;  // in messages and test output
    LineCall shown;    // on the state lines
};
constexpr std::array<StateRow, 10> kStates = {{
    {CallState::Idle, "idle", LineCall::Idle},
    {CallState::Ringing, "ringing", LineCall::Ringing},
    {CallState::DialTone, "dial tone", LineCall::DialTone},
    {CallState::Collecting, "collecting", LineCall::Dialling},
    {CallState::RingBack, "ring-back", LineCall::Ringback},
    {CallState::Busy, "busy", LineCall::Busy},
    {CallState::Connected, "connected", LineCall::Connected},
    {CallState::Cleared, "cleared", LineCall::Busy},  // the far party hung up: busy tone
    {CallState::Reorder, "reorder", LineCall::Reorder},
    {CallState::Calling, "calling", LineCall::Calling},
}};

const StateRow &RowOf(CallState state)
{
    for (const StateRow &row : kStates)
        if (row.state == state)
            return row;
    return kStates.front();
}

}  // namespace

const char *CallStateName(CallState state) { return RowOf(state).name; }

LineCall LineCallOf(CallState state) { return RowOf(state).shown; }

Exchange::Exchange() : plan_(&TonePlanFor(0)) {}

void Exchange::StartTone(std::optional<ProgressTone> tone)
{
    tone_.reset();
    if (tone)
        tone_ = std::make_unique<CadencedTone>(plan_->Tone(*tone));
}

void Exchange::Enter(CallState state, SampleTime now)
{
    state_ = state;
    stateSince_ = now;
    switch (state) {
    case CallState::DialTone:
        StartTone(ProgressTone::Dial);
        break;
    case CallState::RingBack:
        StartTone(ProgressTone::RingBack);
        break;
    case CallState::Busy:
    case CallState::Cleared:
        StartTone(ProgressTone::Busy);
        break;
    case CallState::Reorder:
        StartTone(ProgressTone::Reorder);
        break;
    case CallState::Idle:
    case CallState::Ringing:
    case CallState::Collecting:
    case CallState::Connected:
    case CallState::Calling:
        StartTone(std::nullopt);
        break;
    }
}

void Exchange::PlayCid(std::unique_ptr<Source> source, SampleTime delay)
{
    cidSignals_.Add(std::make_unique<DelayedSource>(std::move(source), delay));
}

void Exchange::CancelCallerId()
{
    cidPhase_ = CidPhase::None;
    cidSignals_.Clear();
}

void Exchange::StartRinging(int32_t count) { ringer_.Start(plan_->ringHz, plan_->ringCadenceMs, count); }

std::string Exchange::Call(const CidCall &call, SampleTime now)
{
    if (state_ != CallState::Idle || closed_) {
        // Between the hook going down and the end of the call, the break may still be a flash.
        const bool clearing = !closed_ && state_ != CallState::Ringing;
        return std::string("far call rings an idle line on hook, and the call is ") + LineCallName(LineCallOf(state_)) +
               (clearing ? " (cleared 1.5 s after the hook goes down)" : "");
    }
    cid_ = call;
    Enter(CallState::Ringing, now);
    if (call.etsi) {
        reversed_ = true;
        cidPhase_ = CidPhase::Alert;
        cidNext_ = now + kReversalToAlert;
        return {};
    }
    // The first ring is the cycle up to its last silence.
    const std::array<int32_t, 4> &cadence = plan_->ringCadenceMs;
    SampleTime cycle = 0;
    SampleTime lastGap = 0;
    for (size_t i = 0; i < cadence.size() && cadence[i] > 0; ++i) {
        cycle += MsToSamples(cadence[i]);
        lastGap = i % 2 == 1 ? MsToSamples(cadence[i]) : 0;
    }
    const SampleTime firstRing = cycle - lastGap;
    const SampleTime dataEnd = firstRing + kFirstRingToData +
                               FskSource::LengthOf(FskSource::BitsOf(kOnHookFraming, call.message.size())) +
                               kDataToRing;
    StartRinging(-1);
    if (dataEnd > cycle)
        ringer_.ExtendGap(dataEnd - cycle);
    cidPhase_ = CidPhase::Data;
    cidNext_ = now + firstRing + kFirstRingToData;
    return {};
}

std::string Exchange::CallWaiting(const CidCall &call, SampleTime now)
{
    if (state_ != CallState::Connected || !closed_)
        return std::string("far call-waiting comes during a connected call, and the call is ") +
               LineCallName(LineCallOf(state_));
    if (SendingCallerId())
        return "far call-waiting: a caller ID is being sent already";
    cid_ = call;
    PlayCid(std::make_unique<ToneSource>(ToneSpec{kSasHz, 0, kSasDbm0, kSasDbm0, {10000, 0, 0, 0}}, kSasLength), 0);
    cidPhase_ = CidPhase::Cas;
    cidNext_ = now + kSasLength + kSasToCas;
    return {};
}

// Steps fall due inside the stretch [start, end): each sound starts on its
// due sample, and the next step counts from there.
void Exchange::CidTimers(SampleTime start, SampleTime end)
{
    while (cidPhase_ != CidPhase::None && cidNext_ < end) {
        const SampleTime due = std::max(cidNext_, start);
        const SampleTime delay = due - start;
        const ToneSpec alert{kAlertLowHz, kAlertHighHz, kAlertDbm0, kAlertDbm0, {10000, 0, 0, 0}};
        switch (cidPhase_) {
        case CidPhase::Alert:
            PlayCid(std::make_unique<ToneSource>(alert, kAlertLength), delay);
            cidPhase_ = CidPhase::Data;
            cidNext_ = due + kAlertLength + kAlertToData;
            break;
        case CidPhase::Data: {
            auto fsk = std::make_unique<FskSource>(cid_.modem, kOnHookFraming, cid_.message, cid_.dbm0);
            cidNext_ = due + fsk->Length() + kDataToRing;
            PlayCid(std::move(fsk), delay);
            cidPhase_ = cid_.etsi ? CidPhase::Ring : CidPhase::None;
            break;
        }
        case CidPhase::Ring:
            StartRinging(-1);  // from the next stretch
            cidPhase_ = CidPhase::None;
            break;
        case CidPhase::Cas:
            PlayCid(std::make_unique<ToneSource>(alert, kCasLength), delay);
            digits_.Reset();
            cidPhase_ = CidPhase::AwaitAck;
            cidNext_ = due + kCasLength + kAckWindow;
            break;
        case CidPhase::AwaitAck:  // no acknowledgement: no message
        case CidPhase::CwEnd:
            cidPhase_ = CidPhase::None;
            break;
        case CidPhase::CwData: {
            auto fsk = std::make_unique<FskSource>(cid_.modem, kOffHookFraming, cid_.message, cid_.dbm0);
            cidNext_ = due + fsk->Length();
            PlayCid(std::move(fsk), delay);
            cidPhase_ = CidPhase::CwEnd;
            break;
        }
        case CidPhase::None:
            break;
        }
    }
}

void Exchange::Release(SampleTime now)
{
    far_.Clear();
    CancelCallerId();
    reversed_ = false;
    held_ = false;
    pulses_ = 0;
    number_.clear();
    answerAt_ = -1;
    hangupAt_ = -1;
    FarReleased();
    Enter(CallState::Idle, now);
    RingAgain(now);
}

bool Exchange::AddNumber(NumberRule rule)
{
    // Route() takes the last rule for a number: the one replaced is that one.
    for (auto it = numbers_.rbegin(); it != numbers_.rend(); ++it)
        if (it->digits == rule.digits) {
            *it = std::move(rule);
            return true;
        }
    if (numbers_.size() >= kMaxNumberRules)
        return false;
    numbers_.push_back(std::move(rule));
    return true;
}

void Exchange::Loop(bool closed, SampleTime time)
{
    if (closed == closed_)
        return;
    closed_ = closed;
    if (!closed) {
        if (pulses_ > 0 && pulseMakes_.size() < 10)
            pulseMakes_.push_back(time - lastMake_);  // the make between two pulses of a digit
        breakStart_ = time;
        return;
    }
    const SampleTime gap = time - breakStart_;
    lastMake_ = time;
    switch (state_) {
    case CallState::Idle:
        number_.clear();
        pulses_ = 0;
        digits_.Reset();
        Enter(CallState::DialTone, time);
        return;
    case CallState::Ringing:
        ringer_.Stop();
        CancelCallerId();  // answered before the caller ID went: it goes no more
        if (farRinging_)
            FarAnswered(time);
        Connect(time, false);
        return;
    default:
        break;
    }
    if (gap < kPulseBreakMax) {
        if (state_ == CallState::DialTone || state_ == CallState::Collecting) {
            if (pulses_ == 0) {
                pulseBreaks_.clear();
                pulseMakes_.clear();
            }
            if (pulseBreaks_.size() < 10)
                pulseBreaks_.push_back(gap);
            ++pulses_;
            if (state_ == CallState::DialTone)
                Enter(CallState::Collecting, time);
        }
    } else if (gap <= kFlashBreakMax) {
        Recall(time);
    }
}

void Exchange::Recall(SampleTime now)
{
    CancelCallerId();
    ++flashes_;
    pulses_ = 0;
    if (FarRecall(now))
        return;
    if ((state_ == CallState::DialTone || state_ == CallState::Collecting) && held_) {
        held_ = false;  // back to the call on hold
        number_.clear();
        Enter(CallState::Connected, now);
        return;
    }
    if (state_ == CallState::Connected) {
        held_ = true;
    } else {
        far_.Clear();
        held_ = false;
    }
    number_.clear();
    answerAt_ = -1;
    digits_.Reset();
    Enter(CallState::DialTone, now);
}

void Exchange::AddDigit(char key, SampleTime now)
{
    if (state_ != CallState::DialTone && state_ != CallState::Collecting)
        return;
    if (key == '#' && FarNumber(number_)) {
        Route(now);  // '#' ends a number for the far line at once
        return;
    }
    if (number_.size() < kMaxNumber)
        number_.push_back(key);
    lastDigit_ = now;
    if (state_ == CallState::DialTone)
        Enter(CallState::Collecting, now);
}

void Exchange::Route(SampleTime now)
{
    routed_ = number_;
    if (held_) {
        far_.Clear();  // a new call releases the one on hold
        held_ = false;
    }
    if (farHeld_ != 0) {
        farLine_->HangUp(farHeld_);
        farHeld_ = 0;
    }
    if (FarNumber(number_)) {
        DialFar(now);
        return;
    }
    const NumberRule *rule = nullptr;
    for (const NumberRule &r : numbers_)
        if (r.digits == number_)
            rule = &r;
    hangupAt_ = -1;
    if (rule == nullptr) {
        answerAt_ = now + kDefaultAnswer;
        Enter(CallState::RingBack, now);
        return;
    }
    switch (rule->kind) {
    case RouteKind::Answer:
        answerAt_ = now + MsToSamples(rule->answerMs);
        Enter(CallState::RingBack, now);
        break;
    case RouteKind::Busy:
        Enter(CallState::Busy, now);
        break;
    case RouteKind::NoAnswer:
        answerAt_ = -1;
        Enter(CallState::RingBack, now);
        break;
    }
}

void Exchange::Connect(SampleTime now, bool talks)
{
    ++calls_;
    Enter(CallState::Connected, now);
    answerAt_ = -1;
    if (talks) {
        far_.Add(std::make_unique<SpeechSource>(kDefaultTalk, kFarSpeechDbm0, calls_));
        hangupAt_ = now + kDefaultTalk;
    }
}

void Exchange::Ring(int32_t count, SampleTime now)
{
    if (state_ != CallState::Idle || closed_)
        return;  // the line is in use: the caller hears busy elsewhere
    StartRinging(count);
    Enter(CallState::Ringing, now);
}

void Exchange::FarAnswer(SampleTime now)
{
    if (state_ == CallState::RingBack)
        Connect(now, false);
}

void Exchange::FarHangup(SampleTime now)
{
    switch (state_) {
    case CallState::Ringing:
        ringer_.Stop();
        Release(now);
        break;
    case CallState::Connected:
        far_.Clear();
        CancelCallerId();
        hangupAt_ = -1;
        Enter(CallState::Cleared, now);
        break;
    default:
        if (held_) {
            held_ = false;
            far_.Clear();
        }
        break;
    }
}

void Exchange::Timers(SampleTime now)
{
    if (!closed_) {
        if (state_ != CallState::Idle && state_ != CallState::Ringing && now - breakStart_ > kFlashBreakMax)
            Release(now);
        if (state_ == CallState::Ringing && !ringer_.Active() && cidPhase_ == CidPhase::None)
            Release(now);  // the caller gave up
        return;
    }
    if (pulses_ > 0 && now - lastMake_ > kDigitEndMake) {
        AddDigit(DtmfKeyChar(pulses_ % 10), now);
        pulses_ = 0;
    }
    switch (state_) {
    case CallState::DialTone:
        if (now - stateSince_ > kDialToneTimeout)
            Enter(CallState::Reorder, now);
        break;
    case CallState::Collecting:
        if (pulses_ == 0 && now - lastDigit_ > kNumberComplete)
            Route(now);
        break;
    case CallState::Calling:
    case CallState::RingBack:
        if (farCall_ != 0 && farOutgoing_ && now - farDialledAt_ > kFarAnswerTimeout) {
            farLine_->HangUp(farCall_);  // no answer in time: CANCEL
            SetFarCall(0);
            Enter(CallState::Reorder, now);
            break;
        }
        if (answerAt_ >= 0 && now >= answerAt_) {
            const bool scripted = std::any_of(
                numbers_.begin(), numbers_.end(), [this](const NumberRule &r) { return r.digits == routed_; });
            Connect(now, !scripted);
        }
        break;
    case CallState::Connected:
        if (hangupAt_ >= 0 && now >= hangupAt_)
            FarHangup(now);
        break;
    default:
        break;
    }
}

void Exchange::Process(std::span<const int16_t> lineTx, std::span<int16_t> toAdapter, std::span<int16_t> ringVoltage,
                       SampleTime start, std::span<const int16_t> farVoice, std::span<const int16_t> farLine)
{
    const SampleTime end = start + static_cast<SampleTime>(toAdapter.size());
    std::fill(toAdapter.begin(), toAdapter.end(), int16_t{0});
    ringer_.Process(ringVoltage);

    if (closed_ && (state_ == CallState::DialTone || state_ == CallState::Collecting)) {
        heard_.clear();
        digits_.Process(lineTx, start, heard_);
        for (const DtmfDigit &d : heard_)
            AddDigit(d.key, d.time);
    } else if (closed_ && state_ == CallState::Connected && farCall_ != 0 && cidPhase_ == CidPhase::None) {
        FarDigits(lineTx, start);
    } else {
        EndFarDigit();  // the loop opened, the call changed or a caller ID began: no key reaches the far end
    }
    if (cidPhase_ == CidPhase::AwaitAck) {
        heard_.clear();
        digits_.Process(lineTx, start, heard_);
        for (const DtmfDigit &d : heard_)
            if (d.key == 'D' || d.key == 'A') {
                cidPhase_ = CidPhase::CwData;
                cidNext_ = d.time + kAckToData;
                break;
            }
    }
    Timers(end);
    CidTimers(start, end);

    // The far party's sources play on whether or not anyone hears them.
    scratch_.assign(toAdapter.size(), 0);
    far_.MixInto(scratch_);
    if (farVoice.size() == scratch_.size())
        MixInto(scratch_, farVoice);
    if (farLine.size() == scratch_.size())
        MixInto(scratch_, farLine);
    if (farDigit_ && !farDigit_->MixInto(scratch_))
        farDigit_.reset();
    const bool early = state_ == CallState::RingBack && farEarly_ && farMedia_;  // the far end's own ring-back
    if (!closed_)
        std::fill(toAdapter.begin(), toAdapter.end(), int16_t{0});
    else if ((state_ == CallState::Connected && !SendingCallerId()) || early)
        MixInto(toAdapter, scratch_);
    if (closed_ && tone_)
        tone_->MixInto(toAdapter);
    lineSignals_.MixInto(toAdapter);
    cidSignals_.MixInto(toAdapter);
}

}  // namespace tvxsim
