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
#include <benchmark/benchmark.h>

#include "simulator/engine/Engine.h"
#include "simulator/logic/Scenario.h"
#include "simulator/logic/ToolTones.h"
#include "tests/simulator/CidRecordSample.h"

namespace {

constexpr int64_t kSimulatedMs = 60000;

// An incoming call answered at 1 s: for the rest of the minute the far end
// talks and sends DTMF, the user talks back, and every 2 s a dial code waits
// for the answer (so the dialler's listener runs too).
std::string BusyCall()
{
    std::string s = "0 far ring\n1000 phone offhook\n1200 far speech 60000 -20\n1200 phone speech 60000 -25\n";
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

void BM_BusyCall(benchmark::State &state) { Run(state, BusyCall(), Extra::Listen); }
void BM_CallerId(benchmark::State &state) { Run(state, CallerIdCalls(), Extra::Generate); }
void BM_Idle(benchmark::State &state) { Run(state, "", Extra::None); }

}  // namespace

BENCHMARK(BM_BusyCall)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_CallerId)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_Idle)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

BENCHMARK_MAIN();
