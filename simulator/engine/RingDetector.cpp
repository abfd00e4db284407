#include "simulator/engine/RingDetector.h"

namespace tvxsim {

void RingDetector::Process(std::span<const int16_t> voltage, SampleTime start, std::vector<RingEdge> &edges)
{
    SampleTime first = -1;
    SampleTime last = -1;
    if (!IsSilent(voltage))  // most of the time there is no ringing voltage at all
        for (size_t i = 0; i < voltage.size(); ++i) {
            if (voltage[i] != 0) {
                if (first < 0)
                    first = start + static_cast<SampleTime>(i);
                last = start + static_cast<SampleTime>(i);
            }
        }
    const SampleTime end = start + static_cast<SampleTime>(voltage.size());
    if (first >= 0) {
        if (!inRing_) {
            count_ = first - lastOn_ > kNewSeries ? 1 : count_ + 1;
            inRing_ = true;
            edges.push_back({true, count_, first});
        }
        lastOn_ = last;
    } else if (inRing_ && end - lastOn_ > kGap) {
        inRing_ = false;
        edges.push_back({false, count_, end});
    }
}

}  // namespace tvxsim
