// CPU of the SIP line: one call with audio both ways (sipp's echo, RFC 4733
// on offer) for 10 s, against the same fake exchange running alone; and the
// line idle for 10 s with its account registered (sipp's digest
// registrar). Each as a share of one core: the whole process, and the
// line's own thread (tvxusb-sip).
//   build/default/bench/bench_sip_cpu [SECONDS]
#include <cstdio>
#include <string>

#include "bench/SipBenchSupport.h"
#include "simulator/sip/SipLine.h"
#include "tests/sip/FakeExchange.h"
#include "tests/sip/PeerProcess.h"

using namespace tvxsim;
using namespace tvxsim::sip;
using namespace tvxsim::sip::bench;
using namespace tvxsim::sip::test;

namespace {

// A far line with nothing behind it: the fake exchange's own cost.
class NoLine final : public FarLine {
public:
    const FarLinePlan &Plan() const override { return plan_; }
    bool Next(FarLineEvent &) override { return false; }
    FarCallId Dial(std::string_view) override { return 1; }
    void Alert(FarCallId) override {}
    void Answer(FarCallId) override {}
    void Refuse(FarCallId) override {}
    void HangUp(FarCallId) override {}
    void Hold(FarCallId, bool) override {}
    void Flash(FarCallId) override {}
    void DigitStart(FarCallId, char) override {}
    void DigitEnd(FarCallId) override {}
    void Hear(FarCallId, std::span<int16_t> out) override { std::fill(out.begin(), out.end(), int16_t{0}); }
    void Speak(FarCallId, std::span<const int16_t>) override {}

private:
    FarLinePlan plan_;
};

struct Share {
    double process = 0;
    double thread = 0;
};

// Speech-like noise on line transmit, as a talking user makes.
void Talk(std::span<int16_t> out)
{
    static uint32_t seed = 1;
    for (int16_t &v : out) {
        seed = seed * 1664525u + 1013904223u;
        v = static_cast<int16_t>(static_cast<int32_t>(seed >> 20) - 2048);
    }
}

Share Over(int seconds, const std::function<void()> &during = {})
{
    const double cpu0 = ProcessCpuSeconds();
    const double thread0 = ThreadCpuSeconds("tvxusb-sip");
    const double t0 = NowMs();
    if (during)
        during();
    SleepMs(seconds * 1000);
    const double wall = (NowMs() - t0) / 1000.0;
    Share s;
    s.process = (ProcessCpuSeconds() - cpu0) / wall;
    s.thread = thread0 >= 0 ? (ThreadCpuSeconds("tvxusb-sip") - thread0) / wall : 0;
    return s;
}

}  // namespace

int main(int argc, char **argv)
{
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    if (!PeerInstalled("sipp"))
        return 2;
    std::printf("CPU of the SIP line, %d s each, as a share of one core\n", seconds);

    Share baseline;
    {
        NoLine none;
        FakeExchange exchange(none);
        const FarCallId call = exchange.Dial("1");
        exchange.Answer(call);
        exchange.SetSource(call, Talk);
        baseline = Over(seconds);
    }

    Share call;
    {
        const std::string dir = TempFolder("bench-cpu");
        const int port = FreeUdpPort();
        PeerProcess sipp("sipp",
                         SippArgs({.scenario = "uas_answer.xml",
                                   .listen = port,
                                   .extra = Echoing(SippEventKeys("0 101")),
                                   .timeoutS = 120}),
                         dir,
                         "sipp");
        if (!PeerListening(port))
            return 1;
        const ConfigResult conf = ParseLineConfig("account = sip:line@127.0.0.1:" + std::to_string(port) +
                                                  "\nlisten = 127.0.0.1:0\npeers = 127.0.0.1\n");
        SipLine line(conf.config, {});
        if (!LineUp(line))
            return 1;
        FakeExchange exchange(line);
        const FarCallId id = exchange.Dial("100");
        if (!exchange.WaitFor(FarLineEventKind::Answered, id, 5000)) {
            std::fprintf(stderr, "no answer\n%s", sipp.Output().c_str());
            return 1;
        }
        exchange.SetSource(id, Talk);
        SleepMs(500);
        call = Over(seconds);
        exchange.HangUp(id);
        sipp.Wait(5000);
    }

    Share idle;
    {
        const std::string dir = TempFolder("bench-cpu-idle");
        const int port = FreeUdpPort();
        WriteFile(dir + "/line.pw", "s3cret\n", 0600);
        PeerProcess sipp(
            "sipp",
            SippArgs(
                {.scenario = "registrar.xml", .listen = port, .extra = {"-key", "password", "s3cret"}, .timeoutS = 60}),
            dir,
            "sipp");
        if (!PeerListening(port))
            return 1;
        const ConfigResult conf = ParseLineConfig("account = sip:line@127.0.0.1\nlisten = 127.0.0.1:0\nregistrar = "
                                                  "sip:127.0.0.1:" +
                                                  std::to_string(port) + "\nexpires = 600\n");
        SipLine line(conf.config, dir + "/line.pw");
        for (int i = 0; i < 500 && line.Status().registration != RegistrationState::Registered; ++i)
            SleepMs(10);
        if (line.Status().registration != RegistrationState::Registered) {
            std::fprintf(stderr, "not registered: %s\n", line.Status().registrationReason.c_str());
            return 1;
        }
        idle = Over(seconds);
    }

    const double lineShare = call.process - baseline.process;
    std::printf("  the fake exchange alone (20 ms blocks, DTMF receiver): process %.2f %%\n", 100 * baseline.process);
    std::printf("  one call, audio both ways: process %.2f %%, less the exchange %.2f %%, the line's thread %.2f %% "
                "(target at most 2 %%: %s)\n",
                100 * call.process,
                100 * lineShare,
                100 * call.thread,
                lineShare <= 0.02 ? "met" : "MISSED");
    std::printf("  idle, registered: process %.3f %%, the line's thread %.3f %% (target at most 1 %%: %s)\n",
                100 * idle.process,
                100 * idle.thread,
                idle.process <= 0.01 ? "met" : "MISSED");
    return lineShare <= 0.02 && idle.process <= 0.01 ? 0 : 1;
}
