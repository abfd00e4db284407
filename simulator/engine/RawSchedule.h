// The raw event lines of a scenario, handed out as they fall due: repeats
// are made one at a time, never stored, so a repeat of a hundred million
// costs no memory. Events due at the same time come in line order.
#pragma once

#include <cstdint>
#include <queue>
#include <vector>

#include "simulator/engine/Engine.h"
#include "simulator/logic/Scenario.h"

namespace tvxsim {

class RawSchedule {
public:
    explicit RawSchedule(std::vector<ScenarioEvent> events);

    bool Empty() const { return queue_.empty(); }
    // Due time of the next event in ms after open; only when not empty.
    int64_t NextMs() const { return queue_.top().dueMs; }
    // The next event (only when not empty).
    EngineEvent Take();

private:
    struct Pending {
        int64_t dueMs;
        size_t index;
        int64_t remaining;  // this one included
    };
    struct Later {
        bool operator()(const Pending &a, const Pending &b) const
        {
            return a.dueMs != b.dueMs ? a.dueMs > b.dueMs : a.index > b.index;
        }
    };

    std::vector<ScenarioEvent> events_;
    std::priority_queue<Pending, std::vector<Pending>, Later> queue_;
};

}  // namespace tvxsim
