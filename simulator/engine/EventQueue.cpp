#include "simulator/engine/EventQueue.h"

#include <algorithm>

namespace tvxsim {

void EventQueue::Push(EngineEvent event)
{
    if (events_.size() >= kMaxPending) {
        ++dropped_;
        return;
    }
    events_.push_back(std::move(event));
}

void EventQueue::Report(SampleTime at, int32_t code, int32_t param, int32_t side, std::string detail)
{
    EngineEvent e;
    e.time = at;
    e.code = code;
    e.param = param;
    e.side = side;
    e.detail = std::move(detail);
    Push(std::move(e));
}

void EventQueue::ReportAt(SampleTime due, int32_t code, int32_t param)
{
    if (later_.size() >= kMaxPending) {
        ++dropped_;
        return;
    }
    EngineEvent e;
    e.time = due;
    e.code = code;
    e.param = param;
    later_.push_back(std::move(e));
}

void EventQueue::Release(SampleTime until)
{
    for (auto it = later_.begin(); it != later_.end();) {
        if (it->time <= until) {
            Push(std::move(*it));
            it = later_.erase(it);
        } else {
            ++it;
        }
    }
}

std::vector<EngineEvent> EventQueue::Take()
{
    std::vector<EngineEvent> out;
    out.swap(events_);
    std::stable_sort(
        out.begin(), out.end(), [](const EngineEvent &a, const EngineEvent &b) { return a.time < b.time; });
    return out;
}

}  // namespace tvxsim
