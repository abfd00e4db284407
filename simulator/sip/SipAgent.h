// The SIP line's own thread: it runs libre's loop and owns every libre
// object (the SIP stack, the registration, each call's session and RTP).
// It meets the engine's thread only through the bridge's rings and a
// wake-up on libre's message queue. Start and stop are clean whatever the
// calls are doing: stop hangs them up, lets the stack send that for at most
// half a second, ends the loop from inside and joins.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "simulator/sip/LineBridge.h"
#include "simulator/sip/LineSecret.h"
#include "simulator/sip/Re.h"
#include "simulator/sip/logic/AllowedSources.h"
#include "simulator/sip/logic/LineConfig.h"
#include "simulator/sip/logic/RegistrationBackoff.h"

namespace tvxsim::sip {

class SipCall;

class SipAgent {
public:
    SipAgent(LineConfig config, std::string passwordPath, LineBridge &bridge, LineTimings timings = {});
    ~SipAgent();
    SipAgent(const SipAgent &) = delete;
    SipAgent &operator=(const SipAgent &) = delete;

    // Owner's thread: starts the thread; the stack reports itself in the
    // status (listen set once it listens).
    void Start();
    // Owner's thread: ends the thread (bounded) and joins.
    void Stop();
    // Any thread: the SIP thread drains the bridge soon (nothing while its loop is not running).
    void Wake();

    // The SIP thread's, for its calls.
    struct sip *Sip() const { return sip_; }
    struct sipsess_sock *SessionSocket() const { return sock_; }
    const LineConfig &Config() const { return config_; }
    const LineTimings &Timings() const { return timings_; }
    LineBridge &Bridge() { return bridge_; }
    const std::string &ContactUser() const { return config_.account.user; }
    // The route through the outbound proxy ("sip:proxy[:port]"), empty without one.
    const std::string &Route() const { return route_; }
    // The address the line's media listens on and names in its SDP.
    const struct sa &MediaAddress() const { return mediaAddress_; }
    bool PushEvent(FarLineEvent event);
    // Digest credentials for a challenge (libre's authentication handler).
    static int Authenticate(char **user, char **password, const char *realm, void *arg);
    void CallFinished();  // a call has ended: reap it soon
    void UpdateCallStatus();

private:
    void Push(int id);                         // a message to the loop, if it runs
    void SetQueueReady(struct mqueue *queue);  // the loop's queue, or none
    void Run();
    bool SetUp(std::string &why);
    void TearDown();
    void ResolveAllowed();
    void FetchPassword();
    void Register();
    void RegistrationFailed(const std::string &reason);
    void SetRegistration(RegistrationState state, const std::string &reason);
    void Drain();
    void Execute(const LineCommand &command);
    SipCall *Find(FarCallId call);
    int FreeSlot() const;
    // A call taking `slot` under `id`, the engine's side of the slot told
    // (the caller puts it in calls_); the slot free again, both sides.
    std::unique_ptr<SipCall> ClaimSlot(size_t slot, FarCallId id);
    void ReleaseSlot(size_t slot);
    void Reap();
    void BeginStop();
    void StartTicking();

    static void OnWake(int id, void *data, void *arg);
    static bool OnRequest(const struct sip_msg *msg, void *arg);
    static void OnIncoming(const struct sip_msg *msg, void *arg);
    static void OnRegisterResponse(int err, const struct sip_msg *msg, void *arg);
    static void OnRegisterRetry(void *arg);
    static void OnTick(void *arg);
    static void OnReap(void *arg);
    static void OnStopDeadline(void *arg);

    LineConfig config_;
    std::string passwordPath_;
    LineBridge &bridge_;
    LineTimings timings_;
    std::thread thread_;
    std::atomic<bool> running_{false};        // the thread was started and not joined
    std::atomic<bool> stopRequested_{false};  // the owner asked the thread to end
    // The message queue while the loop runs. Held while a message is pushed,
    // so that the queue is not freed under a push from another thread.
    std::mutex queueLock_;
    struct mqueue *queueReady_ = nullptr;

    // The SIP thread's own.
    struct dnsc *dnsc_ = nullptr;
    struct sip *sip_ = nullptr;
    struct sip_lsnr *filter_ = nullptr;  // the first listener: refuses strangers, answers OPTIONS and CANCEL
    struct sipsess_sock *sock_ = nullptr;
    struct sipreg *reg_ = nullptr;
    struct mqueue *queue_ = nullptr;
    struct tmr tick_ {};           // 20 ms while calls are up: digits, timeouts, statistics
    struct tmr registerRetry_ {};  // the next REGISTER after a failure
    struct tmr reap_ {};           // ended calls are freed outside libre's handlers
    struct tmr stopDeadline_ {};   // how long a stop lets the stack finish
    struct sa mediaAddress_ {};
    std::string route_;
    std::array<std::unique_ptr<SipCall>, kCallSlots> calls_;
    AllowedSources allowed_;
    RegistrationBackoff backoff_;
    RegistrationState registration_ = RegistrationState::None;
    SecretText password_;
    uint32_t nextIncoming_ = 2;  // incoming calls get even ids, the engine's dialled ones odd
    uint64_t retryInMs_ = 0;     // the wait before the next REGISTER
    uint64_t ticks_ = 0;         // ticks so far, for the status's pace
    bool stopping_ = false;
};

}  // namespace tvxsim::sip
