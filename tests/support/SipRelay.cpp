#include "tests/support/SipRelay.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <chrono>
#include <cstring>
#include <queue>
#include <random>
#include <string>
#include <vector>

namespace tvxsim::test {

namespace {

constexpr size_t kMaxDatagram = 65536;

sockaddr_in Loopback(int port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    return a;
}

int Bind(int port)
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const sockaddr_in a = Loopback(port);
    if (bind(fd, reinterpret_cast<const sockaddr *>(&a), sizeof a) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

int PortOf(int fd)
{
    sockaddr_in a{};
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len);
    return ntohs(a.sin_port);
}

// Two sockets on neighbouring ports, the first even (RTP and RTCP).
bool BindPair(int fds[2], int &port)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int probe = Bind(0);
        int p = PortOf(probe);
        close(probe);
        p &= ~1;
        if (p < 1024 || p > 65000)
            continue;
        fds[0] = Bind(p);
        fds[1] = Bind(p + 1);
        if (fds[0] >= 0 && fds[1] >= 0) {
            port = p;
            return true;
        }
        if (fds[0] >= 0)
            close(fds[0]);
        if (fds[1] >= 0)
            close(fds[1]);
    }
    return false;
}

bool Same(const sockaddr_in &a, const sockaddr_in &b)
{
    return a.sin_addr.s_addr == b.sin_addr.s_addr && a.sin_port == b.sin_port;
}

bool StartsNoCase(const std::string &s, size_t at, const char *prefix)
{
    const size_t n = std::strlen(prefix);
    if (at + n > s.size())
        return false;
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(s[at + i])) != prefix[i])
            return false;
    }
    return true;
}

struct Media {
    bool known = false;
    sockaddr_in rtp{};
    sockaddr_in rtcp{};
};

// Rewrites the audio stream's address and port of a SIP message's session
// description to 127.0.0.1:`port`, remembering the original in `media`;
// the Content-Length follows. False when it carries none.
bool Rewrite(std::string &message, int port, Media &media)
{
    const size_t split = message.find("\r\n\r\n");
    if (split == std::string::npos)
        return false;
    std::string head = message.substr(0, split + 2);
    std::string body = message.substr(split + 4);
    bool sdp = false;
    for (size_t at = 0; at < head.size();) {
        const size_t end = head.find("\r\n", at);
        if ((StartsNoCase(head, at, "content-type:") || StartsNoCase(head, at, "c:")) &&
            head.substr(at, end - at).find("application/sdp") != std::string::npos)
            sdp = true;
        at = end == std::string::npos ? head.size() : end + 2;
    }
    if (!sdp || body.empty())
        return false;
    std::string address;
    int mediaPort = 0;
    std::string out;
    for (size_t at = 0; at < body.size();) {
        size_t end = body.find("\r\n", at);
        if (end == std::string::npos)
            end = body.size();
        std::string line = body.substr(at, end - at);
        if (line.rfind("c=IN IP4 ", 0) == 0) {
            address = line.substr(9);
            line = "c=IN IP4 127.0.0.1";
        } else if (line.rfind("o=", 0) == 0) {
            // left as it is
        } else if (line.rfind("m=audio ", 0) == 0) {
            const size_t space = line.find(' ', 8);
            mediaPort = std::atoi(line.substr(8, space - 8).c_str());
            line = "m=audio " + std::to_string(port) + line.substr(space);
        }
        out += line + "\r\n";
        at = end + 2;
    }
    if (address.empty() || mediaPort == 0)
        return false;
    media.known = true;
    media.rtp = Loopback(mediaPort);
    inet_pton(AF_INET, address.c_str(), &media.rtp.sin_addr);
    media.rtcp = media.rtp;
    media.rtcp.sin_port = htons(static_cast<uint16_t>(mediaPort + 1));
    // The Content-Length (or its compact form) follows the new body.
    std::string newHead;
    for (size_t at = 0; at < head.size();) {
        const size_t end = head.find("\r\n", at);
        std::string line = head.substr(at, end - at);
        if (StartsNoCase(line, 0, "content-length:") || StartsNoCase(line, 0, "l:"))
            line = "Content-Length: " + std::to_string(out.size());
        newHead += line + "\r\n";
        at = end + 2;
    }
    message = newHead + "\r\n" + out;
    return true;
}

struct Delayed {
    int64_t dueUs;
    uint64_t order;
    int fd;
    sockaddr_in to;
    std::vector<uint8_t> data;
    bool operator>(const Delayed &o) const { return dueUs != o.dueUs ? dueUs > o.dueUs : order > o.order; }
};

int64_t NowUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

SipRelay::SipRelay(int targetSipPort, RelayImpairment impairment) : target_(targetSipPort), impairment_(impairment)
{
    sip_ = Bind(0);
    sipPort_ = sip_ >= 0 ? PortOf(sip_) : 0;
    if (!BindPair(media_[0], mediaPort_[0]) || !BindPair(media_[1], mediaPort_[1]) || pipe(stop_) != 0)
        return;
    thread_ = std::thread([this] { Run(); });
}

SipRelay::~SipRelay()
{
    if (thread_.joinable()) {
        const char x = 0;
        (void)write(stop_[1], &x, 1);
        thread_.join();
    }
    for (int fd : {sip_, media_[0][0], media_[0][1], media_[1][0], media_[1][1], stop_[0], stop_[1]}) {
        if (fd >= 0)
            close(fd);
    }
}

RelayCounts SipRelay::Counts() const { return {rtp_.load(), dropped_.load(), sipCount_.load(), rewritten_.load()}; }

void SipRelay::Run()
{
    std::mt19937 rng(impairment_.seed);
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    std::uniform_int_distribution<int64_t> delay(0, int64_t{impairment_.jitterMaxMs} * 1000);
    std::priority_queue<Delayed, std::vector<Delayed>, std::greater<>> queue;
    uint64_t order = 0;
    const sockaddr_in target = Loopback(target_);
    sockaddr_in caller{};
    bool haveCaller = false;
    Media media[2];  // what each side's description named
    std::vector<uint8_t> buffer(kMaxDatagram);

    while (true) {
        std::array<pollfd, 6> fds{};
        fds[0] = {stop_[0], POLLIN, 0};
        fds[1] = {sip_, POLLIN, 0};
        fds[2] = {media_[0][0], POLLIN, 0};
        fds[3] = {media_[0][1], POLLIN, 0};
        fds[4] = {media_[1][0], POLLIN, 0};
        fds[5] = {media_[1][1], POLLIN, 0};
        int timeoutMs = -1;
        if (!queue.empty())
            timeoutMs = static_cast<int>(std::max<int64_t>(0, (queue.top().dueUs - NowUs() + 999) / 1000));
        poll(fds.data(), fds.size(), timeoutMs);
        if (fds[0].revents != 0)
            return;
        const int64_t now = NowUs();
        while (!queue.empty() && queue.top().dueUs <= now) {
            const Delayed &d = queue.top();
            sendto(d.fd, d.data.data(), d.data.size(), 0, reinterpret_cast<const sockaddr *>(&d.to), sizeof d.to);
            queue.pop();
        }
        if (fds[1].revents & POLLIN) {
            sockaddr_in from{};
            socklen_t len = sizeof from;
            const ssize_t n =
                recvfrom(sip_, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr *>(&from), &len);
            if (n > 0) {
                std::string message(reinterpret_cast<const char *>(buffer.data()), static_cast<size_t>(n));
                const bool fromTarget = Same(from, target);
                if (!fromTarget) {
                    caller = from;
                    haveCaller = true;
                }
                const int side = fromTarget ? 1 : 0;
                if (Rewrite(message, mediaPort_[side], media[side]))
                    rewritten_.fetch_add(1);
                const sockaddr_in to = fromTarget ? caller : target;
                if (!fromTarget || haveCaller) {
                    sendto(sip_, message.data(), message.size(), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to);
                    sipCount_.fetch_add(1);
                }
            }
        }
        // A packet to side X's relay port came from the other side: it goes
        // on to X's own address, out of the other side's relay port.
        for (int side = 0; side < 2; ++side) {
            for (int kind = 0; kind < 2; ++kind) {
                if (!(fds[2 + side * 2 + kind].revents & POLLIN))
                    continue;
                const ssize_t n = recv(media_[side][kind], buffer.data(), buffer.size(), 0);
                if (n <= 0 || !media[side].known)
                    continue;
                const int out = media_[1 - side][kind];
                const sockaddr_in to = kind == 0 ? media[side].rtp : media[side].rtcp;
                if (kind == 1) {
                    sendto(out,
                           buffer.data(),
                           static_cast<size_t>(n),
                           0,
                           reinterpret_cast<const sockaddr *>(&to),
                           sizeof to);
                    continue;
                }
                rtp_.fetch_add(1);
                if (chance(rng) < impairment_.loss) {
                    dropped_.fetch_add(1);
                    continue;
                }
                const int64_t wait = impairment_.jitterMaxMs > 0 ? delay(rng) : 0;
                queue.push(
                    Delayed{now + wait, order++, out, to, std::vector<uint8_t>(buffer.begin(), buffer.begin() + n)});
            }
        }
    }
}

}  // namespace tvxsim::test
