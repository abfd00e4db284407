// The library's thread while the device is open: woken by a timer every
// 20 ms (and at once when a call has something to report), it moves the
// signal engine on to the present and delivers the events through the
// caller's callback, then sleeps. Raw scenario events come as they fall due,
// at most 64 at a time between the engine's events, so that a flood of them
// never holds back the events that confirm calls. Raw events of live
// requests (Inject) come the same way, at most 64 a round, from a bounded
// queue; a Listener hears of every event after its callback. The scenario's
// recordings are opened ahead of the model's time by a PlayPrefetch whose
// thread the driver starts, stops and joins with its own.
//
// The callback runs on this thread only, with no lock held. After
// RequestStop() no further callback starts; Join() (from any other thread)
// then waits for the one in flight, if any.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/tvxusb.h"
#include "simulator/engine/RawSchedule.h"
#include "simulator/media/PlayPrefetch.h"

namespace tvxsim {

class Driver {
public:
    using Clock = std::chrono::steady_clock;
    // Moves the engine on to `until` (samples since open) and appends its
    // events to out; returns the engine's time, or -1 when this driver is
    // no longer the one in charge.
    using Advance = std::function<SampleTime(const Driver &self, SampleTime until, std::vector<EngineEvent> &out)>;
    // Copies row `row` of the armed tone set into entry (its name into
    // name); false when there is no such row.
    using ToneRowLookup = std::function<bool(int32_t row, ToneMonitorEntry &entry, std::string &name)>;

    // Told of what the callback was given, on this thread; must not block.
    class Listener {
    public:
        virtual ~Listener() = default;
        // After each event's callback.
        virtual void Delivered(const EngineEvent &event) = 0;
        // After a round that delivered events.
        virtual void Settled() = 0;
    };

    static constexpr int kRawPerRound = 64;
    static constexpr size_t kMaxInjected = 4096;
    static constexpr SampleTime kMaxCatchUp = 50 * kBlockSamples;

    Driver(ScEventCallback callback, void *context, std::vector<ScenarioEvent> raw, Advance advance,
           ToneRowLookup lookup);
    ~Driver();  // stops; joins unless called on this thread
    Driver(const Driver &) = delete;
    Driver &operator=(const Driver &) = delete;

    // Before Start(): who hears of each delivered event (may be null).
    void SetListener(std::shared_ptr<Listener> listener) { listener_ = std::move(listener); }
    // Before Start(): what opens the scenario's recordings ahead (may be null).
    void SetPrefetch(std::shared_ptr<PlayPrefetch> prefetch) { prefetch_ = std::move(prefetch); }
    // Starts the thread; time counts from now.
    void Start();
    // A raw event to deliver as soon as possible (a live request); false
    // when kMaxInjected are already waiting. Any thread.
    bool Inject(EngineEvent event);
    // Something new to deliver: do not wait for the next tick.
    void Wake();
    // No callback starts after this returns. Any thread.
    void RequestStop();
    // Waits for the thread to end. Not from this thread itself.
    void Join();
    bool IsThisThread() const;

    static bool OnEventThread();
    // The event whose callback runs on this thread now, or nullptr.
    static const EngineEvent *InFlight();

private:
    void Run();
    bool Deliver(EngineEvent &event);  // false once stopped
    bool Stopped();
    bool TakeInjected(EngineEvent &event);

    const ScEventCallback callback_;
    void *const context_;
    RawSchedule raw_;
    const Advance advance_;
    const ToneRowLookup lookup_;
    std::shared_ptr<Listener> listener_;
    std::shared_ptr<PlayPrefetch> prefetch_;

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopped_ = false;
    bool woken_ = false;
    std::deque<EngineEvent> injected_;  // live raw events, in order
    Clock::time_point origin_;
    std::thread thread_;
    std::thread::id threadId_;
};

}  // namespace tvxsim
