// Detection latency: how long after a signal starts the adapter reports it.
//   offline: the model's own latency (simulated time, exact), over many start
//            offsets against the 20 ms blocks: a far-end DTMF digit (event
//            48) and the tool's monitored tones (229: a DTMF row of 250 ms and
//            the 825 Hz row of 37.5 ms)
//   library: the same through the C interface in real time, from the moment
//            the tone starts (ScOpen + its scenario time) to the callback
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "device/tvxusb.h"
#include "simulator/engine/Engine.h"
#include "simulator/logic/EventNames.h"
#include "simulator/logic/Scenario.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Stats {
    double min = 1e9, max = 0, sum = 0;
    int n = 0;
    void Add(double v)
    {
        min = std::min(min, v);
        max = std::max(max, v);
        sum += v;
        ++n;
    }
    void Print(const char *what) const
    {
        std::printf("%-44s min %6.1f ms  mean %6.1f ms  max %6.1f ms  (%d runs)\n", what, min, sum / n, max, n);
    }
};

// The far end's signal starts at `startMs`; returns the time of the first
// event with `code` (and row, for 229) after it, -1 if none.
double OfflineLatency(const std::string &signal, double startMs, int32_t code, int32_t row)
{
    tvxsim::DeviceState state;
    tvxsim::Engine engine(state);
    engine.Load(tvxsim::ParseScenario("0 far ring\n100 phone offhook\n" + signal));
    engine.MonitorTones({{770, 1336, 2000}, {825, 0, 300}});
    while (engine.Now() < tvxsim::MsToSamples(static_cast<int64_t>(startMs) + 2000)) {
        engine.Step();
        for (const tvxsim::EngineEvent &e : engine.TakeEvents())
            if (e.code == code && (row < 0 || e.toneRow == row))
                return static_cast<double>(e.time) / tvxsim::kSamplesPerMs - startMs;
    }
    return -1;
}

struct Seen {
    std::atomic<int64_t> dtmfUs{-1};
    std::atomic<int64_t> toneUs{-1};
    Clock::time_point opened;
};

int32_t OnEvent(int32_t event, int32_t, void *context, const void *payload, int32_t, int32_t)
{
    auto *seen = static_cast<Seen *>(context);
    const int64_t us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - seen->opened).count();
    if (event == tvxsim::kEvDtmfDetected && seen->dtmfUs < 0)
        seen->dtmfUs = us;
    if (event == TVX_EVENT_TONE_MONITORED && payload != nullptr && seen->toneUs < 0)
        seen->toneUs = us;
    return 0;
}

}  // namespace

int main()
{
    Stats dtmf, dtmfRow, shortRow;
    for (int offset = 0; offset < 20; ++offset) {
        const double start = 1000 + offset;
        const std::string at = std::to_string(static_cast<int>(start));
        dtmf.Add(OfflineLatency(at + " far dtmf \"5\" 300 0\n", start, tvxsim::kEvDtmfDetected, -1));
        dtmfRow.Add(OfflineLatency(at + " far dtmf \"5\" 300 0\n", start, tvxsim::kEvToneMonitored, 0));
        shortRow.Add(OfflineLatency(at + " far tone 825 0 -15 60 0 60\n", start, tvxsim::kEvToneMonitored, 1));
    }
    std::printf("offline (the model)\n");
    dtmf.Print("  DTMF digit (event 48)");
    dtmfRow.Print("  monitored DTMF row of 250 ms (event 229)");
    shortRow.Print("  monitored 825 Hz row of 37.5 ms (event 229)");

    const std::string path = "/tmp/bench_latency_" + std::to_string(::getpid()) + ".scn";
    std::ofstream(path) << "0 far ring\n100 phone offhook\n1000 far dtmf \"5\" 300 0\n";
    setenv("TVXUSB_SCENARIO", path.c_str(), 1);
    static const ToneMonitorEntry rows[1] = {{0, "5", 2000, 770, 1336, 0}};
    Stats libDtmf, libRow;
    for (int run = 0; run < 5; ++run) {
        Seen seen;
        if (ScInitialize(&OnEvent, &seen, 0, 0, 0, 0, 17, nullptr, nullptr) != 0)
            return 1;
        ScMonitorTones(1, rows, 1);
        seen.opened = Clock::now();
        if (ScOpen(0, 0) != 0)
            return 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(1600));
        ScClose(0);
        ScShutdown(0);
        libDtmf.Add(seen.dtmfUs / 1000.0 - 1000);
        libRow.Add(seen.toneUs / 1000.0 - 1000);
    }
    std::remove(path.c_str());
    std::printf("library (real time, to the callback)\n");
    libDtmf.Print("  DTMF digit (event 48)");
    libRow.Print("  monitored DTMF row of 250 ms (event 229)");
    return 0;
}
