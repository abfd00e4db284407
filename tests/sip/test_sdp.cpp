// Session descriptions as far ends write them, and the offer/answer
// decisions of the line: codec, payload types, direction, address.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "simulator/sip/logic/MediaNegotiation.h"
#include "simulator/sip/logic/Sdp.h"

using namespace tvxsim::sip;

namespace {

// sipp's own UAS offer: PCMU alone, without telephone-event.
constexpr const char *kSippUas = "v=0\r\n"
                                 "o=user1 53655765 2353687637 IN IP4 127.0.0.1\r\n"
                                 "s=-\r\n"
                                 "c=IN IP4 127.0.0.1\r\n"
                                 "t=0 0\r\n"
                                 "m=audio 6000 RTP/AVP 0\r\n"
                                 "a=rtpmap:0 PCMU/8000\r\n";

// A softphone's offer: several codecs, telephone-event on 101, media-level address.
constexpr const char *kSoftphone = "v=0\r\n"
                                   "o=- 1 2 IN IP4 10.0.0.5\r\n"
                                   "s=-\r\n"
                                   "c=IN IP4 10.0.0.5\r\n"
                                   "t=0 0\r\n"
                                   "m=audio 40000 RTP/AVP 96 8 0 101\r\n"
                                   "c=IN IP4 127.0.0.1\r\n"
                                   "a=rtpmap:96 opus/48000/2\r\n"
                                   "a=rtpmap:8 PCMA/8000\r\n"
                                   "a=rtpmap:101 telephone-event/8000\r\n"
                                   "a=fmtp:101 0-16\r\n"
                                   "a=ptime:20\r\n"
                                   "a=sendrecv\r\n";

TEST(Sdp, ReadsAStreamWithStaticTypesAndNoRtpmap)
{
    const auto a =
        ParseSdp("v=0\no=- 1 1 IN IP4 192.0.2.1\ns=-\nc=IN IP4 192.0.2.1\nt=0 0\nm=audio 4000 RTP/AVP 8 0\n");
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a->address, "192.0.2.1");
    EXPECT_EQ(a->port, 4000);
    ASSERT_EQ(a->formats.size(), 2u);
    EXPECT_EQ(a->formats[0], (SdpFormat{8, "PCMA", 8000, ""}));
    EXPECT_EQ(a->formats[1], (SdpFormat{0, "PCMU", 8000, ""}));
    EXPECT_EQ(a->direction, MediaDirection::SendRecv);
}

TEST(Sdp, MediaLevelBeatsSessionLevel)
{
    const auto a = ParseSdp(kSoftphone);
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a->address, "127.0.0.1");
    EXPECT_EQ(a->formats.size(), 4u);
    EXPECT_EQ(a->formats[0].encoding, "opus");
    EXPECT_EQ(a->formats[0].clockRate, 48000u);
    EXPECT_EQ(a->formats[3], (SdpFormat{101, "telephone-event", 8000, "0-16"}));
    EXPECT_EQ(a->ptimeMs, 20u);

    const auto held = ParseSdp(
        "v=0\r\no=- 1 1 IN IP4 1.1.1.1\r\ns=-\r\nc=IN IP4 1.1.1.1\r\nt=0 0\r\na=sendonly\r\nm=audio 5 RTP/AVP 0\r\n");
    ASSERT_TRUE(held.has_value());
    EXPECT_EQ(held->direction, MediaDirection::SendOnly) << "the session's direction holds for the stream";
    const auto mediaWins =
        ParseSdp("v=0\r\no=- 1 1 IN IP4 1.1.1.1\r\ns=-\r\nc=IN IP4 1.1.1.1\r\nt=0 0\r\na=sendonly\r\nm=audio 5 "
                 "RTP/AVP 0\r\na=inactive\r\n");
    ASSERT_TRUE(mediaWins.has_value());
    EXPECT_EQ(mediaWins->direction, MediaDirection::Inactive);
}

TEST(Sdp, TheFirstAudioStreamCountsAndOthersAreSkipped)
{
    const auto a = ParseSdp("v=0\r\no=- 1 1 IN IP4 1.1.1.1\r\ns=-\r\nc=IN IP4 1.1.1.1\r\nt=0 0\r\n"
                            "m=video 6000 RTP/AVP 96\r\nc=IN IP4 9.9.9.9\r\na=sendonly\r\na=rtpmap:96 H264/90000\r\n"
                            "m=audio 7000 RTP/AVP 0\r\na=recvonly\r\n"
                            "m=audio 8000 RTP/AVP 8\r\na=inactive\r\n");
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a->port, 7000);
    EXPECT_EQ(a->address, "1.1.1.1") << "the video stream's address is its own";
    EXPECT_EQ(a->direction, MediaDirection::RecvOnly);
    ASSERT_EQ(a->formats.size(), 1u);
}

TEST(Sdp, TheOldHoldAddressReceivesNothing)
{
    const auto a = ParseSdp("v=0\r\no=- 1 1 IN IP4 0.0.0.0\r\ns=-\r\nc=IN IP4 0.0.0.0\r\nt=0 0\r\nm=audio 7000 "
                            "RTP/AVP 0\r\n");
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a->direction, MediaDirection::SendOnly);
}

struct MalformedCase {
    const char *what;
    const char *text;
};
void PrintTo(const MalformedCase &c, std::ostream *os) { *os << c.what; }

class MalformedSdp : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedSdp, GivesNoStream) { EXPECT_FALSE(ParseSdp(GetParam().text).has_value()) << GetParam().what; }

INSTANTIATE_TEST_SUITE_P(
    Table, MalformedSdp,
    ::testing::Values(
        MalformedCase{"empty", ""}, MalformedCase{"no version", "c=IN IP4 1.1.1.1\r\nm=audio 5 RTP/AVP 0\r\n"},
        MalformedCase{"another version", "v=1\r\nc=IN IP4 1.1.1.1\r\nm=audio 5 RTP/AVP 0\r\n"},
        MalformedCase{"no audio", "v=0\r\nc=IN IP4 1.1.1.1\r\nm=video 5 RTP/AVP 96\r\n"},
        MalformedCase{"no connection", "v=0\r\nm=audio 5 RTP/AVP 0\r\n"},
        MalformedCase{"a bad address", "v=0\r\nc=IN IP4 1.1.1.1.1\r\nm=audio 5 RTP/AVP 0\r\n"},
        MalformedCase{"an IP6 type with an IP4 address", "v=0\r\nc=IN IP6 1.1.1.1\r\nm=audio 5 RTP/AVP 0\r\n"},
        MalformedCase{"a port out of range", "v=0\r\nc=IN IP4 1.1.1.1\r\nm=audio 70000 RTP/AVP 0\r\n"},
        MalformedCase{"a payload type out of range", "v=0\r\nc=IN IP4 1.1.1.1\r\nm=audio 5 RTP/AVP 128\r\n"},
        MalformedCase{"not RTP", "v=0\r\nc=IN IP4 1.1.1.1\r\nm=audio 5 udp 0\r\n"}));

TEST(Sdp, WhatIsWrittenReadsBackTheSame)
{
    SdpAudio a;
    a.address = "127.0.0.1";
    a.port = 16384;
    a.formats = {{8, "PCMA", 8000, ""}, {0, "PCMU", 8000, ""}, {101, "telephone-event", 8000, "0-15"}};
    a.direction = MediaDirection::SendOnly;
    a.ptimeMs = 20;
    const std::string text = FormatSdp(a, 42, 3);
    EXPECT_NE(text.find("o=- 42 3 IN IP4 127.0.0.1\r\n"), std::string::npos);
    const auto back = ParseSdp(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, a);

    a.address = "::1";
    a.ipv6 = true;
    const auto back6 = ParseSdp(FormatSdp(a, 1, 1));
    ASSERT_TRUE(back6.has_value());
    EXPECT_EQ(*back6, a);
}

const LocalMedia kLocal{"127.0.0.1", false, 20000};

struct AnswerCase {
    const char *what;
    const char *offer;
    std::vector<G711Law> codecs;
    bool held;
    uint16_t failure;
    G711Law law;
    uint8_t audioType;
    int16_t eventType;
    MediaDirection answerDirection;
    bool send;
    bool receive;
};
void PrintTo(const AnswerCase &c, std::ostream *os) { *os << c.what; }

class Answering : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(Answering, ChoosesCodecTypesAndDirection)
{
    const AnswerCase &c = GetParam();
    const auto offer = ParseSdp(c.offer);
    ASSERT_TRUE(offer.has_value());
    const AnswerResult r = AnswerOffer(*offer, c.codecs, c.held, kLocal);
    EXPECT_EQ(r.failure, c.failure);
    if (c.failure != 0) {
        EXPECT_FALSE(r.answer.has_value());
        return;
    }
    ASSERT_TRUE(r.answer.has_value());
    EXPECT_EQ(r.plan.law, c.law);
    EXPECT_EQ(r.plan.sendAudioType, c.audioType);
    EXPECT_EQ(r.plan.recvAudioType, c.audioType);
    EXPECT_EQ(r.plan.sendEventType, c.eventType);
    EXPECT_EQ(r.answer->direction, c.answerDirection);
    EXPECT_EQ(r.plan.send, c.send);
    EXPECT_EQ(r.plan.receive, c.receive);
    EXPECT_EQ(r.answer->address, "127.0.0.1");
    EXPECT_EQ(r.answer->port, 20000);
    // The answer names the chosen codec first and telephone-event only if offered.
    EXPECT_EQ(r.answer->formats.front().payloadType, c.audioType);
    EXPECT_EQ(r.answer->formats.size(), c.eventType >= 0 ? 2u : 1u);
    // And reads back as such.
    const auto reread = ParseSdp(FormatSdp(*r.answer, 1, 1));
    ASSERT_TRUE(reread.has_value());
    EXPECT_EQ(*reread, *r.answer);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Answering,
    ::testing::Values(
        AnswerCase{"sipp's PCMU-only offer",
                   kSippUas,
                   {G711Law::Mu, G711Law::A},
                   false,
                   0,
                   G711Law::Mu,
                   0,
                   -1,
                   MediaDirection::SendRecv,
                   true,
                   true},
        AnswerCase{"our codec order decides",
                   kSoftphone,
                   {G711Law::Mu, G711Law::A},
                   false,
                   0,
                   G711Law::Mu,
                   0,
                   101,
                   MediaDirection::SendRecv,
                   true,
                   true},
        AnswerCase{"pcma first",
                   kSoftphone,
                   {G711Law::A, G711Law::Mu},
                   false,
                   0,
                   G711Law::A,
                   8,
                   101,
                   MediaDirection::SendRecv,
                   true,
                   true},
        AnswerCase{"telephone-event on another type",
                   "v=0\r\nc=IN IP4 127.0.0.1\r\nm=audio 9 RTP/AVP 0 96\r\na=rtpmap:96 telephone-event/8000\r\n",
                   {G711Law::Mu},
                   false,
                   0,
                   G711Law::Mu,
                   0,
                   96,
                   MediaDirection::SendRecv,
                   true,
                   true},
        AnswerCase{"PCMA on a dynamic type",
                   "v=0\r\nc=IN IP4 127.0.0.1\r\nm=audio 9 RTP/AVP 97\r\na=rtpmap:97 pcma/8000\r\n",
                   {G711Law::Mu, G711Law::A},
                   false,
                   0,
                   G711Law::A,
                   97,
                   -1,
                   MediaDirection::SendRecv,
                   true,
                   true},
        AnswerCase{"telephone-event at 16 kHz is not ours",
                   "v=0\r\nc=IN IP4 127.0.0.1\r\nm=audio 9 RTP/AVP 0 100\r\na=rtpmap:100 telephone-event/16000\r\n",
                   {G711Law::Mu},
                   false,
                   0,
                   G711Law::Mu,
                   0,
                   -1,
                   MediaDirection::SendRecv,
                   true,
                   true},
        AnswerCase{"a sendonly offer is answered recvonly",
                   "v=0\r\nc=IN IP4 127.0.0.1\r\nm=audio 9 RTP/AVP 0\r\na=sendonly\r\n",
                   {G711Law::Mu},
                   false,
                   0,
                   G711Law::Mu,
                   0,
                   -1,
                   MediaDirection::RecvOnly,
                   false,
                   true},
        AnswerCase{"a recvonly offer is answered sendonly",
                   "v=0\r\nc=IN IP4 127.0.0.1\r\nm=audio 9 RTP/AVP 0\r\na=recvonly\r\n",
                   {G711Law::Mu},
                   false,
                   0,
                   G711Law::Mu,
                   0,
                   -1,
                   MediaDirection::SendOnly,
                   true,
                   false},
        AnswerCase{"an inactive offer",
                   "v=0\r\nc=IN IP4 127.0.0.1\r\nm=audio 9 RTP/AVP 0\r\na=inactive\r\n",
                   {G711Law::Mu},
                   false,
                   0,
                   G711Law::Mu,
                   0,
                   -1,
                   MediaDirection::Inactive,
                   false,
                   false},
        AnswerCase{"we hold: sendrecv answered sendonly",
                   kSippUas,
                   {G711Law::Mu},
                   true,
                   0,
                   G711Law::Mu,
                   0,
                   -1,
                   MediaDirection::SendOnly,
                   true,
                   false},
        AnswerCase{"we hold and they hold",
                   "v=0\r\nc=IN IP4 127.0.0.1\r\nm=audio 9 RTP/AVP 0\r\na=sendonly\r\n",
                   {G711Law::Mu},
                   true,
                   0,
                   G711Law::Mu,
                   0,
                   -1,
                   MediaDirection::Inactive,
                   false,
                   false},
        AnswerCase{"no common codec",
                   "v=0\r\nc=IN IP4 127.0.0.1\r\nm=audio 9 RTP/AVP 9 18\r\n",
                   {G711Law::Mu, G711Law::A},
                   false,
                   488,
                   G711Law::Mu,
                   0,
                   -1,
                   MediaDirection::SendRecv,
                   false,
                   false},
        AnswerCase{"PCMA offered but only PCMU configured",
                   "v=0\r\nc=IN IP4 127.0.0.1\r\nm=audio 9 RTP/AVP 8\r\n",
                   {G711Law::Mu},
                   false,
                   488,
                   G711Law::Mu,
                   0,
                   -1,
                   MediaDirection::SendRecv,
                   false,
                   false},
        AnswerCase{"a refused stream",
                   "v=0\r\nc=IN IP4 127.0.0.1\r\nm=audio 0 RTP/AVP 0\r\n",
                   {G711Law::Mu},
                   false,
                   488,
                   G711Law::Mu,
                   0,
                   -1,
                   MediaDirection::SendRecv,
                   false,
                   false}));

TEST(Offering, OffersTheCodecsInOrderAndOurTelephoneEvent)
{
    const SdpAudio offer = MakeOffer({G711Law::A, G711Law::Mu}, false, kLocal);
    ASSERT_EQ(offer.formats.size(), 3u);
    EXPECT_EQ(offer.formats[0].payloadType, 8);
    EXPECT_EQ(offer.formats[1].payloadType, 0);
    EXPECT_EQ(offer.formats[2], (SdpFormat{101, "telephone-event", 8000, "0-15"}));
    EXPECT_EQ(offer.direction, MediaDirection::SendRecv);
    EXPECT_EQ(offer.ptimeMs, 20u);
    EXPECT_EQ(MakeOffer({G711Law::Mu}, true, kLocal).direction, MediaDirection::SendOnly);
}

TEST(Offering, TheAnswerDecidesCodecAndTheirTypes)
{
    const SdpAudio offer = MakeOffer({G711Law::Mu, G711Law::A}, false, kLocal);
    const auto answer = ParseSdp("v=0\r\nc=IN IP4 127.0.0.2\r\nm=audio 30000 RTP/AVP 8 110\r\n"
                                 "a=rtpmap:110 telephone-event/8000\r\n");
    ASSERT_TRUE(answer.has_value());
    const auto plan = PlanFromAnswer(offer, *answer);
    ASSERT_TRUE(plan.has_value());
    EXPECT_EQ(plan->law, G711Law::A);
    EXPECT_EQ(plan->sendAudioType, 8);
    EXPECT_EQ(plan->recvAudioType, 8);
    EXPECT_EQ(plan->sendEventType, 110) << "we send events on the type the far end named";
    EXPECT_EQ(plan->recvEventType, 101) << "and take them on ours";
    EXPECT_EQ(plan->remoteAddress, "127.0.0.2");
    EXPECT_EQ(plan->remotePort, 30000);
    EXPECT_TRUE(plan->send);
    EXPECT_TRUE(plan->receive);
}

TEST(Offering, HoldAndRefusalsInTheAnswer)
{
    const SdpAudio held = MakeOffer({G711Law::Mu}, true, kLocal);
    const auto recvonly = ParseSdp("v=0\r\nc=IN IP4 127.0.0.2\r\nm=audio 3 RTP/AVP 0\r\na=recvonly\r\n");
    ASSERT_TRUE(recvonly.has_value());
    const auto plan = PlanFromAnswer(held, *recvonly);
    ASSERT_TRUE(plan.has_value());
    EXPECT_TRUE(plan->send);
    EXPECT_FALSE(plan->receive);
    EXPECT_FALSE(plan->sendEventType >= 0);

    const SdpAudio offer = MakeOffer({G711Law::Mu}, false, kLocal);
    const auto portZero = ParseSdp("v=0\r\nc=IN IP4 1.1.1.1\r\nm=audio 0 RTP/AVP 0\r\n");
    const auto pcma = ParseSdp("v=0\r\nc=IN IP4 1.1.1.1\r\nm=audio 5 RTP/AVP 8\r\n");
    ASSERT_TRUE(portZero.has_value() && pcma.has_value());
    EXPECT_FALSE(PlanFromAnswer(offer, *portZero).has_value());
    EXPECT_FALSE(PlanFromAnswer(offer, *pcma).has_value()) << "PCMA was not offered";
}

}  // namespace
