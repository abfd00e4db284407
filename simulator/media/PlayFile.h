// Sound files for the play actions (far, line, phone and pc play): the one
// way the library, tvxsim and live requests open a recording, and the check
// of a scenario's recordings when it is loaded, with one wording of what
// went wrong.
#pragma once

#include <memory>
#include <string>

#include "simulator/engine/PlaySource.h"
#include "simulator/logic/ActionParser.h"
#include "simulator/logic/Scenario.h"

namespace tvxsim {

// Opens `file` as a source at `gainDb`, or gives "cannot play "<file>": <reason>".
PlayOpening OpenPlayFile(const std::string &file, double gainDb);
// The same for a play action's file and gain.
PlayOpening OpenPlay(const ScenarioAction &action);
// A live item's recording, opened before the item is applied (outside any
// lock: it reads the file). "" when the item is no play action or its file
// opened into `source`, else the reason ("cannot play ...").
std::string OpenItemPlay(const ScenarioItem &item, std::unique_ptr<Source> &source);

// Checks the recordings of a scenario read from `scenarioPath`, as it is
// loaded. A relative file name is taken from the scenario's folder (and the
// action changed to name it so). A play action whose file cannot be played
// is a malformed line: it is dropped, counted in badLines and, within the
// first kScenarioMaxReportedErrors, listed in errors in line order.
void CheckPlayFiles(Scenario &scenario, const std::string &scenarioPath);

}  // namespace tvxsim
