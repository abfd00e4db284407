// Latency through the desktop's sound server, against a real, private
// PipeWire that the benchmark starts (tests/support/pipewire-session.sh), in
// "Line - Audio Stream" (mode 90):
//   PC out -> line transmit: a 10 ms burst played into the
//       "Parlino USB (simulated)" sink by a playback stream of this program,
//       from the moment its buffer is handed to the server to where the
//       model's line transmit (TVXUSB_RECORD's line-tx.wav) holds it;
//   line receive -> PC in: a noise burst the scenario puts on the line at a
//       known model time, to the moment a capture stream of this program
//       recording from the source receives it.
// The model's time 0 is when ScOpen started its clock (taken around the call;
// the call's own length is printed as the uncertainty). Bursts come every
// 500 ms for a while, so that a latency that grows with the clocks' drift
// shows between the first and the last.
//   bench_audio_latency [SECONDS]   (default 12)
#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/tvxusb.h"
#include "tests/support/PipeWireSession.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 8000;
constexpr int kFirstMs = 2000;      // the first burst, after the nodes are up
constexpr int kEveryMs = 500;       // between bursts of one direction
constexpr int kPlayOffsetMs = 250;  // PC-out bursts fall between the line's
constexpr int kBurstMs = 10;
constexpr int kThreshold = 2000;  // a burst's samples are far above it, silence is 0

double MsSince(Clock::time_point origin, Clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(t - origin).count();
}

int32_t Callback(int32_t, int32_t, void *, const void *, int32_t, int32_t) { return 0; }

// One stream of this program on the server: plays bursts or records, on the
// server's data thread.
struct Stream {
    pw_stream *stream = nullptr;
    spa_hook listener{};
    bool playing = false;
    Clock::time_point origin;  // the model's time 0
    // playing: the bursts still to play (ms after origin), and when each was handed over
    std::vector<double> due;
    size_t next = 0;
    int burstLeft = 0;
    double phase = 0;
    std::vector<double> handed;
    // recording: when each onset arrived, as the model's time of its first sample
    bool inBurst = false;
    int quiet = 0;
    std::vector<double> arrived;
    std::mutex mutex;
};

void OnProcess(void *data)
{
    Stream &s = *static_cast<Stream *>(data);
    pw_buffer *b = pw_stream_dequeue_buffer(s.stream);
    if (b == nullptr)
        return;
    const Clock::time_point now = Clock::now();
    spa_data &d = b->buffer->datas[0];
    if (d.data != nullptr) {
        auto *samples = static_cast<int16_t *>(d.data);
        std::lock_guard lock(s.mutex);
        if (s.playing) {
            const size_t n = std::min<size_t>(b->requested != 0 ? b->requested : 80, d.maxsize / 2);
            for (size_t i = 0; i < n; ++i) {
                if (s.burstLeft == 0 && s.next < s.due.size() && MsSince(s.origin, now) >= s.due[s.next]) {
                    s.burstLeft = kBurstMs * kRate / 1000;
                    // the sample leaves with this buffer, i samples after its start
                    s.handed.push_back(MsSince(s.origin, now) + 1000.0 * static_cast<double>(i) / kRate);
                    ++s.next;
                }
                samples[i] = 0;
                if (s.burstLeft > 0) {
                    --s.burstLeft;
                    s.phase += 2 * 3.14159265358979 * 1000 / kRate;
                    samples[i] = static_cast<int16_t>(12000 * std::sin(s.phase));
                }
            }
            d.chunk->offset = 0;
            d.chunk->stride = 2;
            d.chunk->size = static_cast<uint32_t>(n * 2);
        } else {
            const uint32_t offset = std::min(d.chunk->offset, d.maxsize);
            const size_t n = std::min(d.chunk->size, d.maxsize - offset) / 2;
            const int16_t *in = samples + offset / 2;
            for (size_t i = 0; i < n; ++i) {
                const bool loud = std::abs(in[i]) > kThreshold;
                if (loud && !s.inBurst) {
                    // this sample is the buffer's (n - i)th from its end, which arrived now
                    s.arrived.push_back(MsSince(s.origin, now) - 1000.0 * static_cast<double>(n - i) / kRate);
                    s.inBurst = true;
                }
                s.quiet = loud ? 0 : s.quiet + 1;
                if (s.quiet > kRate / 20)
                    s.inBurst = false;
            }
        }
    }
    pw_stream_queue_buffer(s.stream, b);
}

bool Connect(pw_thread_loop *loop, pw_core *core, Stream &s, const char *target, bool playing)
{
    static const pw_stream_events events = [] {
        pw_stream_events e{};
        e.version = PW_VERSION_STREAM_EVENTS;
        e.process = &OnProcess;
        return e;
    }();
    pw_thread_loop_lock(loop);
    s.playing = playing;
    s.stream = pw_stream_new(core,
                             playing ? "bench-play" : "bench-record",
                             pw_properties_new(PW_KEY_MEDIA_TYPE,
                                               "Audio",
                                               PW_KEY_MEDIA_CATEGORY,
                                               playing ? "Playback" : "Capture",
                                               PW_KEY_TARGET_OBJECT,
                                               target,
                                               PW_KEY_NODE_LATENCY,
                                               "80/8000",
                                               nullptr));
    pw_stream_add_listener(s.stream, &s.listener, &events, &s);
    uint8_t buffer[1024];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(buffer, sizeof buffer);
    spa_audio_info_raw info{};
    info.format = SPA_AUDIO_FORMAT_S16;
    info.channels = 1;
    info.rate = kRate;
    info.position[0] = SPA_AUDIO_CHANNEL_MONO;
    const spa_pod *params[1] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
    const int rc =
        pw_stream_connect(s.stream,
                          playing ? PW_DIRECTION_OUTPUT : PW_DIRECTION_INPUT,
                          PW_ID_ANY,
                          static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS |
                                                       PW_STREAM_FLAG_RT_PROCESS),
                          params,
                          1);
    pw_thread_loop_unlock(loop);
    return rc >= 0;
}

// Onsets in a recorded WAV (44-byte header, as the library writes it), in ms.
std::vector<double> Onsets(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<double> onsets;
    bool inBurst = false;
    int quiet = 0;
    for (size_t at = 44, i = 0; at + 2 <= bytes.size(); at += 2, ++i) {
        int16_t x;
        std::memcpy(&x, bytes.data() + at, 2);
        const bool loud = std::abs(x) > kThreshold;
        if (loud && !inBurst) {
            onsets.push_back(1000.0 * static_cast<double>(i) / kRate);
            inBurst = true;
        }
        quiet = loud ? 0 : quiet + 1;
        if (quiet > kRate / 20)
            inBurst = false;
    }
    return onsets;
}

// Pairs each cause with the first effect after it; prints the latencies.
void Report(const char *what, const std::vector<double> &causes, const std::vector<double> &effects)
{
    std::vector<double> latencies;
    for (double c : causes) {
        const auto it = std::lower_bound(effects.begin(), effects.end(), c);
        if (it != effects.end() && *it - c < kEveryMs / 2.0)
            latencies.push_back(*it - c);
        else if (std::getenv("BENCH_VERBOSE") != nullptr)
            std::printf("  %s burst at %.1f ms: not found\n", what, c);
    }
    if (latencies.empty()) {
        std::printf("%-30s none of %zu bursts arrived\n", what, causes.size());
        return;
    }
    std::vector<double> sorted = latencies;
    std::sort(sorted.begin(), sorted.end());
    std::printf("%-30s min %5.1f  median %5.1f  max %5.1f ms; first %5.1f, last %5.1f ms (%zu of %zu bursts)\n",
                what,
                sorted.front(),
                sorted[sorted.size() / 2],
                sorted.back(),
                latencies.front(),
                latencies.back(),
                latencies.size(),
                causes.size());
}

}  // namespace

int main(int argc, char **argv)
{
    const int seconds = argc > 1 ? std::max(4, std::atoi(argv[1])) : 12;
    tvxtest::PipeWireSession server;
    if (!server.Start()) {
        std::fprintf(stderr, "bench_audio_latency: the private sound server did not start\n");
        return 1;
    }
    const std::string folder = server.Folder() + "/record";
    std::system(("mkdir -p '" + folder + "'").c_str());
    std::string scenario = "0 adapter command 90\n";
    std::vector<double> lineBursts, playBursts;
    for (int t = kFirstMs; t + kEveryMs <= seconds * 1000; t += kEveryMs) {
        scenario += std::to_string(t) + " line noise " + std::to_string(kBurstMs) + " -6\n";
        lineBursts.push_back(t);
        playBursts.push_back(t + kPlayOffsetMs);
    }
    const std::string scenarioPath = server.Folder() + "/latency.scn";
    std::ofstream(scenarioPath) << scenario;
    setenv("TVXUSB_SCENARIO", scenarioPath.c_str(), 1);
    setenv("TVXUSB_RECORD", folder.c_str(), 1);
    unsetenv("TVXUSB_AUDIO");

    int32_t version = 0;
    if (ScInitialize(&Callback, nullptr, 0, 0, 0, 0, 0, &version, nullptr) != 0)
        return 1;
    // A first open and close sets up the library's sound-server thread, so
    // that the measured open is as short as every later one.
    if (ScOpen(0, 0) != 0 || ScClose(0) != 0)
        return 1;
    const Clock::time_point before = Clock::now();
    if (ScOpen(0, 0) != 0)
        return 1;
    const Clock::time_point after = Clock::now();
    const Clock::time_point origin = before + (after - before) / 2;
    if (!tvxtest::PipeWireSession::WaitForNodes({"parlino-usb-sim.source", "parlino-usb-sim.sink"}, true)) {
        std::fprintf(stderr, "bench_audio_latency: the nodes did not appear\n");
        return 1;
    }

    pw_init(nullptr, nullptr);
    pw_thread_loop *loop = pw_thread_loop_new("bench", nullptr);
    pw_context *context = pw_context_new(pw_thread_loop_get_loop(loop), nullptr, 0);
    pw_thread_loop_start(loop);
    pw_thread_loop_lock(loop);
    pw_core *core = pw_context_connect(context, nullptr, 0);
    pw_thread_loop_unlock(loop);
    if (core == nullptr) {
        std::fprintf(stderr, "bench_audio_latency: cannot reach the private server\n");
        return 1;
    }
    Stream play, record;
    play.origin = record.origin = origin;
    play.due = playBursts;
    if (!Connect(loop, core, play, "parlino-usb-sim.sink", true) ||
        !Connect(loop, core, record, "parlino-usb-sim.source", false))
        return 1;

    std::this_thread::sleep_until(origin + std::chrono::seconds(seconds) + std::chrono::milliseconds(300));
    pw_thread_loop_lock(loop);
    pw_stream_destroy(play.stream);
    pw_stream_destroy(record.stream);
    pw_core_disconnect(core);
    pw_thread_loop_unlock(loop);
    pw_thread_loop_stop(loop);
    pw_context_destroy(context);
    pw_thread_loop_destroy(loop);
    ScClose(0);
    ScShutdown(0);

    std::printf("model's time 0 known to +-%.1f ms (ScOpen's length / 2)\n", MsSince(before, after) / 2);
    Report("PC out -> line transmit:", play.handed, Onsets(folder + "/line-tx.wav"));
    Report("line receive -> PC in:", lineBursts, record.arrived);
    server.Stop();
    return 0;
}
