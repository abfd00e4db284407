#include "simulator/control/ControlServer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "simulator/control/ControlPath.h"

namespace tvxsim {
namespace {

using Clock = std::chrono::steady_clock;

// What poll says of a client that is gone both ways: nothing can reach it.
constexpr short kGone = POLLERR | POLLHUP | POLLNVAL;

static_assert(kMaxControlClients == 16, "the refusal names the limit");

bool MakeAddress(const std::string &path, sockaddr_un &addr)
{
    addr = {};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// True when something accepts connections at the path now.
bool Answers(const sockaddr_un &addr)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    const int rc = connect(fd, reinterpret_cast<const sockaddr *>(&addr), sizeof addr);
    const int err = errno;
    close(fd);
    // A listener with a full backlog refuses with EAGAIN: it is alive.
    return rc == 0 || err == EAGAIN || err == EINPROGRESS;
}

int MsUntil(Clock::time_point when)
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(when - Clock::now()).count();
    return static_cast<int>(std::clamp<int64_t>(ms + 1, 0, 60'000));
}

}  // namespace

ControlServer::ControlServer(ControlDoor &door) : door_(door) {}

ControlServer::~ControlServer() { Stop(); }

bool ControlServer::Start(const std::string &folder, std::string &error)
{
    if (thread_.joinable()) {
        error = "already listening";
        return false;
    }
    takenByAnother_ = false;
    if (!PrepareControlFolder(folder, error))
        return false;
    const std::string path = folder + "/" + kControlSocketName;
    sockaddr_un addr{};
    if (!MakeAddress(path, addr)) {
        error = path + ": the path is too long for a socket";
        return false;
    }
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    const auto fail = [&](std::string reason) {
        close(fd);
        error = std::move(reason);
        return false;
    };
    if (bind(fd, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) != 0) {
        if (errno != EADDRINUSE)
            return fail(path + ": " + std::strerror(errno));
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode))
            return fail(path + " exists and is not a socket");
        if (Answers(addr)) {
            takenByAnother_ = true;
            return fail("another simulated device is listening on " + path);
        }
        // Left by a process that ended without removing it: take it over.
        if (unlink(path.c_str()) != 0 && errno != ENOENT)
            return fail(path + ": " + std::strerror(errno));
        if (bind(fd, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) != 0)
            return fail(path + ": " + std::strerror(errno));
    }
    struct stat st {};
    if (chmod(path.c_str(), 0600) != 0 || lstat(path.c_str(), &st) != 0) {
        const std::string reason = path + ": " + std::strerror(errno);
        unlink(path.c_str());
        return fail(reason);
    }
    if (listen(fd, static_cast<int>(kMaxClients)) != 0) {
        const std::string reason = path + ": " + std::strerror(errno);
        unlink(path.c_str());
        return fail(reason);
    }
    const int wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
        const std::string reason = std::string("eventfd: ") + std::strerror(errno);
        unlink(path.c_str());
        return fail(reason);
    }
    listen_ = fd;
    wake_ = wake;
    path_ = path;
    inode_ = st.st_ino;
    {
        std::lock_guard lock(mutex_);
        stop_ = false;
        changed_ = false;
        pending_.clear();
        pendingDropped_ = 0;
    }
    thread_ = std::thread([this] { Run(); });
    return true;
}

void ControlServer::Stop()
{
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    Wake();
    thread_.join();
    for (auto &c : clients_)
        CloseClient(*c);
    clients_.clear();
    watchers_.store(0);
    // Only our own socket: another device may have taken the path over since.
    struct stat st {};
    if (lstat(path_.c_str(), &st) == 0 && st.st_ino == inode_)
        unlink(path_.c_str());
    close(listen_);
    listen_ = -1;
    {
        std::lock_guard lock(mutex_);
        close(wake_);
        wake_ = -1;
        pending_.clear();
    }
}

void ControlServer::Wake()
{
    const uint64_t one = 1;
    if (wake_ >= 0) [[maybe_unused]]
        const ssize_t n = write(wake_, &one, sizeof one);
}

void ControlServer::PostEvent(std::string line)
{
    std::lock_guard lock(mutex_);
    if (stop_ || wake_ < 0 || !Watching())
        return;
    if (pending_.size() >= kMaxPendingEvents) {
        pending_.pop_front();
        ++pendingDropped_;
    }
    pending_.push_back(std::move(line));
    Wake();
}

void ControlServer::NotifyChange()
{
    std::lock_guard lock(mutex_);
    if (stop_ || wake_ < 0 || !Watching() || changed_)
        return;
    changed_ = true;
    Wake();
}

void ControlServer::Queue(Client &c, std::string line)
{
    line += '\n';
    if (c.connection.Watching() && c.queue.size() >= kMaxQueuedLines) {
        c.queue.pop_front();
        ++c.dropped;
    }
    c.queue.push_back(std::move(line));
}

void ControlServer::Broadcast(const std::vector<std::string> &lines)
{
    for (auto &c : clients_)
        if (c->connection.Watching())
            for (const std::string &line : lines)
                Queue(*c, line);
}

void ControlServer::SendChanges(bool periodic)
{
    AdapterState state;
    if (!door_.Snapshot(state))
        return;
    const StateValues values = StateValuesOf(state);
    std::vector<std::string> lines;
    for (auto &c : clients_) {
        lines.clear();
        c->connection.Changes(values, periodic, lines);
        for (std::string &line : lines)
            Queue(*c, std::move(line));
    }
}

void ControlServer::TakeHandedOver()
{
    std::deque<std::string> lines;
    uint64_t dropped = 0;
    {
        std::lock_guard lock(mutex_);
        lines.swap(pending_);
        dropped = pendingDropped_;
        pendingDropped_ = 0;
    }
    for (auto &c : clients_) {
        if (!c->connection.Watching())
            continue;
        c->dropped += dropped;
        for (const std::string &line : lines)
            Queue(*c, line);
    }
}

bool ControlServer::Accept()
{
    for (;;) {
        const int fd = accept4(listen_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || errno == ECONNABORTED;
        // The connection may have come after others hung up, later than
        // this round's poll saw: their places count as free.
        if (clients_.size() >= kMaxClients)
            DropGone();
        if (clients_.size() >= kMaxClients) {
            const std::string refusal = std::string(kTooManyClients) + "\n";
            [[maybe_unused]] const ssize_t n = send(fd, refusal.data(), refusal.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            close(fd);
            continue;
        }
        const int bytes = kSendBufferBytes;
        setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
        auto c = std::make_unique<Client>();
        c->fd = fd;
        clients_.push_back(std::move(c));
    }
}

void ControlServer::DropGone()
{
    std::vector<pollfd> fds;
    for (const auto &c : clients_)
        fds.push_back({c->fd, 0, 0});
    if (poll(fds.data(), fds.size(), 0) > 0)
        for (size_t i = 0; i < fds.size(); ++i)
            if (fds[i].revents & kGone)
                CloseClient(*clients_[i]);
    EraseClosed();
}

void ControlServer::EraseClosed()
{
    std::erase_if(clients_, [](const std::unique_ptr<Client> &c) { return c->fd < 0; });
}

void ControlServer::Serve(Client &c)
{
    std::vector<std::string> reply;
    // Requests are answered only while their replies fit the queue: a client
    // that does not read is simply not read any further.
    while (c.queue.size() + ControlConnection::kMaxReplyLines <= kMaxQueuedLines) {
        reply.clear();
        const bool wasWatching = c.connection.Watching();
        if (!c.connection.HandleNext(door_, reply))
            break;
        for (std::string &line : reply)
            Queue(c, std::move(line));
        if (!wasWatching && c.connection.Watching())
            watchers_.fetch_add(1);
    }
}

void ControlServer::Read(Client &c)
{
    char buf[ControlConnection::kMaxLine];
    for (;;) {
        const size_t room = c.connection.Room();
        if (room == 0)
            return;
        const ssize_t n = recv(c.fd, buf, std::min(room, sizeof buf), 0);
        if (n > 0) {
            c.connection.Receive(std::string_view(buf, static_cast<size_t>(n)));
            Serve(c);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            c.inputEnded = true;
        return;
    }
}

bool ControlServer::Write(Client &c)
{
    for (;;) {
        if (c.sent == c.sending.size()) {
            c.sending.clear();
            c.sent = 0;
            if (c.dropped > 0) {
                c.sending = "dropped " + std::to_string(c.dropped) + "\n";
                c.dropped = 0;
            } else if (!c.queue.empty()) {
                c.sending = std::move(c.queue.front());
                c.queue.pop_front();
            } else {
                return true;
            }
        }
        const ssize_t n = send(c.fd, c.sending.data() + c.sent, c.sending.size() - c.sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            c.sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

bool ControlServer::Finished(const Client &c) const
{
    // A line too long: its error was offered once, whether read or not.
    if (c.connection.Closing())
        return true;
    // A client that closed its side after its requests gets their replies first.
    const bool idle = c.queue.empty() && c.sent == c.sending.size() && c.dropped == 0;
    return c.inputEnded && !c.connection.Watching() && idle;
}

void ControlServer::CloseClient(Client &c)
{
    if (c.fd < 0)
        return;
    close(c.fd);
    c.fd = -1;
    if (c.connection.Watching())
        watchers_.fetch_sub(1);
}

void ControlServer::Run()
{
    std::vector<pollfd> fds;
    Clock::time_point nextPeriodic = Clock::now();
    Clock::time_point lastChange = Clock::now() - std::chrono::milliseconds(kChangeGapMs);
    bool changeDue = false;
    Clock::time_point acceptPausedUntil = Clock::now();
    for (;;) {
        const bool acceptPaused = Clock::now() < acceptPausedUntil;
        fds.clear();
        fds.push_back({wake_, POLLIN, 0});
        fds.push_back({listen_, static_cast<short>(acceptPaused ? 0 : POLLIN), 0});
        for (auto &c : clients_) {
            short events = 0;
            if (!c->inputEnded && c->connection.Room() > 0 &&
                c->queue.size() + ControlConnection::kMaxReplyLines <= kMaxQueuedLines)
                events |= POLLIN;
            if (!c->queue.empty() || c->sent < c->sending.size() || c->dropped > 0)
                events |= POLLOUT;
            fds.push_back({c->fd, events, 0});
        }
        int timeout = -1;  // nobody watches: no timer at all
        if (Watching())
            timeout = MsUntil(nextPeriodic);
        if (acceptPaused)
            timeout = std::min(timeout < 0 ? 60'000 : timeout, MsUntil(acceptPausedUntil));
        if (changeDue)
            timeout =
                std::min(timeout < 0 ? 60'000 : timeout, MsUntil(lastChange + std::chrono::milliseconds(kChangeGapMs)));
        const int ready = poll(fds.data(), fds.size(), timeout);
        if (ready < 0 && errno != EINTR)
            return;

        if (fds[0].revents & POLLIN) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t n = read(wake_, &count, sizeof count);
            std::lock_guard lock(mutex_);
            if (stop_)
                return;
            if (changed_) {
                changed_ = false;
                changeDue = true;
            }
        }
        TakeHandedOver();
        for (size_t i = 2; i < fds.size(); ++i) {
            Client &c = *clients_[i - 2];
            if (fds[i].revents & POLLIN)
                Read(c);
            if (fds[i].revents & kGone)
                CloseClient(c);
        }
        for (auto &c : clients_)
            if (c->fd >= 0)
                Serve(*c);  // requests waiting for room in the queue
        const Clock::time_point now = Clock::now();
        if (Watching() && now >= nextPeriodic) {
            SendChanges(true);
            nextPeriodic = now + std::chrono::milliseconds(kPeriodicMs);
            changeDue = false;
            lastChange = now;
        } else if (changeDue && now >= lastChange + std::chrono::milliseconds(kChangeGapMs)) {
            SendChanges(false);
            changeDue = false;
            lastChange = now;
        }
        for (auto &c : clients_) {
            if (c->fd < 0)
                continue;
            if (!Write(*c) || Finished(*c))
                CloseClient(*c);
        }
        EraseClosed();
        // Newcomers once the clients that went have given back their places,
        // so that a connection made after others went is never refused as
        // one too many. Out of descriptors: try again a little later rather
        // than spin.
        if ((fds[1].revents & POLLIN) && !Accept())
            acceptPausedUntil = Clock::now() + std::chrono::milliseconds(kPeriodicMs);
    }
}

}  // namespace tvxsim
