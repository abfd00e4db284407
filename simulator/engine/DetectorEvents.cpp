#include "simulator/engine/DetectorEvents.h"

#include <string>

#include "device/tvxusb.h"
#include "simulator/logic/EventNames.h"

namespace tvxsim {

EngineEvent EventOf(const DialEvent &e)
{
    EngineEvent ev;
    ev.time = e.time;
    ev.code = e.code;
    ev.param = e.param;
    return ev;
}

EngineEvent EventOf(const MonitorHit &h)
{
    EngineEvent ev;
    ev.time = h.time;
    ev.code = kEvToneMonitored;
    ev.toneRow = h.row;
    return ev;
}

EngineEvent EventOf(const VoiceChange &c)
{
    EngineEvent ev;
    ev.time = c.time;
    ev.code = c.voice ? kEvVoiceDetected : kEvSilenceDetected;
    return ev;
}

EngineEvent EventOf(const DtmfDigit &d, int32_t side)
{
    EngineEvent ev;
    ev.time = d.time;
    ev.code = kEvDtmfDetected;
    ev.param = DtmfKeyIndex(d.key);
    ev.side = side;
    return ev;
}

EngineEvent EventOf(const RingEdge &r)
{
    EngineEvent ev;
    ev.time = r.time;
    ev.code = r.start ? kEvLineRing : kEvLineRingEnded;
    ev.param = r.start ? r.count : 0;
    ev.side = TVX_SIDE_LINE;
    return ev;
}

EngineEvent EventOf(const CidReception &r, bool callWaiting)
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
    return ev;
}

}  // namespace tvxsim
