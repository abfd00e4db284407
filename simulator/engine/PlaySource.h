// A recording as a sound source: what a SampleReader hands out, added into
// the block, until the reader ends. Opening the recording (a file, its
// format, its resampling) happens outside the engine, through PlayOpener.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>

#include "simulator/engine/SampleReader.h"
#include "simulator/engine/Sources.h"
#include "simulator/logic/Scenario.h"

namespace tvxsim {

class PlaySource : public Source {
public:
    explicit PlaySource(std::unique_ptr<SampleReader> reader) : reader_(std::move(reader)) {}
    bool MixInto(std::span<int16_t> out) override;

private:
    std::unique_ptr<SampleReader> reader_;  // null once the recording has ended
};

// A recording opened for playing: the source, or (source null) why it cannot be played.
struct PlayOpening {
    std::unique_ptr<Source> source;
    std::string error;
};

// Opens the recording of a play action as it falls due (how the engine's
// owner reaches sound files): at once offline, ahead of time in real time.
using PlayOpener = std::function<PlayOpening(const ScenarioAction &action)>;

}  // namespace tvxsim
