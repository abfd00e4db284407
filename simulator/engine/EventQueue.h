// The engine's events waiting to be taken, and the confirmations that fall
// due later, both bounded: beyond 65536 waiting, events are dropped and counted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "simulator/engine/EngineEvent.h"

namespace tvxsim {

class EventQueue {
public:
    static constexpr size_t kMaxPending = 65536;

    // An event as it is; dropped (and counted) when kMaxPending are waiting.
    void Push(EngineEvent event);
    // An event without payload at `at`.
    void Report(SampleTime at, int32_t code, int32_t param, int32_t side = 0, std::string detail = {});
    // An event without payload, held until Release reaches `due`.
    void ReportAt(SampleTime due, int32_t code, int32_t param);
    // Pushes the held events due by `until`, in the order they were reported.
    void Release(SampleTime until);
    // The waiting events in time order (equal times in the order pushed); none wait after.
    std::vector<EngineEvent> Take();
    uint64_t Dropped() const { return dropped_; }

private:
    std::vector<EngineEvent> events_;  // waiting to be taken, in the order pushed
    std::vector<EngineEvent> later_;   // held until their time
    uint64_t dropped_ = 0;             // events refused because too many waited
};

}  // namespace tvxsim
