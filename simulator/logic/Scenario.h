// Scenario files: the events the simulated adapter fires after ScOpen.
//
// One item per line, '#' starts a comment (outside quoted text):
//   <ms> <event> [<param>|-] [<side>] [payload...]   an event, <ms> after ScOpen
//   repeat <count> <every-ms> <ms> <event> ...        the same event <count> times
//   devtype <n>                                       device type for ScGetDevType
//   openerror <code>                                  ScOpen fails with <code>
// Payload: hexadecimal bytes ("80", "801E") and "quoted text" (its bytes).
// Event 229 takes a tone row of the armed set instead of a payload. For 225
// and 228 a missing param or "-" means the payload length.
// See simulator/README.md.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvxsim {

struct ScenarioEvent {
    int64_t timeMs = 0;      // after ScOpen
    int64_t count = 1;       // repeat count (1 for a plain event line)
    int64_t intervalMs = 0;  // between repeats
    int32_t code = 0;
    int32_t param = 0;
    int32_t side = 0;
    int32_t toneRow = -1;  // event 229: row of the armed tone set
    std::vector<uint8_t> payload;
    int line = 0;  // where it was written

    bool operator==(const ScenarioEvent &) const = default;
};

struct ScenarioError {
    int line = 0;
    std::string message;

    bool operator==(const ScenarioError &) const = default;
};

struct Scenario {
    std::vector<ScenarioEvent> events;  // in file order
    std::optional<int32_t> devType;
    std::optional<int32_t> openError;
    std::vector<ScenarioError> errors;  // malformed lines, skipped

    // Number of callbacks the events make, repeats counted.
    int64_t totalEvents() const;
};

// Limits that keep a bad file from exhausting memory or time.
inline constexpr int64_t kScenarioMaxTimeMs = 24LL * 3600 * 1000;  // a day
inline constexpr int64_t kScenarioMaxRepeat = 100'000'000;
inline constexpr size_t kScenarioMaxPayload = 1024;
inline constexpr int32_t kScenarioMaxToneRow = 255;
inline constexpr size_t kScenarioMaxFileBytes = 16u * 1024 * 1024;

Scenario parseScenario(std::string_view text);

// Reads and parses a file. A file that cannot be read gives one error at line 0.
Scenario loadScenarioFile(const std::string &path);

}  // namespace tvxsim
