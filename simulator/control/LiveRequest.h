// A request line of the control socket that is a scenario item without its
// time: an action, a raw event or a number route, parsed with the scenario
// language's own rules, limits and error texts. The model applies it
// (Engine::ApplyLive) and alone decides whether it can be taken now.
#pragma once

#include <string>
#include <string_view>

#include "simulator/logic/ActionParser.h"

namespace tvxsim {

using LiveItem = ScenarioItem;

// Parses one line with the scenario language's own parser of untimed items;
// "" when it is an item the model takes live, else the reason.
std::string ParseLiveItem(std::string_view line, LiveItem &item);

}  // namespace tvxsim
