// What every parsed scenario keeps to, whatever its text: reported errors
// bounded and counted, items, payloads, times and digits within their limits.
// Aborts (a finding for the fuzzer) when one is broken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "simulator/logic/Scenario.h"

inline void AbortUnlessWithinLimits(const tvxsim::Scenario &sc)
{
    // Reported errors are bounded, counted errors are all of them, and the
    // items stay within their limits.
    if (sc.errors.size() > tvxsim::kScenarioMaxReportedErrors || static_cast<int64_t>(sc.errors.size()) > sc.badLines ||
        sc.events.size() + sc.actions.size() + sc.numbers.size() > tvxsim::kScenarioMaxItems)
        std::abort();
    size_t payload = 0;
    for (const tvxsim::ScenarioEvent &e : sc.events) {
        payload += e.payload.size();
        if (e.payload.size() > tvxsim::kScenarioMaxPayload || e.count < 1 || e.timeMs < 0 ||
            e.timeMs + e.intervalMs * (e.count - 1) > tvxsim::kScenarioMaxTimeMs)
            std::abort();
    }
    for (const tvxsim::ScenarioAction &a : sc.actions)
        if (a.timeMs < 0 || a.timeMs > tvxsim::kScenarioMaxTimeMs || a.digits.size() > tvxsim::kScenarioMaxDigits)
            std::abort();
    for (const tvxsim::NumberRule &n : sc.numbers)
        if (n.digits.empty() || n.digits.size() > tvxsim::kScenarioMaxNumberDigits)
            std::abort();
    if (payload > tvxsim::kScenarioMaxTotalPayload)
        std::abort();
}
