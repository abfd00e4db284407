// One call on the SIP line's thread: its session (libre's sipsess), its
// RTP socket, the offer and answer that shape its audio, and its digits
// both ways. Incoming calls wait for the exchange's word (100 sent at once,
// then 180, 200 or 486); outgoing ones report every step of their INVITE.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "simulator/sip/LineBridge.h"
#include "simulator/sip/Re.h"
#include "simulator/sip/logic/DigitPacer.h"
#include "simulator/sip/logic/MediaNegotiation.h"
#include "simulator/sip/logic/TelephoneEvent.h"

namespace tvxsim::sip {

class SipAgent;

class SipCall {
public:
    enum class State : uint8_t {
        Pending,    // an INVITE the exchange has not decided on (100 sent)
        Alerting,   // 180 sent
        Calling,    // our INVITE is on its way
        Early,      // 183 with a session description: the far end's early media
        Connected,  // answered
        Ended,
    };

    SipCall(SipAgent &agent, size_t slot, FarCallId id);
    ~SipCall();
    SipCall(const SipCall &) = delete;
    SipCall &operator=(const SipCall &) = delete;

    // An INVITE arrives: true when the call is set up (100 sent, Incoming
    // reported); otherwise the INVITE has been answered with a final refusal.
    bool Receive(const struct sip_msg *invite);
    // Whether `msg` (a retransmitted INVITE, or a CANCEL) is about this call's INVITE.
    bool IsAbout(const struct sip_msg *msg) const;
    void RepeatTrying(const struct sip_msg *invite);
    void CancelPending(const struct sip_msg *cancel);

    // An outgoing call to `number`.
    void Dial(const char *number);

    // The engine's commands; the agent updates the call status after each.
    void Alert();
    void Answer();
    void Refuse();
    void HangUp();
    void Hold(bool held);
    void Flash();

    // A frame of line transmit from the engine.
    void Send(const GatedFrame &frame);
    // Every 20 ms while the call lasts.
    void Tick(int64_t nowUs);

    FarCallId Id() const { return id_; }
    State CallState() const { return state_; }
    bool Ended() const { return state_ == State::Ended; }
    const std::string &Peer() const { return peer_; }
    const std::optional<MediaPlan> &Plan() const { return plan_; }
    bool Held() const { return held_; }
    // What the far end reports of our audio (RTCP), when known.
    bool RtcpStats(struct rtcp_stats &out);

private:
    int Accept(uint16_t status, const char *reason, struct mbuf *desc);
    bool OpenMedia();
    bool UsePlan(const MediaPlan &plan);
    struct mbuf *Description(const SdpAudio &audio);
    void End(FarLineEventKind kind, const std::string &reason, bool report);
    void Report(FarLineEventKind kind, const std::string &reason = {});
    void PaceDigits(int64_t nowMs);
    void ReceiveAudio(const struct sa *src, const struct rtp_header *hdr, struct mbuf *mb);

    static int OnOffer(struct mbuf **descp, const struct sip_msg *msg, void *arg);
    static int OnAnswer(const struct sip_msg *msg, void *arg);
    static void OnProgress(const struct sip_msg *msg, void *arg);
    static void OnEstablished(const struct sip_msg *msg, void *arg);
    static void OnInfo(struct sip *sip, const struct sip_msg *msg, void *arg);
    static void OnClose(int err, const struct sip_msg *msg, void *arg);
    static void OnRtp(const struct sa *src, const struct rtp_header *hdr, struct mbuf *mb, void *arg);
    static void OnRtcp(const struct sa *src, struct rtcp_msg *msg, void *arg);

    SipAgent &agent_;
    size_t slot_;
    FarCallId id_;
    State state_ = State::Pending;
    bool incoming_ = false;
    bool held_ = false;                       // we hold the far end
    const struct sip_msg *invite_ = nullptr;  // the incoming INVITE while Pending (referenced)
    struct sipsess *session_ = nullptr;
    struct rtp_sock *rtp_ = nullptr;
    struct mbuf *packet_ = nullptr;  // reused for every RTP packet sent
    std::optional<SdpAudio> offer_;  // the far end's offer (incoming) or ours (outgoing, re-INVITE)
    bool weOffered_ = false;         // the last offer is ours: an answer is awaited
    std::optional<MediaPlan> plan_;  // what offer and answer agreed
    struct sa remote_ {};            // where our RTP goes (the plan's address)
    struct sa remoteRtcp_ {};
    bool rtcpStarted_ = false;
    std::string peer_;            // the far party's URI, for the state lines
    uint32_t timestampBase_ = 0;  // our RTP timestamp of frame 0
    uint32_t sdpVersion_ = 0;     // the o= line's version: one more at each description this call sends
    bool firstPacket_ = true;     // the next audio packet carries the marker bit
    bool mediaReported_ = false;  // MediaStarted sent
    bool ringingReported_ = false;
    bool earlyReported_ = false;
    uint32_t peerSsrc_ = 0;  // the far end's SSRC, for RTCP
    bool havePeerSsrc_ = false;
    uint32_t eventSsrc_ = 0;  // the SSRC of the received telephone-events
    bool haveEventSsrc_ = false;
    int64_t lastRtpMs_ = 0;   // when RTP last came (or the call connected)
    char lastInfoDigit_ = 0;  // the digit last sent by INFO, until it ends
    EventReceiver events_;
    EventSender sender_;
    DigitPacer pacer_;
};

}  // namespace tvxsim::sip
