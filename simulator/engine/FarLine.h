// The exchange's door to a far end beyond the simulated exchange: a real
// line (a SIP account) that calls the adapter and that the adapter calls.
// The exchange decides what each call does (ringing, waiting, busy, hold,
// reorder); the far line only carries it.
//
// Every function here is called on the engine's thread and returns at
// once: an implementation hands commands to a thread of its own and reads
// what that thread reported from bounded queues. Nothing here waits on the
// network, a lock held by another thread for long, or a disk.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "simulator/logic/Scenario.h"

namespace tvxsim {

// A call on the far line; 0 is no call. Chosen by the far line, for calls in
// both directions.
using FarCallId = uint32_t;

enum class FarLineEventKind : uint8_t {
    Incoming,      // a call arrives: `call`, `caller` (the far line answers 100 itself)
    Cancelled,     // the caller gave up before the line answered
    Ringing,       // an outgoing call rings at the far end (180)
    EarlyMedia,    // the far end will play its own ring-back or announcement (183 with SDP)
    MediaStarted,  // the far end's audio of the call has begun to arrive
    Answered,      // the far end answered an outgoing call (200)
    Busy,          // an outgoing call found the far end busy (486, 600)
    Failed,        // any other final failure of an outgoing call: `reason`
    HungUp,        // the far end ended a call (BYE), or its audio stopped for 30 s: `reason`
    DigitStart,    // the far end sends a digit: `digit`; `durationMs` > 0: it lasts that long,
                   // 0: until DigitEnd
    DigitEnd,      // the digit of the last DigitStart (without a duration) has ended
};

struct FarLineEvent {
    FarLineEventKind kind = FarLineEventKind::Incoming;
    FarCallId call = 0;
    CallerIdSpec caller;     // Incoming: name, number, absence (the date is the wall clock's)
    char digit = 0;          // DigitStart: 0-9, *, #, A-D
    int32_t durationMs = 0;  // DigitStart
    std::string reason;      // Failed, HungUp: for the state lines ("404 Not Found")
};

// What the exchange needs to know of the far line to decide.
struct FarLinePlan {
    std::vector<std::string> localNumbers;  // dialled numbers that stay on the simulated exchange
    bool relayFlash = false;                // a hook flash goes to the far end (INFO), not to the exchange's hold
};

class FarLine {
public:
    virtual ~FarLine() = default;

    virtual const FarLinePlan &Plan() const = 0;

    // What the far end said since the last call, in order; false when nothing more.
    virtual bool Next(FarLineEvent &event) = 0;

    // An outgoing call to `number`; its id, or 0 when no call can be placed now.
    virtual FarCallId Dial(std::string_view number) = 0;
    // An incoming call rings the line (180), or is waiting during a call (180 too).
    virtual void Alert(FarCallId call) = 0;
    // The line took an incoming call (200 with the SDP answer).
    virtual void Answer(FarCallId call) = 0;
    // The line refuses an incoming call: busy here (486).
    virtual void Refuse(FarCallId call) = 0;
    // Ends a call: BYE once answered, CANCEL (outgoing) or 486 (incoming) before.
    virtual void HangUp(FarCallId call) = 0;
    // Puts an answered call on hold (re-INVITE sendonly) or takes it back (sendrecv).
    virtual void Hold(FarCallId call, bool held) = 0;
    // A hook flash for the far end (INFO hook-flash), when the plan relays flashes.
    virtual void Flash(FarCallId call) = 0;
    // A digit heard on line transmit during the call starts (its tone is kept out of
    // the call's audio while it lasts, where the line sends digits out of band) and ends.
    virtual void DigitStart(FarCallId call, char digit) = 0;
    virtual void DigitEnd(FarCallId call) = 0;

    // One block of the far party's voice of `call` (silence when none has come).
    virtual void Hear(FarCallId call, std::span<int16_t> out) = 0;
    // One block of line transmit toward the far party of `call`.
    virtual void Speak(FarCallId call, std::span<const int16_t> lineTx) = 0;
};

}  // namespace tvxsim
