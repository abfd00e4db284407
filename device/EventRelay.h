// Carries device events from the library's thread to the UI thread, in the
// order the library sent them. The library thread never waits for the UI
// thread, so closing the library while it streams events cannot deadlock.
#pragma once

#include "device/DeviceEventText.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace tvx {

class EventRelay {
public:
    using Sink = std::function<void(std::vector<DeviceEventText> &batch)>;

    // Past this many undelivered events further ones are counted, not kept,
    // so a stalled UI thread cannot exhaust memory.
    static constexpr size_t kMaxPending = 500000;

    // The one relay of the process; it outlives every dialog.
    static EventRelay &Instance();

    // UI thread: events posted for context are handed to sink on receiver's
    // thread, in batches, oldest first.
    void Attach(const void *context, QObject *receiver, Sink sink);
    // UI thread: once this returns, sink is not called again for context and
    // events posted for it are dropped.
    void Detach(const void *context);

    // Any thread: queues one event for context. Events for a context that is
    // not attached are dropped. Never blocks on the UI thread.
    void Post(const void *context, DeviceEventText event);

    // Events dropped because the queue was full, since the last delivery.
    uint64_t DroppedSinceLastDelivery() const;

private:
    EventRelay() = default;
    void Deliver();

    mutable std::mutex mutex_;
    const void *context_ = nullptr;
    QObject *receiver_ = nullptr;
    Sink sink_;
    std::vector<DeviceEventText> pending_;
    bool deliveryPosted_ = false;
    uint64_t dropped_ = 0;
};

}  // namespace tvx
