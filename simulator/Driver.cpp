#include "simulator/Driver.h"

#include <cstdio>

namespace tvxsim {
namespace {

thread_local bool t_onEventThread = false;
thread_local const EngineEvent *t_inFlight = nullptr;

SampleTime samplesSince(Driver::Clock::time_point origin)
{
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(Driver::Clock::now() - origin).count();
    return us * kSampleRate / 1'000'000;
}

Driver::Clock::time_point timeOf(Driver::Clock::time_point origin, SampleTime samples)
{
    return origin + std::chrono::microseconds(samples * 1'000'000 / kSampleRate);
}

}  // namespace

Driver::Driver(ScEventCallback callback, void *context, std::vector<ScenarioEvent> raw, Advance advance,
               ToneRowLookup lookup)
    : callback_(callback),
      context_(context),
      raw_(std::move(raw)),
      advance_(std::move(advance)),
      lookup_(std::move(lookup))
{
}

Driver::~Driver()
{
    requestStop();
    if (thread_.joinable()) {
        if (isThisThread())
            thread_.detach();
        else
            thread_.join();
    }
}

void Driver::start()
{
    std::lock_guard lock(mutex_);
    origin_ = Clock::now();
    thread_ = std::thread([this] { run(); });
    threadId_ = thread_.get_id();
}

void Driver::wake()
{
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    wake_.notify_one();
}

void Driver::requestStop()
{
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    wake_.notify_all();
}

void Driver::join()
{
    if (thread_.joinable() && !isThisThread())
        thread_.join();
}

bool Driver::isThisThread() const { return std::this_thread::get_id() == threadId_; }

bool Driver::onEventThread() { return t_onEventThread; }

const EngineEvent *Driver::inFlight() { return t_inFlight; }

bool Driver::stopped()
{
    std::lock_guard lock(mutex_);
    return stopped_;
}

bool Driver::deliver(EngineEvent &event)
{
    if (stopped())
        return false;
    ToneMonitorEntry entry{};
    std::string name;
    const void *payload = event.payload.empty() ? nullptr : event.payload.data();
    if (event.toneRow >= 0) {
        if (!lookup_ || !lookup_(event.toneRow, entry, name)) {
            std::fprintf(stderr, "tvxusb: tone row %d is not armed; event %d skipped\n", event.toneRow, event.code);
            return true;
        }
        entry.name = name.c_str();
        payload = &entry;
        event.detail = "Tone monitored: " + name;
    }
    if (callback_ == nullptr)
        return true;
    t_inFlight = &event;
    callback_(event.code, event.param, context_, payload, event.side, 0);
    t_inFlight = nullptr;
    return true;
}

void Driver::run()
{
    t_onEventThread = true;
    std::vector<EngineEvent> events;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopped_)
                return;
            woken_ = false;
        }
        const SampleTime wall = samplesSince(origin_);
        events.clear();
        const SampleTime engineTime = advance_(*this, wall, events);
        if (engineTime < 0)
            return;
        for (EngineEvent &e : events)
            if (!deliver(e))
                return;
        const int64_t wallMs = samplesToMs(samplesSince(origin_));
        int raw = 0;
        while (!raw_.empty() && raw_.nextMs() <= wallMs && raw < kRawPerRound) {
            EngineEvent e = raw_.take();
            if (!deliver(e))
                return;
            ++raw;
        }
        const bool rawDue = !raw_.empty() && raw_.nextMs() <= wallMs;
        const bool behind = engineTime + kBlockSamples <= samplesSince(origin_);
        if (rawDue || behind)
            continue;
        Clock::time_point next = timeOf(origin_, engineTime + kBlockSamples);
        if (!raw_.empty())
            next = std::min(next, timeOf(origin_, msToSamples(raw_.nextMs())));
        std::unique_lock lock(mutex_);
        wake_.wait_until(lock, next, [this] { return stopped_ || woken_; });
    }
}

}  // namespace tvxsim
