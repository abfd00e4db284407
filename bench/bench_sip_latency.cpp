// The SIP path's added mouth-to-ear latency: a click on line transmit,
// through the line's RTP to sipp's echo on 127.0.0.1 and back through the
// jitter buffer (at its floor, 20 ms, on loopback) to line receive, counted
// in samples of the engine's 20 ms blocks (the fake exchange's); sipp's own
// echo time, measured with UDP probes first, is taken off. Once with the
// digits sent as RFC 4733 events (the digit gate on line transmit) and
// once in band.
//   build/default/bench/bench_sip_latency [CLICKS]
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/SipBenchSupport.h"
#include "simulator/sip/SipLine.h"
#include "tests/sip/FakeExchange.h"
#include "tests/sip/PeerProcess.h"

using namespace tvxsim;
using namespace tvxsim::sip;
using namespace tvxsim::sip::bench;
using namespace tvxsim::sip::test;

namespace {

// sipp's echo of a 172-byte datagram (an RTP packet of 20 ms), median ms.
double EchoMs(int mediaPort)
{
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(static_cast<uint16_t>(mediaPort));
    timeval tv{0, 200000};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    std::vector<double> rtt;
    std::vector<char> packet(172, 0);
    packet[0] = static_cast<char>(0x80);
    std::vector<char> back(2048);
    for (int i = 0; i < 50; ++i) {
        const double t0 = NowMs();
        sendto(fd, packet.data(), packet.size(), 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
        if (recv(fd, back.data(), back.size(), 0) > 0)
            rtt.push_back(NowMs() - t0);
        SleepMs(5);
    }
    close(fd);
    return Percentile(rtt, 0.5);
}

struct Result {
    std::vector<double> ms;
    int32_t target = 0;
};

Result Measure(const std::string &dtmf, int clicks)
{
    const std::string dir = TempFolder("bench-latency");
    const int port = FreeUdpPort();
    const int media = FreeUdpPort();
    PeerProcess sipp("sipp",
                     SippArgs({.scenario = "uas_answer.xml",
                               .listen = port,
                               .media = media,
                               .extra = Echoing(SippEventKeys("0 101")),
                               .timeoutS = 60}),
                     dir,
                     "sipp");
    Result r;
    if (!PeerListening(port))
        return r;
    const ConfigResult conf = ParseLineConfig("account = sip:line@127.0.0.1:" + std::to_string(port) +
                                              "\nlisten = 127.0.0.1:0\npeers = 127.0.0.1\ndtmf = " + dtmf + "\n");
    SipLine line(conf.config, {});
    if (!LineUp(line))
        return r;
    FakeExchange exchange(line);
    const FarCallId call = exchange.Dial("100");
    if (!exchange.WaitFor(FarLineEventKind::Answered, call, 5000)) {
        std::fprintf(stderr, "no answer\n%s", sipp.Output().c_str());
        return r;
    }
    SleepMs(500);
    for (int i = 0; i < clicks; ++i) {
        const int64_t block = exchange.Click(call);
        SleepMs(300);
        const int64_t heard = exchange.FirstLoudSample(call, block, 10000);
        if (heard >= 0)
            r.ms.push_back(static_cast<double>(heard - block * 160) / 8.0);
    }
    r.target = line.Status().playoutDelayMs;
    exchange.HangUp(call);
    sipp.Wait(5000);
    return r;
}

}  // namespace

int main(int argc, char **argv)
{
    const int clicks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    if (!PeerInstalled("sipp"))
        return 2;
    // The echo alone, on its own port.
    const std::string dir = TempFolder("bench-echo");
    const int echoPort = FreeUdpPort();
    double echo = 0;
    {
        PeerProcess sipp("sipp",
                         {"-sn",
                          "uas",
                          "-i",
                          "127.0.0.1",
                          "-p",
                          std::to_string(FreeUdpPort()),
                          "-mp",
                          std::to_string(echoPort),
                          "-rtp_echo",
                          "-nostdin",
                          "-timeout",
                          "10s"},
                         dir,
                         "sipp-echo");
        if (!PeerListening(echoPort))
            return 1;
        echo = EchoMs(echoPort);
    }
    std::printf("SIP path latency, line transmit -> RTP -> sipp's echo -> line receive, %d clicks each\n", clicks);
    std::printf("  sipp's echo alone: %.3f ms (median of 50 UDP probes), taken off below\n", echo);
    bool ok = true;
    for (const char *dtmf : {"rfc4733", "inband"}) {
        const Result r = Measure(dtmf, clicks);
        if (r.ms.size() != static_cast<size_t>(clicks)) {
            std::printf("  dtmf = %s: %zu of %d clicks came back\n", dtmf, r.ms.size(), clicks);
            ok = false;
            continue;
        }
        const double median = Percentile(r.ms, 0.5) - echo;
        const double worst = Percentile(r.ms, 1.0) - echo;
        std::printf("  dtmf = %-7s: added latency median %.1f ms, max %.1f ms (jitter buffer target %d ms; "
                    "target at most 60 ms: %s)\n",
                    dtmf,
                    median,
                    worst,
                    r.target,
                    worst <= 60.0 ? "met" : "MISSED");
        ok = ok && worst <= 60.0;
    }
    return ok ? 0 : 1;
}
