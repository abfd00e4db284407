#include "device/EventRelay.h"

#include <QMetaObject>
#include <QThread>

#include <utility>

namespace tvx {

EventRelay &EventRelay::Instance()
{
    // Never destroyed: the library may still hold the callback at exit.
    static EventRelay *relay = new EventRelay;
    return *relay;
}

void *EventRelay::Open(QObject *receiver, Sink sink)
{
    std::lock_guard lock(mutex_);
    // A number, not an address: the library only hands it back.
    context_ = reinterpret_cast<void *>(++lastSession_);
    receiver_ = receiver;
    sink_ = std::move(sink);
    pending_ = {};
    deliveryPosted_ = false;
    return const_cast<void *>(context_);
}

void EventRelay::Close(const void *context)
{
    LogDelta delta;
    Sink sink;
    {
        std::lock_guard lock(mutex_);
        if (!context || context != context_)
            return;
        delta = std::exchange(pending_, {});
        sink = std::move(sink_);
        context_ = nullptr;
        receiver_ = nullptr;
        sink_ = nullptr;
        deliveryPosted_ = false;
    }
    if (sink && !delta.Empty())
        sink(delta);
}

void EventRelay::Post(const void *context, const DeviceEventText &event)
{
    std::unique_lock lock(mutex_);
    if (!context || context != context_ || !receiver_)
        return;
    pending_.Add(event.line, event.heading);
    if (QThread::currentThread() == receiver_->thread()) {
        lock.unlock();
        Deliver();
        return;
    }
    if (deliveryPosted_)
        return;
    deliveryPosted_ = true;
    // Posting under the lock: Close, which runs before the receiver is
    // destroyed, waits for this, and the receiver's destruction discards the
    // posted call. The call carries no data, not even this relay: all it
    // delivers crosses threads under the lock.
    QMetaObject::invokeMethod(
        receiver_, [] { Instance().Deliver(); }, Qt::QueuedConnection);
}

std::size_t EventRelay::PendingSize() const
{
    std::lock_guard lock(mutex_);
    return pending_.HeldLines() + pending_.HeldDeletions();
}

void EventRelay::Deliver()
{
    LogDelta delta;
    Sink sink;
    {
        std::lock_guard lock(mutex_);
        deliveryPosted_ = false;
        if (!sink_ || pending_.Empty())
            return;
        delta = std::exchange(pending_, {});
        sink = sink_;
    }
    sink(delta);
}

}  // namespace tvx
