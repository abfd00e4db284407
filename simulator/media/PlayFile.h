// Sound files for the play actions: the one way the library, tvxsim and
// live requests open a recording, with one wording of what went wrong.
#pragma once

#include <string>

#include "simulator/engine/PlaySource.h"

namespace tvxsim {

// Opens `file` as a source at `gainDb`, or gives "cannot play "<file>": <reason>".
PlayOpening OpenPlayFile(const std::string &file, double gainDb);

}  // namespace tvxsim
