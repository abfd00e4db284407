// The smaller parts of the line: the digit gate on line transmit, the
// registration back-off, what responses mean, the dialled URI, hosts and
// who may call.
#include <gtest/gtest.h>

#include <ostream>

#include <spandsp.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "simulator/sip/logic/AllowedSources.h"
#include "simulator/sip/logic/CallOutcome.h"
#include "simulator/sip/logic/DialTarget.h"
#include "simulator/sip/logic/HostPort.h"
#include "simulator/sip/logic/RegistrationBackoff.h"
#include "simulator/sip/logic/ToneGate.h"

using namespace tvxsim::sip;

namespace {

using Frame = std::array<int16_t, kFrameSamples>;

// `frames` frames of line transmit: silence, then DTMF `digit` from frame
// `from` to `to` (exclusive) starting `offset` samples into it, level -10 dBm0.
std::vector<Frame> DtmfFrames(char digit, int from, int to, int frames, int offset = 0)
{
    std::vector<int16_t> samples(static_cast<size_t>(frames) * kFrameSamples, 0);
    dtmf_tx_state_t *tx = dtmf_tx_init(nullptr);
    dtmf_tx_set_level(tx, -10, 2);
    const int length = (to - from) * static_cast<int>(kFrameSamples) - offset;
    dtmf_tx_set_timing(tx, length / 8, 0);
    const char digits[2] = {digit, 0};
    dtmf_tx_put(tx, digits, 1);
    dtmf_tx(tx, samples.data() + from * static_cast<int>(kFrameSamples) + offset, length);
    dtmf_tx_free(tx);
    std::vector<Frame> out(static_cast<size_t>(frames));
    for (size_t f = 0; f < out.size(); ++f)
        std::copy_n(samples.begin() + static_cast<ptrdiff_t>(f * kFrameSamples), kFrameSamples, out[f].begin());
    return out;
}

bool Silent(const Frame &f)
{
    return std::all_of(f.begin(), f.end(), [](int16_t v) { return v == 0; });
}

TEST(ToneGate, EveryDtmfKeyLooksLikeDtmfAndSpeechAndDialToneDoNot)
{
    for (char key : std::string("0123456789*#ABCD")) {
        const auto frames = DtmfFrames(key, 0, 1, 1);
        EXPECT_TRUE(ToneGate::LooksLikeDtmf(frames[0])) << key;
    }
    // A tone that starts 10 ms into the frame, at a weaker level.
    EXPECT_TRUE(ToneGate::LooksLikeDtmf(DtmfFrames('5', 0, 1, 1, 80)[0]));

    Frame dial{};
    Frame noise{};
    Frame quiet{};
    std::mt19937 rng(5);
    std::normal_distribution<double> gauss(0, 3000);
    for (size_t i = 0; i < kFrameSamples; ++i) {
        const double t = static_cast<double>(i) / 8000;
        dial[i] = static_cast<int16_t>(5000 * std::sin(2 * M_PI * 350 * t) + 5000 * std::sin(2 * M_PI * 440 * t));
        noise[i] = static_cast<int16_t>(gauss(rng));
        quiet[i] = static_cast<int16_t>(60 * std::sin(2 * M_PI * 770 * t) + 60 * std::sin(2 * M_PI * 1336 * t));
    }
    EXPECT_FALSE(ToneGate::LooksLikeDtmf(dial));
    EXPECT_FALSE(ToneGate::LooksLikeDtmf(noise));
    EXPECT_FALSE(ToneGate::LooksLikeDtmf(quiet)) << "too quiet to be a digit on the line";
    // A single tone of the row group is no pair.
    Frame single{};
    for (size_t i = 0; i < kFrameSamples; ++i)
        single[i] = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 852 * static_cast<double>(i) / 8000));
    EXPECT_FALSE(ToneGate::LooksLikeDtmf(single));
}

// Runs frames through a gate, calling DigitStart before frame `startAt`
// and DigitEnd before frame `endAt`; gives the frames sent, in order.
std::vector<GatedFrame> Gate(ToneGate &gate, const std::vector<Frame> &frames, int startAt, int endAt, char digit)
{
    std::vector<GatedFrame> sent;
    for (int i = 0; i < static_cast<int>(frames.size()); ++i) {
        if (i == startAt)
            gate.DigitStart(digit);
        if (i == endAt)
            gate.DigitEnd();
        std::array<GatedFrame, kMaxHeldFrames + 1> out{};
        const size_t n = gate.Frame(frames[static_cast<size_t>(i)], out);
        sent.insert(sent.end(), out.begin(), out.begin() + static_cast<ptrdiff_t>(n));
    }
    return sent;
}

TEST(ToneGate, ADigitReportedTwoFramesInLeavesNoneOfItsToneInTheAudio)
{
    // The tone fills frames 2..6; the exchange reports it before frame 4
    // (35 ms in) and its end before frame 8.
    ToneGate gate(true);
    const auto frames = DtmfFrames('7', 2, 7, 12);
    const std::vector<GatedFrame> sent = Gate(gate, frames, 4, 8, '7');
    ASSERT_EQ(sent.size(), frames.size());
    for (size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].index, i) << "every frame goes, in order";
        EXPECT_FALSE(ToneGate::LooksLikeDtmf(sent[i].samples)) << i;
        EXPECT_EQ(sent[i].digit, i >= 2 && i < 8 ? '7' : 0) << i;
        if (i >= 2 && i < 8) {
            EXPECT_TRUE(Silent(sent[i].samples)) << i;
        }
    }
}

TEST(ToneGate, OtherAudioPassesAtOnceAndUnchanged)
{
    ToneGate gate(true);
    Frame speech{};
    std::mt19937 rng(9);
    std::normal_distribution<double> gauss(0, 2000);
    for (int16_t &v : speech)
        v = static_cast<int16_t>(gauss(rng));
    std::array<GatedFrame, kMaxHeldFrames + 1> out{};
    for (uint32_t i = 0; i < 10; ++i) {
        ASSERT_EQ(gate.Frame(speech, out), 1u);
        EXPECT_EQ(out[0].index, i);
        EXPECT_EQ(out[0].samples, speech);
    }
}

TEST(ToneGate, APairWithoutADigitGoesOnUnchangedAfterAtMostThreeFrames)
{
    ToneGate gate(true);
    const auto frames = DtmfFrames('1', 0, 6, 8);
    std::vector<size_t> sentPerFrame;
    std::vector<GatedFrame> sent;
    for (const Frame &f : frames) {
        std::array<GatedFrame, kMaxHeldFrames + 1> out{};
        const size_t n = gate.Frame(f, out);
        sentPerFrame.push_back(n);
        sent.insert(sent.end(), out.begin(), out.begin() + static_cast<ptrdiff_t>(n));
    }
    EXPECT_EQ(sentPerFrame, (std::vector<size_t>{0, 0, 0, 1, 1, 1, 4, 1}));
    ASSERT_EQ(sent.size(), frames.size());
    for (size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].index, i);
        EXPECT_EQ(sent[i].samples, frames[i]);
        EXPECT_EQ(sent[i].digit, 0);
    }
}

TEST(ToneGate, DisabledForInbandDigitsItPassesTonesAsTheyAre)
{
    ToneGate gate(false);
    const auto frames = DtmfFrames('9', 1, 5, 6);
    const std::vector<GatedFrame> sent = Gate(gate, frames, 3, 5, '9');
    ASSERT_EQ(sent.size(), frames.size());
    for (size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].samples, frames[i]);
        EXPECT_EQ(sent[i].digit, 0);
    }
}

TEST(Backoff, ThirtySecondsDoublingToTenMinutesAndAgainAfterASuccess)
{
    RegistrationBackoff b;
    std::vector<int64_t> waits;
    for (int i = 0; i < 8; ++i)
        waits.push_back(b.Failed("408 Request Timeout"));
    EXPECT_EQ(waits, (std::vector<int64_t>{30000, 60000, 120000, 240000, 480000, 600000, 600000, 600000}));
    EXPECT_EQ(b.LastReason(), "408 Request Timeout");
    b.Succeeded();
    EXPECT_EQ(b.LastReason(), "");
    EXPECT_EQ(b.Failed("403 Forbidden"), 30000);
    for (int i = 0; i < 5000; ++i)
        EXPECT_LE(b.Failed("x"), kLongestRetryMs);
}

struct OutcomeCase {
    uint16_t status;
    bool sdp;
    CallOutcome outcome;
};
void PrintTo(const OutcomeCase &c, std::ostream *os) { *os << c.status << (c.sdp ? " with SDP" : ""); }

class Outcome : public ::testing::TestWithParam<OutcomeCase> {};

TEST_P(Outcome, ResponsesMeanWhatAnExchangeMakesOfThem)
{
    EXPECT_EQ(OutcomeOfResponse(GetParam().status, GetParam().sdp), GetParam().outcome) << GetParam().status;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Outcome,
    ::testing::Values(OutcomeCase{100, false, CallOutcome::None}, OutcomeCase{180, false, CallOutcome::Ringing},
                      OutcomeCase{180, true, CallOutcome::Ringing}, OutcomeCase{181, false, CallOutcome::None},
                      OutcomeCase{183, true, CallOutcome::EarlyMedia}, OutcomeCase{183, false, CallOutcome::None},
                      OutcomeCase{200, true, CallOutcome::Answered}, OutcomeCase{486, false, CallOutcome::Busy},
                      OutcomeCase{600, false, CallOutcome::Busy}, OutcomeCase{404, false, CallOutcome::Failed},
                      OutcomeCase{480, false, CallOutcome::Failed}, OutcomeCase{484, false, CallOutcome::Failed},
                      OutcomeCase{503, false, CallOutcome::Failed}, OutcomeCase{603, false, CallOutcome::Failed},
                      OutcomeCase{302, false, CallOutcome::Failed}, OutcomeCase{0, false, CallOutcome::Failed},
                      OutcomeCase{999, false, CallOutcome::Failed}));

TEST(StatusLine, IsTheCodeAndAPrintableReason)
{
    EXPECT_EQ(StatusLine(404, "Not Found"), "404 Not Found");
    EXPECT_EQ(StatusLine(503, ""), "503");
    EXPECT_EQ(StatusLine(486, "Busy\r\nX-Evil: 1"), "486 BusyX-Evil: 1");
    EXPECT_EQ(StatusLine(500, std::string(100, 'x')), "500 " + std::string(64, 'x'));
}

TEST(DialUri, TheNumberAtTheAccountsDomain)
{
    SipAccount a{"alice", {"pbx.example.net", 5080}};
    EXPECT_EQ(DialUri("5551234", a), "sip:5551234@pbx.example.net:5080");
    EXPECT_EQ(DialUri("*98#", a), "sip:*98%23@pbx.example.net:5080");
    EXPECT_EQ(DialUri("12ab", SipAccount{"a", {"::1", std::nullopt}}), "sip:12AB@[::1]");
    EXPECT_FALSE(DialUri("", a).has_value());
    EXPECT_FALSE(DialUri("555 1234", a).has_value());
    EXPECT_FALSE(DialUri(std::string(33, '1'), a).has_value());
}

struct HostCase {
    const char *text;
    bool zeroPort;
    bool ok;
    HostPort hp;
};
void PrintTo(const HostCase &c, std::ostream *os) { *os << c.text; }

class Hosts : public ::testing::TestWithParam<HostCase> {};

TEST_P(Hosts, HostAndPort)
{
    const HostCase &c = GetParam();
    const auto hp = ParseHostPort(c.text, c.zeroPort);
    ASSERT_EQ(hp.has_value(), c.ok) << c.text;
    if (c.ok) {
        EXPECT_EQ(*hp, c.hp) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Hosts,
    ::testing::Values(HostCase{"127.0.0.1", false, true, {"127.0.0.1", std::nullopt}},
                      HostCase{"127.0.0.1:5070", false, true, {"127.0.0.1", 5070}},
                      HostCase{"pbx-1.example.net:5060", false, true, {"pbx-1.example.net", 5060}},
                      HostCase{"example.net.", false, true, {"example.net.", std::nullopt}},
                      HostCase{"::1", false, true, {"::1", std::nullopt}},
                      HostCase{"[::1]:5060", false, true, {"::1", 5060}}, HostCase{"[::1]:0", true, true, {"::1", 0}},
                      HostCase{"[::1]:0", false, false, {}}, HostCase{"[127.0.0.1]", false, false, {}},
                      HostCase{"-bad.example", false, false, {}}, HostCase{"bad-.example", false, false, {}},
                      HostCase{"a..b", false, false, {}}, HostCase{"256.1.1.1", false, false, {}},
                      HostCase{"1.2.3.4:", false, false, {}}, HostCase{"host:12a", false, false, {}},
                      HostCase{"", false, false, {}}, HostCase{"[::1", false, false, {}},
                      HostCase{"[::1]x", false, false, {}}));

TEST(AllowedSources, CompareCanonicalAddresses)
{
    AllowedSources a;
    EXPECT_TRUE(a.Add("127.0.0.1"));
    EXPECT_TRUE(a.Add("2001:DB8:0:0::1"));
    EXPECT_FALSE(a.Add("pbx.example.net"));
    EXPECT_TRUE(a.Allows("127.0.0.1"));
    EXPECT_TRUE(a.Allows("::ffff:127.0.0.1")) << "an IPv4-mapped address is the IPv4 one";
    EXPECT_TRUE(a.Allows("2001:db8::1"));
    EXPECT_FALSE(a.Allows("127.0.0.2"));
    EXPECT_FALSE(a.Allows("::1"));
    EXPECT_FALSE(a.Allows("not an address"));
    EXPECT_EQ(a.Addresses().size(), 2u);
    EXPECT_TRUE(a.Add("::ffff:127.0.0.1"));
    EXPECT_EQ(a.Addresses().size(), 2u) << "each address once";
}

}  // namespace
