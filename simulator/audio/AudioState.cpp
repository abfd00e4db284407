#include "simulator/audio/SoundServer.h"

namespace tvxsim {

const char *AudioStateName(AudioState state)
{
    switch (state) {
    case AudioState::Off:
        return "off";
    case AudioState::Unavailable:
        return "unavailable";
    case AudioState::Published:
        return "published";
    }
    return "off";
}

}  // namespace tvxsim
