// The engine's door for live sound from outside the model (the desktop's
// sound server): what a program plays into the adapter as the PC, what a
// person says into the handset's microphone, and a person's voice as the far
// party's. The engine asks for each once per 20 ms block, beside its own
// sources; a feed with nothing to give leaves silence.
#pragma once

#include <cstdint>
#include <span>

namespace tvxsim {

enum class FeedPoint : uint8_t {
    PcOut,     // mixed into PC out, beside the scenario's pc sources
    Mic,       // mixed into the handset's microphone
    FarVoice,  // the far party's voice, heard while the far party is connected
};

class AudioFeed {
public:
    virtual ~AudioFeed() = default;
    // The engine's thread: writes the next out.size() samples of `point`
    // into out (which comes zeroed). Must not wait on anything.
    virtual void Read(FeedPoint point, std::span<int16_t> out) = 0;
};

}  // namespace tvxsim
