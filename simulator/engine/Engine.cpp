#include "simulator/engine/Engine.h"

#include <algorithm>

#include "simulator/logic/CidCheck.h"
#include "simulator/logic/Commands.h"
#include "simulator/logic/EventNames.h"
#include "simulator/logic/Parameters.h"
#include "simulator/logic/SimErrors.h"

namespace tvxsim {
namespace {

SampleTime ParamTime(const DeviceState &s, Param p)
{
    return MsToSamples(static_cast<int64_t>(s.Parameter(p)) * ParameterRowOf(p).unitMs);
}

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

Engine::Engine(DeviceState &state) : state_(state), plan_(&TonePlanFor(0)) { Refresh(); }

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
    const int32_t lineDtmf = state_.Parameter(phoneOffHook_ ? Param::LiteDtmfLineOffHook : Param::LiteDtmfLineOnHook);
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

void Engine::Push(EngineEvent event)
{
    if (events_.size() >= kMaxPendingEvents) {
        ++dropped_;
        return;
    }
    events_.push_back(std::move(event));
}

void Engine::Report(int32_t code, int32_t param, int32_t side, std::string detail)
{
    EngineEvent e;
    e.time = at_;
    e.code = code;
    e.param = param;
    e.side = side;
    e.detail = std::move(detail);
    Push(std::move(e));
}

void Engine::ReportLater(int32_t code, int32_t param, int32_t delayMs)
{
    if (later_.size() >= kMaxPendingEvents) {
        ++dropped_;
        return;
    }
    EngineEvent e;
    e.time = at_ + MsToSamples(std::max(delayMs, 0));
    e.code = code;
    e.param = param;
    later_.push_back(std::move(e));
}

std::vector<EngineEvent> Engine::TakeEvents()
{
    std::vector<EngineEvent> out;
    out.swap(events_);
    std::stable_sort(
        out.begin(), out.end(), [](const EngineEvent &a, const EngineEvent &b) { return a.time < b.time; });
    return out;
}

void Engine::StartDial()
{
    if (!lineOffHook_)
        usbSeized_ = true;  // the dialler takes the line off hook first
}

int32_t Engine::DoCommand(int32_t code, int32_t param)
{
    const CommandRow *row = FindCommand(code);
    if (row == nullptr)
        return kErrBadArgument;
    Refresh();  // settings changed since the last block (the local country) count now
    const bool on = row->value != 0;
    switch (row->kind) {
    case CommandKind::PcSilent:
        state_.pcSilent = on;
        break;
    case CommandKind::DaaConfig:
        state_.daaConfig = row->value;
        break;
    case CommandKind::PhoneRing:
        if (on && !phoneRinger_.Active()) {
            const int32_t onMs = state_.Parameter(Param::RingerOn) * ParameterRowOf(Param::RingerOn).unitMs;
            const int32_t offMs = state_.Parameter(Param::RingerOff) * ParameterRowOf(Param::RingerOff).unitMs;
            phoneRinger_.Start(state_.ringerHz, {onMs, offMs, 0, 0});
            Report(kEvRingingStarted, 0);
        } else if (!on && phoneRinger_.Active()) {
            phoneRinger_.Stop();
            Report(kEvRingingStopped, 0);
        }
        break;
    case CommandKind::RingerFrequency:
        state_.ringerHz = row->value;
        break;
    case CommandKind::KeypadBeep:
        state_.keypadBeep = on;
        break;
    case CommandKind::DaaBoost:
        state_.daaBoost = on;
        break;
    case CommandKind::Parameter: {
        const ParameterRow *p = ParameterRowForCode(code);
        state_.parameters[static_cast<size_t>(p->param)] = param;
        Report(kEvParameterChanged,
               PackSetting(static_cast<uint32_t>(code), param),
               0,
               "Parameter " + std::to_string(code) + " set to " + std::to_string(param));
        break;
    }
    case CommandKind::DeviceMode:
        state_.deviceMode = row->value;
        if (kModeRoutes[static_cast<size_t>(row->value)].holdsLine && lineOffHook_)
            usbSeized_ = true;
        break;
    case CommandKind::Wiretap:
        state_.wiretap = param != 0;
        break;
    case CommandKind::EchoSuppression:
        state_.echoSuppression = on;
        break;
    case CommandKind::MutePhone:
        state_.mutePhone = on;
        break;
    case CommandKind::MuteLine:
        state_.muteLine = on;
        break;
    case CommandKind::Tone:
        phoneTones_.Start(row->value, *plan_);
        Report(kEvToneStarted, row->value);
        break;
    case CommandKind::Beep:
        if (param < 0 || param > kBeepParamLast)
            return kErrBadArgument;
        phoneTones_.Start(kToneInfiniteBeep + param, *plan_);
        Report(kEvToneStarted, kToneInfiniteBeep + param);
        break;
    case CommandKind::ToneStop:
        if (phoneTones_.Playing()) {
            phoneTones_.Stop();
            Report(kEvToneStopped, 0);
        }
        break;
    case CommandKind::Dial:
        if (param == kDialAnalysisOn || param == kDialAnalysisOff) {
            state_.analysisOn = param == kDialAnalysisOn;
            Report(state_.analysisOn ? kEvAnalysisOn : kEvAnalysisOff, 0);
            break;
        }
        if (param < 0 || param > kDialCodeLast)
            return kErrBadArgument;
        if (!dialler_.Enqueue(param))
            return kErrDialQueueFull;
        StartDial();
        break;
    case CommandKind::MakeBreak:
        state_.makeBreak = row->value;
        break;
    case CommandKind::Headset:
        state_.headset = on;
        break;
    case CommandKind::UsbHook:
        usbSeized_ = on;
        if (!on)
            dialler_.Clear();
        break;
    case CommandKind::AuxContent:
        state_.auxContent = row->value;
        break;
    case CommandKind::CallWaiting:
        state_.callWaiting = param != 0;
        break;
    }
    Refresh();
    UpdateHooks(at_);
    return kOk;
}

int32_t Engine::SetThreshold(int32_t selector, uint32_t value)
{
    if (selector < 0 || selector >= kThresholdSelectors)
        return kErrBadArgument;
    state_.thresholds[static_cast<size_t>(selector)] = value;
    Report(kEvThresholdChanged,
           PackSetting(static_cast<uint32_t>(selector), value),
           0,
           "Threshold " + std::to_string(selector) + " set to " + std::to_string(value));
    Refresh();
    return kOk;
}

void Engine::MonitorTones(std::vector<MonitorRow> rows) { monitor_.Arm(std::move(rows)); }

void Engine::GenerateTones(std::span<const ToneGenRecord> records)
{
    if (records.empty()) {
        phoneTones_.StopSet();
        Report(kEvToneSetStopped, 0);
        return;
    }
    phoneTones_.StartSet(records);
    Report(kEvToneSetStarted, static_cast<int32_t>(records.size()));
}

CidCall Engine::CallOf(const CallerIdSpec &request) const
{
    // Modem and timing follow each other, or else the local country.
    bool northAmerican = state_.localCountry == "1";
    if (request.timing)
        northAmerican = *request.timing == CidTiming::NorthAmerican;
    else if (request.modem)
        northAmerican = *request.modem == CidModem::Bell202;
    CidContent content;
    content.name = request.name;
    content.number = request.number;
    content.absence = request.absence;
    content.dateTime = request.date.empty() ? CidDateAfterMinutes(SamplesToMs(at_) / 60000) : request.date;
    CidCall call;
    call.message = BuildCallerIdMessage(request.format, content);
    call.modem = request.modem.value_or(northAmerican ? CidModem::Bell202 : CidModem::V23);
    call.etsi = !northAmerican;
    call.dbm0 = static_cast<float>(request.dbm0);
    return call;
}

int32_t Engine::GenerateCallerId(const CidGenRecord &record)
{
    if (generator_.Busy())
        return kErrBusy;
    CidGeneration job;
    job.msgType = record.msgType;
    if (record.msgType == kCidDtmfC || record.msgType == kCidDtmfHash)
        job.dtmf = DtmfCallerIdOfRecord(record);
    else
        job.message = BuildCallerIdMessage(record.msgType == kCidSdmf ? CidFormat::Sdmf : CidFormat::Mdmf,
                                           CidContentOfRecord(record));
    job.modem = state_.localCountry == "1" ? CidModem::Bell202 : CidModem::V23;
    job.dbm0 = CidSignalDbm0(record.signalLevel);
    job.callWaiting = (record.callFlags & kCallWaiting) != 0;
    job.waitAck = job.callWaiting && (record.callFlags & kWaitForAck) != 0;
    job.ring = !job.callWaiting && (record.sendFlags & kSendUseRinger) != 0;
    job.ringLength = ParamTime(state_, Param::RingerOn);
    shownAtStart_ = handset_.CallerId().Shown();
    generator_.Start(std::move(job), at_);
    return kOk;
}

void Engine::Apply(const ScenarioAction &a)
{
    const auto source = [&]() -> std::unique_ptr<Source> {
        switch (a.verb) {
        case ActionVerb::Dtmf:
            return std::make_unique<DtmfSource>(a.digits, a.onMs, a.offMs);
        case ActionVerb::Tone: {
            ToneSpec t;
            t.f1 = a.f1;
            t.f2 = a.f2;
            t.level1 = t.level2 = static_cast<float>(a.dbm0);
            t.cadenceMs = {a.onMs, a.offMs, 0, 0};
            return std::make_unique<ToneSource>(t, MsToSamples(a.lengthMs));
        }
        case ActionVerb::Speech:
            return std::make_unique<SpeechSource>(MsToSamples(a.lengthMs), static_cast<float>(a.dbm0), ++speechSeed_);
        default:
            return nullptr;
        }
    };
    switch (a.verb) {
    case ActionVerb::Ring:
        exchange_.Ring(a.count, at_);
        return;
    case ActionVerb::Answer:
        exchange_.FarAnswer(at_);
        return;
    case ActionVerb::Hangup:
        exchange_.FarHangup(at_);
        return;
    case ActionVerb::OffHook:
        handset_.SetOffHook(true);
        break;
    case ActionVerb::OnHook:
        handset_.SetOffHook(false);
        break;
    case ActionVerb::Flash:
        handset_.Flash(at_);
        break;
    case ActionVerb::Keys:
        handset_.PressKeys(a.digits);
        return;
    case ActionVerb::Call:
        exchange_.Call(CallOf(a.caller), at_);
        return;
    case ActionVerb::CallWaiting:
        exchange_.CallWaiting(CallOf(a.caller), at_);
        return;
    case ActionVerb::Noise:
        exchange_.LinePlay(
            std::make_unique<NoiseSource>(MsToSamples(a.lengthMs), static_cast<float>(a.dbm0), ++speechSeed_));
        return;
    case ActionVerb::Command:
        DoCommand(a.code, a.param);
        return;
    case ActionVerb::Play:  // sound files are parsed but not played yet
        return;
    case ActionVerb::Dtmf:
    case ActionVerb::Tone:
    case ActionVerb::Speech:
        if (a.target == ActionTarget::Far)
            exchange_.FarPlay(source());
        else if (a.target == ActionTarget::Pc)
            pcSources_.Add(source());
        else
            handset_.Speak(source());
        return;
    }
    UpdateHooks(at_);
}

void Engine::UpdateHooks(SampleTime now)
{
    const bool phone = handset_.OffHook();
    if (phone != phoneOffHook_) {
        phoneOffHook_ = phone;
        Report(phone ? kEvOffHook : kEvOnHook, 0, TVX_SIDE_PHONE);
        if (phone && paths_.phoneOnLine)
            usbSeized_ = false;  // the handset takes the call over
        Refresh();
    }
    if (phone && phoneRinger_.Active()) {
        phoneRinger_.Stop();  // lifting the handset stops its ringing
        generatorRinging_ = false;
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
        lineCid_.Reset();
        lineAlert_.Reset();
        cwArmedUntil_ = cwMuteUntil_ = -1;
    }
    const bool closed = !dialler_.Breaking() && (usbSeized_ || (paths_.phoneOnLine && handset_.LoopClosed(now)));
    if (closed != loopClosed_) {
        loopClosed_ = closed;
        exchange_.Loop(closed, now);
    }
}

void Engine::Step()
{
    Refresh();
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
    at_ = now_ + kBlockSamples;
    for (auto it = later_.begin(); it != later_.end();) {
        if (it->time <= at_) {
            Push(std::move(*it));
            it = later_.erase(it);
        } else {
            ++it;
        }
    }
    const BlockAudio block{
        now_, buf_.lineTx, buf_.lineRx, buf_.earpiece, buf_.mic, buf_.pcIn, buf_.pcOut, buf_.phoneRing, buf_.lineRing};
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
    const SampleTime t = now_ + static_cast<SampleTime>(offset);
    const auto seg = [offset, n](auto &array) { return std::span<int16_t>(array.data() + offset, n); };
    const std::span<int16_t> mic = seg(buf_.mic), keypad = seg(buf_.keypad), pcOut = seg(buf_.pcOut),
                             dial = seg(buf_.dial), lineTx = seg(buf_.lineTx), exch = seg(buf_.exchange),
                             lineRx = seg(buf_.lineRx), ear = seg(buf_.earpiece), pcIn = seg(buf_.pcIn),
                             lineRing = seg(buf_.lineRing), phoneRing = seg(buf_.phoneRing);

    handset_.Microphone(mic, keypad);
    std::fill(pcOut.begin(), pcOut.end(), int16_t{0});
    if (!pcSources_.Empty())
        pcSources_.MixInto(pcOut);

    // The dialler: tones into the line, loop breaks to the exchange.
    std::fill(dial.begin(), dial.end(), int16_t{0});
    edges_.clear();
    dialEvents_.clear();
    if (lineOffHook_)
        dialler_.Process(dial, t, lineOffHookSince_, timings_, *plan_, edges_, dialEvents_);
    for (const LoopEdge &e : edges_) {
        const bool closed = e.closed && lineOffHook_;
        if (closed != loopClosed_) {
            loopClosed_ = closed;
            exchange_.Loop(closed, e.time);
        }
    }
    for (const DialEvent &e : dialEvents_) {
        EngineEvent ev;
        ev.time = e.time;
        ev.code = e.code;
        ev.param = e.param;
        Push(std::move(ev));
    }

    CallerIdToPhone(t);
    // While a call-waiting alert is handled the phone is muted both ways.
    const bool cwMuted = cwMuteUntil_ > t;
    const std::span<const int16_t> none;
    Route(lineTx, paths_.lineTx, cwMuted ? none : mic, paths_.micGain, {}, pcOut, {});
    MixInto(lineTx, dial);
    if (!adapterLine_.Empty())
        adapterLine_.MixInto(lineTx);

    exchange_.Process(lineTx, exch, lineRing, t);
    std::copy(exch.begin(), exch.end(), lineRx.begin());
    if (lineOffHook_ && paths_.lineEcho)
        MixInto(lineRx, lineTx, DbToGain(-kEchoLossDb));
    ApplyGain(lineRx, paths_.lineRxGain);
    if (exchange_.Reversed() != reversed_) {
        reversed_ = exchange_.Reversed();
        Report(kEvLineReversal, reversed_ ? 1 : 0);
    }
    CallerIdOnLine(lineRx, t);

    if (lineOffHook_) {
        hits_.clear();
        monitor_.Process(lineRx, t, hits_);
        for (const MonitorHit &h : hits_) {
            EngineEvent ev;
            ev.time = h.time;
            ev.code = kEvToneMonitored;
            ev.toneRow = h.row;
            Push(std::move(ev));
        }
        voiceChanges_.clear();
        voice_.Process(lineRx, t, voiceChanges_);
        for (const VoiceChange &c : voiceChanges_) {
            EngineEvent ev;
            ev.time = c.time;
            ev.code = c.voice ? kEvVoiceDetected : kEvSilenceDetected;
            Push(std::move(ev));
        }
        digits_.clear();
        if (lineDtmfOn_)
            lineDtmf_.Process(lineRx, t, digits_);
        for (const DtmfDigit &d : digits_) {
            EngineEvent ev;
            ev.time = d.time;
            ev.code = kEvDtmfDetected;
            ev.param = DtmfKeyIndex(d.key);
            ev.side = TVX_SIDE_LINE;
            Push(std::move(ev));
        }
        dialler_.Listen(lineRx, t);
    }

    // The phone side.
    Route(ear, paths_.earpiece, {}, 1.0f, cwMuted || generator_.MutesLine() ? none : lineRx, pcOut, {});
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
    for (const DtmfDigit &d : digits_) {
        if (d.key == 'D' || d.key == 'A')
            generator_.Ack(d.time);  // the phone acknowledges a call-waiting alert
        EngineEvent ev;
        ev.time = d.time;
        ev.code = kEvDtmfDetected;
        ev.param = DtmfKeyIndex(d.key);
        ev.side = TVX_SIDE_PHONE;
        Push(std::move(ev));
    }

    Route(pcIn, paths_.pcIn, mic, paths_.micGain, lineRx, pcOut, lineTx);

    // Ringing: the line's voltage reaches the phone when the phone is on the line.
    rings_.clear();
    ringDetector_.Process(lineRing, t, rings_);
    for (const RingEdge &r : rings_) {
        EngineEvent ev;
        ev.time = r.time;
        ev.code = r.start ? kEvLineRing : kEvLineRingEnded;
        ev.param = r.start ? r.count : 0;
        ev.side = TVX_SIDE_LINE;
        Push(std::move(ev));
    }
    phoneRinger_.Process(phoneRing);
    if (generatorRinging_ && !phoneRinger_.Active()) {
        generatorRinging_ = false;
        Report(kEvRingingStopped, 0);
    }
    if (paths_.phoneOnLine)
        MixInto(phoneRing, lineRing);
}

void Engine::ReportCallerId(const CidReception &r, bool callWaiting)
{
    EngineEvent ev;
    ev.time = r.time;
    ev.param = static_cast<int32_t>(r.bytes.size());
    ev.payload = r.bytes;
    if (r.fault == CidFault::None) {
        ev.code = callWaiting ? kEvCallWaitingCallerId : kEvCallerId;
    } else {
        ev.code = callWaiting ? kEvCallWaitingCallerIdDamaged : kEvCallerIdDamaged;
        ev.detail = std::string(callWaiting ? "Call waiting caller ID" : "Caller ID") + " damaged (" +
                    CidFaultText(r.fault) + "), " + std::to_string(r.bytes.size()) + " bytes";
    }
    Push(std::move(ev));
}

// The line's caller ID: on hook the receiver takes whatever arrives; off
// hook the alert detector listens for call waiting, and with CIDCW on the
// adapter acknowledges with a DTMF D and takes the message that follows.
void Engine::CallerIdOnLine(std::span<const int16_t> lineRx, SampleTime t)
{
    if (lineOffHook_) {
        alerts_.clear();
        lineAlert_.Process(lineRx, t, alerts_);
        for (const AlertEdge &e : alerts_) {
            switch (e.kind) {
            case AlertEdge::Onset:
                cwMuteUntil_ = std::max(cwMuteUntil_, e.time + kAlertMuteMax);
                break;
            case AlertEdge::Alert:
                Report(kEvCallWaitingAlert, state_.callWaiting ? 1 : 0);
                cwMuteUntil_ = e.time;
                if (state_.callWaiting) {
                    adapterLine_.Add(std::make_unique<DtmfSource>("D", kAckMs, 0));
                    cwArmedUntil_ = cwMuteUntil_ = e.time + kCallWaitingListen;
                    lineCid_.Reset();
                }
                break;
            case AlertEdge::Gone:
                cwMuteUntil_ = e.time;
                break;
            }
        }
    }
    const bool armed = lineOffHook_ && cwArmedUntil_ > t;
    if (!armed && (lineOffHook_ || (IsSilent(lineRx) && !lineCid_.Busy())))
        return;
    receptions_.clear();
    lineCid_.RequireSeizure(!lineOffHook_);
    lineCid_.Process(lineRx, t, receptions_);
    for (const CidReception &r : receptions_) {
        ReportCallerId(r, armed);
        if (armed)
            cwArmedUntil_ = cwMuteUntil_ = r.time;
    }
}

// The generator toward the phone: what falls due now.
void Engine::CallerIdToPhone(SampleTime t)
{
    CallerIdGenerator::Step step = generator_.Advance(t);
    if (step.ring && !handset_.OffHook()) {
        phoneRinger_.Start(
            state_.ringerHz, {static_cast<int32_t>(SamplesToMs(ParamTime(state_, Param::RingerOn))), 0, 0, 0}, 1);
        generatorRinging_ = true;
        Report(kEvRingingStarted, 0);
    }
    if (step.play)
        earSources_.Add(std::move(step.play));
    if (step.finished) {
        const CallerIdPhone &phone = handset_.CallerId();
        const std::string shown = phone.Shown() != shownAtStart_ ? phone.Display() : std::string();
        Report(kEvCallerIdGenerated,
               generator_.MsgType(),
               0,
               DescribeCidOutcome(generator_.MsgType(), step.acknowledged, shown));
    }
}

}  // namespace tvxsim
