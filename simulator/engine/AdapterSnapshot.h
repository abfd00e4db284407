// The adapter's state for the control socket, read from the engine, its
// device state and the level tap (under the session's lock). The sound
// server's lines are left as they are: the session fills them.
#pragma once

#include "simulator/engine/Engine.h"
#include "simulator/engine/LevelTap.h"
#include "simulator/logic/AdapterState.h"

namespace tvxsim {

void ReadAdapterState(const Engine &engine, const LevelTap &levels, AdapterState &out);

}  // namespace tvxsim
