// Call set-up through the SIP line against sipp's UAS on 127.0.0.1: from
// Dial() to the Ringing event (INVITE -> 180) and to the Answered event
// (INVITE -> 200, ACK sent), each event taken as soon as the line has it
// (polled every 0.2 ms), beyond the model's own 20 ms blocks.
//   build/default/bench/bench_sip_setup [CALLS]
#include <cstdio>
#include <string>
#include <vector>

#include "bench/SipBenchSupport.h"
#include "simulator/sip/SipLine.h"
#include "tests/sip/PeerProcess.h"

using namespace tvxsim;
using namespace tvxsim::sip;
using namespace tvxsim::sip::bench;
using namespace tvxsim::sip::test;

namespace {

bool WaitEvent(SipLine &line, FarCallId call, FarLineEventKind kind, double &atMs, int timeoutMs)
{
    const double end = NowMs() + timeoutMs;
    FarLineEvent e;
    while (NowMs() < end) {
        while (line.Next(e)) {
            if (e.call == call && e.kind == kind) {
                atMs = NowMs();
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return false;
}

}  // namespace

int main(int argc, char **argv)
{
    const int calls = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    if (!PeerInstalled("sipp"))
        return 2;
    const std::string dir = TempFolder("bench-setup");
    const int port = FreeUdpPort();
    PeerProcess sipp(
        "sipp",
        SippArgs(
            {.scenario = "uas_answer.xml", .listen = port, .calls = calls, .extra = kSippPcmuOnly, .timeoutS = 60}),
        dir,
        "sipp");
    if (!PeerListening(port))
        return 1;
    const ConfigResult conf = ParseLineConfig("account = sip:line@127.0.0.1:" + std::to_string(port) +
                                              "\nlisten = 127.0.0.1:0\npeers = 127.0.0.1\n");
    SipLine line(conf.config, {});
    if (!LineUp(line))
        return 1;
    std::vector<double> ringing;
    std::vector<double> answered;
    for (int i = 0; i < calls; ++i) {
        const double t0 = NowMs();
        const FarCallId call = line.Dial("100");
        double t180 = 0;
        double t200 = 0;
        if (call == 0 || !WaitEvent(line, call, FarLineEventKind::Ringing, t180, 3000) ||
            !WaitEvent(line, call, FarLineEventKind::Answered, t200, 3000)) {
            std::fprintf(stderr, "call %d did not complete\n%s", i, sipp.Output().c_str());
            return 1;
        }
        ringing.push_back(t180 - t0);
        answered.push_back(t200 - t0);
        line.HangUp(call);
        SleepMs(20);
    }
    std::printf("SIP call set-up against sipp's UAS on 127.0.0.1, %d calls\n", calls);
    std::printf("  INVITE -> 180 Ringing: median %.2f ms, 95th percentile %.2f ms, max %.2f ms\n",
                Percentile(ringing, 0.5),
                Percentile(ringing, 0.95),
                Percentile(ringing, 1.0));
    std::printf("  INVITE -> 200 OK:      median %.2f ms, 95th percentile %.2f ms, max %.2f ms\n",
                Percentile(answered, 0.5),
                Percentile(answered, 0.95),
                Percentile(answered, 1.0));
    std::printf("  (the model adds its own 20 ms blocks on top: an event is taken at the next block)\n");
    return sipp.Wait(10000) == 0 ? 0 : 1;
}
