// The engine's door for recorded sound: something outside the engine (a
// sound file, a test's table of samples) hands out 8 kHz, 16-bit, one-channel
// samples in pieces as they play. The engine never sees where they come from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tvxsim {

class SampleReader {
public:
    virtual ~SampleReader() = default;
    // Writes up to out.size() samples into out and returns how many. Fewer
    // than asked: the sound has ended (or was cut) and gives nothing more.
    virtual size_t Read(std::span<int16_t> out) = 0;
};

}  // namespace tvxsim
