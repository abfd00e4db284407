#include "simulator/engine/AdapterSnapshot.h"

#include "simulator/logic/Commands.h"

namespace tvxsim {

void ReadAdapterState(const Engine &engine, const LevelTap &levels, AdapterState &out)
{
    const DeviceState &state = engine.State();
    out.timeMs = SamplesToMs(engine.Now());
    out.phoneOffHook = engine.GetHandset().OffHook();
    out.lineOffHook = engine.LineOffHook();
    out.call = LineCallOf(engine.GetExchange().State());
    out.ringing = engine.PhoneRinging();
    out.bell = engine.BellSounding();
    out.ringerHz = state.ringerHz;
    out.melody = !state.melody.empty();
    out.leds = state.leds;
    out.display = engine.GetHandset().CallerId().Display();
    out.modeCode = CommandCodeOf(CommandKind::DeviceMode, state.deviceMode);
    out.mutePhone = state.mutePhone;
    out.muteLine = state.muteLine;
    out.pcSilent = state.pcSilent;
    out.echoSuppression = state.echoSuppression;
    out.daaBoost = state.daaBoost;
    out.keypadBeep = state.keypadBeep;
    out.wiretap = state.wiretap;
    out.headset = state.headset;
    out.cidcw = state.callWaiting;
    out.auxCode = CommandCodeOf(CommandKind::AuxContent, state.auxContent);
    out.analysis = state.analysisOn;
    out.levels = levels.Levels();
}

}  // namespace tvxsim
