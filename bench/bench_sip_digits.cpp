// Digits both ways between the SIP line and baresip, through the seeded
// relay of the test support: as they are on loopback, then with 5 % of the
// RTP lost and 0 to 40 ms of jitter. Every digit must arrive exactly once,
// repeated ones included (the line's as RFC 4733 events read by baresip,
// baresip's as events the line reports); beside that, the line's playout:
// its 95th-percentile delay and the share of concealed frames, with the
// jitter buffer's target, the packets lost and the jitter.
//   build/default/bench/bench_sip_digits [DIGITS]
#include <cstdio>
#include <string>

#include "bench/SipBenchSupport.h"
#include "simulator/sip/SipLine.h"
#include "tests/sip/BaresipPeer.h"
#include "tests/sip/FakeExchange.h"
#include "tests/support/SipRelay.h"

using namespace tvxsim;
using namespace tvxsim::sip;
using namespace tvxsim::sip::bench;
using namespace tvxsim::sip::test;
using tvxsim::test::RelayImpairment;
using tvxsim::test::SipRelay;

namespace {

// Keys with repeats: every key, doubled keys, a triple.
std::string Keys(size_t count)
{
    const std::string pattern = "11234455678899000*##*ABCD1112";
    std::string out;
    while (out.size() < count)
        out += pattern;
    out.resize(count);
    return out;
}

bool Run(const char *what, RelayImpairment impairment, size_t digits)
{
    const std::string dir = TempFolder("bench-digits");
    const int port = FreeUdpPort();
    BaresipPeer peer(dir, port);
    SipRelay relay(port, impairment);
    if (!peer.Ready() || !relay.Ready()) {
        std::fprintf(stderr, "baresip or the relay did not start\n%s", peer.Output().c_str());
        return false;
    }
    const ConfigResult conf = ParseLineConfig("account = sip:line@127.0.0.1:" + std::to_string(relay.SipPort()) +
                                              "\nlisten = 127.0.0.1:0\npeers = 127.0.0.1\n");
    SipLine line(conf.config, {});
    if (!LineUp(line))
        return 1;
    FakeExchange exchange(line);
    const FarCallId call = exchange.Dial("5550123");
    if (!peer.WaitFor("CALL_INCOMING", 5000))
        return false;
    peer.Command("accept");
    if (!exchange.WaitFor(FarLineEventKind::Answered, call, 5000))
        return false;
    SleepMs(500);

    // Baresip takes only 0-9, *, # as events.
    std::string out = Keys(digits);
    for (char &c : out)
        c = (c >= 'A' && c <= 'D') ? static_cast<char>('0' + (c - 'A')) : c;
    exchange.SendDigits(call, out, 100, 100);
    exchange.WaitUntil([&] { return peer.DigitsReceived().size() >= out.size(); },
                       static_cast<int>(digits) * 250 + 3000);
    const std::string got = peer.DigitsReceived();

    const std::string in = out;
    for (char key : in) {
        peer.Command("sndcode", std::string(1, key));
        SleepMs(250);
    }
    exchange.WaitUntil([&] { return exchange.DigitEvents(call).size() >= in.size(); }, 3000);
    const std::string heard = exchange.DigitEvents(call);

    const LineStatus s = line.Status();
    const double frames = static_cast<double>(s.playedFrames + s.concealedFrames);
    std::printf("  %-28s line -> baresip %s (%zu/%zu), baresip -> line %s (%zu/%zu); playout 95th percentile %d ms, "
                "concealed %.2f %% of %.0f frames, late %llu, target %d ms, lost %lld of %llu relayed packets "
                "(%llu dropped by the relay), jitter %.1f ms\n",
                what,
                got == out ? "exact" : "WRONG",
                got.size(),
                out.size(),
                heard == in ? "exact" : "WRONG",
                heard.size(),
                in.size(),
                s.playoutP95Ms,
                frames > 0 ? 100.0 * static_cast<double>(s.concealedFrames) / frames : 0.0,
                frames,
                static_cast<unsigned long long>(s.lateFrames),
                s.playoutDelayMs,
                static_cast<long long>(s.packetsLost),
                static_cast<unsigned long long>(relay.Counts().rtp),
                static_cast<unsigned long long>(relay.Counts().dropped),
                s.jitterMs);
    if (got != out)
        std::printf("    sent '%s'\n    got  '%s'\n", out.c_str(), got.c_str());
    if (heard != in)
        std::printf("    sent '%s'\n    got  '%s'\n", in.c_str(), heard.c_str());
    exchange.HangUp(call);
    peer.WaitFor("CALL_CLOSED", 3000);
    return got == out && heard == in;
}

}  // namespace

int main(int argc, char **argv)
{
    const size_t digits = argc > 1 ? static_cast<size_t>(std::max(1, std::atoi(argv[1]))) : 40;
    if (!PeerInstalled("baresip"))
        return 2;
    std::printf("Digits both ways, %zu each way (repeated ones included), the line and baresip through the relay\n",
                digits);
    const bool clean = Run("loopback, no loss:", RelayImpairment{0, 0, 1}, digits);
    const bool impaired = Run("5 % loss, 0-40 ms jitter:", RelayImpairment{0.05, 40, 20261209}, digits);
    return clean && impaired ? 0 : 1;
}
