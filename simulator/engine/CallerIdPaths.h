// The adapter's caller-ID paths. On the line: on hook the receiver takes
// whatever arrives; off hook the alert detector listens for call waiting,
// and with CIDCW on the adapter acknowledges with a DTMF D and takes the
// message that follows, the phone muted meanwhile, then passes the waiting
// caller on to the phone as call-waiting caller ID of its own (the CPE
// alert, the message once the phone acknowledges), so that a call-waiting
// phone shows it. Toward the phone: the
// generator (ScGenerateETSI_CID) with its ring, its signal in the earpiece
// and the phone's acknowledgement. The engine owns it and drives it block
// by block; it reports 16, 17, 97 and 224 to 228 into the engine's queue.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "device/tvxusb.h"
#include "simulator/engine/AlertDetector.h"
#include "simulator/engine/CallerIdGenerator.h"
#include "simulator/engine/CallerIdReceiver.h"
#include "simulator/engine/EventQueue.h"
#include "simulator/engine/Exchange.h"
#include "simulator/engine/Handset.h"
#include "simulator/engine/Ringer.h"
#include "simulator/engine/Sources.h"
#include "simulator/logic/DeviceState.h"
#include "simulator/logic/Scenario.h"

namespace tvxsim {

// A scenario's far caller as the exchange sends it: modem and timing follow
// each other, or else the local country; an unset date is the exchange's clock at `at`.
CidCall CallOf(const CallerIdSpec &request, const DeviceState &state, SampleTime at);

class CallerIdPaths {
public:
    static constexpr SampleTime kAlertMuteMax = MsToSamples(200);  // a pair that never became an alert
    static constexpr int32_t kAckMs = 60;                          // the DTMF D that acknowledges call waiting
    static constexpr SampleTime kCallWaitingListen = MsToSamples(2000);

    // The parts it works with belong to the engine and outlive it.
    CallerIdPaths(const DeviceState &state, const Handset &handset, Ringer &phoneRinger, SourceMixer &earSources,
                  EventQueue &events);
    CallerIdPaths(const CallerIdPaths &) = delete;
    CallerIdPaths &operator=(const CallerIdPaths &) = delete;

    // The line's hook changed: a reception or an alert in progress is forgotten.
    void ResetLine();
    // The adapter's own signal to the line (the acknowledgement), added into lineTx.
    void MixIntoLine(std::span<int16_t> lineTx);
    // What the line brings in a stretch starting at t (reported at t).
    void OnLine(std::span<const int16_t> lineRx, SampleTime t, bool lineOffHook);
    // Call waiting: the phone is muted both ways (from the CAS until its message,
    // and while the message is passed on to the phone).
    bool MutesPhone(SampleTime t) const { return cwMuteUntil_ > t || forwarding_; }

    // Starts a checked caller-ID record toward the phone; kErrBusy while one is still going.
    int32_t Generate(const CidGenRecord &record, SampleTime at);
    // The generator's steps due at t: its ring, its signal, its outcome.
    void ToPhone(SampleTime t);
    // A key the phone sent at `time` (its D or A acknowledges a call-waiting alert).
    void PhoneKey(char key, SampleTime time);
    // While the generator sends, the earpiece hears it alone.
    bool MutesEarpiece() const { return generator_.MutesLine(); }
    // The phone's ringer was stopped (the handset lifted): the generator's ring is over.
    void RingStopped() { generatorRinging_ = false; }
    // After the ringer's stretch: the generator's single ring that ended reports 17 at t.
    void AfterRinger(SampleTime t);

private:
    // Passes a call-waiting message received on the line on to the phone.
    void Forward(const std::vector<uint8_t> &bytes, SampleTime at);

    const DeviceState &state_;  // CIDCW, the local country, the ringer's frequency and time
    const Handset &handset_;    // its hook and its caller-ID display
    Ringer &phoneRinger_;       // rung once by the generator
    SourceMixer &earSources_;   // the generator's signal into the earpiece
    EventQueue &events_;        // where the events go

    CallerIdReceiver lineCid_;              // the line's FSK receiver
    AlertDetector lineAlert_;               // the call-waiting alert on the line, off hook
    SourceMixer adapterLine_;               // the adapter's own signals to the line (the acknowledgement)
    SampleTime cwArmedUntil_ = -1;          // the line's receiver takes a call-waiting message until then
    SampleTime cwMuteUntil_ = -1;           // the phone is muted until then
    CallerIdGenerator generator_;           // caller ID toward the phone
    uint32_t shownAtStart_ = 0;             // the phone's count of messages shown when the generator started
    bool generatorRinging_ = false;         // the phone rings the generator's single ring
    bool forwarding_ = false;               // the generator passes a waiting caller on to the phone (no event 97)
    std::vector<CidReception> receptions_;  // the line receiver's output of one stretch
    std::vector<AlertEdge> alerts_;         // the alert detector's output of one stretch
};

}  // namespace tvxsim
