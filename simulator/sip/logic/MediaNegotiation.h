// Offer and answer for the line's one audio stream: G.711 in the order of
// the configured codecs, telephone-events on whatever payload type the far
// end names (ours 101), the direction each side sends in (a held call is
// sendonly; the answer to a sendonly offer is recvonly) and the far end's
// RTP address.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "simulator/sip/logic/LineConfig.h"
#include "simulator/sip/logic/Sdp.h"

namespace tvxsim::sip {

inline constexpr uint8_t kOurEventPayloadType = 101;
inline constexpr uint32_t kPacketMs = 20;

// Where this line receives the call's RTP.
struct LocalMedia {
    std::string address;
    bool ipv6 = false;
    uint16_t port = 0;
};

// What the call's audio does once offer and answer agree.
struct MediaPlan {
    G711Law law = G711Law::Mu;
    uint8_t sendAudioType = 0;   // payload type of the audio we send (the far end's number for it)
    uint8_t recvAudioType = 0;   // payload type of the audio we receive (our number for it)
    int16_t sendEventType = -1;  // telephone-event as the far end named it; -1: it takes none
    int16_t recvEventType = -1;  // telephone-event as we named it; -1: we take none
    std::string remoteAddress;   // where our RTP goes
    bool remoteIpv6 = false;
    uint16_t remotePort = 0;
    bool send = true;     // we send audio
    bool receive = true;  // the far end sends audio to us
    bool operator==(const MediaPlan &) const = default;
};

struct AnswerResult {
    std::optional<SdpAudio> answer;  // none: refuse the offer with `failure`
    MediaPlan plan;
    uint16_t failure = 0;  // 488 when the offer has nothing this line can take
    std::string reason;
};

// Our answer to the far end's offer; `held`: we hold the call (we only send).
AnswerResult AnswerOffer(const SdpAudio &offer, const std::vector<G711Law> &codecs, bool held, const LocalMedia &local);

// Our offer: the codecs in order on their static types, telephone-event 101.
SdpAudio MakeOffer(const std::vector<G711Law> &codecs, bool held, const LocalMedia &local);

// "PCMU" or "PCMA": the encoding's name in a description.
std::string_view LawName(G711Law law);

// What the far end's answer to `offer` agrees on; nullopt when it takes no
// codec we offered or refuses the stream.
std::optional<MediaPlan> PlanFromAnswer(const SdpAudio &offer, const SdpAudio &answer);

// The direction we answer with to an offer of `offered`.
MediaDirection AnswerDirection(MediaDirection offered, bool held);

// Whether a description's side sends / receives in `d`.
constexpr bool Sends(MediaDirection d) { return d == MediaDirection::SendRecv || d == MediaDirection::SendOnly; }
constexpr bool Receives(MediaDirection d) { return d == MediaDirection::SendRecv || d == MediaDirection::RecvOnly; }

}  // namespace tvxsim::sip
