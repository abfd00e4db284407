// tvxsim: runs a scenario offline, faster than real time, and prints every
// event the adapter would report, one line each: "<ms> <code> <text>".
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tvxsim {

struct RunOptions {
    std::string scenario;
    std::optional<int64_t> untilMs;  // default: 5 s after the scenario's last item
    std::string recordFolder;        // empty: no recording
    std::string localCountry;        // empty: the adapter's factory setting
};

inline constexpr int64_t kRunTailMs = 5000;

// Exit codes.
inline constexpr int kRunOk = 0;
inline constexpr int kRunUsage = 2;
inline constexpr int kRunBadScenario = 3;
inline constexpr int kRunOpenFails = 4;
inline constexpr int kRunCannotRecord = 5;

// Reads the command line (arguments after the program's name). Returns
// kRunOk with options filled, or kRunUsage with the reason in error.
int ParseRunArguments(const std::vector<std::string> &args, RunOptions &options, std::string &error);

// Runs the scenario; events go to out, problems to err. Returns an exit code.
int RunScenario(const RunOptions &options, std::ostream &out, std::ostream &err);

}  // namespace tvxsim
