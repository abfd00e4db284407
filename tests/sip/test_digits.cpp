// Digits over SIP: INFO bodies, RFC 4733 telephone-events received and
// sent, and the pacing of digits toward the line.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "simulator/sip/logic/DigitPacer.h"
#include "simulator/sip/logic/InfoBody.h"
#include "simulator/sip/logic/TelephoneEvent.h"

using namespace tvxsim::sip;

namespace {

struct InfoCase {
    const char *type;
    const char *body;
    bool some;
    InfoEvent event;
};
void PrintTo(const InfoCase &c, std::ostream *os) { *os << c.type << " " << c.body; }

class Info : public ::testing::TestWithParam<InfoCase> {};

TEST_P(Info, BodiesGiveDigitsAndFlashes)
{
    const InfoCase &c = GetParam();
    const auto e = ParseInfoBody(c.type, c.body);
    ASSERT_EQ(e.has_value(), c.some);
    if (c.some) {
        EXPECT_EQ(*e, c.event);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Info,
    ::testing::Values(
        InfoCase{"application/dtmf-relay", "Signal=5\r\nDuration=160\r\n", true, {false, '5', 160}},
        InfoCase{"Application/DTMF-Relay; charset=x", "signal = #\nduration= 250\n", true, {false, '#', 250}},
        InfoCase{"application/dtmf-relay", "Signal=*\r\n", true, {false, '*', kInfoDefaultDurationMs}},
        InfoCase{"application/dtmf-relay", "Signal=11\r\nDuration=100\r\n", true, {false, '#', 100}},
        InfoCase{"application/dtmf-relay", "Signal=d\r\nDuration=100\r\n", true, {false, 'D', 100}},
        InfoCase{"application/dtmf-relay", "Signal=16\r\nDuration=100\r\n", true, {true, 0, 100}},
        InfoCase{"application/dtmf-relay", "Signal=5\r\nDuration=5\r\n", true, {false, '5', kInfoMinDurationMs}},
        InfoCase{"application/dtmf-relay", "Signal=5\r\nDuration=99999999\r\n", true, {false, '5', kInfoMaxDurationMs}},
        InfoCase{"application/dtmf-relay", "Signal=17\r\n", false, {}},
        InfoCase{"application/dtmf-relay", "Signal=E\r\n", false, {}},
        InfoCase{"application/dtmf-relay", "Duration=160\r\n", false, {}},
        InfoCase{"application/dtmf-relay", "", false, {}},
        InfoCase{"application/dtmf", "7", true, {false, '7', kInfoDefaultDurationMs}},
        InfoCase{"application/dtmf", " 10\r\n", true, {false, '*', kInfoDefaultDurationMs}},
        InfoCase{"application/dtmf", "x", false, {}},
        InfoCase{"application/hook-flash", "signal=hf\r\n", true, {true, 0, kInfoDefaultDurationMs}},
        InfoCase{"application/hook-flash", "Signal=HF", true, {true, 0, kInfoDefaultDurationMs}},
        InfoCase{"application/hook-flash", "signal=5", false, {}}, InfoCase{"text/plain", "Signal=5", false, {}}));

TEST(Info, WhatWeSendReadsBack)
{
    for (char key : std::string("0123456789*#ABCD")) {
        const auto e = ParseInfoBody(kDtmfRelayType, DtmfRelayBody(key, 160));
        ASSERT_TRUE(e.has_value()) << key;
        EXPECT_EQ(*e, (InfoEvent{false, key, 160}));
    }
    EXPECT_EQ(DtmfRelayBody('5', 160), "Signal=5\r\nDuration=160\r\n");
    const auto flash = ParseInfoBody(kHookFlashType, HookFlashBody());
    ASSERT_TRUE(flash.has_value());
    EXPECT_TRUE(flash->flash);
}

TEST(TelephoneEventPayload, EncodesAndDecodesTheFields)
{
    const EventPayload e{11, true, 10, 0x1234};
    const auto bytes = EncodeEventPayload(e);
    EXPECT_EQ(bytes, (std::array<uint8_t, 4>{11, 0x8A, 0x12, 0x34}));
    EXPECT_EQ(DecodeEventPayload(bytes), e);
    // The reserved bit is ignored, a short payload refused.
    const std::array<uint8_t, 4> reserved{5, 0x4A, 0, 160};
    EXPECT_EQ(DecodeEventPayload(reserved), (EventPayload{5, false, 10, 160}));
    EXPECT_FALSE(DecodeEventPayload(std::span<const uint8_t>(bytes.data(), 3)).has_value());
}

// One step of a received stream: a packet, or time passing.
struct Step {
    int64_t atMs;
    bool tick;  // time passes; the fields below are unused
    uint32_t timestamp;
    uint8_t event;
    bool end;
    uint16_t duration;
};
constexpr Step P(int64_t at, uint32_t ts, uint8_t ev, uint16_t dur, bool end = false)
{
    return {at, false, ts, ev, end, dur};
}
constexpr Step T(int64_t at) { return {at, true, 0, 0, false, 0}; }

struct ReceiverCase {
    const char *what;
    std::vector<Step> steps;
    const char *changes;  // '+d' begins, '-d' ends, '=d/ms' complete, in order
};
void PrintTo(const ReceiverCase &c, std::ostream *os) { *os << c.what; }

std::string Receive(const std::vector<Step> &steps)
{
    EventReceiver r;
    std::string out;
    for (const Step &s : steps) {
        const EventChanges c =
            s.tick ? r.OnTick(s.atMs) : r.OnPacket(s.timestamp, {s.event, s.end, 10, s.duration}, s.atMs);
        for (size_t i = 0; i < c.count; ++i) {
            const EventChange &x = c.items[i];
            if (!out.empty())
                out += " ";
            if (x.kind == EventChange::Kind::Begin)
                out += std::string("+") + x.digit;
            else if (x.kind == EventChange::Kind::End)
                out += std::string("-") + x.digit;
            else
                out += std::string("=") + x.digit + "/" + std::to_string(x.durationMs);
        }
    }
    return out;
}

class Receiver : public ::testing::TestWithParam<ReceiverCase> {};

TEST_P(Receiver, KeysDigitsOnTheTimestamp) { EXPECT_EQ(Receive(GetParam().steps), GetParam().changes); }

INSTANTIATE_TEST_SUITE_P(
    Table, Receiver,
    ::testing::Values(
        ReceiverCase{"one digit, three end packets",
                     {P(0, 1000, 1, 160),
                      P(20, 1000, 1, 320),
                      P(40, 1000, 1, 480),
                      P(60, 1000, 1, 640, true),
                      P(61, 1000, 1, 640, true),
                      P(62, 1000, 1, 640, true)},
                     "+1 -1"},
        ReceiverCase{"'11' with every end packet lost stays two digits",
                     {P(0, 1000, 1, 160),
                      P(20, 1000, 1, 320),
                      P(40, 1000, 1, 480),
                      P(140, 2000, 1, 160),
                      P(160, 2000, 1, 320),
                      T(400)},
                     "+1 -1 +1 -1"},
        ReceiverCase{"'11' with all but the end packets lost",
                     {P(0, 1000, 1, 800, true), P(200, 2000, 1, 800, true)},
                     "=1/100 =1/100"},
        ReceiverCase{"the duration stops growing: the digit ends after the silence",
                     {P(0, 1000, 5, 160), P(20, 1000, 5, 320), P(40, 1000, 5, 320), T(100), T(219), T(220)},
                     "+5 -5"},
        ReceiverCase{"repeats of the same duration do not keep it alive",
                     {P(0, 1000, 5, 160), P(100, 1000, 5, 160), P(199, 1000, 5, 160), T(200)},
                     "+5 -5"},
        ReceiverCase{
            "a late packet of an ended event is not a new digit",
            {P(0, 1000, 2, 160), P(20, 1000, 2, 320, true), P(30, 1000, 2, 160), T(1000), P(1001, 1000, 2, 480)},
            "+2 -2"},
        ReceiverCase{"an older timestamp after a newer one is too late",
                     {P(0, 2000, 3, 160), P(10, 1000, 4, 160), P(20, 2000, 3, 320, true)},
                     "+3 -3"},
        ReceiverCase{"a new event ends the current one",
                     {P(0, 1000, 7, 160), P(40, 1160, 8, 160), P(60, 1160, 8, 320, true)},
                     "+7 -7 +8 -8"},
        ReceiverCase{
            "timestamps wrap", {P(0, 0xFFFFFF00u, 9, 160, true), P(100, 0x00000100u, 0, 160, true)}, "=9/20 =0/20"},
        ReceiverCase{"a flash event plays nothing and ends the digit before",
                     {P(0, 1000, 10, 160), P(20, 2000, 16, 160), P(40, 2000, 16, 320, true)},
                     "+* -*"},
        ReceiverCase{"keys A to D", {P(0, 1, 12, 80, true), P(1, 500, 15, 80, true)}, "=A/10 =D/10"}));

TEST(Receiver, AResetEndsTheDigitAndForgetsTheTimestamps)
{
    EventReceiver r;
    EXPECT_EQ(r.OnPacket(1000, {1, false, 10, 160}, 0).count, 1u);
    const EventChanges c = r.Reset();
    ASSERT_EQ(c.count, 1u);
    EXPECT_EQ(c.items[0], (EventChange{EventChange::Kind::End, '1', 0}));
    EXPECT_FALSE(r.Active());
    // A new source may start again at any timestamp, even the same one.
    const EventChanges again = r.OnPacket(1000, {1, false, 10, 160}, 10);
    ASSERT_EQ(again.count, 1u);
    EXPECT_EQ(again.items[0].kind, EventChange::Kind::Begin);
}

TEST(Sender, OneEventIsPacketsOfOneTimestampWithAGrowingDurationEndedThrice)
{
    EventSender s;
    std::vector<EventPacket> sent;
    auto frame = [&](char digit, uint32_t ts) {
        const EventPackets p = s.Frame(digit, ts);
        sent.insert(sent.end(), p.items.begin(), p.items.begin() + static_cast<ptrdiff_t>(p.count));
    };
    frame(0, 0);
    EXPECT_TRUE(sent.empty());
    frame('5', 160);
    frame('5', 320);
    frame('5', 480);
    frame(0, 640);
    frame(0, 800);
    ASSERT_EQ(sent.size(), 6u);
    for (size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].timestamp, 160u);
        EXPECT_EQ(sent[i].payload.event, 5);
        EXPECT_EQ(sent[i].payload.volume, kEventVolume);
        EXPECT_EQ(sent[i].marker, i == 0);
        EXPECT_EQ(sent[i].payload.end, i >= 3);
    }
    EXPECT_EQ(sent[0].payload.duration, 160);
    EXPECT_EQ(sent[1].payload.duration, 320);
    EXPECT_EQ(sent[2].payload.duration, 480);
    EXPECT_EQ(sent[5].payload.duration, 480);
}

TEST(Sender, ADigitChangingAtOnceEndsOneEventAndBeginsTheNext)
{
    EventSender s;
    s.Frame('1', 0);
    const EventPackets p = s.Frame('2', 160);
    ASSERT_EQ(p.count, 4u);
    EXPECT_TRUE(p.items[2].payload.end);
    EXPECT_EQ(p.items[2].payload.event, 1);
    EXPECT_EQ(p.items[3].payload.event, 2);
    EXPECT_EQ(p.items[3].timestamp, 160u);
    EXPECT_TRUE(p.items[3].marker);
}

TEST(Sender, AnEventLongerThanItsDurationFieldEndsAndWaitsForTheKeyToBeLetGo)
{
    EventSender s;
    uint32_t ts = 0;
    size_t ends = 0;
    size_t packets = 0;
    for (int i = 0; i < 500; ++i, ts += 160) {
        const EventPackets p = s.Frame('9', ts);
        packets += p.count;
        for (size_t k = 0; k < p.count; ++k) {
            ends += p.items[k].payload.end ? 1 : 0;
            EXPECT_EQ(p.items[k].timestamp, 0u);
        }
    }
    EXPECT_EQ(ends, 3u);
    EXPECT_EQ(packets, 65535u / 160 + 3);
    // Let go and pressed again: a new event.
    EXPECT_EQ(s.Frame(0, ts).count, 0u);
    const EventPackets again = s.Frame('9', ts + 160);
    ASSERT_EQ(again.count, 1u);
    EXPECT_TRUE(again.items[0].marker);
}

TEST(SenderAndReceiver, RepeatedDigitsSurviveEachOther)
{
    // "1 1 2" sent, received through a stream that loses every end packet.
    EventSender s;
    EventReceiver r;
    std::string got;
    int64_t now = 0;
    uint32_t ts = 0;
    const std::string keys = "1__1__2____";  // '_' a frame without a digit
    for (char k : keys) {
        for (int f = 0; f < 4 && k != '_'; ++f, now += 20, ts += 160) {
            const EventPackets p = s.Frame(k, ts);
            for (size_t i = 0; i < p.count; ++i) {
                if (p.items[i].payload.end)
                    continue;
                const EventChanges c = r.OnPacket(p.items[i].timestamp, p.items[i].payload, now);
                for (size_t j = 0; j < c.count; ++j)
                    got += c.items[j].kind == EventChange::Kind::Begin ? std::string("+") + c.items[j].digit : "-";
            }
        }
        if (k == '_') {
            s.Frame(0, ts);
            now += 20;
            ts += 160;
            const EventChanges c = r.OnTick(now + 300);
            for (size_t j = 0; j < c.count; ++j)
                got += "-";
        }
    }
    EXPECT_EQ(got, "+1-+1-+2-");
}

std::string Pace(DigitPacer &p, int64_t from, int64_t to)
{
    std::string out;
    for (int64_t t = from; t <= to; t += 20) {
        std::array<PacedDigit, 4> d{};
        const size_t n = p.Due(t, d);
        for (size_t i = 0; i < n; ++i) {
            out += std::to_string(t) + (d[i].kind == PacedDigit::Kind::Start ? "+" : "-") + d[i].digit;
            if (d[i].durationMs > 0)
                out += "/" + std::to_string(d[i].durationMs);
            out += " ";
        }
    }
    return out;
}

TEST(Pacer, ADigitLastsAtLeastTheMinimumAndDigitsKeepAGap)
{
    DigitPacer p;
    p.Begin('1');
    p.End();  // a very short event
    p.Begin('1');
    p.End();
    EXPECT_EQ(Pace(p, 0, 400), "0+1 60-1 120+1 180-1 ");
    EXPECT_TRUE(p.Idle());
}

TEST(Pacer, OpenDigitsEndWhenTheirEndComesAndCompleteOnesAfterTheirLength)
{
    DigitPacer p;
    p.Begin('4');
    EXPECT_EQ(Pace(p, 0, 200), "0+4 ");
    p.End();
    p.Complete('#', 100);
    p.Complete('2', 10);
    EXPECT_EQ(Pace(p, 220, 800), "220-4 280+#/100 440+2/60 ");
    EXPECT_TRUE(p.Idle());
}

TEST(Pacer, AFullQueueDropsAndCounts)
{
    DigitPacer p;
    for (size_t i = 0; i < kPacedDigits + 3; ++i)
        p.Complete('7', 100);
    EXPECT_EQ(p.Dropped(), 3u);
    size_t starts = 0;
    for (int64_t t = 0; t < 10000; t += 20) {
        std::array<PacedDigit, 4> d{};
        starts += p.Due(t, d);
    }
    EXPECT_EQ(starts, kPacedDigits);
}

}  // namespace
