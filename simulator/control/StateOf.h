// The adapter's state for the control socket, read from the engine, the
// device state and the level tap (under the session's lock). The sound
// server's lines are left as they are: the session fills them.
#pragma once

#include "simulator/engine/Engine.h"
#include "simulator/engine/LevelTap.h"
#include "simulator/logic/AdapterState.h"
#include "simulator/logic/DeviceState.h"

namespace tvxsim {

void ReadAdapterState(Engine &engine, const DeviceState &state, const LevelTap &levels, AdapterState &out);

// The exchange's call as the state lines name it.
LineCall LineCallOf(CallState state);

}  // namespace tvxsim
