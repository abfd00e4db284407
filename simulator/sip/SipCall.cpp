#include "simulator/sip/SipCall.h"

#include <netinet/in.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "simulator/sip/ReText.h"
#include "simulator/sip/SipAgent.h"
#include "simulator/sip/logic/CallOutcome.h"
#include "simulator/sip/logic/CallerIdentity.h"
#include "simulator/sip/logic/G711.h"
#include "simulator/sip/logic/InfoBody.h"

namespace tvxsim::sip {

namespace {

constexpr const char *kSdpType = "application/sdp";
constexpr uint16_t kFirstRtpPort = 16384;
constexpr uint16_t kLastRtpPort = 32766;
constexpr size_t kMaxIdentityHeaders = 8;

bool HasSdp(const struct sip_msg *msg)
{
    return msg != nullptr && msg->mb != nullptr && mbuf_get_left(msg->mb) > 0 &&
           msg_ctype_cmp(&msg->ctyp, "application", "sdp");
}

std::string_view Body(const struct sip_msg *msg)
{
    if (msg == nullptr || msg->mb == nullptr)
        return {};
    return std::string_view(reinterpret_cast<const char *>(mbuf_buf(msg->mb)), mbuf_get_left(msg->mb));
}

bool CollectHeader(const struct sip_hdr *hdr, const struct sip_msg *, void *arg)
{
    auto *values = static_cast<std::vector<std::string_view> *>(arg);
    if (values->size() < kMaxIdentityHeaders)
        values->push_back(View(hdr->val));
    return false;  // go on to the next one
}

// The caller's date and time as caller ID carries them: the wall clock's, "MMDDhhmm".
std::string CidDateNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr)
        return {};
    char text[48];
    std::snprintf(text, sizeof text, "%02d%02d%02d%02d", local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min);
    return std::string(text).substr(0, 8);
}

}  // namespace

SipCall::SipCall(SipAgent &agent, size_t slot, FarCallId id) : agent_(agent), slot_(slot), id_(id) {}

SipCall::~SipCall()
{
    if (invite_ != nullptr) {
        // Still undecided (the line is closing): busy here.
        if (state_ == State::Pending || state_ == State::Ended)
            (void)sip_treply(nullptr, agent_.Sip(), invite_, 486, "Busy Here");
        mem_deref(const_cast<struct sip_msg *>(invite_));
    }
    // An unanswered outgoing session is cancelled, an answered one gets its
    // BYE, an incoming one still alerting its 486.
    mem_deref(session_);
    mem_deref(rtp_);
    mem_deref(packet_);
}

bool SipCall::OpenMedia()
{
    const int err =
        rtp_listen(&rtp_, IPPROTO_UDP, &agent_.MediaAddress(), kFirstRtpPort, kLastRtpPort, true, OnRtp, OnRtcp, this);
    if (err != 0)
        return false;
    packet_ = mbuf_alloc(RTP_HEADER_SIZE + kMaxPacketBytes);
    timestampBase_ = rand_u32();
    return packet_ != nullptr;
}

struct mbuf *SipCall::Description(const SdpAudio &audio)
{
    const std::string text = FormatSdp(audio, id_ + 100000u, ++sdpVersion_);
    struct mbuf *mb = mbuf_alloc(text.size());
    if (mb == nullptr)
        return nullptr;
    (void)mbuf_write_mem(mb, reinterpret_cast<const uint8_t *>(text.data()), text.size());
    mb->pos = 0;
    return mb;
}

namespace {

LocalMedia LocalOf(const struct sa &address, const struct rtp_sock *rtp)
{
    LocalMedia local;
    local.address = AddressText(address);
    local.ipv6 = sa_af(&address) == AF_INET6;
    local.port = rtp != nullptr ? sa_port(rtp_local(rtp)) : 0;
    return local;
}

}  // namespace

bool SipCall::Receive(const struct sip_msg *invite)
{
    incoming_ = true;
    state_ = State::Pending;
    struct sip *sip = agent_.Sip();

    IdentityHeaders headers;
    (void)sip_msg_hdr_apply(invite, true, SIP_HDR_P_ASSERTED_IDENTITY, CollectHeader, &headers.assertedIdentities);
    (void)sip_msg_hdr_apply(invite, true, SIP_HDR_PRIVACY, CollectHeader, &headers.privacy);
    if (const struct sip_hdr *from = sip_msg_hdr(invite, SIP_HDR_FROM))
        headers.from = View(from->val);
    peer_ = std::string(View(invite->from.auri)).substr(0, 256);

    if (mbuf_get_left(invite->mb) > 0) {
        if (!HasSdp(invite)) {
            (void)sip_treply(nullptr, sip, invite, 415, "Unsupported Media Type");
            return false;
        }
        offer_ = ParseSdp(Body(invite));
        if (!offer_) {
            (void)sip_treply(nullptr, sip, invite, 400, "Bad Session Description");
            return false;
        }
        if (AnswerOffer(*offer_, agent_.Config().codecs, false, LocalMedia{}).failure != 0) {
            (void)sip_treply(nullptr, sip, invite, 488, "Not Acceptable Here");
            return false;
        }
    }
    if (!OpenMedia()) {
        (void)sip_treply(nullptr, sip, invite, 500, "No Media Port");
        return false;
    }
    FarLineEvent event;
    event.kind = FarLineEventKind::Incoming;
    event.call = id_;
    event.caller = CallerFromHeaders(headers);
    event.caller.date = CidDateNow();
    if (!agent_.PushEvent(std::move(event))) {
        // More calls than the engine can hear of: refused at once.
        (void)sip_treply(nullptr, sip, invite, 486, "Busy Here");
        return false;
    }
    invite_ = static_cast<const struct sip_msg *>(mem_ref(const_cast<struct sip_msg *>(invite)));
    (void)sip_reply(sip, invite, 100, "Trying");
    return true;
}

bool SipCall::IsAbout(const struct sip_msg *msg) const
{
    return invite_ != nullptr && pl_cmp(&msg->callid, &invite_->callid) == 0 && msg->cseq.num == invite_->cseq.num &&
           pl_cmp(&msg->via.branch, &invite_->via.branch) == 0;
}

void SipCall::RepeatTrying(const struct sip_msg *invite) { (void)sip_reply(agent_.Sip(), invite, 100, "Trying"); }

void SipCall::CancelPending(const struct sip_msg *cancel)
{
    (void)sip_reply(agent_.Sip(), cancel, 200, "OK");
    if (state_ != State::Pending)
        return;
    (void)sip_treply(nullptr, agent_.Sip(), invite_, 487, "Request Terminated");
    mem_deref(const_cast<struct sip_msg *>(invite_));
    invite_ = nullptr;
    End(FarLineEventKind::Cancelled, {}, true);
}

void SipCall::Dial(const char *number)
{
    incoming_ = false;
    state_ = State::Calling;
    const std::optional<std::string> uri = DialUri(number, agent_.Config().account);
    if (!uri) {
        End(FarLineEventKind::Failed, "not a number", true);
        return;
    }
    peer_ = *uri;
    if (!OpenMedia()) {
        End(FarLineEventKind::Failed, "no media port", true);
        return;
    }
    offer_ = MakeOffer(agent_.Config().codecs, false, LocalOf(agent_.MediaAddress(), rtp_));
    weOffered_ = true;
    struct mbuf *desc = Description(*offer_);
    const std::string from = agent_.Config().account.Uri();
    const char *routev[1] = {agent_.Route().c_str()};
    const uint32_t routec = agent_.Route().empty() ? 0 : 1;
    const int err = sipsess_connect(&session_,
                                    agent_.SessionSocket(),
                                    uri->c_str(),
                                    nullptr,
                                    from.c_str(),
                                    agent_.ContactUser().c_str(),
                                    routev,
                                    routec,
                                    kSdpType,
                                    desc,
                                    SipAgent::Authenticate,
                                    &agent_,
                                    false,
                                    OnOffer,
                                    OnAnswer,
                                    OnProgress,
                                    OnEstablished,
                                    OnInfo,
                                    nullptr,
                                    OnClose,
                                    this,
                                    nullptr);
    mem_deref(desc);
    if (err != 0) {
        session_ = nullptr;
        End(FarLineEventKind::Failed, ErrorText(err), true);
    }
}

// Accepts the pending INVITE with a first response (180, or 200 with `desc`):
// the session begins, the INVITE is let go. libre's error, 0 on success.
int SipCall::Accept(uint16_t status, const char *reason, struct mbuf *desc)
{
    const int err = sipsess_accept(&session_,
                                   agent_.SessionSocket(),
                                   invite_,
                                   status,
                                   reason,
                                   agent_.ContactUser().c_str(),
                                   kSdpType,
                                   desc,
                                   SipAgent::Authenticate,
                                   &agent_,
                                   false,
                                   OnOffer,
                                   OnAnswer,
                                   OnEstablished,
                                   OnInfo,
                                   nullptr,
                                   OnClose,
                                   this,
                                   nullptr);
    mem_deref(const_cast<struct sip_msg *>(invite_));
    invite_ = nullptr;
    if (err != 0)
        session_ = nullptr;
    return err;
}

void SipCall::Alert()
{
    if (state_ != State::Pending)
        return;
    if (const int err = Accept(180, "Ringing", nullptr); err != 0) {
        End(FarLineEventKind::Cancelled, ErrorText(err), true);
        return;
    }
    state_ = State::Alerting;
}

void SipCall::Answer()
{
    if (state_ != State::Pending && state_ != State::Alerting)
        return;
    const LocalMedia local = LocalOf(agent_.MediaAddress(), rtp_);
    std::optional<MediaPlan> plan;
    struct mbuf *desc = nullptr;
    if (offer_) {
        const AnswerResult r = AnswerOffer(*offer_, agent_.Config().codecs, held_, local);
        if (!r.answer) {
            Refuse();
            return;
        }
        plan = r.plan;
        desc = Description(*r.answer);
        weOffered_ = false;
    } else {
        // An INVITE without an offer: ours goes in the 200, the answer comes with the ACK.
        offer_ = MakeOffer(agent_.Config().codecs, held_, local);
        weOffered_ = true;
        desc = Description(*offer_);
    }
    int err = 0;
    if (state_ == State::Pending) {
        err = Accept(200, "OK", desc);
    } else {
        err = sipsess_answer(session_, 200, "OK", desc, nullptr);
    }
    mem_deref(desc);
    if (err != 0) {
        End(FarLineEventKind::HungUp, ErrorText(err), true);
        return;
    }
    state_ = State::Connected;
    lastRtpMs_ = NowUs() / 1000;
    if (plan)
        UsePlan(*plan);
}

void SipCall::Refuse()
{
    if (state_ == State::Pending && invite_ != nullptr) {
        (void)sip_treply(nullptr, agent_.Sip(), invite_, 486, "Busy Here");
        mem_deref(const_cast<struct sip_msg *>(invite_));
        invite_ = nullptr;
    } else if (state_ == State::Alerting && session_ != nullptr) {
        (void)sipsess_reject(session_, 486, "Busy Here", nullptr);
    } else {
        return;
    }
    End(FarLineEventKind::HungUp, {}, false);
}

void SipCall::HangUp()
{
    if (state_ == State::Ended)
        return;
    if (state_ == State::Pending || state_ == State::Alerting) {
        Refuse();
        return;
    }
    // The session goes when the call is reaped: BYE once answered, CANCEL before.
    End(FarLineEventKind::HungUp, {}, false);
}

void SipCall::Hold(bool held)
{
    if (held_ == held)
        return;
    held_ = held;
    if (state_ != State::Connected || session_ == nullptr)
        return;
    offer_ = MakeOffer(agent_.Config().codecs, held, LocalOf(agent_.MediaAddress(), rtp_));
    weOffered_ = true;
    if (held && plan_) {
        plan_->receive = false;  // nothing comes while held: no timeout either
    }
    struct mbuf *desc = Description(*offer_);
    (void)sipsess_modify(session_, desc);
    mem_deref(desc);
    lastRtpMs_ = NowUs() / 1000;
}

void SipCall::Flash()
{
    if (state_ != State::Connected || session_ == nullptr)
        return;
    const std::string body = HookFlashBody();
    struct mbuf *mb = mbuf_alloc(body.size());
    if (mb == nullptr)
        return;
    (void)mbuf_write_str(mb, body.c_str());
    mb->pos = 0;
    (void)sipsess_info(session_, std::string(kHookFlashType).c_str(), mb, nullptr, nullptr);
    mem_deref(mb);
}

bool SipCall::UsePlan(const MediaPlan &plan)
{
    struct sa remote {};
    if (sa_set_str(&remote, plan.remoteAddress.c_str(), plan.remotePort) != 0)
        return false;
    plan_ = plan;
    remote_ = remote;
    remoteRtcp_ = remote;
    sa_set_port(&remoteRtcp_, static_cast<uint16_t>(plan.remotePort + 1));
    if (!rtcpStarted_ && rtp_ != nullptr) {
        rtcp_start(rtp_, agent_.ContactUser().c_str(), &remoteRtcp_);
        rtcpStarted_ = true;
    }
    CallSlot &slot = agent_.Bridge().slots[slot_];
    const DtmfMethod dtmf = agent_.Config().dtmf;
    slot.outOfBand.store(dtmf == DtmfMethod::Info || (dtmf == DtmfMethod::Rfc4733 && plan.sendEventType >= 0));
    slot.alaw.store(plan.law == G711Law::A);
    return true;
}

void SipCall::Report(FarLineEventKind kind, const std::string &reason)
{
    FarLineEvent event;
    event.kind = kind;
    event.call = id_;
    event.reason = reason;
    (void)agent_.PushEvent(std::move(event));
}

void SipCall::End(FarLineEventKind kind, const std::string &reason, bool report)
{
    if (state_ == State::Ended)
        return;
    if (report)
        Report(kind, reason);
    state_ = State::Ended;
    agent_.CallFinished();
}

void SipCall::PaceDigits(int64_t nowMs)
{
    std::array<PacedDigit, 4> due{};
    const size_t n = pacer_.Due(nowMs, due);
    for (size_t i = 0; i < n; ++i) {
        FarLineEvent event;
        event.call = id_;
        event.kind = due[i].kind == PacedDigit::Kind::Start ? FarLineEventKind::DigitStart : FarLineEventKind::DigitEnd;
        event.digit = due[i].digit;
        event.durationMs = due[i].durationMs;
        (void)agent_.PushEvent(std::move(event));
    }
}

namespace {

void Apply(const EventChanges &changes, DigitPacer &pacer)
{
    for (size_t i = 0; i < changes.count; ++i) {
        const EventChange &c = changes.items[i];
        switch (c.kind) {
        case EventChange::Kind::Begin:
            pacer.Begin(c.digit);
            break;
        case EventChange::Kind::End:
            pacer.End();
            break;
        case EventChange::Kind::Complete:
            pacer.Complete(c.digit, c.durationMs);
            break;
        }
    }
}

}  // namespace

void SipCall::ReceiveAudio(const struct sa *src, const struct rtp_header *hdr, struct mbuf *mb)
{
    if (!plan_ || state_ == State::Ended || !sa_cmp(src, &remote_, SA_ADDR))
        return;
    const int64_t nowUs = NowUs();
    const int64_t nowMs = nowUs / 1000;
    lastRtpMs_ = nowMs;
    if (!mediaReported_ && (state_ == State::Early || state_ == State::Connected)) {
        mediaReported_ = true;
        Report(FarLineEventKind::MediaStarted);
    }
    const size_t size = mbuf_get_left(mb);
    const MediaPlan &plan = *plan_;
    if (hdr->pt == plan.recvAudioType || hdr->pt == plan.sendAudioType) {
        if (size == 0 || size > kMaxPacketBytes)
            return;
        peerSsrc_ = hdr->ssrc;
        havePeerSsrc_ = true;
        RxPacket packet;
        packet.call = id_;
        packet.packet.ssrc = hdr->ssrc;
        packet.packet.sequence = hdr->seq;
        packet.packet.timestamp = hdr->ts;
        packet.packet.arrivalUs = nowUs;
        packet.packet.size = static_cast<uint16_t>(size);
        std::memcpy(packet.packet.payload.data(), mbuf_buf(mb), size);
        if (!agent_.Bridge().slots[slot_].rx.Push(std::move(packet)))
            agent_.Bridge().droppedPackets.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    if ((plan.recvEventType >= 0 && hdr->pt == plan.recvEventType) ||
        (plan.sendEventType >= 0 && hdr->pt == plan.sendEventType)) {
        const std::optional<EventPayload> payload = DecodeEventPayload(std::span<const uint8_t>(mbuf_buf(mb), size));
        if (!payload)
            return;
        if (haveEventSsrc_ && hdr->ssrc != eventSsrc_)
            Apply(events_.Reset(), pacer_);
        haveEventSsrc_ = true;
        eventSsrc_ = hdr->ssrc;
        // The event's sequence number counts in the stream's losses.
        RxPacket marker;
        marker.call = id_;
        marker.packet.ssrc = hdr->ssrc;
        marker.packet.sequence = hdr->seq;
        marker.packet.arrivalUs = nowUs;
        marker.packet.size = 0;
        if (!agent_.Bridge().slots[slot_].rx.Push(std::move(marker)))
            agent_.Bridge().droppedPackets.fetch_add(1, std::memory_order_relaxed);
        Apply(events_.OnPacket(hdr->ts, *payload, nowMs), pacer_);
        PaceDigits(nowMs);
    }
}

void SipCall::Send(const GatedFrame &frame)
{
    if (state_ != State::Connected || !plan_ || rtp_ == nullptr)
        return;
    const MediaPlan &plan = *plan_;
    const uint32_t timestamp = timestampBase_ + frame.index * static_cast<uint32_t>(kFrameSamples);
    if (plan.send) {
        packet_->pos = RTP_HEADER_SIZE;
        packet_->end = RTP_HEADER_SIZE;
        std::array<uint8_t, kFrameSamples> bytes{};
        EncodeG711(plan.law, frame.samples, bytes);
        (void)mbuf_write_mem(packet_, bytes.data(), bytes.size());
        packet_->pos = RTP_HEADER_SIZE;
        (void)rtp_send(rtp_, &remote_, false, firstPacket_, plan.sendAudioType, timestamp, packet_);
        firstPacket_ = false;
    }
    switch (agent_.Config().dtmf) {
    case DtmfMethod::Rfc4733: {
        if (plan.sendEventType < 0 || !plan.send)
            break;
        const EventPackets events = sender_.Frame(frame.digit, timestamp);
        for (size_t i = 0; i < events.count; ++i) {
            const EventPacket &p = events.items[i];
            const auto bytes = EncodeEventPayload(p.payload);
            packet_->pos = RTP_HEADER_SIZE;
            packet_->end = RTP_HEADER_SIZE;
            (void)mbuf_write_mem(packet_, bytes.data(), bytes.size());
            packet_->pos = RTP_HEADER_SIZE;
            (void)rtp_send(
                rtp_, &remote_, false, p.marker, static_cast<uint8_t>(plan.sendEventType), p.timestamp, packet_);
        }
        break;
    }
    case DtmfMethod::Info: {
        if (frame.digit != 0 && frame.digit != lastInfoDigit_ && session_ != nullptr) {
            const std::string body = DtmfRelayBody(frame.digit, kInfoDefaultDurationMs);
            struct mbuf *mb = mbuf_alloc(body.size());
            if (mb != nullptr) {
                (void)mbuf_write_str(mb, body.c_str());
                mb->pos = 0;
                (void)sipsess_info(session_, std::string(kDtmfRelayType).c_str(), mb, nullptr, nullptr);
                mem_deref(mb);
            }
        }
        lastInfoDigit_ = frame.digit;
        break;
    }
    case DtmfMethod::Inband:
        break;
    }
}

void SipCall::Tick(int64_t nowUs)
{
    if (state_ == State::Ended)
        return;
    const int64_t nowMs = nowUs / 1000;
    Apply(events_.OnTick(nowMs), pacer_);
    PaceDigits(nowMs);
    const int64_t timeoutMs = agent_.Timings().noRtpTimeoutMs;
    if (state_ == State::Connected && plan_ && plan_->receive && nowMs - lastRtpMs_ >= timeoutMs)
        End(FarLineEventKind::HungUp, "no RTP for " + std::to_string(timeoutMs / 1000) + " s", true);
}

bool SipCall::RtcpStats(struct rtcp_stats &out)
{
    if (rtp_ == nullptr || !havePeerSsrc_)
        return false;
    return rtcp_stats(rtp_, peerSsrc_, &out) == 0;
}

int SipCall::OnOffer(struct mbuf **descp, const struct sip_msg *msg, void *arg)
{
    auto *call = static_cast<SipCall *>(arg);
    const LocalMedia local = LocalOf(call->agent_.MediaAddress(), call->rtp_);
    if (!HasSdp(msg)) {
        call->offer_ = MakeOffer(call->agent_.Config().codecs, call->held_, local);
        call->weOffered_ = true;
        *descp = call->Description(*call->offer_);
        return *descp != nullptr ? 0 : ENOMEM;
    }
    const std::optional<SdpAudio> offer = ParseSdp(Body(msg));
    if (!offer)
        return EPROTO;
    const AnswerResult r = AnswerOffer(*offer, call->agent_.Config().codecs, call->held_, local);
    if (!r.answer)
        return EPROTO;
    call->offer_ = offer;
    call->weOffered_ = false;
    call->UsePlan(r.plan);
    call->lastRtpMs_ = NowUs() / 1000;
    *descp = call->Description(*r.answer);
    call->agent_.UpdateCallStatus();
    return *descp != nullptr ? 0 : ENOMEM;
}

int SipCall::OnAnswer(const struct sip_msg *msg, void *arg)
{
    auto *call = static_cast<SipCall *>(arg);
    if (!HasSdp(msg) || !call->weOffered_ || !call->offer_)
        return 0;
    const std::optional<SdpAudio> answer = ParseSdp(Body(msg));
    if (!answer)
        return EPROTO;
    const std::optional<MediaPlan> plan = PlanFromAnswer(*call->offer_, *answer);
    if (!plan)
        return EPROTO;
    call->weOffered_ = false;
    call->UsePlan(*plan);
    call->lastRtpMs_ = NowUs() / 1000;
    call->agent_.UpdateCallStatus();
    return 0;
}

void SipCall::OnProgress(const struct sip_msg *msg, void *arg)
{
    auto *call = static_cast<SipCall *>(arg);
    if (call->state_ != State::Calling && call->state_ != State::Early)
        return;
    const bool sdp = HasSdp(msg);
    const CallOutcome outcome = OutcomeOfResponse(msg->scode, sdp);
    if (sdp && call->offer_) {
        const std::optional<SdpAudio> answer = ParseSdp(Body(msg));
        if (answer) {
            if (const std::optional<MediaPlan> plan = PlanFromAnswer(*call->offer_, *answer))
                call->UsePlan(*plan);
        }
    }
    if (outcome == CallOutcome::Ringing && !call->ringingReported_) {
        call->ringingReported_ = true;
        call->Report(FarLineEventKind::Ringing);
    } else if (outcome == CallOutcome::EarlyMedia && call->plan_ && !call->earlyReported_) {
        call->earlyReported_ = true;
        call->state_ = State::Early;
        call->Report(FarLineEventKind::EarlyMedia);
    }
}

void SipCall::OnEstablished(const struct sip_msg *, void *arg)
{
    auto *call = static_cast<SipCall *>(arg);
    if (call->incoming_ || (call->state_ != State::Calling && call->state_ != State::Early))
        return;
    call->state_ = State::Connected;
    call->lastRtpMs_ = NowUs() / 1000;
    call->Report(FarLineEventKind::Answered);
    call->agent_.UpdateCallStatus();
}

void SipCall::OnInfo(struct sip *sip, const struct sip_msg *msg, void *arg)
{
    auto *call = static_cast<SipCall *>(arg);
    const struct sip_hdr *type = sip_msg_hdr(msg, SIP_HDR_CONTENT_TYPE);
    const std::optional<InfoEvent> info = ParseInfoBody(type != nullptr ? View(type->val) : "", Body(msg));
    if (!info) {
        (void)sip_reply(sip, msg, 415, "Unsupported Media Type");
        return;
    }
    (void)sip_reply(sip, msg, 200, "OK");
    if (!info->flash && call->state_ == State::Connected) {
        call->pacer_.Complete(info->digit, info->durationMs);
        call->PaceDigits(NowUs() / 1000);
    }
}

void SipCall::OnClose(int err, const struct sip_msg *msg, void *arg)
{
    auto *call = static_cast<SipCall *>(arg);
    switch (call->state_) {
    case State::Ended:
        return;
    case State::Pending:
    case State::Alerting:
        call->End(FarLineEventKind::Cancelled, {}, true);
        return;
    case State::Calling:
    case State::Early:
        if (msg != nullptr && msg->scode >= 300) {
            const std::string line = StatusLine(msg->scode, View(msg->reason));
            if (OutcomeOfResponse(msg->scode, false) == CallOutcome::Busy)
                call->End(FarLineEventKind::Busy, line, true);
            else
                call->End(FarLineEventKind::Failed, line, true);
        } else {
            call->End(FarLineEventKind::Failed, err != 0 ? ErrorText(err) : "closed", true);
        }
        return;
    case State::Connected:
        if (msg == nullptr && err == ECONNRESET)
            call->End(FarLineEventKind::HungUp, "BYE", true);
        else if (msg != nullptr && msg->scode >= 300)
            call->End(FarLineEventKind::HungUp, StatusLine(msg->scode, View(msg->reason)), true);
        else
            call->End(FarLineEventKind::HungUp, err != 0 ? ErrorText(err) : "closed", true);
        return;
    }
}

void SipCall::OnRtp(const struct sa *src, const struct rtp_header *hdr, struct mbuf *mb, void *arg)
{
    static_cast<SipCall *>(arg)->ReceiveAudio(src, hdr, mb);
}

void SipCall::OnRtcp(const struct sa *, struct rtcp_msg *, void *) {}

}  // namespace tvxsim::sip
