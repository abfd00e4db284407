// The library's one session: initialise, open, close and shut down, the
// device state, and the event thread while open.
//
// One mutex guards everything here. It is never held while the callback
// runs, nor while joining the event thread, so a callback may call any API
// function, and ScClose on the UI thread waits for a callback in flight
// without deadlock. ScClose from inside the callback stops delivery without
// joining its own thread; the next close, open or shutdown from another
// thread joins it.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/tvxusb.h"
#include "simulator/EventThread.h"
#include "simulator/logic/DeviceState.h"

namespace tvxsim {

class AnalysisPainter;

class Session {
public:
    static Session &instance();

    int32_t initialize(ScEventCallback callback, void *context, int32_t *libraryVersion, void *spectrumWindow);
    int32_t open();
    int32_t close();
    int32_t shutdown();

    // The state under the session's lock, for the API functions.
    class Locked {
    public:
        DeviceState &state() { return session_.state_; }
        bool initialised() const { return session_.initialised_; }
        bool isOpen() const { return session_.open_; }
        int32_t requireInitialised() const;
        int32_t requireOpen() const;
        // Queues an event for the callback; dropped when not open.
        void post(QueuedEvent event, int32_t delayMs = 0);
        void post(int32_t code, int32_t param, int32_t side = 0, std::string detail = {});
        AnalysisPainter *painter() { return session_.painter_; }

    private:
        friend class Session;
        explicit Locked(Session &s) : session_(s), lock_(s.mutex_) {}
        Session &session_;
        std::unique_lock<std::mutex> lock_;
    };
    Locked lock() { return Locked(*this); }

    ~Session();

private:
    Session() = default;
    bool lookupToneRow(int32_t row, ToneMonitorEntry &entry, std::string &name);
    // Stops the runner; returns the threads the caller must join (none on an event thread).
    std::vector<std::shared_ptr<EventThread>> stopLocked();
    std::vector<std::shared_ptr<EventThread>> takeRetired();

    std::mutex mutex_;
    DeviceState state_;
    bool initialised_ = false;
    bool open_ = false;
    ScEventCallback callback_ = nullptr;
    void *context_ = nullptr;
    AnalysisPainter *painter_ = nullptr;
    std::shared_ptr<EventThread> runner_;
    std::vector<std::shared_ptr<EventThread>> retired_;  // stopped from their own thread, not joined yet
};

}  // namespace tvxsim
