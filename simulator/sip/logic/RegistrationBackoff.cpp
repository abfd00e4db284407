#include "simulator/sip/logic/RegistrationBackoff.h"

#include <algorithm>

namespace tvxsim::sip {

int64_t RegistrationBackoff::Failed(std::string reason)
{
    lastReason_ = std::move(reason);
    const int doublings = std::min(failures_, 8);
    failures_ = std::min(failures_ + 1, 1000);
    return std::min(kFirstRetryMs << doublings, kLongestRetryMs);
}

void RegistrationBackoff::Succeeded()
{
    failures_ = 0;
    lastReason_.clear();
}

}  // namespace tvxsim::sip
