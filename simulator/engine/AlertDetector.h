// A detector of the dual-tone alert signal, 2130 + 2750 Hz (the CPE alerting
// signal CAS of call waiting, the DT-AS before on-hook data): Goertzel
// filters over a 20 ms window in 5 ms hops. It reports the onset once the
// pair has been heard for 30 ms (a phone mutes its audio then), the alert
// when a pair of at least 55 ms has ended (the moment to acknowledge), and
// a pair that ended sooner as gone.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "simulator/engine/GoertzelBank.h"

namespace tvxsim {

inline constexpr int32_t kAlertLowHz = 2130;
inline constexpr int32_t kAlertHighHz = 2750;

struct AlertEdge {
    enum Kind : uint8_t {
        Onset,
        Alert,
        Gone
    } kind;
    SampleTime time;
};

class AlertDetector {
public:
    static constexpr int kOnsetHops = 3;       // window full plus 10 ms: 30 ms of the pair
    static constexpr int kAlertHops = 8;       // 55 ms of the pair
    static constexpr float kMinDbm0 = -40.0f;  // per frequency

    AlertDetector();
    void Reset();
    void Process(std::span<const int16_t> samples, SampleTime start, std::vector<AlertEdge> &edges);

private:
    GoertzelBank bank_;
    int present_ = 0;  // hops in a row with the pair
    int misses_ = 0;
};

}  // namespace tvxsim
