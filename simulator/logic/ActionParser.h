// One item of the scenario language without its time, the one parser of
// actions, raw events and number routes: a scenario file reads the time and
// hands the rest of its line here, a live command and the runner hand a
// whole item, so that all of them accept the same words with the same errors.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

#include "simulator/logic/Scenario.h"
#include "simulator/logic/ScenarioTokens.h"

namespace tvxsim {

using ScenarioItem = std::variant<ScenarioAction, ScenarioEvent, NumberRule>;

// One item of the scenario language without its time: an action ("far call \"A\" \"1\" mdmf",
// "phone keys \"12\""), a raw event ("112", "64 - 1", "225 - - 80 1E ...") or a number
// route ("number \"5551234\" busy"). Returns "" when it parsed, else the reason, worded
// exactly as a scenario file's error for the same text.
// The item's timeMs and line are 0; out is left as it was when the text is refused.
std::string ParseUntimedItem(std::string_view text, ScenarioItem &out);

// The token-level parsers behind it, for the file parser.

// Whether a field starts an action (a bare word beginning with a letter)
// rather than a raw event's code.
bool StartsAction(const Token &t);

// "<target> <verb> arguments..."; tokens[0] is the target.
Failure ParseActionTokens(const Token *tokens, size_t count, ScenarioAction &a);

// "<event> [param|-] [side|-] [payload...]"; tokens[0] is the code.
// payloadBefore: the payload bytes the file holds already (its total is limited).
Failure ParseEventTokens(const Token *tokens, size_t count, size_t payloadBefore, ScenarioEvent &ev);

// "number \"<digits>\" answer <ms> | busy | no-answer"; tokens[0] is the word number.
Failure ParseNumberTokens(const Token *tokens, size_t count, NumberRule &rule);

}  // namespace tvxsim
