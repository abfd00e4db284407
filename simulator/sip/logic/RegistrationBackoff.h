// When to try registering again: 30 s after a failure, doubling after
// each further one up to 10 minutes; a success starts over. Keeps the
// last reason for the state lines.
#pragma once

#include <cstdint>
#include <string>

namespace tvxsim::sip {

inline constexpr int64_t kFirstRetryMs = 30000;
inline constexpr int64_t kLongestRetryMs = 600000;

enum class RegistrationState : uint8_t {
    None,         // no registrar configured
    Registering,  // a REGISTER is on its way
    Registered,
    Failed,  // waiting to retry
};

class RegistrationBackoff {
public:
    // A REGISTER failed for `reason`: the wait before the next one.
    int64_t Failed(std::string reason);
    // A REGISTER succeeded: the next failure waits kFirstRetryMs again.
    void Succeeded();

    int Failures() const { return failures_; }
    const std::string &LastReason() const { return lastReason_; }

private:
    int failures_ = 0;        // failures in a row
    std::string lastReason_;  // the last failure's reason ("403 Forbidden", "connection refused")
};

}  // namespace tvxsim::sip
