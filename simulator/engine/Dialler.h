// The adapter's dialler: a queue of dial codes (ScDoCommand 140) played in
// order on the line: DTMF digits (0 to 15), pulse digits (16 to 25) as loop
// breaks, a hook flash (26), a pause (27), waits for dial tone (28) and for
// the answer (29). Digits go out 500 ms after the line was taken off hook.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <vector>

#include "simulator/engine/CallProgress.h"
#include "simulator/engine/Sources.h"

namespace tvxsim {

// Timings the dialler takes from the adapter's parameters when an item starts.
struct DialTimings {
    SampleTime dtmfOn = MsToSamples(95);       // each DTMF digit, and the gap after it
    SampleTime pulseBreak = MsToSamples(61);   // one dial pulse: loop open ...
    SampleTime pulseMake = MsToSamples(39);    // ... then closed
    SampleTime flashBreak = MsToSamples(700);  // hook flash
    SampleTime preFlash = MsToSamples(1000);
    SampleTime postFlash = MsToSamples(1000);
    SampleTime pause = MsToSamples(2000);
    SampleTime waitDialTone = MsToSamples(4000);
    SampleTime waitAnswer = MsToSamples(30000);
};

struct DialEvent {
    int32_t code;  // event code
    int32_t param;
    SampleTime time;
};

struct LoopEdge {
    bool closed;
    SampleTime time;
};

class Dialler {
public:
    static constexpr size_t kMaxQueue = 512;
    static constexpr SampleTime kSeizeSettle = MsToSamples(500);
    static constexpr SampleTime kPulseInterDigit = MsToSamples(800);

    // Queues a dial code 0..29; false when the queue is full.
    bool Enqueue(int32_t code);
    void Clear();
    bool Busy() const { return current_ >= 0 || !queue_.empty(); }
    bool Waiting() const { return phase_ == Phase::WaitDialTone || phase_ == Phase::WaitAnswer; }
    // True while the dialler holds the loop open (a pulse break or a flash).
    bool Breaking() const { return breaking_; }

    // Plays one stretch of time. lineOffHookSince: when the line was last
    // taken off hook (the dialler waits until it has settled). Dial tones go
    // into lineTx; loop breaks into edges; events (49 for each item as it
    // starts, and the outcome of each wait) into events.
    void Process(std::span<int16_t> lineTx, SampleTime start, SampleTime lineOffHookSince, const DialTimings &timings,
                 const TonePlan &plan, std::vector<LoopEdge> &edges, std::vector<DialEvent> &events);
    // The line's receive audio, for the waits.
    void Listen(std::span<const int16_t> lineRx, SampleTime start);

private:
    enum class Phase : uint8_t {
        Idle,
        Tone,
        PulseBreak,
        PulseMake,
        PreFlash,
        FlashBreak,
        PostFlash,
        Pause,
        WaitDialTone,
        WaitAnswer,
    };
    void Begin(SampleTime now, const DialTimings &t, const TonePlan &plan, std::vector<DialEvent> &events);
    // Advances the phase at `now`; false when the item is over.
    bool Advance(SampleTime now, const DialTimings &t, std::vector<LoopEdge> &edges, std::vector<DialEvent> &events);
    void SetBreaking(bool on, SampleTime now, std::vector<LoopEdge> &edges);

    std::deque<int32_t> queue_;
    int32_t current_ = -1;
    Phase phase_ = Phase::Idle;
    SampleTime phaseEnd_ = 0;
    int32_t pulsesLeft_ = 0;
    bool breaking_ = false;
    std::unique_ptr<DtmfSource> tone_;
    CallProgress progress_;
};

}  // namespace tvxsim
