#include "simulator/engine/AlertDetector.h"

#include <array>

namespace tvxsim {

AlertDetector::AlertDetector()
{
    const std::array<GoertzelBank::Tone, 1> pair = {{{kAlertLowHz, kAlertHighHz}}};
    bank_.Configure(pair);
}

void AlertDetector::Reset()
{
    bank_.Reset();
    present_ = 0;
    misses_ = 0;
}

void AlertDetector::Process(std::span<const int16_t> samples, SampleTime start, std::vector<AlertEdge> &edges)
{
    bank_.Process(samples, start, [&](SampleTime end) {
        if (bank_.TonePresent(0, kMinDbm0)) {
            misses_ = 0;
            if (++present_ == kOnsetHops)
                edges.push_back({AlertEdge::Onset, end});
            return;
        }
        if (present_ == 0 || ++misses_ < 2)
            return;  // one quiet hop does not end it
        if (present_ >= kOnsetHops)
            edges.push_back({present_ >= kAlertHops ? AlertEdge::Alert : AlertEdge::Gone, end});
        present_ = 0;
        misses_ = 0;
    });
}

}  // namespace tvxsim
