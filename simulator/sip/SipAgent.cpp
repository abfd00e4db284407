#include "simulator/sip/SipAgent.h"

#include <netdb.h>
#include <pthread.h>
#include <sys/socket.h>

#include <chrono>
#include <cstdio>
#include <mutex>

// libre's own messages: the module is named, nothing of ours is printed through them.
#define DEBUG_MODULE "tvxusb"
#define DEBUG_LEVEL 0
#include <re_dbg.h>

#include "simulator/sip/ReText.h"
#include "simulator/sip/SipCall.h"
#include "simulator/sip/logic/CallOutcome.h"
#include "simulator/sip/logic/MediaNegotiation.h"

namespace tvxsim::sip {

namespace {

constexpr int kStopMessage = 1;
constexpr uint64_t kTickMs = 20;
constexpr uint64_t kStopGraceMs = 200;  // how long the stack may send its BYEs and CANCELs at a stop
constexpr int kKeyringTimeoutMs = 1500;
constexpr int kStatusEveryTicks = 10;

void Say(const std::string &line) { std::fprintf(stderr, "tvxusb: SIP line: %s\n", line.c_str()); }

}  // namespace

SipAgent::SipAgent(LineConfig config, std::string passwordPath, LineBridge &bridge, LineTimings timings)
    : config_(std::move(config)), passwordPath_(std::move(passwordPath)), bridge_(bridge), timings_(timings)
{
}

SipAgent::~SipAgent() { Stop(); }

void SipAgent::Start()
{
    if (running_.exchange(true))
        return;
    thread_ = std::thread([this] { Run(); });
}

void SipAgent::Stop()
{
    if (!running_.exchange(false))
        return;
    LineCommand stop;
    stop.kind = CommandKind::Stop;
    // The ring may be full (a stuck thread): the flag below still ends it.
    (void)bridge_.commands.Push(stop);
    stopRequested_.store(true);
    Push(kStopMessage);
    thread_.join();
}

void SipAgent::Wake() { Push(0); }

void SipAgent::Push(int id)
{
    std::lock_guard<std::mutex> lock(queueLock_);
    if (queueReady_ != nullptr)
        (void)mqueue_push(queueReady_, id, nullptr);
}

void SipAgent::SetQueueReady(struct mqueue *queue)
{
    std::lock_guard<std::mutex> lock(queueLock_);
    queueReady_ = queue;
}

void SipAgent::Run()
{
    pthread_setname_np(pthread_self(), "tvxusb-sip");
    static std::once_flag once;
    std::call_once(once, [] {
        (void)libre_init();
        dbg_init(DBG_CRIT, DBG_NONE);  // the line says what matters itself, once
    });
    (void)re_thread_init();
    std::string why;
    if (SetUp(why)) {
        SetQueueReady(queue_);
        bridge_.up.store(true);
        if (stopRequested_.load())
            BeginStop();
        (void)re_main(nullptr);
        bridge_.up.store(false);
        SetQueueReady(nullptr);
    } else {
        Say(why);
        std::lock_guard<std::mutex> lock(bridge_.statusLock);
        bridge_.status.farEnd = config_.account.Uri();
        bridge_.status.fault = why;
    }
    TearDown();
    (void)fd_setsize(0);
    re_thread_close();
}

bool SipAgent::SetUp(std::string &why)
{
    std::array<struct sa, 4> servers{};
    uint32_t count = static_cast<uint32_t>(servers.size());
    std::array<char, 128> domain{};
    if (dns_srv_get(domain.data(), domain.size(), servers.data(), &count) != 0)
        count = 0;
    int err = dnsc_alloc(&dnsc_, nullptr, servers.data(), count);
    if (err != 0) {
        why = "no DNS client: " + ErrorText(err);
        return false;
    }
    err = sip_alloc(&sip_, dnsc_, 32, 32, 32, "tvxusb", nullptr, nullptr);
    if (err != 0) {
        why = "no SIP stack: " + ErrorText(err);
        return false;
    }
    struct sa listen {};
    const std::string listenText = FormatHostPort(config_.listen);
    if (sa_set_str(&listen, config_.listen.host.c_str(), config_.listen.port.value_or(kDefaultSipPort)) != 0) {
        why = "cannot listen on " + listenText + ": not an address";
        return false;
    }
    err = sip_transp_add(sip_, SIP_TRANSP_UDP, &listen);
    if (err != 0) {
        why = "cannot listen on " + listenText + " (UDP): " + ErrorText(err);
        return false;
    }
    struct sa bound = listen;
    (void)sip_transp_laddr(sip_, &bound, SIP_TRANSP_UDP, &listen);
    // TCP on the same port (registrars and proxies that ask for it); UDP alone when it is taken.
    (void)sip_transp_add(sip_, SIP_TRANSP_TCP, &bound);

    mediaAddress_ = bound;
    if (sa_is_any(&mediaAddress_)) {
        struct sa source {};
        if (net_default_source_addr_get(sa_af(&mediaAddress_), &source) == 0)
            mediaAddress_ = source;
    }
    sa_set_port(&mediaAddress_, 0);

    // The first listener: before the sessions' own.
    err = sip_listen(&filter_, sip_, true, OnRequest, this);
    if (err == 0)
        err = sipsess_listen(&sock_, sip_, 32, OnIncoming, this);
    if (err == 0)
        err = mqueue_alloc(&queue_, OnWake, this);
    if (err != 0) {
        why = "cannot set up: " + ErrorText(err);
        return false;
    }
    tmr_init(&tick_);
    tmr_init(&registerRetry_);
    tmr_init(&reap_);
    tmr_init(&stopDeadline_);
    if (config_.proxy)
        route_ = config_.proxy->Uri();  // libre writes it as "Route: <...;lr>"

    ResolveAllowed();
    FetchPassword();
    {
        std::lock_guard<std::mutex> lock(bridge_.statusLock);
        bridge_.status.farEnd = config_.account.Uri();
        bridge_.status.listen = FormatHostPort(HostPort{AddressText(bound), sa_port(&bound)});
        bridge_.status.registration = config_.registrar ? RegistrationState::Registering : RegistrationState::None;
    }
    if (config_.registrar)
        Register();
    return true;
}

void SipAgent::TearDown()
{
    tmr_cancel(&tick_);
    tmr_cancel(&registerRetry_);
    tmr_cancel(&reap_);
    tmr_cancel(&stopDeadline_);
    for (size_t i = 0; i < calls_.size(); ++i)
        ReleaseSlot(i);
    reg_ = static_cast<struct sipreg *>(mem_deref(reg_));
    sock_ = static_cast<struct sipsess_sock *>(mem_deref(sock_));
    filter_ = static_cast<struct sip_lsnr *>(mem_deref(filter_));
    if (sip_ != nullptr)
        sip_close(sip_, true);
    sip_ = static_cast<struct sip *>(mem_deref(sip_));
    dnsc_ = static_cast<struct dnsc *>(mem_deref(dnsc_));
    queue_ = static_cast<struct mqueue *>(mem_deref(queue_));
    password_.Wipe();
}

void SipAgent::ResolveAllowed()
{
    std::vector<std::string> hosts;
    if (config_.registrar)
        hosts.push_back(config_.registrar->address.host);
    if (config_.proxy)
        hosts.push_back(config_.proxy->address.host);
    hosts.insert(hosts.end(), config_.peers.begin(), config_.peers.end());
    for (const std::string &host : hosts) {
        if (allowed_.Add(host))
            continue;
        struct addrinfo hints {};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_DGRAM;
        struct addrinfo *found = nullptr;
        const int gai = getaddrinfo(host.c_str(), nullptr, &hints, &found);
        if (gai != 0) {
            Say("cannot resolve " + host + ": " + gai_strerror(gai) + "; it may not call the line");
            continue;
        }
        for (struct addrinfo *a = found; a != nullptr; a = a->ai_next) {
            struct sa address {};
            if (sa_set_sa(&address, a->ai_addr) == 0)
                allowed_.Add(AddressText(address));
        }
        freeaddrinfo(found);
    }
}

void SipAgent::FetchPassword()
{
    std::string why;
    if (LookUpKeyring(config_.account.Uri(), kKeyringTimeoutMs, password_, why))
        return;
    if (passwordPath_.empty())
        return;
    if (!ReadPasswordFile(passwordPath_, password_, why))
        Say(passwordPath_ + ": " + why);
}

int SipAgent::Authenticate(char **user, char **password, const char *, void *arg)
{
    auto *agent = static_cast<SipAgent *>(arg);
    if (agent->password_.Empty())
        return EAUTH;
    int err = str_dup(user, agent->config_.account.user.c_str());
    if (err == 0)
        err = str_dup(password, agent->password_.CStr());
    return err;
}

void SipAgent::Register()
{
    const std::string registrar = config_.registrar->Uri();
    const std::string aor = config_.account.Uri();
    const char *routev[1] = {route_.c_str()};
    const uint32_t routec = route_.empty() ? 0 : 1;
    const int err = sipreg_register(&reg_,
                                    sip_,
                                    registrar.c_str(),
                                    aor.c_str(),
                                    nullptr,
                                    aor.c_str(),
                                    config_.expires,
                                    config_.account.user.c_str(),
                                    routev,
                                    routec,
                                    0,
                                    Authenticate,
                                    this,
                                    false,
                                    OnRegisterResponse,
                                    this,
                                    nullptr,
                                    nullptr);
    if (err != 0) {
        reg_ = nullptr;
        RegistrationFailed(ErrorText(err));
        return;
    }
    SetRegistration(RegistrationState::Registering, backoff_.LastReason());
}

void SipAgent::SetRegistration(RegistrationState state, const std::string &reason)
{
    registration_ = state;
    std::lock_guard<std::mutex> lock(bridge_.statusLock);
    bridge_.status.registration = state;
    bridge_.status.registrationReason = reason;
}

void SipAgent::RegistrationFailed(const std::string &reason)
{
    const bool news = registration_ != RegistrationState::Failed || reason != backoff_.LastReason();
    const int64_t waitMs = backoff_.Failed(reason);
    if (news)
        Say("registration with " + config_.registrar->Uri() + " failed: " + reason + "; trying again in " +
            std::to_string(waitMs / 1000) + " s");
    SetRegistration(RegistrationState::Failed, reason);
    // libre would retry on its own schedule: the registration goes (outside
    // its handler) and ours takes over.
    retryInMs_ = static_cast<uint64_t>(waitMs);
    tmr_start(&registerRetry_, 0, OnRegisterRetry, this);
}

void SipAgent::OnRegisterRetry(void *arg)
{
    auto *agent = static_cast<SipAgent *>(arg);
    if (agent->reg_ != nullptr) {
        agent->reg_ = static_cast<struct sipreg *>(mem_deref(agent->reg_));
        tmr_start(&agent->registerRetry_, agent->retryInMs_, OnRegisterRetry, agent);
        return;
    }
    if (!agent->stopping_)
        agent->Register();
}

void SipAgent::OnRegisterResponse(int err, const struct sip_msg *msg, void *arg)
{
    auto *agent = static_cast<SipAgent *>(arg);
    if (agent->stopping_)
        return;
    if (err != 0) {
        agent->RegistrationFailed(ErrorText(err));
        return;
    }
    if (msg == nullptr || msg->scode < 200)
        return;
    if (msg->scode < 300) {
        agent->backoff_.Succeeded();
        agent->SetRegistration(RegistrationState::Registered, {});
        return;
    }
    agent->RegistrationFailed(StatusLine(msg->scode, View(msg->reason)));
}

bool SipAgent::PushEvent(FarLineEvent event)
{
    if (bridge_.events.Push(std::move(event)))
        return true;
    bridge_.droppedEvents.fetch_add(1, std::memory_order_relaxed);
    return false;
}

int SipAgent::FreeSlot() const
{
    for (size_t i = 0; i < calls_.size(); ++i) {
        if (!calls_[i])
            return static_cast<int>(i);
    }
    return -1;
}

SipCall *SipAgent::Find(FarCallId call)
{
    for (auto &c : calls_) {
        if (c && c->Id() == call && !c->Ended())
            return c.get();
    }
    return nullptr;
}

bool SipAgent::OnRequest(const struct sip_msg *msg, void *arg)
{
    auto *agent = static_cast<SipAgent *>(arg);
    if (!agent->allowed_.Allows(AddressText(msg->src))) {
        if (pl_strcmp(&msg->met, "ACK") != 0)
            (void)sip_reply(agent->sip_, msg, 403, "Forbidden");
        return true;
    }
    if (pl_strcmp(&msg->met, "OPTIONS") == 0) {
        (void)sip_reply(agent->sip_, msg, 200, "OK");
        return true;
    }
    if (pl_strcmp(&msg->met, "CANCEL") == 0) {
        for (auto &call : agent->calls_) {
            if (call && call->CallState() == SipCall::State::Pending && call->IsAbout(msg)) {
                call->CancelPending(msg);
                return true;
            }
        }
        (void)sip_reply(agent->sip_, msg, 481, "Call/Transaction Does Not Exist");
        return true;
    }
    return false;
}

void SipAgent::OnIncoming(const struct sip_msg *msg, void *arg)
{
    auto *agent = static_cast<SipAgent *>(arg);
    if (agent->stopping_) {
        (void)sip_treply(nullptr, agent->sip_, msg, 503, "Service Unavailable");
        return;
    }
    for (auto &call : agent->calls_) {
        if (call && call->CallState() == SipCall::State::Pending && call->IsAbout(msg)) {
            call->RepeatTrying(msg);  // the INVITE again: still being decided
            return;
        }
    }
    const int slot = agent->FreeSlot();
    if (slot < 0 || agent->bridge_.events.Size() >= agent->bridge_.events.Capacity()) {
        (void)sip_treply(nullptr, agent->sip_, msg, 486, "Busy Here");
        return;
    }
    const FarCallId id = agent->nextIncoming_;
    agent->nextIncoming_ += 2;
    if (agent->nextIncoming_ == 0)
        agent->nextIncoming_ = 2;
    std::unique_ptr<SipCall> call = agent->ClaimSlot(static_cast<size_t>(slot), id);
    if (!call->Receive(msg)) {
        agent->ReleaseSlot(static_cast<size_t>(slot));
        return;
    }
    agent->calls_[static_cast<size_t>(slot)] = std::move(call);
    agent->StartTicking();
    agent->UpdateCallStatus();
}

void SipAgent::OnWake(int id, void *, void *arg)
{
    auto *agent = static_cast<SipAgent *>(arg);
    if (id == kStopMessage || agent->stopRequested_.load()) {
        agent->BeginStop();
        return;
    }
    agent->Drain();
}

void SipAgent::Drain()
{
    bridge_.wakePending.exchange(false, std::memory_order_acq_rel);
    LineCommand command;
    while (bridge_.commands.Pop(command)) {
        Execute(command);
        if (stopping_)
            return;
    }
    for (size_t i = 0; i < calls_.size(); ++i) {
        CallSlot &slot = bridge_.slots[i];
        TxFrame frame;
        while (slot.tx.Pop(frame)) {
            if (calls_[i] && frame.call == calls_[i]->Id())
                calls_[i]->Send(frame.frame);
        }
    }
}

void SipAgent::Execute(const LineCommand &command)
{
    if (command.kind == CommandKind::Stop) {
        BeginStop();
        return;
    }
    if (command.kind == CommandKind::Dial) {
        const int slot = FreeSlot();
        if (slot < 0) {
            FarLineEvent event;
            event.kind = FarLineEventKind::Failed;
            event.call = command.call;
            event.reason = "no free line";
            (void)PushEvent(std::move(event));
            return;
        }
        std::unique_ptr<SipCall> call = ClaimSlot(static_cast<size_t>(slot), command.call);
        SipCall *raw = call.get();
        calls_[static_cast<size_t>(slot)] = std::move(call);
        raw->Dial(command.number.data());
        StartTicking();
        UpdateCallStatus();
        return;
    }
    SipCall *call = Find(command.call);
    if (call == nullptr)
        return;
    switch (command.kind) {
    case CommandKind::Alert:
        call->Alert();
        break;
    case CommandKind::Answer:
        call->Answer();
        break;
    case CommandKind::Refuse:
        call->Refuse();
        break;
    case CommandKind::HangUp:
        call->HangUp();
        break;
    case CommandKind::Hold:
        call->Hold(command.held);
        break;
    case CommandKind::Flash:
        call->Flash();
        break;
    case CommandKind::Dial:
    case CommandKind::Stop:
        break;
    }
    UpdateCallStatus();
}

void SipAgent::StartTicking()
{
    if (!tmr_isrunning(&tick_))
        tmr_start(&tick_, kTickMs, OnTick, this);
}

void SipAgent::OnTick(void *arg)
{
    auto *agent = static_cast<SipAgent *>(arg);
    const int64_t now = NowUs();
    bool any = false;
    for (auto &call : agent->calls_) {
        if (call) {
            call->Tick(now);
            any = true;
        }
    }
    if (++agent->ticks_ % kStatusEveryTicks == 0)
        agent->UpdateCallStatus();
    if (any)
        tmr_start(&agent->tick_, kTickMs, OnTick, agent);
}

void SipAgent::CallFinished()
{
    if (!tmr_isrunning(&reap_))
        tmr_start(&reap_, 0, OnReap, this);
}

void SipAgent::OnReap(void *arg) { static_cast<SipAgent *>(arg)->Reap(); }

std::unique_ptr<SipCall> SipAgent::ClaimSlot(size_t slot, FarCallId id)
{
    CallSlot &shared = bridge_.slots[slot];
    shared.outOfBand.store(config_.dtmf != DtmfMethod::Inband);
    shared.call.store(id);
    return std::make_unique<SipCall>(*this, slot, id);
}

void SipAgent::ReleaseSlot(size_t slot)
{
    calls_[slot].reset();
    bridge_.slots[slot].call.store(0);
}

void SipAgent::Reap()
{
    for (size_t i = 0; i < calls_.size(); ++i) {
        if (calls_[i] && calls_[i]->Ended())
            ReleaseSlot(i);
    }
    UpdateCallStatus();
}

void SipAgent::UpdateCallStatus()
{
    // The call the line is in: connected and not held first, then any
    // connected, then one being set up.
    const SipCall *current = nullptr;
    int rank = 0;
    int count = 0;
    for (const auto &call : calls_) {
        if (!call || call->Ended())
            continue;
        ++count;
        const bool connected = call->CallState() == SipCall::State::Connected;
        const int r = connected && !call->Held() ? 3 : (connected ? 2 : 1);
        if (r > rank) {
            rank = r;
            current = call.get();
        }
    }
    struct rtcp_stats rtcp {};
    const bool haveRtcp = current != nullptr && const_cast<SipCall *>(current)->RtcpStats(rtcp);
    std::lock_guard<std::mutex> lock(bridge_.statusLock);
    LineStatus &s = bridge_.status;
    s.calls = count;
    s.peer = current != nullptr ? current->Peer() : std::string();
    s.codec = current != nullptr && current->Plan() ? std::string(LawName(current->Plan()->law)) : "";
    bridge_.currentCall = current != nullptr ? current->Id() : 0;
    if (current == nullptr) {
        s.packetsLost = 0;
        s.jitterMs = 0;
        s.playoutDelayMs = 0;
        s.playoutP95Ms = 0;
        s.playedFrames = 0;
        s.concealedFrames = 0;
        s.lateFrames = 0;
    }
    s.rtcpLost = haveRtcp ? rtcp.tx.lost : 0;
    s.rtcpJitterMs = haveRtcp ? rtcp.tx.jit / 1000.0 : 0;
    s.rttMs = haveRtcp ? rtcp.rtt / 1000.0 : 0;
}

void SipAgent::BeginStop()
{
    if (stopping_)
        return;
    stopping_ = true;
    bool busy = false;
    for (auto &call : calls_) {
        if (call) {
            call->HangUp();
            busy = true;
        }
    }
    // The sessions go now: BYE, CANCEL or 486 leave at once.
    for (size_t i = 0; i < calls_.size(); ++i)
        ReleaseSlot(i);
    tmr_cancel(&tick_);
    tmr_cancel(&registerRetry_);
    if (reg_ != nullptr) {
        busy = busy || registration_ == RegistrationState::Registered;
        reg_ = static_cast<struct sipreg *>(mem_deref(reg_));  // unregisters when registered
    }
    tmr_start(&stopDeadline_, busy ? kStopGraceMs : 0, OnStopDeadline, this);
}

void SipAgent::OnStopDeadline(void *) { re_cancel(); }

}  // namespace tvxsim::sip
