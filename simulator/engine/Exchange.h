// The simulated exchange at the far end of the analogue line: it watches the
// loop (off hook, on hook, pulse breaks, hook flashes) and the line's
// transmit audio (DTMF digits), gives the local country's dial tone, collects
// the number, routes it (ring-back and answer, busy, no answer), connects the
// far party, and rings the line for incoming calls.
//
// Loop breaks: shorter than 150 ms a dial pulse (a make longer than 200 ms
// ends the digit), 150 ms to 1.5 s a hook flash (register recall), longer
// the end of the call. The number is complete 3 s after its last digit.
//
// Caller ID on an incoming call: with North American timing the message
// starts 500 ms after the first ring has ended and ends at least 200 ms
// before the second (the silence is lengthened for a long message); with
// ETSI timing the line is reversed, 100 ms later the dual-tone alert
// (2130 + 2750 Hz, 100 ms, -15 dBm0) sounds, the message follows 100 ms
// after it, and the first ring 250 ms after the message. Call waiting,
// during a call: the far party is muted, the subscriber alerting signal
// (440 Hz, 300 ms) and 50 ms later the CAS (2130 + 2750 Hz, 80 ms, -15 dBm0)
// sound; a DTMF D or A heard within 250 ms of the CAS's end brings the
// message 100 ms later, no acknowledgement brings nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "simulator/engine/CadencedTone.h"
#include "simulator/engine/DtmfReceiver.h"
#include "simulator/engine/FskSource.h"
#include "simulator/engine/Ringer.h"
#include "simulator/engine/Sources.h"
#include "simulator/engine/TonePlan.h"
#include "simulator/logic/AdapterState.h"
#include "simulator/logic/Scenario.h"

namespace tvxsim {

enum class CallState : uint8_t {
    Idle,        // loop open, nothing going on
    Ringing,     // ringing the line for an incoming call
    DialTone,    // off hook, waiting for the first digit
    Collecting,  // digits coming in
    RingBack,    // the called number is being rung
    Busy,        // the called number is busy
    Connected,   // talking to the far party
    Cleared,     // the far party hung up: busy tone
    Reorder,     // no number dialled in time
};
const char *CallStateName(CallState state);
// The call as the state lines name it.
LineCall LineCallOf(CallState state);

// A caller's message as the exchange sends it.
struct CidCall {
    std::vector<uint8_t> message;  // type, length, parameters, checksum
    CidModem modem = CidModem::Bell202;
    bool etsi = false;  // ETSI timing
    float dbm0 = -13.0f;
};

class Exchange {
public:
    static constexpr SampleTime kPulseBreakMax = MsToSamples(150);
    static constexpr SampleTime kFlashBreakMax = MsToSamples(1500);
    static constexpr SampleTime kDigitEndMake = MsToSamples(200);
    static constexpr SampleTime kNumberComplete = MsToSamples(3000);
    static constexpr SampleTime kDialToneTimeout = MsToSamples(20000);
    static constexpr SampleTime kDefaultAnswer = MsToSamples(5000);
    static constexpr SampleTime kDefaultTalk = MsToSamples(20000);
    static constexpr float kFarSpeechDbm0 = -20.0f;
    static constexpr size_t kMaxNumber = 32;
    static constexpr size_t kMaxNumberRules = 65536;
    static constexpr SampleTime kFirstRingToData = MsToSamples(500);
    static constexpr SampleTime kDataToRing = MsToSamples(250);
    static constexpr SampleTime kReversalToAlert = MsToSamples(100);
    static constexpr SampleTime kAlertLength = MsToSamples(100);
    static constexpr SampleTime kAlertToData = MsToSamples(100);
    static constexpr SampleTime kSasLength = MsToSamples(300);
    static constexpr SampleTime kSasToCas = MsToSamples(50);
    static constexpr SampleTime kCasLength = MsToSamples(80);
    static constexpr SampleTime kAckWindow = MsToSamples(250);  // after the CAS
    static constexpr SampleTime kAckToData = MsToSamples(100);
    static constexpr float kAlertDbm0 = -15.0f;
    static constexpr float kSasDbm0 = -13.0f;
    static constexpr int32_t kSasHz = 440;

    Exchange();

    void SetPlan(const TonePlan &plan) { plan_ = &plan; }
    const TonePlan &Plan() const { return *plan_; }
    void SetNumbers(std::vector<NumberRule> numbers) { numbers_ = std::move(numbers); }
    // Routes a number from now on: replaces the rule for the same digits, else
    // adds one. False (nothing changed) when kMaxNumberRules are already set.
    bool AddNumber(NumberRule rule);

    // The loop closed (off hook) or opened at `time`. Edges come in time order.
    void Loop(bool closed, SampleTime time);
    bool LoopClosed() const { return closed_; }

    // The far party.
    void Ring(int32_t count, SampleTime now);  // count < 0: until answered or hung up
    void FarAnswer(SampleTime now);
    void FarHangup(SampleTime now);
    void FarPlay(std::unique_ptr<Source> source) { far_.Add(std::move(source)); }
    // Rings the line for a call whose caller ID is `call`: "" when it rings,
    // else why the call cannot ring now (only an idle line on hook rings).
    std::string Call(const CidCall &call, SampleTime now);
    // Call waiting with caller ID `call`: "" when it comes, else why not
    // (only during a connected call with no caller ID under way).
    std::string CallWaiting(const CidCall &call, SampleTime now);
    // The line's polarity is reversed (ETSI caller ID; until the call ends).
    bool Reversed() const { return reversed_; }
    // A caller-ID sequence is going on (the far party is muted during call waiting).
    bool SendingCallerId() const { return cidPhase_ != CidPhase::None; }
    // Signals the exchange itself puts on the line, heard on hook as well.
    void LinePlay(std::unique_ptr<Source> source) { lineSignals_.Add(std::move(source)); }

    // One stretch of time: hears lineTx, writes what it sends toward the
    // adapter into toAdapter and the ringing voltage into ringVoltage.
    // farVoice (empty, or as long as toAdapter) is a live far party's voice,
    // heard like the far party's sources.
    void Process(std::span<const int16_t> lineTx, std::span<int16_t> toAdapter, std::span<int16_t> ringVoltage,
                 SampleTime start, std::span<const int16_t> farVoice = {});

    CallState State() const { return state_; }
    const std::string &Number() const { return number_; }  // digits collected for the current call
    const std::string &LastRouted() const { return routed_; }
    int32_t Flashes() const { return flashes_; }
    bool Holding() const { return held_; }
    bool Ringing() const { return ringer_.Active(); }
    // Loop breaks and makes of the last pulse digit, as the exchange timed them.
    const std::vector<SampleTime> &PulseBreaks() const { return pulseBreaks_; }
    const std::vector<SampleTime> &PulseMakes() const { return pulseMakes_; }

private:
    enum class CidPhase : uint8_t {
        None,
        Alert,     // ETSI: the dual-tone alert is due
        Data,      // the message is due
        Ring,      // ETSI: the first ring is due
        Cas,       // call waiting: the CAS is due
        AwaitAck,  // call waiting: listening for D or A until the deadline
        CwData,    // call waiting: the message is due
        CwEnd,     // call waiting: the message plays until then
    };
    void Enter(CallState state, SampleTime now);
    void CidTimers(SampleTime start, SampleTime end);
    void CancelCallerId();
    void StartRinging(int32_t count);
    void PlayCid(std::unique_ptr<Source> source, SampleTime delay);
    void AddDigit(char key, SampleTime now);
    void Route(SampleTime now);
    void Connect(SampleTime now, bool talks);
    void Release(SampleTime now);
    void Recall(SampleTime now);
    void Timers(SampleTime now);
    void StartTone(std::optional<ProgressTone> tone);

    const TonePlan *plan_;
    std::vector<NumberRule> numbers_;
    CallState state_ = CallState::Idle;
    SampleTime stateSince_ = 0;
    bool closed_ = false;
    SampleTime breakStart_ = 0;
    SampleTime lastMake_ = 0;
    int32_t pulses_ = 0;
    SampleTime lastDigit_ = 0;
    std::string number_;
    std::string routed_;
    int32_t flashes_ = 0;
    bool held_ = false;
    SampleTime answerAt_ = -1;
    SampleTime hangupAt_ = -1;
    std::unique_ptr<CadencedTone> tone_;
    DtmfReceiver digits_;
    std::vector<DtmfDigit> heard_;
    Ringer ringer_;
    SourceMixer far_;
    SourceMixer lineSignals_;
    std::vector<int16_t> scratch_;
    std::vector<SampleTime> pulseBreaks_;
    std::vector<SampleTime> pulseMakes_;
    uint32_t calls_ = 0;
    CidPhase cidPhase_ = CidPhase::None;
    CidCall cid_;
    SampleTime cidNext_ = 0;  // when the phase's step is due
    SourceMixer cidSignals_;
    bool reversed_ = false;
};

}  // namespace tvxsim
