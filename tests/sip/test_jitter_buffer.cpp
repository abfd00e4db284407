// The jitter buffer against simulated streams: steady, lossy, reordered,
// jittered, paused, restarted; its RFC 3550 counts and its adaptation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "simulator/sip/logic/G711.h"
#include "simulator/sip/logic/JitterBuffer.h"
#include "simulator/sip/logic/Playout.h"

using namespace tvxsim::sip;

namespace {

struct Arrival {
    int64_t atUs;
    RtpAudioPacket packet;
};

// Packets of 20 ms sent every 20 ms from t = 0; packet i carries the byte
// i & 0xFF and has sequence `firstSequence + i`, timestamp 160 i.
// `delayUs(i)` is its transit, negative to drop it.
std::vector<Arrival> Stream(int packets, const std::function<int64_t(int)> &delayUs, uint16_t firstSequence = 1000,
                            uint32_t ssrc = 7)
{
    std::vector<Arrival> out;
    for (int i = 0; i < packets; ++i) {
        const int64_t d = delayUs(i);
        if (d < 0)
            continue;
        Arrival a;
        a.atUs = int64_t{i} * 20000 + d;
        a.packet.ssrc = ssrc;
        a.packet.sequence = static_cast<uint16_t>(firstSequence + i);
        a.packet.timestamp = 160u * static_cast<uint32_t>(i) + 50000u;
        a.packet.arrivalUs = a.atUs;
        a.packet.size = kFrameSamples;
        a.packet.payload.fill(static_cast<uint8_t>(i & 0xFF));
        out.push_back(a);
    }
    std::stable_sort(out.begin(), out.end(), [](const Arrival &x, const Arrival &y) { return x.atUs < y.atUs; });
    return out;
}

struct Outcome {
    std::vector<int> frames;  // the packet number each pop played, -1 missing, -2 idle
};

// Pops every 20 ms at `phaseUs` into each period until `untilUs`.
Outcome Play(JitterBuffer &jb, const std::vector<Arrival> &arrivals, int64_t untilUs, int64_t phaseUs = 10000)
{
    Outcome out;
    size_t next = 0;
    for (int64_t now = phaseUs; now < untilUs; now += 20000) {
        while (next < arrivals.size() && arrivals[next].atUs <= now)
            jb.Push(arrivals[next++].packet);
        std::array<uint8_t, kFrameSamples> frame{};
        switch (jb.Pop(now, frame)) {
        case JitterBuffer::Play::Frame:
            out.frames.push_back(frame[0]);
            break;
        case JitterBuffer::Play::Missing:
            out.frames.push_back(-1);
            break;
        case JitterBuffer::Play::Idle:
            out.frames.push_back(-2);
            break;
        }
    }
    return out;
}

// The played packet numbers, in order, without the misses and idles.
std::vector<int> Played(const Outcome &o)
{
    std::vector<int> out;
    for (int f : o.frames)
        if (f >= 0)
            out.push_back(f);
    return out;
}

bool Increasing(const std::vector<int> &v)
{
    for (size_t i = 1; i < v.size(); ++i)
        if (((v[i] - v[i - 1]) & 0xFF) == 0 || ((v[i] - v[i - 1]) & 0xFF) > 128)
            return false;
    return true;
}

TEST(JitterBuffer, ASteadyStreamPlaysEveryFrameInOrderAtTheFloor)
{
    JitterBuffer jb;
    const auto arrivals = Stream(200, [](int) { return 1000; });
    const Outcome o = Play(jb, arrivals, 200 * 20000);
    const std::vector<int> played = Played(o);
    ASSERT_GE(played.size(), 197u);
    for (size_t i = 0; i < played.size(); ++i)
        EXPECT_EQ(played[i], static_cast<int>(i & 0xFF)) << i;
    const JitterStats &s = jb.Stats();
    EXPECT_EQ(s.received, 200u);
    EXPECT_EQ(s.lost, 0);
    EXPECT_EQ(s.late, 0u);
    EXPECT_EQ(s.concealed, 0u);
    EXPECT_EQ(s.skipped, 0u);
    EXPECT_NEAR(s.jitterMs, 0.0, 0.01);
    EXPECT_EQ(s.targetMs, 20);
    // Arriving 1 ms into a period and played 10 ms into one: 29 ms later.
    EXPECT_EQ(s.delayMs, 29);
    EXPECT_EQ(s.DelayPercentileMs(0.95), 30);
}

TEST(JitterBuffer, LostPacketsAreCountedAndConcealedOnceEach)
{
    JitterBuffer jb;
    // Fewer than 256 packets, so that each one's byte names it.
    const auto arrivals = Stream(250, [](int i) { return i % 10 == 5 ? -1 : 1000; });
    const Outcome o = Play(jb, arrivals, 250 * 20000);
    const JitterStats &s = jb.Stats();
    EXPECT_EQ(s.lost, 25);
    EXPECT_EQ(s.received, 225u);
    EXPECT_EQ(s.concealed, 25u);
    const std::vector<int> played = Played(o);
    EXPECT_TRUE(Increasing(played));
    for (int f : played)
        EXPECT_NE(f % 10, 5);
}

TEST(JitterBuffer, OtherPayloadsOfTheStreamAreNoLoss)
{
    // Telephone-events share the stream's sequence numbers: every fifth
    // number is an event, pushed without audio.
    JitterBuffer jb;
    std::vector<Arrival> arrivals = Stream(100, [](int) { return 1000; });
    std::vector<Arrival> all;
    uint16_t sequence = 1000;
    for (Arrival a : arrivals) {
        if (a.packet.sequence % 5 == 0) {
            Arrival event = a;
            event.packet.sequence = sequence++;
            event.packet.size = 0;
            all.push_back(event);
        }
        a.packet.sequence = sequence++;
        all.push_back(a);
    }
    const Outcome o = Play(jb, all, 100 * 20000);
    EXPECT_EQ(jb.Stats().lost, 0);
    EXPECT_EQ(jb.Stats().received, 120u);
    EXPECT_EQ(jb.Stats().concealed, 0u);
    EXPECT_GE(Played(o).size(), 97u);
}

TEST(JitterBuffer, ReorderedPairsArePlayedInOrderWithoutLoss)
{
    JitterBuffer jb;
    // Every odd packet overtakes the even one before it by 5 ms.
    const auto arrivals = Stream(300, [](int i) { return i % 2 == 0 ? 26000 : 1000; });
    const Outcome o = Play(jb, arrivals, 300 * 20000);
    const JitterStats &s = jb.Stats();
    EXPECT_EQ(s.lost, 0);
    const std::vector<int> played = Played(o);
    EXPECT_TRUE(Increasing(played));
    EXPECT_GE(played.size(), 290u);
    EXPECT_GE(s.targetMs, 25);
    EXPECT_LE(s.targetMs, 30);
}

TEST(JitterBuffer, AdaptsToJitterBetweenTheFloorAndTheCeiling)
{
    struct Case {
        int64_t jitterUs;
        int32_t lowestTarget;
        int32_t highestTarget;
    };
    for (const Case c :
         {Case{0, 20, 20}, Case{10000, 20, 22}, Case{40000, 38, 42}, Case{80000, 76, 82}, Case{400000, 120, 120}}) {
        JitterBuffer jb;
        std::mt19937 rng(1234);
        std::uniform_int_distribution<int64_t> jitter(0, c.jitterUs);
        const auto arrivals = Stream(1500, [&](int) { return 1000 + jitter(rng); });
        const Outcome o = Play(jb, arrivals, 1500 * 20000 + 500000);
        const JitterStats &s = jb.Stats();
        EXPECT_GE(s.targetMs, c.lowestTarget) << c.jitterUs;
        EXPECT_LE(s.targetMs, c.highestTarget) << c.jitterUs;
        EXPECT_EQ(s.lost, 0);
        if (c.jitterUs <= 80000) {
            // Beyond the first seconds nearly nothing comes late.
            EXPECT_LE(s.late, 15u) << c.jitterUs;
            EXPECT_TRUE(Increasing(Played(o))) << c.jitterUs;
            EXPECT_LE(s.DelayPercentileMs(0.95), s.targetMs + 22) << c.jitterUs;
        }
    }
}

TEST(JitterBuffer, InterarrivalJitterFollowsRfc3550)
{
    // Transit alternating between 1 and 11 ms: every difference is 10 ms,
    // so the estimate tends to 10 ms.
    JitterBuffer jb;
    for (const Arrival &a : Stream(400, [](int i) { return i % 2 == 0 ? 1000 : 11000; }))
        jb.Push(a.packet);
    EXPECT_NEAR(jb.Stats().jitterMs, 10.0, 0.05);
}

TEST(JitterBuffer, SequenceNumbersWrapWithoutCountingLoss)
{
    JitterBuffer jb;
    const Outcome o = Play(jb,
                           Stream(
                               100, [](int) { return 1000; }, 65500),
                           100 * 20000);
    EXPECT_EQ(jb.Stats().lost, 0);
    EXPECT_EQ(jb.Stats().received, 100u);
    EXPECT_GE(Played(o).size(), 97u);
}

TEST(JitterBuffer, APacketAfterItsFrameWasPlayedIsLateAndDropped)
{
    JitterBuffer jb;
    const auto arrivals = Stream(100, [](int i) { return i == 50 ? 300000 : 1000; });
    const Outcome o = Play(jb, arrivals, 100 * 20000);
    EXPECT_EQ(jb.Stats().late, 1u);
    const std::vector<int> played = Played(o);
    EXPECT_TRUE(Increasing(played));
    EXPECT_EQ(std::count(played.begin(), played.end(), 50), 0);
}

TEST(JitterBuffer, APauseFallsIdleAndTheStreamStartsAgain)
{
    JitterBuffer jb;
    // 50 packets, 1 s without any, 50 more (a sender that stopped, as on hold).
    const auto arrivals = Stream(150, [](int i) { return i >= 50 && i < 100 ? -1 : 1000; });
    const Outcome o = Play(jb, arrivals, 150 * 20000 + 100000);
    const size_t idles = static_cast<size_t>(std::count(o.frames.begin(), o.frames.end(), -2));
    EXPECT_GE(idles, 35u) << "silence, not concealment, through most of the pause";
    EXPECT_LE(jb.Stats().concealed, 12u);
    const std::vector<int> played = Played(o);
    EXPECT_GE(played.size(), 95u);
    EXPECT_EQ(played.back(), 149);
}

TEST(JitterBuffer, ANewSourceStartsItsOwnSequence)
{
    JitterBuffer jb;
    std::vector<Arrival> arrivals = Stream(
        50, [](int) { return 1000; }, 100, 1);
    std::vector<Arrival> second = Stream(
        100, [](int i) { return i < 50 ? -1 : 1000; }, 40000, 2);
    arrivals.insert(arrivals.end(), second.begin(), second.end());
    const Outcome o = Play(jb, arrivals, 100 * 20000 + 100000);
    EXPECT_EQ(jb.Stats().lost, 0) << "another SSRC's numbers are no gap";
    EXPECT_EQ(jb.Stats().received, 100u);
    EXPECT_EQ(Played(o).back(), 99);
}

TEST(JitterBuffer, ClockDriftIsAbsorbedBySkippingFrames)
{
    // The far end's clock runs 1 % fast: it sends a packet every 19.8 ms.
    JitterBuffer jb;
    std::vector<Arrival> arrivals;
    for (int i = 0; i < 1500; ++i) {
        Arrival a;
        a.atUs = int64_t{i} * 19800 + 1000;
        a.packet.ssrc = 1;
        a.packet.sequence = static_cast<uint16_t>(i);
        a.packet.timestamp = 160u * static_cast<uint32_t>(i);
        a.packet.arrivalUs = a.atUs;
        a.packet.size = kFrameSamples;
        arrivals.push_back(a);
    }
    Play(jb, arrivals, 1500 * 19800);
    const JitterStats &s = jb.Stats();
    EXPECT_GE(s.skipped, 10u);
    EXPECT_LE(s.skipped, 16u);
    EXPECT_LE(s.DelayPercentileMs(0.95), 50) << "the delay stays near the target instead of growing";
}

TEST(JitterStats, PercentileFromTheHistogram)
{
    JitterStats s;
    EXPECT_EQ(s.DelayPercentileMs(0.95), -1);
    s.delayHistogram[10] = 90;  // 20..22 ms
    s.delayHistogram[20] = 10;  // 40..42 ms
    EXPECT_EQ(s.DelayPercentileMs(0.5), 22);
    EXPECT_EQ(s.DelayPercentileMs(0.9), 22);
    EXPECT_EQ(s.DelayPercentileMs(0.95), 42);
    EXPECT_EQ(s.DelayPercentileMs(1.0), 42);
}

TEST(Playout, DecodesFramesConcealsLossesAndIsSilentWhenIdle)
{
    Playout p;
    p.Reset(G711Law::A);
    std::array<int16_t, kFrameSamples> out{};
    p.Pop(0, out);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int16_t v) { return v == 0; })) << "idle: silence";

    // A 1 kHz tone, one packet lost.
    std::array<int16_t, kFrameSamples * 30> tone{};
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 1000 * static_cast<double>(i) / 8000));
    double concealedEnergy = 0;
    int64_t now = 10000;
    for (int i = 0; i < 30; ++i, now += 20000) {
        if (i != 20) {
            RtpAudioPacket packet;
            packet.ssrc = 1;
            packet.sequence = static_cast<uint16_t>(i);
            packet.timestamp = 160u * static_cast<uint32_t>(i);
            packet.arrivalUs = int64_t{i} * 20000;
            packet.size = kFrameSamples;
            EncodeG711(
                G711Law::A, std::span<const int16_t>(tone).subspan(160 * static_cast<size_t>(i), 160), packet.payload);
            p.Push(packet);
        }
        p.Pop(now, out);
        if (i == 21) {  // the pop that plays the lost frame (one frame behind)
            for (int16_t v : out)
                concealedEnergy += double(v) * v;
        }
    }
    EXPECT_EQ(p.Stats().concealed, 1u);
    EXPECT_EQ(p.Stats().lost, 1);
    // The concealer repeats the tone rather than leaving a gap.
    EXPECT_GT(concealedEnergy / kFrameSamples, 0.2 * 8000.0 * 8000.0 / 2);
}

TEST(G711, BothLawsRoundTripWithinTheirQuantisation)
{
    for (G711Law law : {G711Law::Mu, G711Law::A}) {
        for (int v = -32768; v <= 32767; v += 7) {
            const int16_t in[1] = {static_cast<int16_t>(v)};
            uint8_t code[1];
            int16_t out[1];
            EncodeG711(law, in, code);
            DecodeG711(law, code, out);
            // Logarithmic: the error grows with the level, within about 1/16 of it.
            EXPECT_LE(std::abs(out[0] - v), std::max(16, std::abs(v) / 16 + 8)) << v;
        }
        const int16_t zero[1] = {0};
        uint8_t code[1];
        EncodeG711(law, zero, code);
        EXPECT_EQ(code[0], G711Silence(law));
    }
    EXPECT_EQ(G711Silence(G711Law::Mu), 0xFF);
    EXPECT_EQ(G711Silence(G711Law::A), 0xD5);
}

}  // namespace
