#include "simulator/Driver.h"

#include <cstdio>

namespace tvxsim {
namespace {

thread_local bool t_onEventThread = false;
thread_local const EngineEvent *t_inFlight = nullptr;

SampleTime SamplesSince(Driver::Clock::time_point origin)
{
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(Driver::Clock::now() - origin).count();
    return us * kSampleRate / 1'000'000;
}

Driver::Clock::time_point TimeOf(Driver::Clock::time_point origin, SampleTime samples)
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
    RequestStop();
    if (thread_.joinable()) {
        if (IsThisThread())
            thread_.detach();
        else
            thread_.join();
    }
}

void Driver::Start()
{
    if (prefetch_)
        prefetch_->Start();
    std::lock_guard lock(mutex_);
    origin_ = Clock::now();
    thread_ = std::thread([this] { Run(); });
    threadId_ = thread_.get_id();
}

void Driver::Wake()
{
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    wake_.notify_one();
}

bool Driver::Inject(EngineEvent event)
{
    {
        std::lock_guard lock(mutex_);
        if (stopped_ || injected_.size() >= kMaxInjected)
            return false;
        injected_.push_back(std::move(event));
        woken_ = true;
    }
    wake_.notify_one();
    return true;
}

void Driver::RequestStop()
{
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    wake_.notify_all();
    if (prefetch_)
        prefetch_->RequestStop();
}

void Driver::Join()
{
    if (thread_.joinable() && !IsThisThread())
        thread_.join();
    if (prefetch_)
        prefetch_->Join();
}

bool Driver::IsThisThread() const { return std::this_thread::get_id() == threadId_; }

bool Driver::OnEventThread() { return t_onEventThread; }

const EngineEvent *Driver::InFlight() { return t_inFlight; }

bool Driver::TakeInjected(EngineEvent &event)
{
    std::lock_guard lock(mutex_);
    if (injected_.empty())
        return false;
    event = std::move(injected_.front());
    injected_.pop_front();
    return true;
}

bool Driver::Stopped()
{
    std::lock_guard lock(mutex_);
    return stopped_;
}

bool Driver::Deliver(EngineEvent &event)
{
    if (Stopped())
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
    if (listener_)
        listener_->Delivered(event);
    return true;
}

void Driver::Run()
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
        const SampleTime wall = SamplesSince(origin_);
        events.clear();
        const SampleTime engineTime = advance_(*this, wall, events);
        if (engineTime < 0)
            return;
        if (prefetch_)
            prefetch_->Advance(SamplesToMs(engineTime));
        for (EngineEvent &e : events)
            if (!Deliver(e))
                return;
        const int64_t wallMs = SamplesToMs(SamplesSince(origin_));
        int raw = 0;
        while (!raw_.Empty() && raw_.NextMs() <= wallMs && raw < kRawPerRound) {
            EngineEvent e = raw_.Take();
            if (!Deliver(e))
                return;
            ++raw;
        }
        int live = 0;
        for (EngineEvent e; live < kRawPerRound && TakeInjected(e); ++live)
            if (!Deliver(e))
                return;
        if (listener_ && (!events.empty() || raw > 0 || live > 0))
            listener_->Settled();
        const bool rawDue = (!raw_.Empty() && raw_.NextMs() <= wallMs) || live == kRawPerRound;
        const bool behind = engineTime + kBlockSamples <= SamplesSince(origin_);
        if (rawDue || behind)
            continue;
        Clock::time_point next = TimeOf(origin_, engineTime + kBlockSamples);
        if (!raw_.Empty())
            next = std::min(next, TimeOf(origin_, MsToSamples(raw_.NextMs())));
        std::unique_lock lock(mutex_);
        wake_.wait_until(lock, next, [this] { return stopped_ || woken_; });
    }
}

}  // namespace tvxsim
