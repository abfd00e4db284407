// A request line of the control socket that is a scenario item without its
// time: an action, a raw event or a number route, parsed with the scenario
// language's own rules, limits and error texts, and applied to the model
// at its present moment.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "simulator/engine/Engine.h"
#include "simulator/logic/ActionParser.h"
#include "simulator/logic/Scenario.h"

namespace tvxsim {

using LiveItem = ScenarioItem;

// Parses one line with the scenario language's own parser of untimed items;
// "" when it is an item the model takes live, else the reason.
std::string ParseLiveItem(std::string_view line, LiveItem &item);

// Hands a raw event to whoever delivers the model's events; false when it
// cannot take more now.
using RawSink = std::function<bool(EngineEvent event)>;

// A play action's recording opened before the item is applied (outside any
// lock: it reads the file). "" when the item is no play action or its file
// opened into `source`, else the reason ("cannot play ...").
std::string OpenLivePlay(const LiveItem &item, std::unique_ptr<Source> &source);

// Applies a parsed item to the engine now (a raw event goes to `raw`,
// stamped with the engine's time; a play action plays `play`, opened by
// OpenLivePlay). "" on success, else the reason, and then nothing has changed.
std::string ApplyLiveItem(const LiveItem &item, Engine &engine, const RawSink &raw,
                          std::unique_ptr<Source> play = nullptr);

}  // namespace tvxsim
