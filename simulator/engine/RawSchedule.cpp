#include "simulator/engine/RawSchedule.h"

namespace tvxsim {

RawSchedule::RawSchedule(std::vector<ScenarioEvent> events) : events_(std::move(events))
{
    for (size_t i = 0; i < events_.size(); ++i)
        if (events_[i].count > 0)
            queue_.push({events_[i].timeMs, i, events_[i].count});
}

EngineEvent RawSchedule::Take()
{
    const Pending top = queue_.top();
    queue_.pop();
    const ScenarioEvent &ev = events_[top.index];
    if (top.remaining > 1)
        queue_.push({top.dueMs + ev.intervalMs, top.index, top.remaining - 1});
    EngineEvent out;
    out.time = MsToSamples(top.dueMs);
    out.code = ev.code;
    out.param = ev.param;
    out.side = ev.side;
    out.toneRow = ev.toneRow;
    out.payload = ev.payload;
    return out;
}

}  // namespace tvxsim
