// A scenario's recordings opened ahead of their time on a thread of its
// own, so that the thread that runs the model never waits on a disk: a play
// action that falls due takes its recording already open, as a live play
// request does (both open with OpenPlay, outside the session's lock).
//
// The play actions are opened in the order the engine applies them (by time,
// in file order at equal times), each once the model is within kLeadMs of its
// time, with at most kMaxWaiting open and not yet taken. With nothing to open
// soon the thread sleeps without a timer.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "simulator/engine/PlaySource.h"
#include "simulator/logic/Scenario.h"

namespace tvxsim {

class PlayPrefetch {
public:
    static constexpr int64_t kLeadMs = 2000;
    static constexpr size_t kMaxWaiting = 8;

    // The scenario's actions (only its play actions are kept).
    explicit PlayPrefetch(const std::vector<ScenarioAction> &actions);
    ~PlayPrefetch();  // stops and joins
    PlayPrefetch(const PlayPrefetch &) = delete;
    PlayPrefetch &operator=(const PlayPrefetch &) = delete;

    // Whether there is anything to open at all.
    bool Empty() const { return plays_.empty(); }
    void Start();
    // Nothing more is opened after this returns. Any thread.
    void RequestStop();
    // Waits for the thread to end. Any thread but its own.
    void Join();

    // The model has reached `modelMs`. Any thread; takes a lock only when
    // that brings the next recording within its lead (the model's time and
    // the thread's next due time are each stored before the other is read,
    // so that one of the two always sees the other).
    void Advance(int64_t modelMs);
    // The recording of `action`, the next play action the engine applies:
    // open, or why it is not (cannot be played, or not opened in time).
    PlayOpening Take(const ScenarioAction &action);
    // How many are opened and not yet taken. Any thread.
    size_t Waiting();

private:
    void Run();
    int64_t DueMs(size_t index) const { return plays_[index].timeMs - kLeadMs; }

    const std::vector<ScenarioAction> plays_;  // in the order the engine applies them

    std::mutex mutex_;  // guards what follows
    std::condition_variable wake_;
    bool stopped_ = false;
    size_t next_ = 0;                                  // the first play not yet opened (or being opened)
    size_t taken_ = 0;                                 // plays the engine has taken
    std::deque<std::pair<size_t, PlayOpening>> open_;  // opened, by index, not yet taken
    std::atomic<int64_t> modelMs_{0};                  // the model's time as last told
    std::atomic<int64_t> wakeAtMs_{INT64_MAX};         // Advance wakes the thread from this model time
    std::thread thread_;
};

}  // namespace tvxsim
