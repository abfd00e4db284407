#include "simulator/engine/Engine.h"

#include <algorithm>

#include "simulator/engine/DetectorEvents.h"
#include "simulator/logic/Commands.h"
#include "simulator/logic/EventNames.h"
#include "simulator/logic/Parameters.h"
#include "simulator/logic/SimErrors.h"

namespace tvxsim {
namespace {

// Adds the sources a path names into out.
void Route(std::span<int16_t> out, uint8_t sources, std::span<const int16_t> mic, float micGain,
           std::span<const int16_t> line, std::span<const int16_t> pc, std::span<const int16_t> lineTx)
{
    std::fill(out.begin(), out.end(), int16_t{0});
    if (sources & kFromMic)
        MixInto(out, mic, micGain);
    if (sources & kFromLine)
        MixInto(out, line);
    if (sources & kFromPc)
        MixInto(out, pc);
    if (sources & kFromLineTx)
        MixInto(out, lineTx);
}

}  // namespace

Engine::Engine(DeviceState &state)
    : state_(state), plan_(&TonePlanFor(0)), callerId_(state_, handset_, phoneRinger_, earSources_, events_)
{
    Refresh();
}

void Engine::Refresh()
{
    paths_ = RoutePaths(state_);
    plan_ = &TonePlanForText(state_.localCountry);
    exchange_.SetPlan(*plan_);
    const PulseTiming pulse = PulseTimingOf(state_.makeBreak);
    timings_.dtmfOn = MsToSamples(state_.Parameter(Param::DtmfDialTime));
    timings_.pulseBreak = static_cast<SampleTime>(pulse.breakMs * kSamplesPerMs);
    timings_.pulseMake = static_cast<SampleTime>(pulse.makeMs * kSamplesPerMs);
    timings_.flashBreak = ParamTime(state_, Param::HookFlash);
    timings_.preFlash = ParamTime(state_, Param::PreFlashGuard);
    timings_.postFlash = ParamTime(state_, Param::PostFlashGuard);
    timings_.pause = ParamTime(state_, Param::PauseTime);
    timings_.waitDialTone = ParamTime(state_, Param::WaitDialTone);
    timings_.waitAnswer = ParamTime(state_, Param::WaitAnswer);

    monitor_.SetLevels(static_cast<float>(ThresholdToDbm0(state_.thresholds[kThresholdTones])),
                       static_cast<float>(ThresholdToDbm0(state_.thresholds[kThresholdSilence])));
    voice_.SetBand(VoiceBandLowHz(state_.thresholds[kThresholdVoiceLow]),
                   VoiceBandHighHz(state_.thresholds[kThresholdVoiceHigh]));
    voice_.SetThreshold(VoiceThresholdDbm0(state_.Parameter(Param::VoiceThreshold)));
    const int32_t lineDtmf =
        state_.Parameter(handset_.OffHook() ? Param::LiteDtmfLineOffHook : Param::LiteDtmfLineOnHook);
    const int32_t phoneDtmf = state_.Parameter(Param::LiteDtmfPhone);
    lineDtmfOn_ = lineDtmf != 0;
    phoneDtmfOn_ = phoneDtmf != 0;
    lineDtmf_.SetThreshold(LiteDtmfThresholdDbm0(lineDtmf));
    phoneDtmf_.SetThreshold(LiteDtmfThresholdDbm0(phoneDtmf));
}

void Engine::Load(const Scenario &scenario)
{
    actions_ = scenario.actions;
    std::stable_sort(actions_.begin(), actions_.end(), [](const ScenarioAction &a, const ScenarioAction &b) {
        return a.timeMs < b.timeMs;
    });
    nextAction_ = 0;
    exchange_.SetNumbers(scenario.numbers);
}

void Engine::Report(int32_t code, int32_t param, int32_t side, std::string detail)
{
    events_.Report(at_, code, param, side, std::move(detail));
}

void Engine::ReportLater(int32_t code, int32_t param, int32_t delayMs)
{
    events_.ReportAt(at_ + MsToSamples(std::max(delayMs, 0)), code, param);
}

std::vector<EngineEvent> Engine::TakeEvents() { return events_.Take(); }

void Engine::StartDial()
{
    if (!lineOffHook_)
        usbSeized_ = true;  // the dialler takes the line off hook first
}

std::string Engine::Apply(const ScenarioAction &a)
{
    switch (a.verb) {
    case ActionVerb::Ring:
        exchange_.Ring(a.count, at_);
        return {};
    case ActionVerb::Answer:
        exchange_.FarAnswer(at_);
        return {};
    case ActionVerb::Hangup:
        exchange_.FarHangup(at_);
        return {};
    case ActionVerb::OffHook:
    case ActionVerb::OnHook:
        SetPhoneHook(a.verb == ActionVerb::OffHook);
        return {};
    case ActionVerb::Flash:
        handset_.Flash(at_);
        UpdateHooks(at_);
        return {};
    case ActionVerb::Keys:
        handset_.PressKeys(a.digits);
        return {};
    case ActionVerb::Call:
        return exchange_.Call(CallOf(a.caller, state_, at_), at_);
    case ActionVerb::CallWaiting:
        return exchange_.CallWaiting(CallOf(a.caller, state_, at_), at_);
    case ActionVerb::Noise:
        exchange_.LinePlay(
            std::make_unique<NoiseSource>(MsToSamples(a.lengthMs), static_cast<float>(a.dbm0), ++speechSeed_));
        return {};
    case ActionVerb::Command:
        if (const int32_t rc = DoCommand(a.code, a.param); rc != kOk)
            return "the adapter refuses command " + std::to_string(a.code) + " " + std::to_string(a.param) +
                   ": ScDoCommand returns " + std::to_string(rc) + " (" + SimErrorText(rc) + ")";
        return {};
    case ActionVerb::Play:
        if (playOpener_) {
            if (PlayOpening opening = playOpener_(a); opening.source)
                Play(a.target, std::move(opening.source));
        }
        return {};
    case ActionVerb::Dtmf:
        Play(a.target, std::make_unique<DtmfSource>(a.digits, a.onMs, a.offMs));
        return {};
    case ActionVerb::Tone: {
        ToneSpec t;
        t.f1 = a.f1;
        t.f2 = a.f2;
        t.level1 = t.level2 = static_cast<float>(a.dbm0);
        t.cadenceMs = {a.onMs, a.offMs, 0, 0};
        Play(a.target, std::make_unique<ToneSource>(t, MsToSamples(a.lengthMs)));
        return {};
    }
    case ActionVerb::Speech:
        Play(a.target,
             std::make_unique<SpeechSource>(MsToSamples(a.lengthMs), static_cast<float>(a.dbm0), ++speechSeed_));
        return {};
    }
    return {};
}

void Engine::SetPhoneHook(bool offHook)
{
    if (handset_.OffHook() != offHook) {
        handset_.SetOffHook(offHook);
        Report(offHook ? kEvOffHook : kEvOnHook, 0, TVX_SIDE_PHONE);
        if (offHook && paths_.phoneOnLine)
            usbSeized_ = false;  // the handset takes the call over
        Refresh();               // the line's DTMF setting follows the phone's hook
    }
    UpdateHooks(at_);
}

void Engine::Play(ActionTarget target, std::unique_ptr<Source> source)
{
    if (!source)
        return;
    switch (target) {
    case ActionTarget::Far:
        exchange_.FarPlay(std::move(source));
        return;
    case ActionTarget::Line:
        exchange_.LinePlay(std::move(source));
        return;
    case ActionTarget::Phone:
        handset_.Speak(std::move(source));
        return;
    case ActionTarget::Pc:
        pcSources_.Add(std::move(source));
        return;
    case ActionTarget::Adapter:  // the adapter plays nothing of a scenario's
        return;
    }
}

void Engine::UpdateHooks(SampleTime now)
{
    const bool phone = handset_.OffHook();
    if (phone && phoneRinger_.Active()) {
        phoneRinger_.Stop();  // lifting the handset stops its ringing
        callerId_.RingStopped();
        Report(kEvRingingStopped, 0);
    }
    const bool line = usbSeized_ || (paths_.phoneOnLine && phone);
    if (line != lineOffHook_) {
        lineOffHook_ = line;
        Report(line ? kEvOffHook : kEvOnHook, 0, TVX_SIDE_LINE);
        if (line) {
            lineOffHookSince_ = now;
            monitor_.Reset();
            voice_.Reset();
            lineDtmf_.Reset();
        } else {
            dialler_.Clear();
        }
        callerId_.ResetLine();
    }
    exchange_.Loop(!dialler_.Breaking() && (usbSeized_ || (paths_.phoneOnLine && handset_.LoopClosed(now))), now);
}

void Engine::Step()
{
    at_ = now_;
    farLineHeard_ =
        exchange_.HasFarLine() &&
        exchange_.BeginBlock(
            now_, [this](const CallerIdSpec &caller) { return CallOf(caller, state_, now_); }, buf_.farLine);
    if (feed_ != nullptr) {
        for (auto &into : buf_.fed)
            into.fill(0);
        std::array<int16_t, kBlockSamples> point;
        for (const FeedRoute &route : kFeedRoutes) {
            feed_->Read(route.point, point);
            MixInto(buf_.fed[static_cast<size_t>(route.into)], point);
        }
    }
    size_t offset = 0;
    while (offset < kBlockSamples) {
        const SampleTime t = now_ + static_cast<SampleTime>(offset);
        at_ = t;
        while (nextAction_ < actions_.size() && MsToSamples(actions_[nextAction_].timeMs) <= t)
            Apply(actions_[nextAction_++]);
        UpdateHooks(t);
        size_t n = kBlockSamples - offset;
        if (nextAction_ < actions_.size())
            n = static_cast<size_t>(
                std::clamp<SampleTime>(MsToSamples(actions_[nextAction_].timeMs) - t, 1, static_cast<SampleTime>(n)));
        // A flash of the handset ends inside the block: cut the block there too.
        const SampleTime flashEnd = handset_.FlashEnd();
        if (flashEnd > t && flashEnd < t + static_cast<SampleTime>(n))
            n = static_cast<size_t>(flashEnd - t);
        ProcessSegment(offset, n);
        offset += n;
    }
    exchange_.EndBlock(buf_.lineTx);
    at_ = now_ + kBlockSamples;
    events_.Release(at_);
    bell_ = std::any_of(buf_.phoneRing.begin(), buf_.phoneRing.end(), [](int16_t v) { return v != 0; });
    const BlockAudio block{now_,
                           buf_.lineTx,
                           buf_.lineRx,
                           buf_.earpiece,
                           handset_.OffHook(),
                           buf_.mic,
                           buf_.pcIn,
                           buf_.pcOut,
                           buf_.phoneRing,
                           buf_.lineRing};
    for (AudioTap *tap : taps_)
        tap->OnBlock(block);
    now_ += kBlockSamples;
}

void Engine::RunUntil(SampleTime time)
{
    while (now_ < time)
        Step();
}

void Engine::ProcessSegment(size_t offset, size_t n)
{
    const SampleTime t = now_ + static_cast<SampleTime>(offset);  // Step has set at_ to it
    const auto seg = [offset, n](auto &array) { return std::span<int16_t>(array.data() + offset, n); };
    const std::span<int16_t> mic = seg(buf_.mic), keypad = seg(buf_.keypad), pcOut = seg(buf_.pcOut),
                             dial = seg(buf_.dial), lineTx = seg(buf_.lineTx), exch = seg(buf_.exchange),
                             lineRx = seg(buf_.lineRx), ear = seg(buf_.earpiece), pcIn = seg(buf_.pcIn),
                             lineRing = seg(buf_.lineRing), phoneRing = seg(buf_.phoneRing);

    handset_.Microphone(mic, keypad);
    std::fill(pcOut.begin(), pcOut.end(), int16_t{0});
    if (!pcSources_.Empty())
        pcSources_.MixInto(pcOut);
    if (feed_ != nullptr) {
        MixInto(mic, seg(buf_.fed[static_cast<size_t>(FeedInto::Mic)]));
        MixInto(pcOut, seg(buf_.fed[static_cast<size_t>(FeedInto::PcOut)]));
    }

    // The dialler: tones into the line, loop breaks to the exchange.
    std::fill(dial.begin(), dial.end(), int16_t{0});
    edges_.clear();
    dialEvents_.clear();
    if (lineOffHook_)
        dialler_.Process(dial, t, lineOffHookSince_, timings_, *plan_, edges_, dialEvents_);
    for (const LoopEdge &e : edges_)
        exchange_.Loop(e.closed && lineOffHook_, e.time);
    PushEvents(events_, dialEvents_);

    callerId_.ToPhone(t);
    // While a call-waiting alert is handled the phone is muted both ways.
    const bool cwMuted = callerId_.MutesPhone(t);
    const std::span<const int16_t> none;
    Route(lineTx, paths_.lineTx, cwMuted ? none : mic, paths_.micGain, {}, pcOut, {});
    MixInto(lineTx, dial);
    callerId_.MixIntoLine(lineTx);

    exchange_.Process(lineTx,
                      exch,
                      lineRing,
                      t,
                      feed_ != nullptr ? seg(buf_.fed[static_cast<size_t>(FeedInto::FarParty)]) : std::span<int16_t>(),
                      farLineHeard_ ? seg(buf_.farLine) : std::span<int16_t>());
    std::copy(exch.begin(), exch.end(), lineRx.begin());
    if (lineOffHook_ && paths_.lineEcho)
        MixInto(lineRx, lineTx, DbToGain(-kEchoLossDb));
    ApplyGain(lineRx, paths_.lineRxGain);
    if (exchange_.Reversed() != reversed_) {
        reversed_ = exchange_.Reversed();
        Report(kEvLineReversal, reversed_ ? 1 : 0);
    }
    callerId_.OnLine(lineRx, t, lineOffHook_);

    if (lineOffHook_) {
        hits_.clear();
        monitor_.Process(lineRx, t, hits_);
        PushEvents(events_, hits_);
        voiceChanges_.clear();
        voice_.Process(lineRx, t, voiceChanges_);
        PushEvents(events_, voiceChanges_);
        digits_.clear();
        if (lineDtmfOn_)
            lineDtmf_.Process(lineRx, t, digits_);
        PushEvents(events_, digits_, TVX_SIDE_LINE);
        dialler_.Listen(lineRx, t);
    }

    // The phone side.
    Route(ear, paths_.earpiece, {}, 1.0f, cwMuted || callerId_.MutesEarpiece() ? none : lineRx, pcOut, {});
    if (phoneTones_.MixInto(ear))
        Report(kEvToneStopped, 0);
    if (!earSources_.Empty())
        earSources_.MixInto(ear);
    if (paths_.keypadSidetone)
        MixInto(ear, keypad, DbToGain(kKeypadSidetoneDb));
    ApplyGain(ear, paths_.earpieceGain);
    handset_.Listen(ear, t);

    digits_.clear();
    if (phoneDtmfOn_)
        phoneDtmf_.Process(mic, t, digits_);
    for (const DtmfDigit &d : digits_)
        callerId_.PhoneKey(d.key, d.time);
    PushEvents(events_, digits_, TVX_SIDE_PHONE);

    Route(pcIn, paths_.pcIn, mic, paths_.micGain, lineRx, pcOut, lineTx);

    // Ringing: the line's voltage reaches the phone when the phone is on the line.
    rings_.clear();
    ringDetector_.Process(lineRing, t, rings_);
    PushEvents(events_, rings_);
    phoneRinger_.Process(phoneRing);
    callerId_.AfterRinger(t);
    if (paths_.phoneOnLine)
        MixInto(phoneRing, lineRing);
}

}  // namespace tvxsim
