// The control socket's door over a signal engine of the test's own, as the
// library's session is over its engine: requests are parsed as live items
// and applied to the model now, the state is read from it. Raw events are
// counted, not delivered, and play requests are refused (nothing here opens
// files). Not thread-safe: the fuzz target calls it on one thread, a test
// behind a control server locks `mutex` around stepping the engine.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>

#include "simulator/control/ControlDoor.h"
#include "simulator/control/LiveRequest.h"
#include "simulator/engine/AdapterSnapshot.h"
#include "simulator/engine/Engine.h"
#include "simulator/engine/LevelTap.h"

namespace tvxtest {

class EngineDoor : public tvxsim::ControlDoor {
public:
    static constexpr size_t kMaxRaw = 4096;

    EngineDoor() { engine.AddTap(&levels); }

    std::string Apply(std::string_view text) override
    {
        std::lock_guard lock(mutex);
        tvxsim::LiveItem item;
        if (std::string error = tvxsim::ParseLiveItem(text, item); !error.empty())
            return error;
        if (const auto *a = std::get_if<tvxsim::ScenarioAction>(&item); a && a->verb == tvxsim::ActionVerb::Play)
            return "no files here";
        return engine.ApplyLive(item, [this](tvxsim::EngineEvent) {
            if (raw >= kMaxRaw)
                return false;
            ++raw;
            return true;
        });
    }
    bool Snapshot(tvxsim::AdapterState &s) override
    {
        std::lock_guard lock(mutex);
        tvxsim::ReadAdapterState(engine, levels, s);
        return true;
    }
    std::string Sound(tvxsim::SoundSwitch, bool) override { return "no sound server"; }
    std::string LineSip(bool) override { return "no line configuration here"; }

    // Moves the model on by `blocks` blocks under the lock.
    void Step(int blocks = 1)
    {
        std::lock_guard lock(mutex);
        for (int i = 0; i < blocks; ++i)
            engine.Step();
    }

    std::recursive_mutex mutex;  // guards the engine against the server's thread
    tvxsim::DeviceState state;
    tvxsim::Engine engine{state};
    tvxsim::LevelTap levels;
    size_t raw = 0;
};

}  // namespace tvxtest
