// The sound-server door without a sound server: nothing is published.
#include "simulator/audio/SoundServer.h"

namespace tvxsim {

std::unique_ptr<SoundServer> MakeSoundServer() { return nullptr; }

}  // namespace tvxsim
