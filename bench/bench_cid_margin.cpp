// The caller-ID demodulation margin: for each kind of message, the weakest
// level at which it still comes back exact (no noise), and the worst
// signal-to-noise ratio at which it comes back exact in every one of ten
// runs (the message at -13 dBm0, white noise across the band, each run
// meeting the noise at another moment). Reported as counters:
//   weakest_dBm0  the lowest level, in 1 dB steps from -20 dBm0 down
//   worst_snr_dB  the lowest ratio, in 1 dB steps from 30 dB down
// The kinds: on hook MDMF in Bell 202 and SDMF in V.23, call waiting MDMF
// in V.23 (after the CAS and the adapter's acknowledgement), and the
// generator's MDMF read by the phone (its level from signalLevel).
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "simulator/engine/Engine.h"
#include "simulator/logic/CallerIdMessage.h"
#include "simulator/logic/CidCheck.h"
#include "simulator/logic/EventNames.h"
#include "simulator/logic/Scenario.h"
#include "tests/simulator/CidRecordSample.h"

namespace {

enum class Kind {
    MdmfBell202,
    SdmfV23,
    CallWaitingV23,
    ToThePhone
};

constexpr int kRuns = 10;
constexpr int kSignalDbm0 = -13;

// The dialog's MDMF record without the ring, at `dbm0` (the inverse of the level scale).
CidGenRecord Record(float dbm0)
{
    CidGenRecord r = simtest::MdmfRecord();
    r.sendFlags = 0x07;
    r.signalLevel = static_cast<uint16_t>(std::lround(32766.0 * std::pow(10.0, (dbm0 - tvxsim::kCidTopDbm0) / 20.0)));
    return r;
}

// One message of the kind at `dbm0`, with noise at `noiseDbm0` from 0 ms
// (none below -100), the message `offsetMs` later than usual. True when it
// came back exact.
bool Exact(Kind kind, int dbm0, int noiseDbm0, int offsetMs)
{
    tvxsim::DeviceState state;
    tvxsim::Engine engine(state);
    const std::string at = std::to_string(500 + offsetMs);
    const std::string level = " level " + std::to_string(dbm0);
    std::string sc = noiseDbm0 > -100 ? "0 line noise 8000 " + std::to_string(noiseDbm0) + "\n" : "";
    const tvxsim::CidContent content{"Ivor Kell", "7964710", "04292230"};
    std::vector<uint8_t> expected = tvxsim::BuildCallerIdMessage(
        kind == Kind::SdmfV23 ? tvxsim::CidFormat::Sdmf : tvxsim::CidFormat::Mdmf, content);
    expected.pop_back();  // the checksum is checked, not reported
    int32_t code = tvxsim::kEvCallerId;
    switch (kind) {
    case Kind::MdmfBell202:
        sc += at + " far call \"Ivor Kell\" \"7964710\" mdmf bell202 date 04292230" + level + "\n";
        break;
    case Kind::SdmfV23:
        sc += at + " far call \"Ivor Kell\" \"7964710\" sdmf v23 date 04292230" + level + "\n";
        break;
    case Kind::CallWaitingV23:
        sc += "0 far ring\n100 phone offhook\n200 adapter command 126 1\n" + std::to_string(1500 + offsetMs) +
              " far call-waiting \"Ivor Kell\" \"7964710\" mdmf v23 date 04292230" + level + "\n";
        code = tvxsim::kEvCallWaitingCallerId;
        break;
    case Kind::ToThePhone:
        sc.clear();  // the noise goes into the earpiece instead
        if (noiseDbm0 > -100)
            engine.PhonePlay(std::make_unique<tvxsim::NoiseSource>(
                tvxsim::MsToSamples(8000), static_cast<float>(noiseDbm0), 7 + static_cast<uint32_t>(offsetMs)));
        break;
    }
    engine.Load(tvxsim::ParseScenario(sc));
    std::vector<tvxsim::EngineEvent> events;
    bool generated = kind != Kind::ToThePhone;
    for (int ms = 0; ms < 6000; ms += tvxsim::kBlockMs) {
        if (!generated && ms >= 500 + offsetMs)
            generated = engine.GenerateCallerId(Record(static_cast<float>(dbm0))) == 0;
        engine.Step();
        for (tvxsim::EngineEvent &e : engine.TakeEvents())
            events.push_back(std::move(e));
    }
    int exact = 0;
    int other = 0;
    for (const tvxsim::EngineEvent &e : events) {
        if (kind == Kind::ToThePhone && e.code == tvxsim::kEvCallerIdGenerated)
            exact += e.detail == "Caller ID generated: MDMF, the phone shows Ivor Kell, 7964710, 29/04 22:30";
        else if (e.code == code && e.payload == expected)
            ++exact;
        else if (e.code >= tvxsim::kEvCallWaitingAlert && e.code <= tvxsim::kEvCallWaitingCallerId &&
                 e.code != tvxsim::kEvCallWaitingAlert)
            ++other;
    }
    return exact == 1 && other == 0;
}

void Margin(benchmark::State &state, Kind kind)
{
    int weakest = 0;
    int worstSnr = 0;
    for (auto _ : state) {
        weakest = -19;
        while (weakest > -70 && Exact(kind, weakest - 1, -200, 0))
            --weakest;
        worstSnr = 31;
        for (bool allExact = true; allExact && worstSnr > 0;) {
            for (int run = 0; run < kRuns && allExact; ++run)
                allExact = Exact(kind, kSignalDbm0, kSignalDbm0 - (worstSnr - 1), run * 37);
            if (allExact)
                --worstSnr;
        }
    }
    state.counters["weakest_dBm0"] = weakest;
    state.counters["worst_snr_dB"] = worstSnr;
}

void BM_MdmfBell202OnHook(benchmark::State &state) { Margin(state, Kind::MdmfBell202); }
void BM_SdmfV23OnHook(benchmark::State &state) { Margin(state, Kind::SdmfV23); }
void BM_CallWaitingV23(benchmark::State &state) { Margin(state, Kind::CallWaitingV23); }
void BM_GeneratedToThePhone(benchmark::State &state) { Margin(state, Kind::ToThePhone); }

}  // namespace

BENCHMARK(BM_MdmfBell202OnHook)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_SdmfV23OnHook)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_CallWaitingV23)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_GeneratedToThePhone)->Iterations(1)->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
