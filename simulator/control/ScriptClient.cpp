#include "simulator/control/ScriptClient.h"

#include <cerrno>
#include <chrono>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tvxsim {

ScriptClient::~ScriptClient() { Close(); }

void ScriptClient::Close()
{
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
    buffer_.clear();
    ended_ = false;
}

bool ScriptClient::Connect(const std::string &path, std::string &error)
{
    Close();
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) {
        error = path + ": the path is too long for a socket";
        return false;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    if (connect(fd, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) != 0) {
        error = path + ": " + std::strerror(errno);
        close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

bool ScriptClient::Send(std::string_view line)
{
    std::string data(line);
    data += '\n';
    size_t done = 0;
    while (fd_ >= 0 && done < data.size()) {
        const ssize_t n = send(fd_, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return fd_ >= 0;
}

ScriptClient::Read ScriptClient::ReadLine(std::string &line, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        if (const size_t end = buffer_.find('\n'); end != std::string::npos || buffer_.size() >= kMaxLine) {
            const size_t take = end != std::string::npos ? end : kMaxLine;
            line.assign(buffer_, 0, take);
            buffer_.erase(0, end != std::string::npos ? end + 1 : take);
            return Read::Line;
        }
        if (ended_ || fd_ < 0)
            return Read::Closed;
        int wait = -1;
        if (timeoutMs >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left < 0)
                return Read::Timeout;  // 0 still looks once at what has come
            wait = static_cast<int>(left);
        }
        pollfd p{fd_, POLLIN, 0};
        const int ready = poll(&p, 1, wait);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0)
            return Read::Timeout;
        char buf[4096];
        const ssize_t n = recv(fd_, buf, sizeof buf, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ended_ = true;
            continue;
        }
        buffer_.append(buf, static_cast<size_t>(n));
    }
}

}  // namespace tvxsim
