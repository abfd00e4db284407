// tvxsim's client commands: send, state and watch, talking to the control
// socket of a simulated device that is open now (simulator/README.md,
// "Live control").
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tvxsim {

// Exit codes beside Runner.h's.
inline constexpr int kClientOk = 0;
inline constexpr int kClientErrorReply = 1;
inline constexpr int kClientUsage = 2;
inline constexpr int kClientNoDevice = 6;
inline constexpr int kClientTimedOut = 7;
inline constexpr int kClientTooMany = 8;  // the device already serves as many clients as it takes

// True when args[0] names a client command.
bool IsClientCommand(const std::vector<std::string> &args);

// Runs `send`, `state` or `watch` (args[0]) with its arguments; replies go
// to out, problems to err. Returns the exit code.
int RunClientCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

}  // namespace tvxsim
