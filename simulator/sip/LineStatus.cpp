#include "simulator/sip/LineStatus.h"

namespace tvxsim::sip {

const char *RegistrationName(RegistrationState state)
{
    switch (state) {
    case RegistrationState::None:
        return "none";
    case RegistrationState::Registering:
        return "registering";
    case RegistrationState::Registered:
        return "registered";
    case RegistrationState::Failed:
        return "failed";
    }
    return "none";
}

}  // namespace tvxsim::sip
