#include "device/EventRelay.h"

#include <QMetaObject>

#include <utility>

namespace tvx {

EventRelay &EventRelay::Instance()
{
    // Never destroyed: the library may still hold the callback at exit.
    static EventRelay *relay = new EventRelay;
    return *relay;
}

void EventRelay::Attach(const void *context, QObject *receiver, Sink sink)
{
    std::lock_guard lock(mutex_);
    context_ = context;
    receiver_ = receiver;
    sink_ = std::move(sink);
    pending_.clear();
    deliveryPosted_ = false;
    dropped_ = 0;
}

void EventRelay::Detach(const void *context)
{
    std::lock_guard lock(mutex_);
    if (context_ != context)
        return;
    context_ = nullptr;
    receiver_ = nullptr;
    sink_ = nullptr;
    pending_.clear();
    deliveryPosted_ = false;
}

void EventRelay::Post(const void *context, DeviceEventText event)
{
    std::lock_guard lock(mutex_);
    if (!context || context != context_ || !receiver_)
        return;
    if (pending_.size() >= kMaxPending) {
        ++dropped_;
    } else {
        pending_.push_back(std::move(event));
    }
    if (deliveryPosted_)
        return;
    deliveryPosted_ = true;
    // Posting under the lock: Detach, which runs before the receiver is
    // destroyed, waits for this, and the receiver's destruction discards the
    // posted call. The call carries no data, not even this relay: all it
    // delivers crosses threads under the lock.
    QMetaObject::invokeMethod(
        receiver_, [] { Instance().Deliver(); }, Qt::QueuedConnection);
}

uint64_t EventRelay::DroppedSinceLastDelivery() const
{
    std::lock_guard lock(mutex_);
    return dropped_;
}

void EventRelay::Deliver()
{
    std::vector<DeviceEventText> batch;
    Sink sink;
    {
        std::lock_guard lock(mutex_);
        deliveryPosted_ = false;
        if (!sink_)
            return;
        batch.swap(pending_);
        sink = sink_;
        if (dropped_) {
            batch.push_back(
                {{}, QStringLiteral("%1 device events were not shown: the log could not keep up.").arg(dropped_)});
            dropped_ = 0;
        }
    }
    if (!batch.empty())
        sink(batch);
}

}  // namespace tvx
