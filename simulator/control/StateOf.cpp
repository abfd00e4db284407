#include "simulator/control/StateOf.h"

#include <array>

namespace tvxsim {
namespace {

// Command codes are item * 16 + group (logic/Commands.h).
constexpr int32_t kDeviceModeGroup = 10;
constexpr int32_t kAuxContentGroup = 14;

struct CallRow {
    CallState exchange;
    LineCall shown;
};
constexpr std::array<CallRow, 9> kCalls = {{
    {CallState::Idle, LineCall::Idle},
    {CallState::Ringing, LineCall::Ringing},
    {CallState::DialTone, LineCall::DialTone},
    {CallState::Collecting, LineCall::Dialling},
    {CallState::RingBack, LineCall::Ringback},
    {CallState::Busy, LineCall::Busy},
    {CallState::Connected, LineCall::Connected},
    {CallState::Cleared, LineCall::Busy},  // the far party hung up: busy tone
    {CallState::Reorder, LineCall::Reorder},
}};

}  // namespace

LineCall LineCallOf(CallState state)
{
    for (const CallRow &row : kCalls)
        if (row.exchange == state)
            return row.shown;
    return LineCall::Idle;
}

void ReadAdapterState(Engine &engine, const DeviceState &state, const LevelTap &levels, AdapterState &out)
{
    out.timeMs = SamplesToMs(engine.Now());
    out.phoneOffHook = engine.GetHandset().OffHook();
    out.lineOffHook = engine.LineOffHook();
    out.call = LineCallOf(engine.GetExchange().State());
    out.ringing = engine.PhoneRinging();
    out.ringerHz = state.ringerHz;
    out.melody = !state.melody.empty();
    out.leds = state.leds;
    out.display = engine.GetHandset().CallerId().Display();
    out.modeCode = state.deviceMode * 16 + kDeviceModeGroup;
    out.mutePhone = state.mutePhone;
    out.muteLine = state.muteLine;
    out.pcSilent = state.pcSilent;
    out.echoSuppression = state.echoSuppression;
    out.daaBoost = state.daaBoost;
    out.keypadBeep = state.keypadBeep;
    out.wiretap = state.wiretap;
    out.headset = state.headset;
    out.cidcw = state.callWaiting;
    out.auxCode = state.auxContent * 16 + kAuxContentGroup;
    out.analysis = state.analysisOn;
    out.levels = levels.Levels();
}

}  // namespace tvxsim
