// The SIP line against baresip on 127.0.0.1, scripted through its ctrl_tcp
// module: calls both ways, digits both ways (repeated ones included) as
// RFC 4733 events, in band and by INFO, hang-up from each side; what
// baresip received checked in its recording with multimon-ng.
#include <gtest/gtest.h>

#include <string>

#include "tests/simulator/SoundFiles.h"
#include "tests/sip/BaresipPeer.h"
#include "tests/sip/LineFixture.h"

using namespace tvxsim;
using namespace tvxsim::sip;
using namespace tvxsim::sip::test;

namespace {

// Sends each key with its own sndcode, a pause between: baresip's events,
// each with a timestamp of its own.
void SendKeys(BaresipPeer &peer, const std::string &keys)
{
    for (char key : keys) {
        peer.Command("sndcode", std::string(1, key));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
}

TEST(Baresip, CallsTheLineDigitsGoBothWaysAndItHangsUp)
{
    TVX_NEED_PROGRAM("baresip");
    TVX_NEED_PROGRAM("multimon-ng");
    LineUnderTest t("account = sip:line@127.0.0.1\nlisten = 127.0.0.1:0\npeers = 127.0.0.1\n");
    t.exchange->SetOnIncoming(FakeExchange::OnIncoming::AlertAnswer, 200);
    const std::string dir = TempFolder("baresip-in");
    BaresipPeer peer(dir, FreeUdpPort());
    ASSERT_TRUE(peer.Ready()) << peer.Output();
    peer.Command("dial", "sip:line@127.0.0.1:" + std::to_string(t.Port()));
    FarLineEvent incoming;
    ASSERT_TRUE(t.exchange->WaitFor(FarLineEventKind::Incoming, 0, 5000, &incoming)) << peer.Output();
    EXPECT_EQ(incoming.caller.name, "Bob Baresip");
    EXPECT_EQ(incoming.caller.number, "5550123");
    ASSERT_TRUE(peer.WaitFor("CALL_ESTABLISHED", 5000)) << peer.Output();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    SendKeys(peer, "1123");
    EXPECT_TRUE(t.exchange->WaitUntil([&] { return t.exchange->DigitEvents(incoming.call) == "1123"; }, 3000))
        << "'" << t.exchange->DigitEvents(incoming.call) << "'";

    t.exchange->SendDigits(incoming.call, "4456", 120, 100);
    EXPECT_TRUE(t.exchange->WaitUntil([&] { return peer.DigitsReceived() == "4456"; }, 5000))
        << "'" << peer.DigitsReceived() << "'";

    peer.Command("hangup");
    FarLineEvent hungUp;
    ASSERT_TRUE(t.exchange->WaitFor(FarLineEventKind::HungUp, incoming.call, 5000, &hungUp));
    EXPECT_EQ(hungUp.reason, "BYE");
    ASSERT_TRUE(peer.WaitFor("CALL_CLOSED", 3000));
    peer.Stop();
    const std::string recording = peer.ReceivedRecording();
    ASSERT_FALSE(recording.empty()) << "baresip recorded what it received";
    EXPECT_EQ(simtest::MultimonDtmf(recording), "") << "the tones stayed out of the audio: no digit counted twice";
}

TEST(Baresip, TheLineCallsItWithDigitsInBandAndHangsUp)
{
    TVX_NEED_PROGRAM("baresip");
    TVX_NEED_PROGRAM("multimon-ng");
    const std::string dir = TempFolder("baresip-out");
    const int port = FreeUdpPort();
    BaresipPeer peer(dir, port);
    ASSERT_TRUE(peer.Ready()) << peer.Output();
    LineUnderTest t("account = sip:line@127.0.0.1:" + std::to_string(port) +
                    "\nlisten = 127.0.0.1:0\npeers = 127.0.0.1\ndtmf = inband\n");
    const FarCallId call = t.exchange->Dial("5550123");
    ASSERT_TRUE(peer.WaitFor("CALL_INCOMING", 5000)) << peer.Output();
    EXPECT_TRUE(t.exchange->WaitFor(FarLineEventKind::Ringing, call, 3000));
    peer.Command("accept");
    ASSERT_TRUE(t.exchange->WaitFor(FarLineEventKind::Answered, call, 5000)) << peer.Output();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const int64_t from = t.exchange->Blocks();
    t.exchange->SendDigits(call, "7899*", 120, 120);
    // Five keys of 240 ms and 600 ms more, in the exchange's 20 ms blocks.
    ASSERT_TRUE(t.exchange->WaitUntil([&] { return t.exchange->Blocks() >= from + 1800 / 20; }, 10000));
    t.exchange->HangUp(call);
    ASSERT_TRUE(peer.WaitFor("CALL_CLOSED", 5000)) << peer.Output();
    EXPECT_EQ(peer.DigitsReceived(), "") << "in band: no events";
    peer.Stop();
    EXPECT_EQ(simtest::MultimonDtmf(peer.ReceivedRecording()), "7899*") << "the tones reached baresip's ear";
}

TEST(Baresip, TakesTheLinesDigitsByInfo)
{
    TVX_NEED_PROGRAM("baresip");
    const std::string dir = TempFolder("baresip-info");
    const int port = FreeUdpPort();
    BaresipPeer peer(dir, port);
    ASSERT_TRUE(peer.Ready()) << peer.Output();
    LineUnderTest t("account = sip:line@127.0.0.1:" + std::to_string(port) +
                    "\nlisten = 127.0.0.1:0\npeers = 127.0.0.1\ndtmf = info\n");
    const FarCallId call = t.exchange->Dial("5550123");
    ASSERT_TRUE(peer.WaitFor("CALL_INCOMING", 5000)) << peer.Output();
    peer.Command("accept");
    ASSERT_TRUE(t.exchange->WaitFor(FarLineEventKind::Answered, call, 5000)) << peer.Output();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    t.exchange->SendDigits(call, "5528", 120, 100);
    EXPECT_TRUE(t.exchange->WaitUntil([&] { return peer.DigitsReceived() == "5528"; }, 5000))
        << "'" << peer.DigitsReceived() << "'";
    t.exchange->HangUp(call);
    EXPECT_TRUE(peer.WaitFor("CALL_CLOSED", 5000));
    peer.Stop();
    EXPECT_EQ(simtest::MultimonDtmf(peer.ReceivedRecording()), "") << "INFO digits leave the audio too";
}

}  // namespace
