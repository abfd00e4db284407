// Our own mapping of SIP into the model, fed anything: identity headers,
// Privacy, session descriptions and the offer/answer decided on them, INFO
// bodies, telephone-event payloads through the receiver and the pacer,
// caller-ID texts, and line.conf. The first byte picks the part; each has
// its invariants checked (texts fit caller ID, what we write reads back).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "simulator/logic/CallerIdMessage.h"
#include "simulator/sip/logic/CallerIdentity.h"
#include "simulator/sip/logic/CidText.h"
#include "simulator/sip/logic/DigitPacer.h"
#include "simulator/sip/logic/InfoBody.h"
#include "simulator/sip/logic/LineConfig.h"
#include "simulator/sip/logic/MediaNegotiation.h"
#include "simulator/sip/logic/Sdp.h"
#include "simulator/sip/logic/TelephoneEvent.h"

using namespace tvxsim;
using namespace tvxsim::sip;

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

void CheckCidText(const std::string &text)
{
    Check(text.size() <= kCidMaxText);
    for (char c : text)
        Check(c >= 0x20 && c < 0x7F && c != '"');
}

std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> out;
    while (!text.empty() && out.size() < 64) {
        const size_t end = text.find('\n');
        out.push_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
    return out;
}

void Identity(std::string_view text)
{
    // From, then lines "P:<value>" (asserted identities) and "V:<value>" (Privacy).
    const std::vector<std::string_view> lines = Lines(text);
    IdentityHeaders h;
    if (!lines.empty())
        h.from = lines[0];
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].size() >= 2 && lines[i][0] == 'P' && lines[i][1] == ':')
            h.assertedIdentities.push_back(lines[i].substr(2));
        else if (lines[i].size() >= 2 && lines[i][0] == 'V' && lines[i][1] == ':')
            h.privacy.push_back(lines[i].substr(2));
    }
    const CallerIdSpec c = CallerFromHeaders(h);
    CheckCidText(c.name);
    Check(c.number.size() <= kCidMaxText);
    for (char ch : c.number)
        Check((ch >= '0' && ch <= '9') || ch == '+' || ch == '*' || ch == '#');
    Check(c.absence == 0 || c.absence == kAbsencePrivate || c.absence == kAbsenceOutOfArea);
    Check(c.absence != kAbsencePrivate || (c.name.empty() && c.number.empty()));
    Check(c.date.empty());
}

void Session(std::string_view text)
{
    const std::optional<SdpAudio> offer = ParseSdp(text);
    if (!offer)
        return;
    Check(offer->formats.size() <= kMaxSdpFormats);
    for (const bool held : {false, true}) {
        const AnswerResult r =
            AnswerOffer(*offer, {G711Law::Mu, G711Law::A}, held, LocalMedia{"127.0.0.1", false, 4000});
        if (!r.answer) {
            Check(r.failure == 488);
            continue;
        }
        // What we answer reads back as written, and agrees with the offer.
        const std::optional<SdpAudio> back = ParseSdp(FormatSdp(*r.answer, 1, 1));
        Check(back.has_value() && *back == *r.answer);
        Check(!held || !r.plan.receive);
        Check(r.plan.send == Receives(offer->direction));
    }
    // The stream as an answer to our own offer.
    const SdpAudio ours = MakeOffer({G711Law::A, G711Law::Mu}, false, LocalMedia{"::1", true, 5000});
    if (const std::optional<MediaPlan> plan = PlanFromAnswer(ours, *offer)) {
        Check(plan->recvAudioType == 0 || plan->recvAudioType == 8);
        Check(plan->remotePort != 0);
    }
}

void Info(std::string_view text)
{
    const size_t end = text.find('\n');
    const std::string_view type = text.substr(0, end);
    const std::string_view body = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    const std::optional<InfoEvent> e = ParseInfoBody(type, body);
    if (!e)
        return;
    Check(e->durationMs >= kInfoMinDurationMs && e->durationMs <= kInfoMaxDurationMs);
    Check(e->flash || KeyEvent(e->digit) >= 0);
    if (!e->flash) {
        const std::optional<InfoEvent> again = ParseInfoBody(kDtmfRelayType, DtmfRelayBody(e->digit, e->durationMs));
        Check(again.has_value() && *again == *e);
    }
}

void Events(std::string_view text)
{
    // Records of 9 bytes: timestamp (4), payload (4), milliseconds passed (1).
    EventReceiver receiver;
    DigitPacer pacer;
    int64_t now = 0;
    int open = 0;
    for (size_t at = 0; at + 9 <= text.size(); at += 9) {
        const auto *p = reinterpret_cast<const uint8_t *>(text.data() + at);
        const uint32_t timestamp = (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
        const std::optional<EventPayload> payload = DecodeEventPayload(std::span<const uint8_t>(p + 4, 4));
        Check(payload.has_value());
        Check(EncodeEventPayload(*payload)[0] == p[4]);
        now += p[8];
        const EventChanges changes = receiver.OnPacket(timestamp, *payload, now);
        const EventChanges ticks = receiver.OnTick(now);
        for (const EventChanges *c : {&changes, &ticks}) {
            for (size_t i = 0; i < c->count; ++i) {
                const EventChange &x = c->items[i];
                Check(KeyEvent(x.digit) >= 0);
                if (x.kind == EventChange::Kind::Begin) {
                    Check(open == 0);
                    ++open;
                    pacer.Begin(x.digit);
                } else if (x.kind == EventChange::Kind::End) {
                    Check(open == 1);
                    --open;
                    pacer.End();
                } else {
                    Check(open == 0);
                    pacer.Complete(x.digit, x.durationMs);
                }
            }
        }
        std::array<PacedDigit, 4> due{};
        const size_t n = pacer.Due(now, due);
        Check(n <= due.size());
    }
}

void Config(std::string_view text)
{
    const ConfigResult r = ParseLineConfig(text);
    if (r.error) {
        Check(!r.error->reason.empty());
        Check(r.error->line >= 0);
        return;
    }
    Check(!r.config.account.user.empty());
    Check(!r.config.codecs.empty());
    Check(r.config.expires >= kMinExpires && r.config.expires <= kMaxExpires);
    Check(r.config.localNumbers.size() <= kMaxLocalNumbers);
    Check(r.config.peers.size() <= kMaxPeers);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view text(reinterpret_cast<const char *>(data + 1), size - 1);
    switch (data[0] % 6) {
    case 0:
        Identity(text);
        break;
    case 1:
        Session(text);
        break;
    case 2:
        Info(text);
        break;
    case 3:
        Events(text);
        break;
    case 4:
        CheckCidText(FoldToCidText(text));
        break;
    case 5:
        Config(text);
        break;
    }
    return 0;
}
