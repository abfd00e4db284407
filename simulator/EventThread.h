// The library's event thread: delivers scenario events and the events that
// confirm API calls, in due-time order, through the caller's callback.
//
// The callback runs on this thread only, with no lock held. After
// requestStop() no further callback starts; join() (from any other thread)
// then waits for the one in flight, if any.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <queue>
#include <string>
#include <thread>
#include <vector>

#include "device/tvxusb.h"
#include "simulator/logic/Scenario.h"

namespace tvxsim {

struct QueuedEvent {
    int32_t code = 0;
    int32_t param = 0;
    int32_t side = 0;
    std::vector<uint8_t> payload;
    int32_t toneRow = -1;  // 229: row of the armed set, copied at delivery
    std::string detail;    // fuller text for ScTranslateEventToString during this callback
};

class EventThread {
public:
    using Clock = std::chrono::steady_clock;
    // Copies row `row` of the armed tone set into entry (name pointing into
    // name); false when there is no such row.
    using ToneRowLookup = std::function<bool(int32_t row, ToneMonitorEntry &entry, std::string &name)>;

    EventThread(ScEventCallback callback, void *context, std::vector<ScenarioEvent> scenario, ToneRowLookup lookup);
    ~EventThread();  // stops; joins unless called on this thread
    EventThread(const EventThread &) = delete;
    EventThread &operator=(const EventThread &) = delete;

    // Starts the thread; scenario times count from now.
    void start();
    // Queues an event delayMs from now. Ignored once stopped.
    void post(QueuedEvent event, int32_t delayMs = 0);
    // No callback starts after this returns. Any thread.
    void requestStop();
    // Waits for the thread to end. Not from this thread itself.
    void join();
    bool isThisThread() const;

    // True on any library event thread.
    static bool onEventThread();
    // The event whose callback runs on this thread now, or nullptr.
    static const QueuedEvent *inFlight();

private:
    struct Pending {
        Clock::time_point due;
        uint64_t order = 0;          // ties in due time: scenario line order, then posting order
        int64_t scenarioIndex = -1;  // >= 0: a scenario entry
        int64_t remaining = 0;       // scenario repeats left, this one included
        QueuedEvent event;           // posted events only
    };
    struct Later {
        bool operator()(const Pending &a, const Pending &b) const
        {
            return a.due != b.due ? a.due > b.due : a.order > b.order;
        }
    };

    void run();
    QueuedEvent takeNext();  // with mutex_ held, the heap not empty
    void deliver(const QueuedEvent &event);

    const ScEventCallback callback_;
    void *const context_;
    const std::vector<ScenarioEvent> scenario_;
    const ToneRowLookup lookup_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::priority_queue<Pending, std::vector<Pending>, Later> queue_;
    bool stopped_ = false;
    uint64_t nextPostOrder_;
    std::thread thread_;
    std::thread::id threadId_;
};

}  // namespace tvxsim
