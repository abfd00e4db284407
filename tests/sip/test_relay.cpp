// The SIP line and baresip through the seeded relay: 5 % of the RTP lost
// and every packet delayed by 0 to 40 ms, and still every digit, repeated
// ones included, arrives exactly once both ways.
#include <gtest/gtest.h>

#include <string>

#include "tests/sip/BaresipPeer.h"
#include "tests/sip/LineFixture.h"
#include "tests/support/SipRelay.h"

using namespace tvxsim;
using namespace tvxsim::sip;
using namespace tvxsim::sip::test;
using tvxsim::test::RelayImpairment;
using tvxsim::test::SipRelay;

namespace {

TEST(Relay, DigitsBothWaysSurviveLossAndJitter)
{
    TVX_NEED_PROGRAM("baresip");
    const std::string dir = TempFolder("relay");
    const int port = FreeUdpPort();
    BaresipPeer peer(dir, port);
    ASSERT_TRUE(peer.Ready()) << peer.Output();
    SipRelay relay(port, RelayImpairment{0.05, 40, 7});
    ASSERT_TRUE(relay.Ready());
    LineUnderTest t("account = sip:line@127.0.0.1:" + std::to_string(relay.SipPort()) +
                    "\nlisten = 127.0.0.1:0\npeers = 127.0.0.1\n");
    const FarCallId call = t.exchange->Dial("5550123");
    ASSERT_TRUE(peer.WaitFor("CALL_INCOMING", 5000)) << peer.Output();
    peer.Command("accept");
    ASSERT_TRUE(t.exchange->WaitFor(FarLineEventKind::Answered, call, 5000)) << peer.Output();
    EXPECT_GE(relay.Counts().rewritten, 2u) << "both descriptions name the relay";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    t.exchange->SendDigits(call, "1123", 120, 100);
    EXPECT_TRUE(t.exchange->WaitUntil([&] { return peer.DigitsReceived() == "1123"; }, 5000))
        << "'" << peer.DigitsReceived() << "'";
    for (char key : std::string("4456")) {
        peer.Command("sndcode", std::string(1, key));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    EXPECT_TRUE(t.exchange->WaitUntil([&] { return t.exchange->DigitEvents(call) == "4456"; }, 3000))
        << "'" << t.exchange->DigitEvents(call) << "'";

    const LineStatus s = t.line->Status();
    EXPECT_GT(relay.Counts().dropped, 0u);
    EXPECT_GT(s.packetsLost, 0) << "the relay's losses are counted";
    EXPECT_GT(s.jitterMs, 1.0);
    EXPECT_GT(s.playoutDelayMs, 20) << "the buffer grew for the jitter";
    EXPECT_LE(s.playoutDelayMs, 120);
    t.exchange->HangUp(call);
    EXPECT_TRUE(peer.WaitFor("CALL_CLOSED", 5000));
}

}  // namespace
