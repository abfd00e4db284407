// What a control connection reaches: the model (live items, the state) and
// the sound-server switches. The library's session implements it; the fuzz
// target and the tests implement it over an engine of their own.
#pragma once

#include <string>
#include <string_view>

#include "simulator/logic/AdapterState.h"

namespace tvxsim {

class ControlDoor {
public:
    virtual ~ControlDoor() = default;
    // Applies one request that is a scenario item without its time: "" on
    // success, else the reason (and nothing has changed).
    virtual std::string Apply(std::string_view item) = 0;
    // The present state; false when no device is open.
    virtual bool Snapshot(AdapterState &state) = 0;
    // Turns a sound-server switch on or off: "" on success, else the reason.
    virtual std::string Sound(SoundSwitch which, bool on) = 0;
    // The line's far end: the SIP line of the line configuration (on) or the
    // simulated exchange alone (off). "" on success, else the reason.
    virtual std::string LineSip(bool on) = 0;
};

}  // namespace tvxsim
