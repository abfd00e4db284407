// Fuzzes the scenario parser with arbitrary text, then plays what it kept on
// the signal engine for up to a simulated second, so that every action
// with every accepted argument runs under ASan and UBSan.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz/ScenarioLimits.h"
#include "simulator/engine/Engine.h"
#include "simulator/engine/RawSchedule.h"
#include "simulator/logic/Scenario.h"

namespace {

constexpr int64_t kPlayMs = 1000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const tvxsim::Scenario sc = tvxsim::ParseScenario(text);

    AbortUnlessWithinLimits(sc);

    if (sc.actions.empty() && sc.events.empty())
        return 0;
    tvxsim::DeviceState state;
    tvxsim::Engine engine(state);
    engine.Load(sc);
    engine.MonitorTones({{697, 1209, 2000}, {0, 0, 10000}, {825, 0, 300}});
    tvxsim::RawSchedule raw(sc.events);
    const tvxsim::SampleTime until = tvxsim::MsToSamples(std::min<int64_t>(sc.LastTimeMs() + 200, kPlayMs));
    while (engine.Now() < until) {
        engine.Step();
        engine.TakeEvents();
        for (int n = 0; n < 64 && !raw.Empty() && tvxsim::MsToSamples(raw.NextMs()) < engine.Now(); ++n)
            raw.Take();
    }
    return 0;
}
