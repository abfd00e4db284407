#include "simulator/media/PlayFile.h"

#include <algorithm>
#include <map>

#include "simulator/media/SoundFileReader.h"

namespace tvxsim {

PlayOpening OpenPlayFile(const std::string &file, double gainDb)
{
    PlayOpening opening;
    std::string error;
    if (auto reader = SoundFileReader::Open(file, gainDb, error))
        opening.source = std::make_unique<PlaySource>(std::move(reader));
    else
        opening.error = "cannot play \"" + file + "\": " + error;
    return opening;
}

PlayOpening OpenPlay(const ScenarioAction &action) { return OpenPlayFile(action.file, action.gainDb); }

std::string OpenItemPlay(const ScenarioItem &item, std::unique_ptr<Source> &source)
{
    const auto *action = std::get_if<ScenarioAction>(&item);
    if (action == nullptr || action->verb != ActionVerb::Play)
        return {};
    PlayOpening opening = OpenPlay(*action);
    if (!opening.source)
        return opening.error.empty() ? "cannot play \"" + action->file + "\"" : opening.error;
    source = std::move(opening.source);
    return {};
}

void CheckPlayFiles(Scenario &scenario, const std::string &scenarioPath)
{
    const size_t slash = scenarioPath.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : scenarioPath.substr(0, slash + 1);
    for (ScenarioAction &a : scenario.actions)
        if (a.verb == ActionVerb::Play && !a.file.empty() && a.file.front() != '/')
            a.file = folder + a.file;
    std::map<std::string, std::string> checked;  // file name: why it cannot be played, or empty
    std::erase_if(scenario.actions, [&](const ScenarioAction &a) {
        if (a.verb != ActionVerb::Play)
            return false;
        auto [at, added] = checked.try_emplace(a.file);
        if (added)
            at->second = OpenPlay(a).error;
        if (at->second.empty())
            return false;
        ++scenario.badLines;
        const ScenarioError e{a.line, at->second};
        auto &errors = scenario.errors;
        errors.insert(std::upper_bound(errors.begin(),
                                       errors.end(),
                                       e,
                                       [](const ScenarioError &x, const ScenarioError &y) { return x.line < y.line; }),
                      e);
        if (errors.size() > kScenarioMaxReportedErrors)
            errors.pop_back();
        return true;
    });
}

}  // namespace tvxsim
