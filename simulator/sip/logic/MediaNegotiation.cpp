#include "simulator/sip/logic/MediaNegotiation.h"

#include <array>

#include "simulator/sip/logic/SipText.h"

namespace tvxsim::sip {

namespace {

struct LawRow {
    G711Law law;
    std::string_view encoding;
    uint8_t staticType;
};
constexpr std::array<LawRow, 2> kLaws = {{
    {G711Law::Mu, "PCMU", 0},
    {G711Law::A, "PCMA", 8},
}};

const LawRow &RowOf(G711Law law) { return law == G711Law::Mu ? kLaws[0] : kLaws[1]; }

std::optional<G711Law> LawOf(const SdpFormat &f)
{
    if (f.clockRate != 8000)
        return std::nullopt;
    for (const LawRow &row : kLaws) {
        if (EqualsNoCase(f.encoding, row.encoding))
            return row.law;
    }
    return std::nullopt;
}

bool IsTelephoneEvent(const SdpFormat &f) { return f.clockRate == 8000 && EqualsNoCase(f.encoding, "telephone-event"); }

const SdpFormat *FindLaw(const SdpAudio &audio, G711Law law)
{
    for (const SdpFormat &f : audio.formats) {
        if (LawOf(f) == law)
            return &f;
    }
    return nullptr;
}

const SdpFormat *FindEvent(const SdpAudio &audio)
{
    for (const SdpFormat &f : audio.formats) {
        if (IsTelephoneEvent(f))
            return &f;
    }
    return nullptr;
}

MediaDirection DirectionFor(bool send, bool receive)
{
    if (send && receive)
        return MediaDirection::SendRecv;
    if (send)
        return MediaDirection::SendOnly;
    if (receive)
        return MediaDirection::RecvOnly;
    return MediaDirection::Inactive;
}

SdpFormat EventFormat(uint8_t payloadType) { return SdpFormat{payloadType, "telephone-event", 8000, "0-15"}; }

}  // namespace

std::string_view LawName(G711Law law) { return RowOf(law).encoding; }

MediaDirection AnswerDirection(MediaDirection offered, bool held)
{
    return DirectionFor(Receives(offered), Sends(offered) && !held);
}

AnswerResult AnswerOffer(const SdpAudio &offer, const std::vector<G711Law> &codecs, bool held, const LocalMedia &local)
{
    AnswerResult result;
    if (offer.port == 0) {
        result.failure = 488;
        result.reason = "the audio stream is refused (port 0)";
        return result;
    }
    const SdpFormat *chosen = nullptr;
    for (G711Law law : codecs) {
        chosen = FindLaw(offer, law);
        if (chosen != nullptr)
            break;
    }
    if (chosen == nullptr) {
        result.failure = 488;
        result.reason = "no common codec";
        return result;
    }
    MediaPlan &plan = result.plan;
    plan.law = *LawOf(*chosen);
    plan.sendAudioType = chosen->payloadType;
    plan.recvAudioType = chosen->payloadType;
    plan.remoteAddress = offer.address;
    plan.remoteIpv6 = offer.ipv6;
    plan.remotePort = offer.port;
    const MediaDirection direction = AnswerDirection(offer.direction, held);
    plan.send = Sends(direction);
    plan.receive = Receives(direction);

    SdpAudio answer;
    answer.address = local.address;
    answer.ipv6 = local.ipv6;
    answer.port = local.port;
    answer.formats.push_back(SdpFormat{chosen->payloadType, std::string(RowOf(plan.law).encoding), 8000, {}});
    if (const SdpFormat *event = FindEvent(offer)) {
        plan.sendEventType = event->payloadType;
        plan.recvEventType = event->payloadType;
        answer.formats.push_back(EventFormat(event->payloadType));
    }
    answer.direction = direction;
    answer.ptimeMs = kPacketMs;
    result.answer = answer;
    return result;
}

SdpAudio MakeOffer(const std::vector<G711Law> &codecs, bool held, const LocalMedia &local)
{
    SdpAudio offer;
    offer.address = local.address;
    offer.ipv6 = local.ipv6;
    offer.port = local.port;
    for (G711Law law : codecs) {
        const LawRow &row = RowOf(law);
        offer.formats.push_back(SdpFormat{row.staticType, std::string(row.encoding), 8000, {}});
    }
    offer.formats.push_back(EventFormat(kOurEventPayloadType));
    offer.direction = held ? MediaDirection::SendOnly : MediaDirection::SendRecv;
    offer.ptimeMs = kPacketMs;
    return offer;
}

std::optional<MediaPlan> PlanFromAnswer(const SdpAudio &offer, const SdpAudio &answer)
{
    if (answer.port == 0)
        return std::nullopt;
    MediaPlan plan;
    const SdpFormat *chosen = nullptr;
    for (const SdpFormat &f : answer.formats) {
        const std::optional<G711Law> law = LawOf(f);
        if (law && FindLaw(offer, *law) != nullptr) {
            chosen = &f;
            plan.law = *law;
            break;
        }
    }
    if (chosen == nullptr)
        return std::nullopt;
    plan.sendAudioType = chosen->payloadType;
    plan.recvAudioType = FindLaw(offer, plan.law)->payloadType;
    if (const SdpFormat *ours = FindEvent(offer))
        plan.recvEventType = ours->payloadType;
    if (const SdpFormat *theirs = FindEvent(answer))
        plan.sendEventType = theirs->payloadType;
    plan.remoteAddress = answer.address;
    plan.remoteIpv6 = answer.ipv6;
    plan.remotePort = answer.port;
    plan.send = Receives(answer.direction) && Sends(offer.direction);
    plan.receive = Sends(answer.direction) && Receives(offer.direction);
    return plan;
}

}  // namespace tvxsim::sip
