// Fuzzes the scenario parser alone, without playing what it kept, so that
// the parser's own paths get a million inputs a minute.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz/ScenarioLimits.h"
#include "simulator/logic/Scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    AbortUnlessWithinLimits(tvxsim::ParseScenario(text));
    return 0;
}
