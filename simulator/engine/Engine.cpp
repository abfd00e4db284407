#include "simulator/engine/Engine.h"

#include <algorithm>

#include "simulator/logic/Commands.h"
#include "simulator/logic/EventNames.h"
#include "simulator/logic/Parameters.h"
#include "simulator/logic/SimErrors.h"

namespace tvxsim {
namespace {

SampleTime paramTime(const DeviceState &s, Param p)
{
    return msToSamples(static_cast<int64_t>(s.parameter(p)) * parameterRow(p).unitMs);
}

// Adds the sources a path names into out.
void route(std::span<int16_t> out, uint8_t sources, std::span<const int16_t> mic, float micGain,
           std::span<const int16_t> line, std::span<const int16_t> pc, std::span<const int16_t> lineTx)
{
    std::fill(out.begin(), out.end(), int16_t{0});
    if (sources & kFromMic)
        mixInto(out, mic, micGain);
    if (sources & kFromLine)
        mixInto(out, line);
    if (sources & kFromPc)
        mixInto(out, pc);
    if (sources & kFromLineTx)
        mixInto(out, lineTx);
}

}  // namespace

Engine::Engine(DeviceState &state) : state_(state), plan_(&tonePlanFor(0)) { refresh(); }

void Engine::refresh()
{
    paths_ = routePaths(state_);
    plan_ = &tonePlanForText(state_.localCountry);
    exchange_.setPlan(*plan_);
    const PulseTiming pulse = pulseTiming(state_.makeBreak);
    timings_.dtmfOn = msToSamples(state_.parameter(Param::DtmfDialTime));
    timings_.pulseBreak = static_cast<SampleTime>(pulse.breakMs * kSamplesPerMs);
    timings_.pulseMake = static_cast<SampleTime>(pulse.makeMs * kSamplesPerMs);
    timings_.flashBreak = paramTime(state_, Param::HookFlash);
    timings_.preFlash = paramTime(state_, Param::PreFlashGuard);
    timings_.postFlash = paramTime(state_, Param::PostFlashGuard);
    timings_.pause = paramTime(state_, Param::PauseTime);
    timings_.waitDialTone = paramTime(state_, Param::WaitDialTone);
    timings_.waitAnswer = paramTime(state_, Param::WaitAnswer);

    monitor_.setLevels(static_cast<float>(thresholdToDbm0(state_.thresholds[kThresholdTones])),
                       static_cast<float>(thresholdToDbm0(state_.thresholds[kThresholdSilence])));
    voice_.setBand(voiceBandLowHz(state_.thresholds[kThresholdVoiceLow]),
                   voiceBandHighHz(state_.thresholds[kThresholdVoiceHigh]));
    voice_.setThreshold(voiceThresholdDbm0(state_.parameter(Param::VoiceThreshold)));
    const int32_t lineDtmf = state_.parameter(phoneOffHook_ ? Param::LiteDtmfLineOffHook : Param::LiteDtmfLineOnHook);
    const int32_t phoneDtmf = state_.parameter(Param::LiteDtmfPhone);
    lineDtmfOn_ = lineDtmf != 0;
    phoneDtmfOn_ = phoneDtmf != 0;
    lineDtmf_.setThreshold(liteDtmfThresholdDbm0(lineDtmf));
    phoneDtmf_.setThreshold(liteDtmfThresholdDbm0(phoneDtmf));
}

void Engine::load(const Scenario &scenario)
{
    actions_ = scenario.actions;
    std::stable_sort(actions_.begin(), actions_.end(), [](const ScenarioAction &a, const ScenarioAction &b) {
        return a.timeMs < b.timeMs;
    });
    nextAction_ = 0;
    exchange_.setNumbers(scenario.numbers);
}

void Engine::push(EngineEvent event)
{
    if (events_.size() >= kMaxPendingEvents) {
        ++dropped_;
        return;
    }
    events_.push_back(std::move(event));
}

void Engine::report(int32_t code, int32_t param, int32_t side, std::string detail)
{
    EngineEvent e;
    e.time = at_;
    e.code = code;
    e.param = param;
    e.side = side;
    e.detail = std::move(detail);
    push(std::move(e));
}

void Engine::reportLater(int32_t code, int32_t param, int32_t delayMs)
{
    if (later_.size() >= kMaxPendingEvents) {
        ++dropped_;
        return;
    }
    EngineEvent e;
    e.time = at_ + msToSamples(std::max(delayMs, 0));
    e.code = code;
    e.param = param;
    later_.push_back(std::move(e));
}

std::vector<EngineEvent> Engine::takeEvents()
{
    std::vector<EngineEvent> out;
    out.swap(events_);
    std::stable_sort(
        out.begin(), out.end(), [](const EngineEvent &a, const EngineEvent &b) { return a.time < b.time; });
    return out;
}

void Engine::startDial()
{
    if (!lineOffHook_)
        usbSeized_ = true;  // the dialler takes the line off hook first
}

int32_t Engine::doCommand(int32_t code, int32_t param)
{
    const CommandRow *row = findCommand(code);
    if (row == nullptr)
        return kErrBadArgument;
    refresh();  // settings changed since the last block (the local country) count now
    const bool on = row->value != 0;
    switch (row->kind) {
    case CommandKind::PcSilent:
        state_.pcSilent = on;
        break;
    case CommandKind::DaaConfig:
        state_.daaConfig = row->value;
        break;
    case CommandKind::PhoneRing:
        if (on && !phoneRinger_.active()) {
            const int32_t onMs = state_.parameter(Param::RingerOn) * parameterRow(Param::RingerOn).unitMs;
            const int32_t offMs = state_.parameter(Param::RingerOff) * parameterRow(Param::RingerOff).unitMs;
            phoneRinger_.start(state_.ringerHz, {onMs, offMs, 0, 0});
            report(kEvRingingStarted, 0);
        } else if (!on && phoneRinger_.active()) {
            phoneRinger_.stop();
            report(kEvRingingStopped, 0);
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
        const ParameterRow *p = parameterRowForCode(code);
        state_.parameters[static_cast<size_t>(p->param)] = param;
        report(kEvParameterChanged,
               packSetting(static_cast<uint32_t>(code), param),
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
        phoneTones_.start(row->value, *plan_);
        report(kEvToneStarted, row->value);
        break;
    case CommandKind::Beep:
        if (param < 0 || param > kBeepParamLast)
            return kErrBadArgument;
        phoneTones_.start(kToneInfiniteBeep + param, *plan_);
        report(kEvToneStarted, kToneInfiniteBeep + param);
        break;
    case CommandKind::ToneStop:
        if (phoneTones_.playing()) {
            phoneTones_.stop();
            report(kEvToneStopped, 0);
        }
        break;
    case CommandKind::Dial:
        if (param == kDialAnalysisOn || param == kDialAnalysisOff) {
            state_.analysisOn = param == kDialAnalysisOn;
            report(state_.analysisOn ? kEvAnalysisOn : kEvAnalysisOff, 0);
            break;
        }
        if (param < 0 || param > kDialCodeLast)
            return kErrBadArgument;
        if (!dialler_.enqueue(param))
            return kErrDialQueueFull;
        startDial();
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
            dialler_.clear();
        break;
    case CommandKind::AuxContent:
        state_.auxContent = row->value;
        break;
    case CommandKind::CallWaiting:
        state_.callWaiting = param != 0;
        break;
    }
    refresh();
    updateHooks(at_);
    return kOk;
}

int32_t Engine::setThreshold(int32_t selector, uint32_t value)
{
    if (selector < 0 || selector >= kThresholdSelectors)
        return kErrBadArgument;
    state_.thresholds[static_cast<size_t>(selector)] = value;
    report(kEvThresholdChanged,
           packSetting(static_cast<uint32_t>(selector), value),
           0,
           "Threshold " + std::to_string(selector) + " set to " + std::to_string(value));
    refresh();
    return kOk;
}

void Engine::monitorTones(std::vector<MonitorRow> rows) { monitor_.arm(std::move(rows)); }

void Engine::generateTones(std::span<const ToneGenRecord> records)
{
    if (records.empty()) {
        phoneTones_.stopSet();
        report(kEvToneSetStopped, 0);
        return;
    }
    phoneTones_.startSet(records);
    report(kEvToneSetStarted, static_cast<int32_t>(records.size()));
}

void Engine::apply(const ScenarioAction &a)
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
            return std::make_unique<ToneSource>(t, msToSamples(a.lengthMs));
        }
        case ActionVerb::Speech:
            return std::make_unique<SpeechSource>(msToSamples(a.lengthMs), static_cast<float>(a.dbm0), ++speechSeed_);
        default:
            return nullptr;
        }
    };
    switch (a.verb) {
    case ActionVerb::Ring:
        exchange_.ring(a.count, at_);
        return;
    case ActionVerb::Answer:
        exchange_.farAnswer(at_);
        return;
    case ActionVerb::Hangup:
        exchange_.farHangup(at_);
        return;
    case ActionVerb::OffHook:
        handset_.setOffHook(true);
        break;
    case ActionVerb::OnHook:
        handset_.setOffHook(false);
        break;
    case ActionVerb::Flash:
        handset_.flash(at_);
        break;
    case ActionVerb::Keys:
        handset_.pressKeys(a.digits);
        return;
    case ActionVerb::Dtmf:
    case ActionVerb::Tone:
    case ActionVerb::Speech:
        if (a.target == ActionTarget::Far)
            exchange_.farPlay(source());
        else if (a.target == ActionTarget::Pc)
            pcSources_.add(source());
        else
            handset_.speak(source());
        return;
    }
    updateHooks(at_);
}

void Engine::updateHooks(SampleTime now)
{
    const bool phone = handset_.offHook();
    if (phone != phoneOffHook_) {
        phoneOffHook_ = phone;
        report(phone ? kEvOffHook : kEvOnHook, 0, TVX_SIDE_PHONE);
        if (phone && paths_.phoneOnLine)
            usbSeized_ = false;  // the handset takes the call over
        refresh();
    }
    if (phone && phoneRinger_.active()) {
        phoneRinger_.stop();  // lifting the handset stops its ringing
        report(kEvRingingStopped, 0);
    }
    const bool line = usbSeized_ || (paths_.phoneOnLine && phone);
    if (line != lineOffHook_) {
        lineOffHook_ = line;
        report(line ? kEvOffHook : kEvOnHook, 0, TVX_SIDE_LINE);
        if (line) {
            lineOffHookSince_ = now;
            monitor_.reset();
            voice_.reset();
            lineDtmf_.reset();
        } else {
            dialler_.clear();
        }
    }
    const bool closed = !dialler_.breaking() && (usbSeized_ || (paths_.phoneOnLine && handset_.loopClosed(now)));
    if (closed != loopClosed_) {
        loopClosed_ = closed;
        exchange_.loop(closed, now);
    }
}

void Engine::step()
{
    refresh();
    size_t offset = 0;
    while (offset < kBlockSamples) {
        const SampleTime t = now_ + static_cast<SampleTime>(offset);
        at_ = t;
        while (nextAction_ < actions_.size() && msToSamples(actions_[nextAction_].timeMs) <= t)
            apply(actions_[nextAction_++]);
        updateHooks(t);
        size_t n = kBlockSamples - offset;
        if (nextAction_ < actions_.size())
            n = static_cast<size_t>(
                std::clamp<SampleTime>(msToSamples(actions_[nextAction_].timeMs) - t, 1, static_cast<SampleTime>(n)));
        // A flash of the handset ends inside the block: cut the block there too.
        const SampleTime flashEnd = handset_.flashEnd();
        if (flashEnd > t && flashEnd < t + static_cast<SampleTime>(n))
            n = static_cast<size_t>(flashEnd - t);
        processSegment(offset, n);
        offset += n;
    }
    at_ = now_ + kBlockSamples;
    for (auto it = later_.begin(); it != later_.end();) {
        if (it->time <= at_) {
            push(std::move(*it));
            it = later_.erase(it);
        } else {
            ++it;
        }
    }
    const BlockAudio block{
        now_, buf_.lineTx, buf_.lineRx, buf_.earpiece, buf_.mic, buf_.pcIn, buf_.pcOut, buf_.phoneRing, buf_.lineRing};
    for (AudioTap *tap : taps_)
        tap->onBlock(block);
    now_ += kBlockSamples;
}

void Engine::runUntil(SampleTime time)
{
    while (now_ < time)
        step();
}

void Engine::processSegment(size_t offset, size_t n)
{
    const SampleTime t = now_ + static_cast<SampleTime>(offset);
    const auto seg = [offset, n](auto &array) { return std::span<int16_t>(array.data() + offset, n); };
    const std::span<int16_t> mic = seg(buf_.mic), keypad = seg(buf_.keypad), pcOut = seg(buf_.pcOut),
                             dial = seg(buf_.dial), lineTx = seg(buf_.lineTx), exch = seg(buf_.exchange),
                             lineRx = seg(buf_.lineRx), ear = seg(buf_.earpiece), pcIn = seg(buf_.pcIn),
                             lineRing = seg(buf_.lineRing), phoneRing = seg(buf_.phoneRing);

    handset_.microphone(mic, keypad);
    std::fill(pcOut.begin(), pcOut.end(), int16_t{0});
    if (!pcSources_.empty())
        pcSources_.mixInto(pcOut);

    // The dialler: tones into the line, loop breaks to the exchange.
    std::fill(dial.begin(), dial.end(), int16_t{0});
    edges_.clear();
    dialEvents_.clear();
    if (lineOffHook_)
        dialler_.process(dial, t, lineOffHookSince_, timings_, *plan_, edges_, dialEvents_);
    for (const LoopEdge &e : edges_) {
        const bool closed = e.closed && lineOffHook_;
        if (closed != loopClosed_) {
            loopClosed_ = closed;
            exchange_.loop(closed, e.time);
        }
    }
    for (const DialEvent &e : dialEvents_) {
        EngineEvent ev;
        ev.time = e.time;
        ev.code = e.code;
        ev.param = e.param;
        push(std::move(ev));
    }

    route(lineTx, paths_.lineTx, mic, paths_.micGain, {}, pcOut, {});
    mixInto(lineTx, dial);

    exchange_.process(lineTx, exch, lineRing, t);
    std::copy(exch.begin(), exch.end(), lineRx.begin());
    if (lineOffHook_ && paths_.lineEcho)
        mixInto(lineRx, lineTx, dbToGain(-kEchoLossDb));
    applyGain(lineRx, paths_.lineRxGain);

    if (lineOffHook_) {
        hits_.clear();
        monitor_.process(lineRx, t, hits_);
        for (const MonitorHit &h : hits_) {
            EngineEvent ev;
            ev.time = h.time;
            ev.code = kEvToneMonitored;
            ev.toneRow = h.row;
            push(std::move(ev));
        }
        voiceChanges_.clear();
        voice_.process(lineRx, t, voiceChanges_);
        for (const VoiceChange &c : voiceChanges_) {
            EngineEvent ev;
            ev.time = c.time;
            ev.code = c.voice ? kEvVoiceDetected : kEvSilenceDetected;
            push(std::move(ev));
        }
        digits_.clear();
        if (lineDtmfOn_)
            lineDtmf_.process(lineRx, t, digits_);
        for (const DtmfDigit &d : digits_) {
            EngineEvent ev;
            ev.time = d.time;
            ev.code = kEvDtmfDetected;
            ev.param = dtmfKeyIndex(d.key);
            ev.side = TVX_SIDE_LINE;
            push(std::move(ev));
        }
        dialler_.listen(lineRx, t);
    }

    // The phone side.
    route(ear, paths_.earpiece, {}, 1.0f, lineRx, pcOut, {});
    if (phoneTones_.mixInto(ear))
        report(kEvToneStopped, 0);
    if (!earSources_.empty())
        earSources_.mixInto(ear);
    if (paths_.keypadSidetone)
        mixInto(ear, keypad, dbToGain(kKeypadSidetoneDb));
    applyGain(ear, paths_.earpieceGain);

    digits_.clear();
    if (phoneDtmfOn_)
        phoneDtmf_.process(mic, t, digits_);
    for (const DtmfDigit &d : digits_) {
        EngineEvent ev;
        ev.time = d.time;
        ev.code = kEvDtmfDetected;
        ev.param = dtmfKeyIndex(d.key);
        ev.side = TVX_SIDE_PHONE;
        push(std::move(ev));
    }

    route(pcIn, paths_.pcIn, mic, paths_.micGain, lineRx, pcOut, lineTx);

    // Ringing: the line's voltage reaches the phone when the phone is on the line.
    rings_.clear();
    ringDetector_.process(lineRing, t, rings_);
    for (const RingEdge &r : rings_) {
        EngineEvent ev;
        ev.time = r.time;
        ev.code = r.start ? kEvLineRing : kEvLineRingEnded;
        ev.param = r.start ? r.count : 0;
        ev.side = TVX_SIDE_LINE;
        push(std::move(ev));
    }
    phoneRinger_.process(phoneRing);
    if (paths_.phoneOnLine)
        mixInto(phoneRing, lineRing);
}

}  // namespace tvxsim
