// The sound-server door on PipeWire (libpipewire-0.3). Everything that
// touches the server runs on one thread of its own, the audio thread, from
// pw_init on: the other threads only record what they want under a small
// mutex and write to an eventfd that the thread's loop watches, so that
// neither the device's open nor any other caller waits for the library's
// start-up, its plugins or a server that is slow or absent. The thread
// waits kStartMs before it starts: loading the library's plugins and
// configuration and connecting would otherwise take a share of the two
// cores of a small machine, and of its dynamic loader, from the window
// being built and drawn beside it. Each node is a pw_stream of 8 kHz mono
// S16: the published ones carry a media class and wait for programs to link
// to them; the switches' streams follow the default speakers and
// microphone.
#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <pthread.h>
#include <system_error>
#include <thread>

#include "simulator/audio/SoundServer.h"
#include "simulator/engine/Audio.h"

namespace tvxsim {
namespace {

enum class Flow : uint8_t {
    ToServer,    // the model's audio, played to the server
    FromServer,  // the server's audio, taken into the model
};

struct NodeRow {
    const char *name;         // node.name: what programs pick it by (pw-record --target NAME)
    const char *description;  // node.description: what people see
    const char *mediaClass;   // media.class of a published node; nullptr: a stream that follows the defaults
    const char *category;     // media.category
    Flow flow;
    uint8_t lane;  // an OutLane (to the server) or a FeedPoint (from it)
    int8_t with;   // the SoundSwitch that brings the node; -1: always there
};

constexpr int8_t kAlways = -1;
constexpr int8_t SwitchIndex(SoundSwitch s) { return static_cast<int8_t>(s); }
constexpr uint8_t LaneIndex(OutLane l) { return static_cast<uint8_t>(l); }
constexpr uint8_t LaneIndex(FeedPoint l) { return static_cast<uint8_t>(l); }

constexpr NodeRow kNodes[] = {
    {"parlino-usb-sim.source",
     "Parlino USB (simulated)",
     "Audio/Source",
     "Capture",
     Flow::ToServer,
     LaneIndex(OutLane::PcIn),
     kAlways},
    {"parlino-usb-sim.sink",
     "Parlino USB (simulated)",
     "Audio/Sink",
     "Playback",
     Flow::FromServer,
     LaneIndex(FeedPoint::PcOut),
     kAlways},
    {"parlino-handset-sim.source",
     "Parlino handset (simulated)",
     "Audio/Source",
     "Capture",
     Flow::ToServer,
     LaneIndex(OutLane::Earpiece),
     kAlways},
    {"parlino-handset-sim.sink",
     "Parlino handset (simulated)",
     "Audio/Sink",
     "Playback",
     Flow::FromServer,
     LaneIndex(FeedPoint::Mic),
     kAlways},
    {"parlino-handset-sim.listen",
     "Parlino handset earpiece (listening)",
     nullptr,
     "Playback",
     Flow::ToServer,
     LaneIndex(OutLane::Listen),
     SwitchIndex(SoundSwitch::Listen)},
    {"parlino-handset-sim.talk",
     "Parlino handset microphone (talking)",
     nullptr,
     "Capture",
     Flow::FromServer,
     LaneIndex(FeedPoint::Talk),
     SwitchIndex(SoundSwitch::Talk)},
    {"parlino-far-party.voice",
     "Parlino far party's voice",
     nullptr,
     "Capture",
     Flow::FromServer,
     LaneIndex(FeedPoint::FarVoice),
     SwitchIndex(SoundSwitch::BeFar)},
    {"parlino-far-party.hears",
     "Parlino far party hears the line",
     nullptr,
     "Playback",
     Flow::ToServer,
     LaneIndex(OutLane::LineTx),
     SwitchIndex(SoundSwitch::BeFar)},
};
constexpr size_t kNodeCount = std::size(kNodes);
constexpr size_t kPublished = 4;        // the first rows: always there
constexpr char kLatency[] = "80/8000";  // a 10 ms quantum: half the model's block, for a short slack

struct timespec Ms(int ms) { return {ms / 1000, static_cast<long>(ms % 1000) * 1000000L}; }

class PipeWireServer final : public SoundServer {
public:
    PipeWireServer();
    ~PipeWireServer() override;
    PipeWireServer(const PipeWireServer &) = delete;
    PipeWireServer &operator=(const PipeWireServer &) = delete;

    void Publish(std::shared_ptr<AudioBridge> bridge) override;
    void Withdraw() override;
    AudioNodes State() const override { return state_.load(); }
    bool SwitchOn(SoundSwitch which) const override { return switches_[static_cast<size_t>(which)].load(); }
    std::string SetSwitch(SoundSwitch which, bool on) override;

private:
    struct Node {
        PipeWireServer *owner = nullptr;
        const NodeRow *row = nullptr;
        pw_stream *stream = nullptr;
        AudioBridge *bridge = nullptr;  // read on the server's data thread; set before the stream connects
        spa_hook listener{};
        bool ready = false;  // connected to the graph (paused or streaming)
    };

    // What the other threads want, read by the loop.
    struct Wanted {
        std::shared_ptr<AudioBridge> bridge;  // null while closed
        uint64_t generation = 0;              // one more at every open and close
        bool stop = false;                    // the door goes: the loop ends
    };

    void Signal();
    // The audio thread from here on: its whole life, the loop's start and end.
    void Run();
    bool StartLoop();
    void StopLoop();
    void Sync();
    bool Connect();
    void Disconnect();
    void SyncNodes();
    void CreateNode(size_t i);
    void DestroyNode(size_t i);
    void UpdateState();
    void RetryIn(int ms);

    static void OnWake(void *data, int fd, uint32_t mask);
    static void OnRetry(void *data, uint64_t expirations);
    static void OnCoreError(void *data, uint32_t id, int seq, int res, const char *message);
    static void OnStreamState(void *data, pw_stream_state old, pw_stream_state state, const char *error);
    static void OnProcess(void *data);

    std::mutex mutex_;                  // guards wanted_ and failed_
    std::condition_variable stopping_;  // wanted_.stop set
    Wanted wanted_;
    bool failed_ = false;  // the audio thread or its loop did not start
    std::array<std::atomic<bool>, kSoundSwitches> switches_{};
    std::atomic<AudioNodes> state_{AudioNodes::Unavailable};
    int wakeFd_ = -1;  // written by any thread, read by the loop
    std::thread thread_;

    pw_loop *loop_ = nullptr;
    bool running_ = false;
    spa_source *wake_ = nullptr;
    spa_source *retry_ = nullptr;
    pw_context *context_ = nullptr;
    pw_core *core_ = nullptr;
    spa_hook coreListener_{};
    std::shared_ptr<AudioBridge> bridge_;  // the open device's lanes, while published
    uint64_t generation_ = 0;              // of bridge_
    bool lost_ = false;                    // the server went away: disconnect at the next sync
    bool reported_ = false;                // "no sound server" said once for this open
    bool missed_ = false;                  // the server was missing or lost since the nodes were last up
    std::array<Node, kNodeCount> nodes_{};
};

PipeWireServer::PipeWireServer()
{
    for (size_t i = 0; i < kNodeCount; ++i) {
        nodes_[i].owner = this;
        nodes_[i].row = &kNodes[i];
    }
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ >= 0) {
        try {
            thread_ = std::thread([this] { Run(); });
            return;
        } catch (const std::system_error &) {
        }
    }
    failed_ = true;
}

PipeWireServer::~PipeWireServer()
{
    if (thread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            wanted_.stop = true;
        }
        stopping_.notify_all();
        Signal();
        thread_.join();
    }
    if (wakeFd_ >= 0)
        close(wakeFd_);
}

void PipeWireServer::Run()
{
    pthread_setname_np(pthread_self(), "tvxusb-audio");
    {
        std::unique_lock lock(mutex_);
        if (stopping_.wait_for(lock, std::chrono::milliseconds(kStartMs), [this] { return wanted_.stop; }))
            return;
    }
    if (!StartLoop()) {
        bool wanted = false;
        {
            std::lock_guard lock(mutex_);
            failed_ = true;
            wanted = wanted_.bridge != nullptr && !wanted_.stop;
        }
        if (wanted)
            std::fprintf(stderr, "tvxusb: no sound server: its thread did not start\n");
        StopLoop();
        return;
    }
    // What was asked for while the loop started is in wanted_, and the
    // eventfd is readable: the first iteration syncs.
    pw_loop_enter(loop_);
    running_ = true;
    while (running_)
        pw_loop_iterate(loop_, -1);
    pw_loop_leave(loop_);
    StopLoop();
}

bool PipeWireServer::StartLoop()
{
    pw_init(nullptr, nullptr);
    // The library speaks for itself (one line when there is no server);
    // PIPEWIRE_DEBUG still brings the server library's own messages.
    if (std::getenv("PIPEWIRE_DEBUG") == nullptr)
        pw_log_set_level(SPA_LOG_LEVEL_NONE);
    loop_ = pw_loop_new(nullptr);
    if (loop_ == nullptr)
        return false;
    wake_ = pw_loop_add_io(loop_, wakeFd_, SPA_IO_IN, false, &OnWake, this);
    retry_ = pw_loop_add_timer(loop_, &OnRetry, this);
    return wake_ != nullptr && retry_ != nullptr;
}

void PipeWireServer::StopLoop()
{
    for (size_t i = 0; i < kNodeCount; ++i)
        DestroyNode(i);
    Disconnect();
    if (context_ != nullptr)
        pw_context_destroy(context_);
    context_ = nullptr;
    if (loop_ != nullptr)
        pw_loop_destroy(loop_);  // with its sources
    loop_ = nullptr;
}

void PipeWireServer::Signal()
{
    if (wakeFd_ < 0)
        return;
    const uint64_t one = 1;
    // A full counter is already readable: the loop wakes either way.
    [[maybe_unused]] const ssize_t written = write(wakeFd_, &one, sizeof one);
}

void PipeWireServer::Publish(std::shared_ptr<AudioBridge> bridge)
{
    bool failed = false;
    {
        std::lock_guard lock(mutex_);
        wanted_.bridge = std::move(bridge);
        ++wanted_.generation;
        for (std::atomic<bool> &s : switches_)
            s = false;
        // Said here, or by the audio thread if it fails after this.
        failed = failed_;
    }
    state_ = AudioNodes::Unavailable;
    if (failed) {
        std::fprintf(stderr, "tvxusb: no sound server: its thread did not start\n");
        return;
    }
    Signal();
}

void PipeWireServer::Withdraw()
{
    {
        std::lock_guard lock(mutex_);
        wanted_.bridge.reset();
        ++wanted_.generation;
        for (std::atomic<bool> &s : switches_)
            s = false;
    }
    state_ = AudioNodes::Unavailable;
    Signal();
}

std::string PipeWireServer::SetSwitch(SoundSwitch which, bool on)
{
    {
        std::lock_guard lock(mutex_);
        if (!wanted_.bridge)
            return "no device open";
    }
    // The user's choice, kept while the server is away: it takes effect when it is there.
    switches_[static_cast<size_t>(which)] = on;
    Signal();
    return {};
}

void PipeWireServer::OnWake(void *data, int fd, uint32_t)
{
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(fd, &count, sizeof count);
    static_cast<PipeWireServer *>(data)->Sync();
}

void PipeWireServer::OnRetry(void *data, uint64_t) { static_cast<PipeWireServer *>(data)->Sync(); }

void PipeWireServer::RetryIn(int ms)
{
    struct timespec value = Ms(ms);
    struct timespec none = {0, 0};
    pw_loop_update_timer(loop_, retry_, &value, &none, false);
}

void PipeWireServer::Sync()
{
    Wanted wanted;
    {
        std::lock_guard lock(mutex_);
        wanted = wanted_;
    }
    if (wanted.stop) {
        running_ = false;
        return;
    }
    if (wanted.generation != generation_) {
        // Opened or closed since: the nodes of the last device go.
        for (size_t i = 0; i < kNodeCount; ++i)
            DestroyNode(i);
        bridge_ = std::move(wanted.bridge);
        generation_ = wanted.generation;
        reported_ = false;
        missed_ = false;
    }
    if (!bridge_) {
        Disconnect();
        RetryIn(0);  // disarms
        lost_ = false;
        state_ = AudioNodes::Unavailable;
        return;
    }
    if (lost_) {
        for (size_t i = 0; i < kNodeCount; ++i)
            DestroyNode(i);
        Disconnect();
        lost_ = false;
    }
    if (core_ == nullptr && !Connect()) {
        state_ = AudioNodes::Unavailable;
        RetryIn(kRetryMs);
        return;
    }
    SyncNodes();
    UpdateState();
}

bool PipeWireServer::Connect()
{
    static const pw_core_events events = [] {
        pw_core_events e{};
        e.version = PW_VERSION_CORE_EVENTS;
        e.error = &PipeWireServer::OnCoreError;
        return e;
    }();
    if (context_ == nullptr) {
        context_ = pw_context_new(loop_, pw_properties_new(PW_KEY_CONFIG_NAME, "client.conf", nullptr), 0);
        if (context_ == nullptr) {
            if (!reported_)
                std::fprintf(stderr, "tvxusb: no sound server: %s\n", std::strerror(errno));
            reported_ = true;
            missed_ = true;
            return false;
        }
    }
    core_ = pw_context_connect(context_, pw_properties_new(PW_KEY_APP_NAME, "tvxusb", nullptr), 0);
    if (core_ == nullptr) {
        if (!reported_)
            std::fprintf(stderr, "tvxusb: no sound server: cannot connect to PipeWire (%s)\n", std::strerror(errno));
        reported_ = true;
        missed_ = true;
        return false;
    }
    pw_core_add_listener(core_, &coreListener_, &events, this);
    return true;
}

void PipeWireServer::Disconnect()
{
    for (size_t i = 0; i < kNodeCount; ++i)
        DestroyNode(i);
    if (core_ == nullptr)
        return;
    spa_hook_remove(&coreListener_);
    pw_core_disconnect(core_);
    core_ = nullptr;
}

void PipeWireServer::OnCoreError(void *data, uint32_t id, int, int res, const char *message)
{
    auto *self = static_cast<PipeWireServer *>(data);
    if (id != PW_ID_CORE || res != -EPIPE)
        return;  // a node's own trouble shows in its state
    if (self->state_.load() == AudioNodes::Published)
        std::fprintf(stderr,
                     "tvxusb: sound server lost (%s); retrying every %d s\n",
                     message != nullptr ? message : "connection closed",
                     kRetryMs / 1000);
    self->lost_ = true;
    self->reported_ = true;
    self->missed_ = true;
    self->state_ = AudioNodes::Unavailable;
    self->RetryIn(1);  // tear down outside the core's own callback
}

void PipeWireServer::SyncNodes()
{
    for (size_t i = 0; i < kNodeCount; ++i) {
        const int8_t with = kNodes[i].with;
        const bool want = with == kAlways || switches_[static_cast<size_t>(with)].load();
        if (want && nodes_[i].stream == nullptr)
            CreateNode(i);
        else if (!want && nodes_[i].stream != nullptr)
            DestroyNode(i);
    }
}

void PipeWireServer::CreateNode(size_t i)
{
    static const pw_stream_events events = [] {
        pw_stream_events e{};
        e.version = PW_VERSION_STREAM_EVENTS;
        e.state_changed = &PipeWireServer::OnStreamState;
        e.process = &PipeWireServer::OnProcess;
        return e;
    }();
    Node &node = nodes_[i];
    const NodeRow &row = *node.row;
    pw_properties *props = pw_properties_new(PW_KEY_MEDIA_TYPE,
                                             "Audio",
                                             PW_KEY_MEDIA_CATEGORY,
                                             row.category,
                                             PW_KEY_MEDIA_ROLE,
                                             "Communication",
                                             PW_KEY_NODE_NAME,
                                             row.name,
                                             PW_KEY_NODE_DESCRIPTION,
                                             row.description,
                                             PW_KEY_NODE_LATENCY,
                                             kLatency,
                                             PW_KEY_NODE_WANT_DRIVER,
                                             "true",
                                             nullptr);
    if (row.mediaClass != nullptr) {
        pw_properties_set(props, PW_KEY_MEDIA_CLASS, row.mediaClass);
        // Never the desktop's default device: every real one comes first.
        pw_properties_set(props, PW_KEY_PRIORITY_SESSION, "0");
        pw_properties_set(props, PW_KEY_PRIORITY_DRIVER, "0");
    }
    node.stream = pw_stream_new(core_, row.name, props);
    if (node.stream == nullptr)
        return;
    node.ready = false;
    node.bridge = bridge_.get();
    pw_stream_add_listener(node.stream, &node.listener, &events, &node);

    std::array<uint8_t, 1024> buffer;
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(buffer.data(), static_cast<uint32_t>(buffer.size()));
    spa_audio_info_raw info{};
    info.format = SPA_AUDIO_FORMAT_S16;
    info.channels = 1;
    info.rate = kSampleRate;
    info.position[0] = SPA_AUDIO_CHANNEL_MONO;
    const spa_pod *params[1] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
    // The lanes' rings need no lock: process runs on the server's data thread, at once in its cycle.
    uint32_t flags = PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS;
    if (row.mediaClass == nullptr)
        flags |= PW_STREAM_FLAG_AUTOCONNECT;
    const spa_direction direction = row.flow == Flow::ToServer ? SPA_DIRECTION_OUTPUT : SPA_DIRECTION_INPUT;
    if (pw_stream_connect(node.stream, direction, PW_ID_ANY, static_cast<pw_stream_flags>(flags), params, 1) < 0)
        DestroyNode(i);
}

void PipeWireServer::DestroyNode(size_t i)
{
    Node &node = nodes_[i];
    if (node.stream == nullptr)
        return;
    spa_hook_remove(&node.listener);
    pw_stream_destroy(node.stream);
    node.stream = nullptr;
    node.ready = false;
}

void PipeWireServer::UpdateState()
{
    bool all = core_ != nullptr;
    for (size_t i = 0; i < kPublished; ++i)
        all = all && nodes_[i].ready;
    state_ = all ? AudioNodes::Published : AudioNodes::Unavailable;
    if (all && missed_) {
        // One line when the server is there again, with what the switches bring back.
        std::string on;
        for (size_t i = 0; i < kSoundSwitches; ++i)
            if (switches_[i].load())
                on += std::string(on.empty() ? "; " : ", ") + SoundSwitchName(static_cast<SoundSwitch>(i)) + " on";
        std::fprintf(stderr, "tvxusb: sound server back: the nodes are published again%s\n", on.c_str());
        missed_ = false;
    }
}

void PipeWireServer::OnStreamState(void *data, pw_stream_state, pw_stream_state state, const char *error)
{
    Node &node = *static_cast<Node *>(data);
    PipeWireServer &self = *node.owner;
    node.ready = state == PW_STREAM_STATE_PAUSED || state == PW_STREAM_STATE_STREAMING;
    if (state == PW_STREAM_STATE_ERROR) {
        std::fprintf(stderr, "tvxusb: sound server: node %s: %s\n", node.row->name, error != nullptr ? error : "error");
        self.lost_ = true;  // start again from a fresh connection
        self.RetryIn(kRetryMs);
    }
    self.UpdateState();
}

void PipeWireServer::OnProcess(void *data)
{
    Node &node = *static_cast<Node *>(data);
    AudioBridge *bridge = node.bridge;
    pw_buffer *b = pw_stream_dequeue_buffer(node.stream);
    if (b == nullptr)
        return;
    spa_data &d = b->buffer->datas[0];
    if (d.data != nullptr && bridge) {
        auto *bytes = static_cast<uint8_t *>(d.data);
        if (node.row->flow == Flow::ToServer) {
            const size_t room = d.maxsize / sizeof(int16_t);
            const size_t want = std::min<size_t>(b->requested != 0 ? b->requested : kBlockSamples, room);
            bridge->Take(static_cast<OutLane>(node.row->lane),
                         std::span<int16_t>(reinterpret_cast<int16_t *>(bytes), want));
            d.chunk->offset = 0;
            d.chunk->stride = sizeof(int16_t);
            d.chunk->size = static_cast<uint32_t>(want * sizeof(int16_t));
        } else {
            const uint32_t offset = std::min(d.chunk->offset, d.maxsize);
            const uint32_t size = std::min(d.chunk->size, d.maxsize - offset);
            bridge->Give(
                static_cast<FeedPoint>(node.row->lane),
                std::span<const int16_t>(reinterpret_cast<const int16_t *>(bytes + offset), size / sizeof(int16_t)));
        }
    }
    pw_stream_queue_buffer(node.stream, b);
}

}  // namespace

std::unique_ptr<SoundServer> MakeSoundServer() { return std::make_unique<PipeWireServer>(); }

}  // namespace tvxsim
