// Where the detectors' output becomes the adapter's events: one overload of
// EventOf per kind of output, and PushEvents, which every detector's output
// goes through on its way into the queue.
#pragma once

#include <cstdint>
#include <vector>

#include "simulator/engine/CallerIdReceiver.h"
#include "simulator/engine/Dialler.h"
#include "simulator/engine/DtmfReceiver.h"
#include "simulator/engine/EngineEvent.h"
#include "simulator/engine/EventQueue.h"
#include "simulator/engine/RingDetector.h"
#include "simulator/engine/ToneMonitor.h"
#include "simulator/engine/VoiceDetector.h"

namespace tvxsim {

EngineEvent EventOf(const DialEvent &e);                       // the dialler's own events, as it gives them
EngineEvent EventOf(const MonitorHit &h);                      // 229 with the armed row
EngineEvent EventOf(const VoiceChange &c);                     // 112 voice, 113 silence
EngineEvent EventOf(const DtmfDigit &d, int32_t side);         // 48 with the key's index
EngineEvent EventOf(const RingEdge &r);                        // 18 with the ring's number, 19 at its end
EngineEvent EventOf(const CidReception &r, bool callWaiting);  // 225 to 228 with the bytes

// Every output, in order, as its event (extra: what EventOf takes beside it).
template <class Output, class... Extra>
void PushEvents(EventQueue &queue, const std::vector<Output> &outputs, const Extra &...extra)
{
    for (const Output &o : outputs)
        queue.Push(EventOf(o, extra...));
}

}  // namespace tvxsim
