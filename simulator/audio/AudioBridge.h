// The lanes between the model and the sound server: the engine's tap copies
// each block of PC in, the earpiece and line transmit into rings that the
// server's thread drains; the server's thread fills one ring per feed point
// (PC out, the handset's microphone, Talk's microphone, the far party's
// voice) that the engine reads as its feed. Each lane is one lock-free ring with one writer and one reader,
// and its reader absorbs the drift between the two clocks (DriftReader), so
// neither thread ever waits for the other.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "simulator/audio/DriftReader.h"
#include "simulator/audio/SampleRing.h"
#include "simulator/engine/AudioFeed.h"
#include "simulator/engine/Engine.h"

namespace tvxsim {

// The model's audio toward the server.
enum class OutLane : uint8_t {
    PcIn,      // the "Parlino USB (simulated)" source
    Earpiece,  // the "Parlino handset (simulated)" source
    Listen,    // the earpiece again, for the default speakers
    LineTx,    // line transmit, for the far party's speakers
};
inline constexpr size_t kOutLanes = 4;

class AudioBridge final : public AudioTap, public AudioFeed {
public:
    // The engine's thread.
    void OnBlock(const BlockAudio &block) override;
    void Read(FeedPoint point, std::span<int16_t> out) override;

    // The server's thread: the next samples of a lane toward the server
    // (silence where there are none), and samples arriving from it.
    void Take(OutLane lane, std::span<int16_t> out);
    void Give(FeedPoint lane, std::span<const int16_t> samples);

    // For tests and benchmarks, on the lane's reading thread.
    const DriftStats &OutStats(OutLane lane) const { return out_[Index(lane)].reader.Stats(); }
    const DriftStats &InStats(FeedPoint lane) const { return in_[Index(lane)].reader.Stats(); }

private:
    struct Lane {
        SampleRing ring;
        DriftReader reader{ring};
    };
    template <typename E> static constexpr size_t Index(E e) { return static_cast<size_t>(e); }

    std::array<Lane, kOutLanes> out_;
    std::array<Lane, kFeedPoints> in_;
};

}  // namespace tvxsim
