// The control socket's server: a thread of its own that listens on the
// socket, reads requests, answers them through a ControlDoor and streams
// events and state changes to watchers. It sleeps in poll() on the
// listening socket, the clients and an eventfd: with nobody watching it has
// no timer at all, so a connected client that says nothing costs nothing.
//
// Bounded everywhere: kMaxClients clients (one more is told so and
// closed), request lines of ControlConnection::kMaxLine bytes, and each
// client's queue of kMaxQueuedLines lines: a watcher that reads too slowly
// loses its oldest queued lines and is then told "dropped <n>"; a client
// that sends requests without reading the replies is no longer read until
// it does. Sockets are non-blocking and close-on-exec, and writes never
// raise SIGPIPE.
//
// PostEvent() and NotifyChange() may be called from any thread (the
// model's real-time thread): they take a short lock on a bounded queue and
// write to the eventfd, never touching a socket.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>

#include "simulator/control/ControlConnection.h"
#include "simulator/control/ControlDoor.h"
#include "simulator/logic/AdapterState.h"

namespace tvxsim {

class ControlServer {
public:
    static constexpr size_t kMaxClients = kMaxControlClients;
    static constexpr size_t kMaxQueuedLines = 1024;     // per client
    static constexpr size_t kMaxPendingEvents = 4096;   // handed over, not yet queued to the clients
    static constexpr int kPeriodicMs = 100;             // time and levels at most ten times a second
    static constexpr int kChangeGapMs = 20;             // state diffs after events at most this often
    static constexpr int kSendBufferBytes = 64 * 1024;  // the kernel's share of each client

    // The door must outlive the server.
    explicit ControlServer(ControlDoor &door);
    ~ControlServer();  // Stop()
    ControlServer(const ControlServer &) = delete;
    ControlServer &operator=(const ControlServer &) = delete;

    // Listens on `folder`/control (the folder made and checked first; a
    // stale socket taken over) and starts the thread. False with the reason
    // when it cannot, e.g. when another live device answers there.
    bool Start(const std::string &folder, std::string &error);
    // After a Start() that failed: whether another live device holds the socket.
    bool TakenByAnother() const { return takenByAnother_; }
    // Ends the thread, closes every connection and removes the socket.
    // Not from the server's own thread.
    void Stop();
    const std::string &Path() const { return path_; }

    // Someone watches: worth formatting events for. Any thread.
    bool Watching() const { return watchers_.load(std::memory_order_relaxed) > 0; }
    // An event line for the watchers (the oldest is dropped and counted
    // when kMaxPendingEvents wait). Any thread; never blocks on a socket.
    void PostEvent(std::string line);
    // The state may have changed: the watchers get its changed lines soon. Any thread.
    void NotifyChange();

private:
    struct Client {
        int fd = -1;
        ControlConnection connection;
        std::deque<std::string> queue;  // whole lines, each ending in "\n"
        std::string sending;            // the line being written
        size_t sent = 0;                // bytes of `sending` written
        uint64_t dropped = 0;           // lines lost since the last "dropped" line
        bool inputEnded = false;
    };

    void Run();
    void Wake();
    bool Accept();  // false when accepting failed for want of resources
    // Closes the clients whose peers have hung up since this round's poll
    // and lets go of every closed one.
    void DropGone();
    void EraseClosed();
    void Read(Client &c);
    bool Write(Client &c);  // false when the connection failed
    void Serve(Client &c);
    void Queue(Client &c, std::string line);
    void Broadcast(const std::vector<std::string> &lines);
    void SendChanges(bool periodic);
    void TakeHandedOver();
    bool Finished(const Client &c) const;
    void CloseClient(Client &c);

    ControlDoor &door_;
    std::string path_;
    ino_t inode_ = 0;              // of the socket we bound: Stop() removes only that one
    bool takenByAnother_ = false;  // the last Start() found another device answering
    int listen_ = -1;
    int wake_ = -1;
    std::thread thread_;
    std::vector<std::unique_ptr<Client>> clients_;
    std::atomic<int> watchers_{0};

    std::mutex mutex_;  // guards what follows
    bool stop_ = false;
    bool changed_ = false;
    std::deque<std::string> pending_;
    uint64_t pendingDropped_ = 0;
};

}  // namespace tvxsim
