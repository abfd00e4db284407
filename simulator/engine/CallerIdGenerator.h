// The adapter's caller-ID generator toward the phone (ScGenerateETSI_CID):
// it rings the phone once first when asked (the message 500 ms after the
// ring), or for call waiting sends the CAS (2130 + 2750 Hz, 80 ms) and,
// when it is to wait for the acknowledgement, sends the message 100 ms after
// the phone's DTMF D or A if that comes within 250 ms of the CAS's end, and
// nothing otherwise (without waiting, 300 ms after the CAS). FSK messages
// go with the on-hook framing, or the off-hook one after a CAS; DTMF caller
// ID keys last 70 ms with 70 ms between them. It finishes 200 ms after the
// signal, when the phone has had time to show it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "simulator/engine/FskSource.h"

namespace tvxsim {

struct CidGeneration {
    uint8_t msgType = 0;
    std::vector<uint8_t> message;  // FSK: type, length, parameters, checksum
    std::string dtmf;              // DTMF caller ID keys (DTMF types)
    CidModem modem = CidModem::V23;
    float dbm0 = -12.0f;  // each tone's level; below -100 nothing is sent
    bool ring = false;
    SampleTime ringLength = 0;
    bool callWaiting = false;
    bool waitAck = false;
};

class CallerIdGenerator {
public:
    static constexpr SampleTime kRingToData = MsToSamples(500);
    static constexpr SampleTime kCasLength = MsToSamples(80);
    static constexpr SampleTime kAckWindow = MsToSamples(250);
    static constexpr SampleTime kAckToData = MsToSamples(100);
    static constexpr SampleTime kNoWaitToData = MsToSamples(300);
    static constexpr SampleTime kSettle = MsToSamples(200);
    static constexpr int32_t kDtmfOnMs = 70;
    static constexpr int32_t kDtmfOffMs = 70;

    // What falls due at a time.
    struct Step {
        bool ring = false;             // ring the phone once now
        std::unique_ptr<Source> play;  // into the phone's earpiece
        bool finished = false;         // the generation is over
        bool acknowledged = true;      // false: no acknowledgement came, nothing was sent
    };

    bool Busy() const { return phase_ != Phase::Idle; }
    // While it sends, the phone hears it alone: the line's audio is kept from the earpiece.
    bool MutesLine() const { return Busy(); }
    bool AwaitingAck() const { return phase_ == Phase::AwaitAck; }
    uint8_t MsgType() const { return job_.msgType; }
    void Start(CidGeneration job, SampleTime now);
    // The phone's D or A heard at `time`.
    void Ack(SampleTime time);
    Step Advance(SampleTime now);

private:
    enum class Phase : uint8_t {
        Idle,
        Ring,
        Cas,
        AwaitAck,
        Data,
        Settle,
    };
    std::unique_ptr<Source> Signal(SampleTime &length) const;

    CidGeneration job_;
    Phase phase_ = Phase::Idle;
    SampleTime next_ = 0;
};

}  // namespace tvxsim
