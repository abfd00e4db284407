// Carries device events from whatever thread the library calls from into the
// event log on the UI thread, in the order they came. The library's thread
// never waits for the UI thread, so closing the library while it streams
// events cannot deadlock. While the UI thread is busy the events wait as a
// LogDelta: what they will do to the log, in bounded memory, however long
// the wait and however fast they come.
#pragma once

#include "device/DeviceEventText.h"
#include "device/logic/LogDelta.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <mutex>

namespace tvx {

class EventRelay {
public:
    using Sink = std::function<void(const LogDelta &delta)>;

    // The one relay of the process; it outlives every dialog.
    static EventRelay &Instance();

    // UI thread: starts a session whose events go to sink on receiver's
    // thread, and returns the context to hand to the library. A context is
    // never given twice, so a callback that carries a closed session's
    // context reaches no later session, wherever its objects lie. Opening
    // ends the session open before, if any.
    void *Open(QObject *receiver, Sink sink);
    // UI thread: hands what is still queued for context to its sink, then
    // ends the session: whatever arrives for context later is dropped.
    void Close(const void *context);

    // Any thread: one event for context; dropped unless context is the open
    // session's. On receiver's thread (a library calling back inside one of
    // its functions) the event goes to the sink at once, after any still
    // queued; from another thread it is queued and delivered later, in a
    // batch. Never blocks on the UI thread.
    void Post(const void *context, const DeviceEventText &event);

    // Lines and deletions waiting for delivery (for checks of the bound).
    std::size_t PendingSize() const;

private:
    EventRelay() = default;
    void Deliver();

    mutable std::mutex mutex_;
    uintptr_t lastSession_ = 0;
    const void *context_ = nullptr;
    QObject *receiver_ = nullptr;
    Sink sink_;
    LogDelta pending_;
    bool deliveryPosted_ = false;
};

}  // namespace tvx
