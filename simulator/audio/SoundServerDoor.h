// The sound-server side as the control socket sees it (the session's
// SoundDoor): the state of the nodes and the three switches, mapped onto
// the SoundServer of this build. Any thread; nothing here waits.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "simulator/audio/SoundServer.h"
#include "simulator/control/SoundDoor.h"

namespace tvxsim {

class SoundServerDoor final : public SoundDoor {
public:
    // At each open: the server (null when this build has none or it was
    // never wanted) and whether TVXUSB_AUDIO=0 turned the audio off.
    void Attach(std::shared_ptr<SoundServer> server, bool off)
    {
        std::lock_guard lock(mutex_);
        server_ = std::move(server);
        off_ = off;
    }

    AudioNodes Nodes() const override
    {
        const std::shared_ptr<SoundServer> server = Server();
        if (!server)
            return AudioNodes::Off;
        return server->State() == AudioState::Published ? AudioNodes::Published : AudioNodes::Unavailable;
    }
    bool IsOn(SoundSwitch which) const override
    {
        const std::shared_ptr<SoundServer> server = Server();
        return server && server->SwitchOn(Of(which));
    }
    std::string Set(SoundSwitch which, bool on) override
    {
        const std::shared_ptr<SoundServer> server = Server();
        if (!server)
            return off_ ? "sound-server audio is off" : "no sound server";
        return server->SetSwitch(Of(which), on);
    }

private:
    static AudioSwitch Of(SoundSwitch which)
    {
        switch (which) {
        case SoundSwitch::Listen:
            return AudioSwitch::Listen;
        case SoundSwitch::Talk:
            return AudioSwitch::Talk;
        case SoundSwitch::BeFar:
            return AudioSwitch::BeFar;
        }
        return AudioSwitch::Listen;
    }
    std::shared_ptr<SoundServer> Server() const
    {
        std::lock_guard lock(mutex_);
        return off_ ? nullptr : server_;
    }

    mutable std::mutex mutex_;             // guards server_
    std::shared_ptr<SoundServer> server_;  // this open's, or null
    std::atomic<bool> off_{false};         // TVXUSB_AUDIO=0 at this open
};

}  // namespace tvxsim
