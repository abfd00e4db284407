// An event of the adapter as the engine reports it, before the library
// hands it to the callback.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "simulator/engine/Audio.h"

namespace tvxsim {

struct EngineEvent {
    SampleTime time = 0;
    int32_t code = 0;
    int32_t param = 0;
    int32_t side = 0;
    int32_t toneRow = -1;  // 229: row of the armed set
    std::string detail;    // fuller text for ScTranslateEventToString
    std::vector<uint8_t> payload;
};

// Hands a raw event to whoever delivers the model's events; false when it
// cannot take more now.
using RawSink = std::function<bool(EngineEvent event)>;

}  // namespace tvxsim
