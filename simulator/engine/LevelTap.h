// The level of each of the six audio points over the last 100 ms (five
// blocks), in dBm0, for the control socket's state lines. Silence reads as
// the floor, -99.9 dBm0.
#pragma once

#include <array>
#include <cstddef>

#include "simulator/engine/Engine.h"
#include "simulator/logic/AdapterState.h"

namespace tvxsim {

class LevelTap : public AudioTap {
public:
    static constexpr size_t kBlocks = 5;  // 100 ms

    void OnBlock(const BlockAudio &block) override;
    // Forgets what it heard (a new open).
    void Reset();
    // Every point's level in AudioPoint order.
    std::array<float, kAudioPoints> Levels() const;

private:
    // Sum of squares of each point in each of the last kBlocks blocks.
    std::array<std::array<double, kBlocks>, kAudioPoints> energy_{};
    size_t next_ = 0;    // the slot the next block fills
    size_t filled_ = 0;  // how many slots hold a block
};

}  // namespace tvxsim
