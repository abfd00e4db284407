#include "simulator/engine/Routing.h"

#include <algorithm>

namespace tvxsim {
namespace {

float CodecGain(const DeviceState &s, int32_t reg)
{
    const int32_t v = std::clamp(s.RegisterValue(kCodecBoostBlock, reg), 0, kCodecMaxSteps);
    return DbToGain(kCodecStepDb * static_cast<float>(v));
}

}  // namespace

Paths RoutePaths(const DeviceState &s)
{
    const ModeRoute &m = kModeRoutes[static_cast<size_t>(std::clamp(s.deviceMode, 0, 7))];
    Paths p;
    p.earpiece = m.earpiece;
    p.lineTx = m.lineTx;
    p.pcIn = m.pcIn;
    p.phoneOnLine = m.phoneOnLine;
    p.holdsLine = m.holdsLine;

    if (s.wiretap)
        p.pcIn = kFromLine | kFromLineTx;
    if (s.auxContent == kAuxWaveOut)
        p.pcIn = kFromPc;
    else if (s.auxContent == kAuxMixed)
        p.pcIn |= kFromPc;
    if (s.mutePhone) {
        p.lineTx &= static_cast<uint8_t>(~kFromMic);
        p.pcIn &= static_cast<uint8_t>(~kFromMic);
    }
    if (s.muteLine)
        p.lineTx = 0;
    if (s.pcSilent) {
        p.pcIn = 0;
        p.earpiece &= static_cast<uint8_t>(~kFromPc);
        p.lineTx &= static_cast<uint8_t>(~kFromPc);
    }
    p.lineEcho = !s.echoSuppression;
    p.lineRxGain = s.daaBoost ? DbToGain(kDaaBoostDb) : 1.0f;
    p.micGain = CodecGain(s, kCodecMicRegister);
    p.earpieceGain = CodecGain(s, kCodecEarRegister);
    p.keypadSidetone = s.keypadBeep;
    return p;
}

SampleTime ParamTime(const DeviceState &state, Param p)
{
    return MsToSamples(static_cast<int64_t>(state.Parameter(p)) * ParameterRowOf(p).unitMs);
}

}  // namespace tvxsim
