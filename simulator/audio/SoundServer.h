// The library's door to the desktop's sound server: while a device is open
// it publishes the adapter's audio points as nodes that any program sees as
// ordinary sound devices, and serves the Listen, Talk and Be-the-far-party
// switches. It runs on a thread of its own, which starts the server's
// library and reaches the server only a moment after the door is made (the
// device's first open), once the opening program has had the time to draw
// its window; nothing here waits for the server, and a server that is
// missing, slow, stops or restarts changes nothing in the model (the nodes
// come back when it returns).
//
// The library is built with the PipeWire side (PipeWireServer.cpp); a
// headless build, such as the fuzz targets', links NoSoundServer.cpp instead.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "simulator/audio/AudioBridge.h"
#include "simulator/logic/AdapterState.h"

namespace tvxsim {

class SoundServer {
public:
    static constexpr int kStartMs = 150;   // from the door's making to its first attempt
    static constexpr int kRetryMs = 2000;  // between attempts to reach a missing server

    virtual ~SoundServer() = default;
    // Any thread (the device opens): publishes the bridge's nodes as soon as
    // a server answers, and again whenever it returns. The switches start off.
    virtual void Publish(std::shared_ptr<AudioBridge> bridge) = 0;
    // Any thread (the device closes): takes the nodes down and lets the bridge go.
    virtual void Withdraw() = 0;
    // Any thread: Unavailable or Published (Off is the session's word for no server at all).
    virtual AudioNodes State() const = 0;
    virtual bool SwitchOn(SoundSwitch which) const = 0;
    // Any thread: turns a switch on or off; returns "" or the reason it was refused.
    virtual std::string SetSwitch(SoundSwitch which, bool on) = 0;
};

// The sound-server side of this build, or nullptr when it has none.
std::unique_ptr<SoundServer> MakeSoundServer();

}  // namespace tvxsim
