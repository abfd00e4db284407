#include "simulator/EventThread.h"

#include <cstdio>

namespace tvxsim {
namespace {

thread_local bool t_onEventThread = false;
thread_local const QueuedEvent *t_inFlight = nullptr;

constexpr uint64_t kPostedOrderBase = uint64_t{1} << 62;

}  // namespace

EventThread::EventThread(ScEventCallback callback, void *context, std::vector<ScenarioEvent> scenario,
                         ToneRowLookup lookup)
    : callback_(callback),
      context_(context),
      scenario_(std::move(scenario)),
      lookup_(std::move(lookup)),
      nextPostOrder_(kPostedOrderBase)
{
}

EventThread::~EventThread()
{
    requestStop();
    if (thread_.joinable()) {
        if (isThisThread())
            thread_.detach();
        else
            thread_.join();
    }
}

void EventThread::start()
{
    std::lock_guard lock(mutex_);
    const Clock::time_point origin = Clock::now();
    for (size_t i = 0; i < scenario_.size(); ++i) {
        const ScenarioEvent &ev = scenario_[i];
        if (ev.count <= 0)
            continue;
        Pending p;
        p.due = origin + std::chrono::milliseconds(ev.timeMs);
        p.order = i;
        p.scenarioIndex = static_cast<int64_t>(i);
        p.remaining = ev.count;
        queue_.push(std::move(p));
    }
    thread_ = std::thread([this] { run(); });
    threadId_ = thread_.get_id();
}

void EventThread::post(QueuedEvent event, int32_t delayMs)
{
    {
        std::lock_guard lock(mutex_);
        if (stopped_)
            return;
        Pending p;
        p.due = Clock::now() + std::chrono::milliseconds(delayMs > 0 ? delayMs : 0);
        p.order = nextPostOrder_++;
        p.event = std::move(event);
        queue_.push(std::move(p));
    }
    wake_.notify_one();
}

void EventThread::requestStop()
{
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        queue_ = {};
    }
    wake_.notify_all();
}

void EventThread::join()
{
    if (thread_.joinable() && !isThisThread())
        thread_.join();
}

bool EventThread::isThisThread() const { return std::this_thread::get_id() == threadId_; }

bool EventThread::onEventThread() { return t_onEventThread; }

const QueuedEvent *EventThread::inFlight() { return t_inFlight; }

QueuedEvent EventThread::takeNext()
{
    Pending top = std::move(const_cast<Pending &>(queue_.top()));
    queue_.pop();
    if (top.scenarioIndex < 0)
        return std::move(top.event);

    const ScenarioEvent &ev = scenario_[static_cast<size_t>(top.scenarioIndex)];
    if (top.remaining > 1) {
        Pending next;
        next.due = top.due + std::chrono::milliseconds(ev.intervalMs);
        next.order = top.order;
        next.scenarioIndex = top.scenarioIndex;
        next.remaining = top.remaining - 1;
        queue_.push(std::move(next));
    }
    QueuedEvent out;
    out.code = ev.code;
    out.param = ev.param;
    out.side = ev.side;
    out.payload = ev.payload;
    out.toneRow = ev.toneRow;
    return out;
}

void EventThread::run()
{
    t_onEventThread = true;
    std::unique_lock lock(mutex_);
    while (!stopped_) {
        if (queue_.empty()) {
            wake_.wait(lock);
            continue;
        }
        const Clock::time_point due = queue_.top().due;
        if (Clock::now() < due) {
            wake_.wait_until(lock, due);
            continue;
        }
        const QueuedEvent event = takeNext();
        lock.unlock();
        deliver(event);
        lock.lock();
    }
}

void EventThread::deliver(const QueuedEvent &event)
{
    ToneMonitorEntry entry{};
    std::string name;
    const void *payload = event.payload.empty() ? nullptr : event.payload.data();
    if (event.toneRow >= 0) {
        if (!lookup_ || !lookup_(event.toneRow, entry, name)) {
            std::fprintf(stderr, "tvxusb: tone row %d is not armed; event %d skipped\n", event.toneRow, event.code);
            return;
        }
        entry.name = name.c_str();
        payload = &entry;
    }
    if (callback_ == nullptr)
        return;
    t_inFlight = &event;
    callback_(event.code, event.param, context_, payload, event.side, 0);
    t_inFlight = nullptr;
}

}  // namespace tvxsim
