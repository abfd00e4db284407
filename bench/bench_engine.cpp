// The signal engine's speed offline, as a multiple of real time on one core
// (the "x_realtime" counter: simulated seconds per second of the process's
// CPU time, so that a busy shared machine does not skew it).
//   busy call: both sides and every detector at work, the far end talking and
//              sending DTMF, the user talking into the handset, the dialler
//              waiting for the answer, the tool's sixteen tones armed
//   caller ID: a call with ETSI caller ID every 2 s that the caller gives up
//              after 1.9 s, so the line's FSK receiver works a third of the
//              time, and the generator sends MDMF to the phone every 2 s,
//              which the handset's receiver reads
//   idle:      the device open, nothing on the line
//   call, call playing: an answered call, the far party silent or playing
//              a sound file for the whole minute (48 kHz stereo, resampled as
//              it plays, opened by the far play action as tvxsim opens it)
//   busy call playing: the busy call with the far party also playing that file
#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <string>
#include <unistd.h>

#include "simulator/engine/Engine.h"
#include "simulator/engine/ToneMonitor.h"
#include "simulator/logic/Scenario.h"
#include "simulator/media/PlayFile.h"
#include "tests/simulator/CidRecordSample.h"

namespace {

constexpr int64_t kSimulatedMs = 60000;

// A minute of 48 kHz stereo 16-bit WAV: 697 Hz in the first channel, 1209 Hz in the second.
// Written once per process, removed at exit.
struct PlayFile {
    std::string path = "/tmp/bench_engine_play_" + std::to_string(::getpid()) + ".wav";
    PlayFile()
    {
        constexpr int kRate = 48000;
        constexpr uint32_t kFrames = kRate * (kSimulatedMs / 1000);
        const auto le = [](std::ofstream &f, uint32_t v, int bytes) {
            for (int i = 0; i < bytes; ++i)
                f.put(static_cast<char>((v >> (8 * i)) & 0xFF));
        };
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        f.write("RIFF", 4);
        le(f, 36 + kFrames * 4, 4);
        f.write("WAVEfmt ", 8);
        for (const auto &[v, n] :
             {std::pair{16u, 4}, {1u, 2}, {2u, 2}, {uint32_t{kRate}, 4}, {kRate * 4u, 4}, {4u, 2}, {16u, 2}})
            le(f, v, n);
        f.write("data", 4);
        le(f, kFrames * 4, 4);
        for (uint32_t i = 0; i < kFrames; ++i) {
            const double t = static_cast<double>(i) / kRate;
            le(f, static_cast<uint16_t>(static_cast<int16_t>(6000 * std::sin(2 * std::numbers::pi * 697 * t))), 2);
            le(f, static_cast<uint16_t>(static_cast<int16_t>(6000 * std::sin(2 * std::numbers::pi * 1209 * t))), 2);
        }
    }
    ~PlayFile() { std::remove(path.c_str()); }
};

// "far play" of that file from 1.2 s, or nothing.
std::string FarPlay(bool playing)
{
    if (!playing)
        return "";
    static const PlayFile file;
    return "1200 far play \"" + file.path + "\" -6\n";
}

std::string Call(bool playing) { return "0 far ring\n1000 phone offhook\n" + FarPlay(playing); }

// An incoming call answered at 1 s: for the rest of the minute the far end
// talks and sends DTMF, the user talks back, and every 2 s a dial code waits
// for the answer (so the dialler's listener runs too).
std::string BusyCall(bool playing)
{
    std::string s =
        FarPlay(playing) + "0 far ring\n1000 phone offhook\n1200 far speech 60000 -20\n1200 phone speech 60000 -25\n";
    for (int t = 2000; t < kSimulatedMs; t += 3000)
        s += std::to_string(t) + " far dtmf \"5#\" 300 200\n";
    return s;
}

std::string CallerIdCalls()
{
    std::string s;
    for (int t = 0; t < kSimulatedMs; t += 2000)
        s += std::to_string(t) + " far call \"Ivor Kell\" \"7964710\" mdmf v23 etsi\n" + std::to_string(t + 1900) +
             " far hangup\n";
    return s;
}

CidGenRecord PhoneRecord()
{
    CidGenRecord r = simtest::MdmfRecord();
    r.sendFlags = 0x07;  // no ring first
    return r;
}

enum class Extra {
    None,
    Listen,
    Generate
};

void Run(benchmark::State &state, const std::string &scenarioText, Extra extra)
{
    const tvxsim::Scenario sc = tvxsim::ParseScenario(scenarioText);
    int64_t simulatedMs = 0;
    uint64_t events = 0;
    for (auto _ : state) {
        tvxsim::DeviceState device;
        tvxsim::Engine engine(device);
        engine.SetPlayOpener(tvxsim::OpenPlay);
        engine.Load(sc);
        engine.MonitorTones(tvxsim::ToolToneRows());
        for (int64_t ms = 0; ms < kSimulatedMs; ms += tvxsim::kBlockMs) {
            if (extra == Extra::Listen && ms > 1500 && ms % 2000 == 0)
                engine.DoCommand(140, 29);
            if (extra == Extra::Generate && ms % 2000 == 1000)
                engine.GenerateCallerId(PhoneRecord());
            engine.Step();
            events += engine.TakeEvents().size();
        }
        simulatedMs += kSimulatedMs;
    }
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(simulatedMs) / 1000.0, benchmark::Counter::kIsRate);
    state.counters["events"] = static_cast<double>(events) / static_cast<double>(state.iterations());
}

void BM_BusyCall(benchmark::State &state) { Run(state, BusyCall(false), Extra::Listen); }
void BM_CallerId(benchmark::State &state) { Run(state, CallerIdCalls(), Extra::Generate); }
void BM_Idle(benchmark::State &state) { Run(state, "", Extra::None); }
void BM_BusyCallPlaying(benchmark::State &state) { Run(state, BusyCall(true), Extra::Listen); }
void BM_Call(benchmark::State &state) { Run(state, Call(false), Extra::None); }
void BM_CallPlaying(benchmark::State &state) { Run(state, Call(true), Extra::None); }

}  // namespace

BENCHMARK(BM_BusyCall)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_CallerId)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_Idle)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_BusyCallPlaying)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_Call)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_CallPlaying)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

BENCHMARK_MAIN();
