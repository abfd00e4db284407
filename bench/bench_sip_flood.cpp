// A flood of INVITEs at the SIP line: sipp calls at 200 a second for 10 s
// (2000 calls) while a minimal exchange (20 ms blocks, keeping nothing but
// its two calls) keeps one call up and one waiting and refuses the rest,
// as the exchange does. The process's resident memory is sampled every
// second through the flood and after it: it must stay flat.
//   build/default/bench/bench_sip_flood [RATE] [SECONDS]
#include <cstdio>
#include <string>
#include <vector>

#include "bench/SipBenchSupport.h"
#include "simulator/sip/SipLine.h"
#include "tests/sip/PeerProcess.h"
#include <atomic>
#include <thread>

using namespace tvxsim;
using namespace tvxsim::sip;
using namespace tvxsim::sip::bench;
using namespace tvxsim::sip::test;

int main(int argc, char **argv)
{
    const int rate = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    if (!PeerInstalled("sipp"))
        return 2;
    const ConfigResult conf =
        ParseLineConfig("account = sip:line@127.0.0.1\nlisten = 127.0.0.1:0\npeers = 127.0.0.1\n");
    SipLine line(conf.config, {});
    if (!LineUp(line))
        return 1;
    // The exchange: answers the first call, lets the second wait, refuses the rest.
    std::atomic<bool> running{true};
    std::atomic<int> heard{0};
    std::atomic<FarCallId> up{0};
    std::atomic<FarCallId> waiting{0};
    std::thread exchange([&] {
        auto next = std::chrono::steady_clock::now();
        std::array<int16_t, 160> audio{};
        FarLineEvent e;
        while (running) {
            next += std::chrono::milliseconds(20);
            std::this_thread::sleep_until(next);
            while (line.Next(e)) {
                if (e.kind != FarLineEventKind::Incoming)
                    continue;
                const int index = heard++;
                if (index == 0) {
                    line.Answer(e.call);
                    up = e.call;
                } else if (index == 1) {
                    line.Alert(e.call);
                    waiting = e.call;
                } else {
                    line.Refuse(e.call);
                }
            }
            if (up != 0) {
                line.Speak(up, audio);
                line.Hear(up, audio);
            }
        }
    });
    const std::string listen = line.Status().listen;
    const int port = std::stoi(listen.substr(listen.rfind(':') + 1));
    const std::string dir = TempFolder("bench-flood");
    const long before = RssKb();
    PeerProcess sipp(
        "sipp",
        SippArgs({.scenario = "uac_flood.xml",
                  .call = port,
                  .calls = rate * seconds,
                  .extra = {"-r", std::to_string(rate), "-l", "1000", "-d", std::to_string((seconds + 2) * 1000)},
                  .timeoutS = seconds + 30}),
        dir,
        "sipp");
    std::printf("INVITE flood at %d a second for %d s against the SIP line (one call up, one waiting, the rest "
                "refused)\n",
                rate,
                seconds);
    std::printf("  resident memory before: %ld kB\n", before);
    std::vector<long> samples;
    int maxCalls = 0;
    for (int s = 1; s <= seconds + 5; ++s) {
        for (int i = 0; i < 10; ++i) {
            SleepMs(100);
            maxCalls = std::max(maxCalls, line.Status().calls);
        }
        samples.push_back(RssKb());
        std::printf("  t = %2d s: %ld kB, calls up or waiting now %d\n", s, samples.back(), line.Status().calls);
    }
    // The waiting call is refused at last, which ends the flood's sipp run.
    line.Refuse(waiting);
    const int status = sipp.Wait(20000);
    running = false;
    exchange.join();
    const int incoming = heard.load();
    const long half = samples[static_cast<size_t>(seconds / 2 - 1 < 0 ? 0 : seconds / 2 - 1)];
    const long end = samples[static_cast<size_t>(seconds - 1)];
    const long peak = *std::max_element(samples.begin(), samples.end());
    std::printf("  %d INVITEs heard by the exchange, at most %d calls held at once; sipp %s\n",
                incoming,
                maxCalls,
                status == 0 ? "saw every call answered or refused" : "reported failed calls");
    std::printf("  memory: %ld kB before, %ld kB half-way, %ld kB at the end of the flood (growth over its second "
                "half %ld kB), peak %ld kB, %ld kB 5 s after\n",
                before,
                half,
                end,
                end - half,
                peak,
                samples.back());
    std::printf("  (the first 5 s fill libre's server transactions, each kept 5 s after its ACK; then it is flat)\n");
    return status == 0 ? 0 : 1;  // a call neither answered nor refused is a failure of the line
}
