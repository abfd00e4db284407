// The adapter's ring detector on the line: a burst of ringing voltage is one
// ring (gaps shorter than 300 ms, as in a double ring, do not split it). A
// ring is reported when it starts, with its count, and when it has ended;
// the count starts again after 8 s without ringing.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "simulator/engine/Audio.h"

namespace tvxsim {

struct RingEdge {
    bool start;
    int32_t count;  // the ring's number, from 1
    SampleTime time;
};

class RingDetector {
public:
    static constexpr SampleTime kGap = MsToSamples(300);
    static constexpr SampleTime kNewSeries = MsToSamples(8000);

    void Process(std::span<const int16_t> voltage, SampleTime start, std::vector<RingEdge> &edges);
    bool Ringing() const { return inRing_; }
    void Reset() { *this = RingDetector{}; }

private:
    bool inRing_ = false;
    int32_t count_ = 0;
    SampleTime lastOn_ = -kNewSeries;
};

}  // namespace tvxsim
