// The engine's door for live sound from outside the model (the desktop's
// sound server): what a program plays into the adapter as the PC, what a
// person says into the handset's microphone (through its own node or with
// Talk through the default microphone), and a person's voice as the far
// party's. The engine asks for each once per 20 ms block, beside its own
// sources, and routes them (Routing.h's kFeedRoutes); a feed with nothing
// to give leaves silence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tvxsim {

enum class FeedPoint : uint8_t {
    PcOut,     // the "Parlino USB (simulated)" sink: what a program plays as the PC
    Mic,       // the "Parlino handset (simulated)" sink: the handset's microphone
    Talk,      // the default microphone as the handset's (the Talk switch)
    FarVoice,  // the default microphone as the far party's voice (Be the far party)
};
inline constexpr size_t kFeedPoints = 4;

class AudioFeed {
public:
    virtual ~AudioFeed() = default;
    // The engine's thread: writes the next out.size() samples of `point`
    // into out. Must not wait on anything.
    virtual void Read(FeedPoint point, std::span<int16_t> out) = 0;
};

}  // namespace tvxsim
