// A stand-in for the exchange on the far line's door: a thread of its own
// that moves in 20 ms blocks as the engine's does, hands each call's line
// transmit to the line (Speak) and takes its received audio (Hear), and
// keeps what the line reported. Tests script it from their own thread.
//
// Digits it sends are DTMF tones on line transmit; like the exchange's own
// receiver it reports each to the line 35 ms into its tone (DigitStart)
// and 35 ms after it ends (DigitEnd). It listens to each call's received
// audio with a DTMF receiver of the signal library.
#pragma once

#include <spandsp.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "simulator/engine/FarLine.h"

namespace tvxsim::sip::test {

class FakeExchange {
public:
    // What it does with an incoming call by itself.
    enum class OnIncoming : uint8_t {
        Nothing,      // the test decides
        Alert,        // 180
        AlertAnswer,  // 180, then 200 after `answerAfterMs`
        Refuse,       // 486
    };

    explicit FakeExchange(FarLine &line);
    ~FakeExchange();

    void SetOnIncoming(OnIncoming what, int answerAfterMs = 0);
    // Decides each incoming call by its number among them (0 the first).
    void SetIncomingPolicy(std::function<OnIncoming(int index)> policy, int answerAfterMs = 0);
    // While paused the exchange takes no events from the line (its blocks go on).
    void Pause(bool paused);

    // The test's thread; each takes effect at the next block.
    FarCallId Dial(const std::string &number);  // waits for the block that dials; 0 when refused
    void Answer(FarCallId call);
    void Alert(FarCallId call);
    void Refuse(FarCallId call);
    void HangUp(FarCallId call);
    void Hold(FarCallId call, bool held);
    void Flash(FarCallId call);
    // DTMF on the call's line transmit: each key `onMs` of tone, `offMs` between.
    void SendDigits(FarCallId call, const std::string &keys, int onMs = 100, int offMs = 100);
    // A click (a short full-scale burst) at the start of the next block's
    // line transmit; waits for that block and gives its number.
    int64_t Click(FarCallId call);
    // Line transmit of the call from now on: `source` gives each block (empty: silence).
    void SetSource(FarCallId call, std::function<void(std::span<int16_t>)> source);

    // What the line reported, in order ("Incoming 2", "Ringing 1", "DigitStart 1 5", ...).
    std::vector<std::string> Log() const;
    std::vector<FarLineEvent> Events() const;
    // Waits until an event of `kind` (for `call`, or any call when 0) has come.
    bool WaitFor(FarLineEventKind kind, FarCallId call, int timeoutMs, FarLineEvent *event = nullptr);
    bool WaitUntil(const std::function<bool()> &done, int timeoutMs);
    // Digits the line's events carried for the call (DigitStart), and those
    // the DTMF receiver heard in the call's received audio.
    std::string DigitEvents(FarCallId call) const;
    std::string HeardDigits(FarCallId call) const;
    // The call's received audio so far.
    std::vector<int16_t> Received(FarCallId call) const;
    // The first sample of the call's received audio, from block `fromBlock`
    // on, beyond `threshold`: its number counted in samples from block 0
    // (block x 160 + offset); -1 when none.
    int64_t FirstLoudSample(FarCallId call, int64_t fromBlock, int threshold) const;
    // Blocks run so far.
    int64_t Blocks() const { return blocks_.load(); }

private:
    struct Call {
        bool connected = false;
        bool early = false;  // the far end's early media is playing: heard, not spoken to
        bool held = false;
        std::string keys;  // digits still to send
        int onMs = 100;
        int offMs = 100;
        dtmf_tx_state_t *tx = nullptr;
        int toneLeftMs = 0;     // of the current key's tone
        int gapLeftMs = 0;      // of the pause after it
        int toneMs = 0;         // how long the current tone has sounded
        bool reported = false;  // DigitStart given for the current tone
        int endInMs = -1;       // DigitEnd due in this many ms
        char key = 0;
        bool click = false;
        std::function<void(std::span<int16_t>)> source;
        dtmf_rx_state_t *rx = nullptr;
        std::string heard;
        std::string events;
        std::vector<int16_t> received;
        int64_t firstBlock = -1;  // the block whose audio received[0] is
    };

    void Run();
    void Block();
    void TakeEvents();
    void Transmit(FarCallId id, Call &call, std::span<int16_t> out);
    Call &CallOf(FarCallId id);
    void Post(std::function<void()> action);
    // Runs `action` at the next block and waits up to 2 s for its result;
    // `late` when it has not run by then (it may still run, on its own state).
    template <typename T> T PostAndWait(std::function<T()> action, T late);

    FarLine &line_;
    std::atomic<bool> running_{true};
    std::atomic<int64_t> blocks_{0};
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::function<void()>> actions_;  // from the test, run at the next block
    std::map<FarCallId, Call> calls_;
    std::vector<std::string> log_;
    std::vector<FarLineEvent> events_;
    OnIncoming onIncoming_ = OnIncoming::Nothing;
    std::function<OnIncoming(int)> policy_;
    int incomingSeen_ = 0;
    bool paused_ = false;
    int answerAfterMs_ = 0;
    std::map<FarCallId, int> answerIn_;  // incoming calls to answer in this many ms
    std::thread thread_;
};

}  // namespace tvxsim::sip::test
