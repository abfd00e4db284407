// A small seeded UDP relay on 127.0.0.1 for a SIP call and its RTP: the
// kernel here has no netem, so loss and jitter are made here. Whoever sends
// to its SIP port is side A, the target port side B; every session
// description passing through is rewritten so that each side's RTP and
// RTCP go through the relay, where RTP packets are dropped and delayed as
// the impairment says (the same seed, the same losses and delays).
//
// One call at a time, UDP only; requests within the dialog that go to a
// Contact directly bypass it, which the media never does.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

namespace tvxsim::test {

struct RelayImpairment {
    double loss = 0;      // share of RTP packets dropped, 0 to 1
    int jitterMaxMs = 0;  // each RTP packet is delayed by 0 to this many ms, uniformly
    uint32_t seed = 1;
};

struct RelayCounts {
    uint64_t rtp = 0;        // RTP packets that came to the relay
    uint64_t dropped = 0;    // of them dropped
    uint64_t sip = 0;        // SIP messages relayed
    uint64_t rewritten = 0;  // session descriptions rewritten
};

class SipRelay {
public:
    SipRelay(int targetSipPort, RelayImpairment impairment);
    ~SipRelay();
    SipRelay(const SipRelay &) = delete;
    SipRelay &operator=(const SipRelay &) = delete;

    bool Ready() const { return sip_ >= 0 && stop_[0] >= 0; }
    int SipPort() const { return sipPort_; }
    RelayCounts Counts() const;

private:
    void Run();

    int target_;
    RelayImpairment impairment_;
    int sip_ = -1;
    int sipPort_ = 0;
    int media_[2][2] = {{-1, -1}, {-1, -1}};  // [side A, side B][RTP, RTCP]: where the other side sends to it
    int mediaPort_[2] = {0, 0};
    int stop_[2] = {-1, -1};  // a pipe that ends the thread
    std::atomic<uint64_t> rtp_{0};
    std::atomic<uint64_t> dropped_{0};
    std::atomic<uint64_t> sipCount_{0};
    std::atomic<uint64_t> rewritten_{0};
    std::thread thread_;
};

}  // namespace tvxsim::test
