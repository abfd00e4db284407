// What the C functions and live requests ask of the engine: commands,
// thresholds, tone sets, caller ID toward the phone and live items, each
// applied at once.
#include "simulator/engine/Engine.h"

#include <cstdio>
#include <cstdlib>

#include "simulator/logic/Commands.h"
#include "simulator/logic/EventNames.h"
#include "simulator/logic/Parameters.h"
#include "simulator/logic/SimErrors.h"

namespace tvxsim {
namespace {

constexpr int32_t kRegisterBytesShown = 16;

}  // namespace

int32_t Engine::DoCommand(int32_t code, int32_t param)
{
    const CommandRow *row = FindCommand(code);
    if (row == nullptr)
        return kErrBadArgument;
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

int32_t Engine::GenerateCallerId(const CidGenRecord &record) { return callerId_.Generate(record, at_); }

void Engine::SetLocalCountry(const std::string &text)
{
    state_.localCountry = text;
    Report(kEvLocalCountry, std::atoi(text.c_str()));
    Refresh();
}

void Engine::SetDestinationCountry(const std::string &text)
{
    state_.destinationCountry = text;
    Report(kEvDestinationCountry, std::atoi(text.c_str()));
}

void Engine::WriteRegisters(int32_t block, int32_t reg, std::span<const uint8_t> values)
{
    std::string detail = "Hardware registers " + std::to_string(block) + ":" + std::to_string(reg) + " written:";
    for (size_t i = 0; i < values.size(); ++i) {
        state_.registers[static_cast<size_t>(block * kRegistersPerBlock + reg) + i] = values[i];
        if (i < kRegisterBytesShown) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02X", values[i]);
            detail += hex;
        }
    }
    if (values.size() > kRegisterBytesShown)
        detail += " ...";
    Report(kEvRegistersWritten, block << 8 | reg, 0, std::move(detail));
    Refresh();  // the codec's gains
}

void Engine::SetLeds(uint8_t mask)
{
    state_.leds = mask;
    Report(kEvLeds, mask);
}

void Engine::LoadMelody(std::span<const uint8_t> bytes)
{
    state_.melody.assign(bytes.begin(), bytes.end());
    Report(kEvMelodyLoaded, static_cast<int32_t>(bytes.size()));
}

void Engine::ProgramSerial(const std::string &serial)
{
    state_.serial = serial;
    Report(kEvSerialProgrammed, 0);
}

void Engine::Erase(bool settingsOnly)
{
    state_.FactoryReset();
    Report(settingsOnly ? kEvSettingsErased : kEvDeviceErased, 0);
    Refresh();
}

std::string Engine::ApplyLive(const ScenarioItem &item, const RawSink &raw, std::unique_ptr<Source> play)
{
    if (const auto *action = std::get_if<ScenarioAction>(&item)) {
        if (action->verb != ActionVerb::Play)
            return Apply(*action);
        if (!play)
            return "cannot play \"" + action->file + "\": not opened";
        Play(action->target, std::move(play));
        return {};
    }
    if (const auto *rule = std::get_if<NumberRule>(&item))
        return exchange_.AddNumber(*rule) ? std::string() : "the number table is full";
    const auto &ev = std::get<ScenarioEvent>(item);
    EngineEvent e;
    e.time = now_;
    e.code = ev.code;
    e.param = ev.param;
    e.side = ev.side;
    e.toneRow = ev.toneRow;
    e.payload = ev.payload;
    if (!raw || !raw(std::move(e)))
        return "too many raw events are waiting to be delivered";
    return {};
}

}  // namespace tvxsim
