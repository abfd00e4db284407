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
//
// With a far line (a SIP line, FarLine.h) the exchange's calls beyond it go
// there: a dialled number that is not one of the line's local numbers is
// called over it (when the inter-digit time has passed, or at once after a
// '#'), and the far line's incoming calls ring the line with caller ID. The
// exchange decides what each call does; the far line carries it:
//  - outgoing: silence until the far end rings (ring-back), plays its own
//    early media (local ring-back until its audio arrives), answers,
//    is busy (busy tone) or fails, or gives no answer in 32 s (reorder);
//  - incoming: ringing until the loop closes (answer) or the caller gives up;
//    a second call during a connected one is call waiting (alert and caller
//    ID), a third is refused; a flash takes the waiting call and holds the
//    first, another swaps them back; the hook going down with a call held or
//    waiting rings the line again for it;
//  - a far hang-up of the connected call gives busy tone as the simulated far
//    party's does; digits heard on line transmit during a call go to the far
//    line as they start and end, and its digits play onto line receive.
// Without a far line nothing of this happens: the simulated exchange alone.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "simulator/engine/CadencedTone.h"
#include "simulator/engine/DtmfReceiver.h"
#include "simulator/engine/FarLine.h"
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
    Reorder,     // no number dialled in time, or the far line's call failed
    Calling,     // a call over the far line awaits the far end's first word
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
    static constexpr SampleTime kFarAnswerTimeout = MsToSamples(32000);  // an outgoing far-line call, unanswered
    static constexpr int32_t kFarDigitMaxMs = 10000;                     // a far end's digit without its end

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

    // The far line beyond the exchange (null: none). Its calls in progress are
    // ended first when it is replaced.
    void SetFarLine(FarLine *line, SampleTime now);
    bool HasFarLine() const { return farLine_ != nullptr; }
    // Once per block, before it: what the far line said (an incoming call's
    // caller ID made ready by `callOf`), and the far party's voice of the
    // block into `voice` (a block long). False when no voice is heard.
    bool BeginBlock(SampleTime now, const std::function<CidCall(const CallerIdSpec &)> &callOf,
                    std::span<int16_t> voice);
    // Once per block, after it: the block's line transmit toward the far line's call.
    void EndBlock(std::span<const int16_t> lineTx);
    // The far line's call on the line now, the one on hold and the one waiting (0: none).
    FarCallId FarCall() const { return farCall_; }
    FarCallId FarHeld() const { return farHeld_; }
    FarCallId FarWaiting() const { return farWaiting_; }

    // One stretch of time: hears lineTx, writes what it sends toward the
    // adapter into toAdapter and the ringing voltage into ringVoltage.
    // farVoice and farLine (each empty, or as long as toAdapter) are a live
    // far party's voice and the far line's, heard like the far party's sources.
    void Process(std::span<const int16_t> lineTx, std::span<int16_t> toAdapter, std::span<int16_t> ringVoltage,
                 SampleTime start, std::span<const int16_t> farVoice = {}, std::span<const int16_t> farLine = {});

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
    // The far line's side (ExchangeFarLine.cpp).
    void OnFarEvent(const FarLineEvent &event, const CidCall &cid, SampleTime now);
    bool FarNumber(const std::string &number) const;  // dialled over the far line, not routed here
    void DialFar(SampleTime now);
    bool FarRecall(SampleTime now);    // a flash with a far-line call: true when taken care of
    void FarAnswered(SampleTime now);  // the loop closed on a ringing far-line call
    void FarReleased();                // the call ended at this end: the far line's calls too
    bool RingAgain(SampleTime now);    // after the hook went down: a held or waiting call rings the line
    void FarDigits(std::span<const int16_t> lineTx, SampleTime start);
    void EndFarDigit();               // a digit told to the current call ends there
    void SetFarCall(FarCallId call);  // the current call (or none), its flags afresh
    void EndFarCalls();

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

    FarLine *farLine_ = nullptr;        // the far line beyond the exchange, or none
    FarCallId farCall_ = 0;             // its call on the line: ringing, calling or connected
    FarCallId farHeld_ = 0;             // its call on hold (a flash took another, or dial tone)
    FarCallId farWaiting_ = 0;          // its incoming call waiting during a connected one
    bool farOutgoing_ = false;          // farCall_ was dialled here
    bool farEarly_ = false;             // the far end plays early media: local ring-back until it comes
    bool farMedia_ = false;             // the far end's audio of farCall_ has begun
    bool farRinging_ = false;           // the line rings for farCall_ (incoming, or rung again)
    bool farResume_ = false;            // farCall_ rings again after the hook went down: take it off hold
    SampleTime farDialledAt_ = 0;       // when farCall_ was dialled
    bool farDigitOn_ = false;           // a digit on line transmit has been told to the far line
    std::unique_ptr<Source> farDigit_;  // the far end's digit playing onto line receive
};

}  // namespace tvxsim
