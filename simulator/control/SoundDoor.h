// The door the sound-server glue registers with the session: the state of
// its nodes and the listen / talk / be-far switches. Until one is
// registered the state shows "audio off" with every switch off, and the
// switches are refused with "no sound server".
//
// Called on the control server's thread without the session's lock held;
// an implementation must be thread-safe and return promptly.
#pragma once

#include <string>

#include "simulator/control/ControlDoor.h"
#include "simulator/logic/AdapterState.h"

namespace tvxsim {

class SoundDoor {
public:
    virtual ~SoundDoor() = default;
    virtual AudioNodes Nodes() const = 0;
    virtual bool IsOn(SoundSwitch which) const = 0;
    // "" on success, else the reason (e.g. "sound-server audio is off").
    virtual std::string Set(SoundSwitch which, bool on) = 0;
};

}  // namespace tvxsim
