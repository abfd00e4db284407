// The SIP line against sipp on 127.0.0.1: calls both ways, caller
// identities, early media, busy and failures, digits as RFC 4733 events
// and in band, a digest registrar, strangers refused.
#include <gtest/gtest.h>

#include <ctime>

#include <cstdio>
#include <string>
#include <vector>

#include "simulator/logic/CallerIdMessage.h"
#include "tests/sip/LineFixture.h"

using namespace tvxsim;
using namespace tvxsim::sip;
using namespace tvxsim::sip::test;

namespace {

std::string LineTo(int peerPort, const std::string &extra = {})
{
    return "account = sip:line@127.0.0.1:" + std::to_string(peerPort) + "\nlisten = 127.0.0.1:0\npeers = 127.0.0.1\n" +
           extra;
}

// sipp as a UAS on `port` with `scenario` and its keys, bounded at 20 s.
std::vector<std::string> UasArgs(const std::string &scenario, int port, int media, std::vector<std::string> extra)
{
    return SippArgs({.scenario = scenario, .listen = port, .media = media, .extra = std::move(extra)});
}

// Waits until sipp listens (it answers nothing before): a short fixed wait.

TEST(Sipp, AFarEndWithoutTelephoneEventsGetsTheDigitsInBandAndEchoesThem)
{
    TVX_NEED_PROGRAM("sipp");
    const std::string dir = TempFolder("uas");
    const int port = FreeUdpPort();
    PeerProcess sipp("sipp", UasArgs("uas_answer.xml", port, FreeUdpPort(), Echoing(kSippPcmuOnly)), dir, "sipp");
    ASSERT_TRUE(sipp.Started());
    ASSERT_TRUE(WaitUdpBound(port));
    LineUnderTest t(LineTo(port));
    const FarCallId call = t.exchange->Dial("5551234");
    ASSERT_NE(call, 0u);
    EXPECT_TRUE(t.exchange->WaitFor(FarLineEventKind::Ringing, call, 5000));
    ASSERT_TRUE(t.exchange->WaitFor(FarLineEventKind::Answered, call, 5000))
        << ::testing::PrintToString(t.exchange->Log()) << sipp.Output();
    EXPECT_EQ(t.line->Status().codec, "PCMU");
    EXPECT_EQ(t.line->Status().peer, "sip:5551234@127.0.0.1:" + std::to_string(port));
    // A click comes back through the echo: the call's audio flows both ways.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const int64_t block = t.exchange->Click(call);
    EXPECT_TRUE(t.exchange->WaitFor(FarLineEventKind::MediaStarted, call, 3000));
    ASSERT_TRUE(t.exchange->WaitUntil([&] { return t.exchange->FirstLoudSample(call, block, 10000) >= 0; }, 2000));
    t.exchange->SendDigits(call, "1590#", 100, 100);
    EXPECT_TRUE(t.exchange->WaitUntil([&] { return t.exchange->HeardDigits(call) == "1590#"; }, 5000))
        << "heard back: '" << t.exchange->HeardDigits(call) << "'";
    EXPECT_EQ(t.exchange->DigitEvents(call), "") << "no events go to a far end that takes none";
    t.exchange->HangUp(call);
    EXPECT_EQ(sipp.Wait(8000), 0) << "sipp got the BYE\n" << sipp.Output();
}

TEST(Sipp, WithTelephoneEventsTheDigitsLeaveTheAudioAndComeBackAsEvents)
{
    TVX_NEED_PROGRAM("sipp");
    const std::string dir = TempFolder("uas-te");
    const int port = FreeUdpPort();
    PeerProcess sipp(
        "sipp", UasArgs("uas_answer.xml", port, FreeUdpPort(), Echoing(SippEventKeys("8 101"))), dir, "sipp");
    ASSERT_TRUE(sipp.Started());
    ASSERT_TRUE(WaitUdpBound(port));
    LineUnderTest t(LineTo(port, "codecs = pcma pcmu\n"));
    const FarCallId call = t.exchange->Dial("100");
    ASSERT_TRUE(t.exchange->WaitFor(FarLineEventKind::Answered, call, 5000)) << sipp.Output();
    EXPECT_EQ(t.line->Status().codec, "PCMA");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    // The echo returns our own telephone-events: each digit once, the
    // repeated ones included, and none of their tones in the audio.
    t.exchange->SendDigits(call, "2772#*", 120, 80);
    EXPECT_TRUE(t.exchange->WaitUntil([&] { return t.exchange->DigitEvents(call) == "2772#*"; }, 5000))
        << "events: '" << t.exchange->DigitEvents(call) << "'";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(t.exchange->HeardDigits(call), "") << "the tones were kept out of the audio";
    t.exchange->HangUp(call);
    EXPECT_EQ(sipp.Wait(8000), 0) << sipp.Output();
}

TEST(Sipp, EarlyMediaPlaysBeforeTheAnswer)
{
    TVX_NEED_PROGRAM("sipp");
    const std::string dir = TempFolder("uas-early");
    const int port = FreeUdpPort();
    PeerProcess sipp("sipp", UasArgs("uas_early.xml", port, FreeUdpPort(), {}), dir, "sipp");
    ASSERT_TRUE(sipp.Started());
    ASSERT_TRUE(WaitUdpBound(port));
    LineUnderTest t(LineTo(port));
    const FarCallId call = t.exchange->Dial("200");
    ASSERT_TRUE(t.exchange->WaitFor(FarLineEventKind::Answered, call, 8000)) << sipp.Output();
    std::vector<std::string> order;
    for (const FarLineEvent &e : t.exchange->Events()) {
        if (e.call == call)
            order.push_back(e.kind == FarLineEventKind::EarlyMedia     ? "early"
                            : e.kind == FarLineEventKind::MediaStarted ? "media"
                            : e.kind == FarLineEventKind::Answered     ? "answered"
                                                                       : "other");
    }
    EXPECT_EQ(order, (std::vector<std::string>{"early", "media", "answered"}));
    // Its announcement (sipp's A-law speech in 30 ms packets, after a
    // second of silence) was heard before the answer.
    const std::vector<int16_t> heard = t.exchange->Received(call);
    int loud = 0;
    for (int16_t v : heard)
        loud += std::abs(v) > 1000 ? 1 : 0;
    EXPECT_GT(loud, 400) << "speech in the early media";
    EXPECT_EQ(t.line->Status().codec, "PCMA");
    t.exchange->HangUp(call);
    EXPECT_EQ(sipp.Wait(8000), 0) << sipp.Output();
}

struct FinalCase {
    const char *status;
    const char *reason;
    FarLineEventKind kind;
    const char *eventReason;
};

void PrintTo(const FinalCase &c, std::ostream *os) { *os << c.status; }

class SippFinal : public ::testing::TestWithParam<FinalCase> {};

TEST_P(SippFinal, FinalResponsesAreBusyOrAFailureWithTheirStatus)
{
    TVX_NEED_PROGRAM("sipp");
    const FinalCase &c = GetParam();
    const std::string dir = TempFolder("uas-final");
    const int port = FreeUdpPort();
    const std::string final = WriteFinalScenario(dir, c.status, c.reason);
    ASSERT_FALSE(final.empty());
    PeerProcess sipp("sipp", UasArgs(final, port, FreeUdpPort(), {}), dir, "sipp");
    ASSERT_TRUE(sipp.Started());
    ASSERT_TRUE(WaitUdpBound(port));
    LineUnderTest t(LineTo(port));
    const FarCallId call = t.exchange->Dial("300");
    FarLineEvent event;
    ASSERT_TRUE(t.exchange->WaitFor(c.kind, call, 5000, &event))
        << ::testing::PrintToString(t.exchange->Log()) << sipp.Output();
    EXPECT_EQ(event.reason, c.eventReason);
    EXPECT_EQ(sipp.Wait(5000), 0) << "sipp got its ACK\n" << sipp.Output();
}

INSTANTIATE_TEST_SUITE_P(
    Table, SippFinal,
    ::testing::Values(FinalCase{"486", "Busy Here", FarLineEventKind::Busy, "486 Busy Here"},
                      FinalCase{"600", "Busy Everywhere", FarLineEventKind::Busy, "600 Busy Everywhere"},
                      FinalCase{"404", "Not Found", FarLineEventKind::Failed, "404 Not Found"},
                      FinalCase{"503", "Service Unavailable", FarLineEventKind::Failed, "503 Service Unavailable"}));

// "MMDDhhmm" of the local wall clock now.
std::string WallClockStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%m%d%H%M", &local);
    return text;
}

TEST(Sipp, CallerIdentitiesWithAndWithoutAssertedIdentityAndPrivacy)
{
    TVX_NEED_PROGRAM("sipp");
    const std::string dir = TempFolder("uac-id");
    const std::string before = WallClockStamp();  // the calls come in this minute or the next
    struct Row {
        const char *from;
        const char *header1;
        const char *header2;
        const char *name;
        const char *number;
        char absence;
    };
    const std::vector<Row> rows = {
        {"\"Ivor Kell\" <sip:7964710@127.0.0.1>", "X-Test: 1", "X-Test: 2", "Ivor Kell", "7964710", 0},
        {"\"Spoofed\" <sip:999@127.0.0.1>",
         "P-Asserted-Identity: \"Network Name\" <sip:+15551230000@127.0.0.1>",
         "X-Test: 2",
         "Network Name",
         "+15551230000",
         0},
        {"<sip:100@127.0.0.1>", "P-Asserted-Identity: <tel:+15550001111>", "X-Test: 2", "", "+15550001111", 0},
        {"\"Bob\" <sip:5551234@127.0.0.1>",
         "P-Asserted-Identity: <sip:+15551230000@127.0.0.1>",
         "Privacy: id",
         "",
         "",
         kAbsencePrivate},
        {"\"Bob\" <sip:5551234@127.0.0.1>", "X-Test: 1", "Privacy: ID", "", "", kAbsencePrivate},
        {"\"Anonymous\" <sip:anonymous@anonymous.invalid>", "X-Test: 1", "X-Test: 2", "", "", kAbsencePrivate},
        {"\"Alice Smith\" <sip:alice@127.0.0.1>", "X-Test: 1", "X-Test: 2", "Alice Smith", "", kAbsenceOutOfArea},
    };
    std::string csv = "SEQUENTIAL\n";
    for (const Row &r : rows)
        csv += std::string(r.from) + ";" + r.header1 + ";" + r.header2 + ";\n";
    WriteFile(dir + "/identities.csv", csv);

    LineUnderTest t("account = sip:line@127.0.0.1\nlisten = 127.0.0.1:0\npeers = 127.0.0.1\n");
    t.exchange->SetOnIncoming(FakeExchange::OnIncoming::Refuse);
    PeerProcess sipp("sipp",
                     SippArgs({.scenario = "uac_identity.xml",
                               .call = t.Port(),
                               .calls = static_cast<int>(rows.size()),
                               .extra = {"-inf", dir + "/identities.csv", "-l", "1", "-r", "20"}}),
                     dir,
                     "sipp");
    ASSERT_TRUE(sipp.Started());
    EXPECT_EQ(sipp.Wait(15000), 0) << sipp.Output();
    std::vector<CallerIdSpec> callers;
    for (const FarLineEvent &e : t.exchange->Events()) {
        if (e.kind == FarLineEventKind::Incoming)
            callers.push_back(e.caller);
    }
    ASSERT_EQ(callers.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(callers[i].name, rows[i].name) << i;
        EXPECT_EQ(callers[i].number, rows[i].number) << i;
        EXPECT_EQ(callers[i].absence, rows[i].absence) << i;
        // The wall clock's date and time, as caller ID carries them.
        EXPECT_TRUE(callers[i].date == before || callers[i].date == WallClockStamp()) << callers[i].date;
    }
}

TEST(Sipp, RtpEventDigitsFromItsRecordingsArriveOnceEachAndTheCallEndsWithItsBye)
{
    TVX_NEED_PROGRAM("sipp");
    const std::string dir = TempFolder("uac-digits");
    LineUnderTest t("account = sip:line@127.0.0.1\nlisten = 127.0.0.1:0\npeers = 127.0.0.1\n");
    t.exchange->SetOnIncoming(FakeExchange::OnIncoming::AlertAnswer, 100);
    PeerProcess sipp("sipp", SippArgs({.scenario = "uac_digits.xml", .call = t.Port()}), dir, "sipp");
    ASSERT_TRUE(sipp.Started());
    FarLineEvent incoming;
    ASSERT_TRUE(t.exchange->WaitFor(FarLineEventKind::Incoming, 0, 5000, &incoming)) << sipp.Output();
    EXPECT_EQ(incoming.caller.name, "Digit Sender");
    EXPECT_EQ(incoming.caller.number, "5550100");
    FarLineEvent hungUp;
    ASSERT_TRUE(t.exchange->WaitFor(FarLineEventKind::HungUp, incoming.call, 15000, &hungUp)) << sipp.Output();
    EXPECT_EQ(hungUp.reason, "BYE");
    EXPECT_EQ(t.exchange->DigitEvents(incoming.call), "10259*#");
    // Each digit began and ended (end packets received) before the next.
    int open = 0;
    for (const FarLineEvent &e : t.exchange->Events()) {
        if (e.call != incoming.call)
            continue;
        if (e.kind == FarLineEventKind::DigitStart) {
            EXPECT_EQ(open, 0);
            EXPECT_EQ(e.durationMs, 0);
            ++open;
        } else if (e.kind == FarLineEventKind::DigitEnd) {
            EXPECT_EQ(open, 1);
            --open;
        }
    }
    EXPECT_EQ(sipp.Wait(5000), 0) << sipp.Output();
}

TEST(Sipp, ARegistrarWithDigestAcceptsTheRightPasswordAndRefusesAWrongOne)
{
    TVX_NEED_PROGRAM("sipp");
    for (const bool right : {true, false}) {
        const std::string dir = TempFolder("registrar");
        const int port = FreeUdpPort();
        WriteFile(dir + "/line.pw", std::string(right ? "s3cret" : "wrong") + "\n", 0600);
        PeerProcess sipp(
            "sipp", UasArgs("registrar.xml", port, FreeUdpPort(), {"-key", "password", "s3cret"}), dir, "sipp");
        ASSERT_TRUE(sipp.Started());
        ASSERT_TRUE(WaitUdpBound(port));
        ::testing::internal::CaptureStderr();
        {
            LineUnderTest t("account = sip:line@127.0.0.1\nlisten = 127.0.0.1:0\nregistrar = sip:127.0.0.1:" +
                                std::to_string(port) + "\n",
                            dir + "/line.pw");
            const RegistrationState wanted = right ? RegistrationState::Registered : RegistrationState::Failed;
            EXPECT_TRUE(t.exchange->WaitUntil([&] { return t.line->Status().registration == wanted; }, 5000))
                << RegistrationName(t.line->Status().registration);
            const LineStatus s = t.line->Status();
            EXPECT_EQ(s.farEnd, "sip:line@127.0.0.1");
            EXPECT_EQ(s.registrationReason, right ? "" : "403 Forbidden");
            EXPECT_EQ(sipp.Wait(3000), 0) << sipp.Output();
        }
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.find("s3cret"), std::string::npos) << "the password is never printed";
        EXPECT_EQ(err.find("wrong"), std::string::npos);
        if (!right) {
            EXPECT_NE(err.find("registration with sip:127.0.0.1:" + std::to_string(port) +
                               " failed: 403 Forbidden; trying again in 30 s"),
                      std::string::npos)
                << err;
        }
    }
}

TEST(Sipp, AStrangerGets403)
{
    TVX_NEED_PROGRAM("sipp");
    const std::string dir = TempFolder("stranger");
    LineUnderTest t("account = sip:line@127.0.0.1\nlisten = 127.0.0.1:0\npeers = 127.0.0.1\n");
    PeerProcess sipp("sipp",
                     SippArgs({.scenario = "uac_stranger.xml", .from = "127.0.0.2", .call = t.Port(), .timeoutS = 10}),
                     dir,
                     "sipp");
    ASSERT_TRUE(sipp.Started());
    EXPECT_EQ(sipp.Wait(8000), 0) << sipp.Output();
    EXPECT_TRUE(t.exchange->Events().empty()) << "the exchange never heard of it";
}

}  // namespace

namespace {

TEST(Sipp, HoldIsAReinviteSendonlyAndTakingBackSendrecv)
{
    TVX_NEED_PROGRAM("sipp");
    const std::string dir = TempFolder("uas-hold");
    const int port = FreeUdpPort();
    PeerProcess sipp("sipp", UasArgs("uas_hold.xml", port, FreeUdpPort(), {}), dir, "sipp");
    ASSERT_TRUE(sipp.Started());
    ASSERT_TRUE(WaitUdpBound(port));
    // A second's silence would end an unheld call; a held one waits.
    LineTimings timings;
    timings.noRtpTimeoutMs = 1000;
    LineUnderTest t(LineTo(port), {}, timings);
    const FarCallId call = t.exchange->Dial("400");
    ASSERT_TRUE(t.exchange->WaitFor(FarLineEventKind::Answered, call, 5000)) << sipp.Output();
    t.exchange->Hold(call, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_FALSE(t.exchange->WaitFor(FarLineEventKind::HungUp, call, 0)) << "held: silence is expected";
    t.exchange->Hold(call, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    t.exchange->HangUp(call);
    EXPECT_EQ(sipp.Wait(5000), 0) << "sipp saw sendonly, then sendrecv, then the BYE\n" << sipp.Output();
}

TEST(Sipp, AConnectedCallWithoutRtpEndsAsAFarHangUp)
{
    TVX_NEED_PROGRAM("sipp");
    const std::string dir = TempFolder("uas-silent");
    const int port = FreeUdpPort();
    // No echo: sipp sends no RTP at all.
    PeerProcess sipp("sipp", UasArgs("uas_answer.xml", port, FreeUdpPort(), kSippPcmuOnly), dir, "sipp");
    ASSERT_TRUE(sipp.Started());
    ASSERT_TRUE(WaitUdpBound(port));
    LineTimings timings;
    timings.noRtpTimeoutMs = 1000;
    LineUnderTest t(LineTo(port), {}, timings);
    const FarCallId call = t.exchange->Dial("500");
    ASSERT_TRUE(t.exchange->WaitFor(FarLineEventKind::Answered, call, 5000)) << sipp.Output();
    FarLineEvent hungUp;
    ASSERT_TRUE(t.exchange->WaitFor(FarLineEventKind::HungUp, call, 3000, &hungUp));
    EXPECT_EQ(hungUp.reason, "no RTP for 1 s");
    EXPECT_EQ(sipp.Wait(5000), 0) << "and the line sent its BYE\n" << sipp.Output();
}

TEST(Sipp, ACancelBeforeTheAnswerIsReportedWhetherTheLineRingsOrNot)
{
    TVX_NEED_PROGRAM("sipp");
    for (const FakeExchange::OnIncoming what : {FakeExchange::OnIncoming::Nothing, FakeExchange::OnIncoming::Alert}) {
        const std::string dir = TempFolder("uac-cancel");
        LineUnderTest t("account = sip:line@127.0.0.1\nlisten = 127.0.0.1:0\npeers = 127.0.0.1\n");
        t.exchange->SetOnIncoming(what);
        const std::string scenario =
            what == FakeExchange::OnIncoming::Alert ? "/uac_cancel_ringing.xml" : "/uac_cancel.xml";
        PeerProcess sipp(
            "sipp", SippArgs({.scenario = scenario.substr(1), .call = t.Port(), .timeoutS = 10}), dir, "sipp");
        ASSERT_TRUE(sipp.Started());
        FarLineEvent incoming;
        ASSERT_TRUE(t.exchange->WaitFor(FarLineEventKind::Incoming, 0, 5000, &incoming)) << sipp.Output();
        EXPECT_TRUE(t.exchange->WaitFor(FarLineEventKind::Cancelled, incoming.call, 5000))
            << ::testing::PrintToString(t.exchange->Log());
        EXPECT_EQ(sipp.Wait(5000), 0) << "200 to the CANCEL, 487 to the INVITE\n" << sipp.Output();
        EXPECT_EQ(t.line->Status().calls, 0);
    }
}

TEST(Sipp, AFloodIsAnsweredByTheExchangeAndWhatItCannotHearIsBusyAtOnce)
{
    TVX_NEED_PROGRAM("sipp");
    const std::string dir = TempFolder("uac-flood");
    LineUnderTest t("account = sip:line@127.0.0.1\nlisten = 127.0.0.1:0\npeers = 127.0.0.1\n");
    // The exchange answers two calls and refuses the rest...
    t.exchange->SetIncomingPolicy(
        [](int index) { return index < 2 ? FakeExchange::OnIncoming::AlertAnswer : FakeExchange::OnIncoming::Refuse; });
    // ... but hears nothing for the first half second: the line refuses
    // at once whatever it has no room for.
    t.exchange->Pause(true);
    const int calls = 60;
    PeerProcess sipp("sipp",
                     SippArgs({.scenario = "uac_flood.xml",
                               .call = t.Port(),
                               .calls = calls,
                               .extra = {"-r", "200", "-d", "1500"},
                               .timeoutS = 15}),
                     dir,
                     "sipp");
    ASSERT_TRUE(sipp.Started());
    // Every slot taken, then a while longer for the INVITEs beyond them.
    ASSERT_TRUE(t.exchange->WaitUntil([&] { return t.line->Status().calls >= static_cast<int>(kCallSlots); }, 5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    t.exchange->Pause(false);
    EXPECT_EQ(sipp.Wait(12000), 0) << "every call was answered or refused\n" << sipp.Output();
    const auto count = [&](FarLineEventKind kind) {
        int n = 0;
        for (const FarLineEvent &e : t.exchange->Events())
            n += e.kind == kind ? 1 : 0;
        return n;
    };
    EXPECT_TRUE(t.exchange->WaitUntil([&] { return count(FarLineEventKind::HungUp) == 2; }, 2000))
        << "the two answered calls ended with their BYE\n"
        << ::testing::PrintToString(t.exchange->Log());
    const int incoming = count(FarLineEventKind::Incoming);
    EXPECT_GE(incoming, static_cast<int>(kCallSlots)) << "the line held as many as it has room for";
    EXPECT_LT(incoming, calls) << "and refused the others itself";
    EXPECT_EQ(t.line->Status().calls, 0);
}

TEST(Sipp, TwoCallsAtOnceEachHearOnlyTheirOwnEcho)
{
    TVX_NEED_PROGRAM("sipp");
    const std::string dir = TempFolder("uas-two");
    const int port = FreeUdpPort();
    PeerProcess sipp(
        "sipp",
        SippArgs({.scenario = "uas_answer.xml", .listen = port, .calls = 2, .extra = Echoing(kSippPcmuOnly)}),
        dir,
        "sipp");
    ASSERT_TRUE(sipp.Started());
    ASSERT_TRUE(WaitUdpBound(port));
    LineUnderTest t(LineTo(port));
    const FarCallId first = t.exchange->Dial("601");
    const FarCallId second = t.exchange->Dial("602");
    ASSERT_TRUE(t.exchange->WaitFor(FarLineEventKind::Answered, first, 5000)) << sipp.Output();
    ASSERT_TRUE(t.exchange->WaitFor(FarLineEventKind::Answered, second, 5000)) << sipp.Output();
    EXPECT_EQ(t.line->Status().calls, 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const int64_t block = t.exchange->Click(first);
    EXPECT_TRUE(t.exchange->WaitUntil([&] { return t.exchange->FirstLoudSample(first, block, 10000) >= 0; }, 5000))
        << "the first call hears its echo";
    EXPECT_LT(t.exchange->FirstLoudSample(second, block, 10000), 0) << "the second does not";
    t.exchange->HangUp(first);
    t.exchange->HangUp(second);
    EXPECT_EQ(sipp.Wait(8000), 0) << sipp.Output();
}

TEST(Sipp, ARefusingRegistrarIsOneLineAStateAndARetryLater)
{
    // Nobody listens on the registrar's TCP port: refused at once.
    const int port = FreeUdpPort();
    ::testing::internal::CaptureStderr();
    {
        LineUnderTest t("account = sip:line@127.0.0.1\nlisten = 127.0.0.1:0\nregistrar = sip:127.0.0.1:" +
                        std::to_string(port) + ";transport=tcp\n");
        EXPECT_TRUE(
            t.exchange->WaitUntil([&] { return t.line->Status().registration == RegistrationState::Failed; }, 5000));
        const LineStatus s = t.line->Status();
        EXPECT_EQ(s.registrationReason, "Connection refused");
        // Calls can still be made meanwhile (to a local peer: refused too, but at once).
        EXPECT_NE(t.exchange->Dial("123"), 0u);
    }
    const std::string err = ::testing::internal::GetCapturedStderr();
    const std::string line = "tvxusb: SIP line: registration with sip:127.0.0.1:" + std::to_string(port) +
                             ";transport=tcp failed: Connection refused; trying again in 30 s\n";
    EXPECT_NE(err.find(line), std::string::npos) << err;
    EXPECT_EQ(err.find("registration", err.find(line) + line.size()), std::string::npos) << "one line only";
}

}  // namespace

namespace {

TEST(Sipp, ClosingTheLineEndsEveryCallAsItsStateWants)
{
    TVX_NEED_PROGRAM("sipp");
    const std::string dir = TempFolder("close");
    // An answered call (BYE), one still ringing at the far end (CANCEL),
    // and an incoming one nobody has decided on yet (486).
    const int answering = FreeUdpPort();
    const int ringing = FreeUdpPort();
    PeerProcess answered("sipp", UasArgs("uas_answer.xml", answering, FreeUdpPort(), kSippPcmuOnly), dir, "answered");
    PeerProcess rung("sipp", UasArgs("uas_ringing.xml", ringing, FreeUdpPort(), {}), dir, "ringing");
    ASSERT_TRUE(WaitUdpBound(answering));
    ASSERT_TRUE(WaitUdpBound(ringing));
    WriteFile(dir + "/caller.csv", "SEQUENTIAL\n\"Waiting\" <sip:5550111@127.0.0.1>;X-Test: 1;X-Test: 2;\n");
    {
        LineUnderTest t("account = sip:line@127.0.0.1:" + std::to_string(answering) +
                        "\nlisten = 127.0.0.1:0\npeers = 127.0.0.1\n");
        const FarCallId up = t.exchange->Dial("1");
        ASSERT_TRUE(t.exchange->WaitFor(FarLineEventKind::Answered, up, 5000)) << answered.Output();
        // The ringing UAS is called from a second line, whose account's domain it is.
        PeerProcess caller("sipp",
                           SippArgs({.scenario = "uac_identity.xml",
                                     .call = t.Port(),
                                     .extra = {"-inf", dir + "/caller.csv"},
                                     .timeoutS = 10}),
                           dir,
                           "caller");
        ASSERT_TRUE(t.exchange->WaitFor(FarLineEventKind::Incoming, 0, 5000)) << caller.Output();
        LineUnderTest second("account = sip:line@127.0.0.1:" + std::to_string(ringing) +
                             "\nlisten = 127.0.0.1:0\npeers = 127.0.0.1\n");
        const FarCallId out = second.exchange->Dial("2");
        ASSERT_TRUE(second.exchange->WaitFor(FarLineEventKind::Ringing, out, 5000)) << rung.Output();
        second.exchange.reset();
        second.line.reset();  // cancels the ringing call
        t.exchange.reset();
        t.line.reset();  // BYE for the answered call, 486 for the undecided one
        EXPECT_EQ(caller.Wait(5000), 0) << "the undecided INVITE got 486\n" << caller.Output();
    }
    EXPECT_EQ(answered.Wait(5000), 0) << "the answered call got its BYE\n" << answered.Output();
    EXPECT_EQ(rung.Wait(5000), 0) << "the ringing call got its CANCEL\n" << rung.Output();
}

}  // namespace

namespace {

TEST(Sipp, WithAnOutboundProxyCallsGoThroughIt)
{
    TVX_NEED_PROGRAM("sipp");
    const std::string dir = TempFolder("proxy");
    const int port = FreeUdpPort();
    PeerProcess sipp("sipp", UasArgs("uas_answer.xml", port, FreeUdpPort(), kSippPcmuOnly), dir, "sipp");
    ASSERT_TRUE(sipp.Started());
    ASSERT_TRUE(WaitUdpBound(port));
    // The account's domain answers nothing (a documentation address): only the proxy can take the call.
    LineUnderTest t(
        "account = sip:line@192.0.2.1\nlisten = 127.0.0.1:0\nproxy = sip:127.0.0.1:" + std::to_string(port) + "\n");
    const FarCallId call = t.exchange->Dial("700");
    ASSERT_TRUE(t.exchange->WaitFor(FarLineEventKind::Answered, call, 5000))
        << ::testing::PrintToString(t.exchange->Log()) << sipp.Output();
    EXPECT_EQ(t.line->Status().peer, "sip:700@192.0.2.1");
    t.exchange->HangUp(call);
    EXPECT_EQ(sipp.Wait(5000), 0) << sipp.Output();
}

}  // namespace
