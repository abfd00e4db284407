// The latest spectrum of the line's receive audio, handed from the engine's
// thread to the GUI's: a frame is replaced as a whole, under a mutex, and
// numbered, so a reader that fell behind takes only the newest one.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>

#include "simulator/logic/AnalysisScale.h"

namespace tvxsim {

struct SpectrumFrame {
    uint64_t number = 0;  // 0: none yet
    std::array<float, kSpectrumBins> dbm0{};
};

class AnalysisFeed {
public:
    // Any thread.
    void Publish(const std::array<float, kSpectrumBins> &dbm0)
    {
        std::lock_guard lock(mutex_);
        frame_.dbm0 = dbm0;
        ++frame_.number;
    }
    // Any thread: the newest frame (number 0 when there is none).
    SpectrumFrame Latest() const
    {
        std::lock_guard lock(mutex_);
        return frame_;
    }
    uint64_t Published() const
    {
        std::lock_guard lock(mutex_);
        return frame_.number;
    }

private:
    mutable std::mutex mutex_;
    SpectrumFrame frame_;
};

}  // namespace tvxsim
