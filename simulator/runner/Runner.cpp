#include "simulator/runner/Runner.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "device/logic/ToneMonitorRows.h"
#include "device/tvxusb.h"
#include "simulator/engine/Engine.h"
#include "simulator/engine/RawSchedule.h"
#include "simulator/engine/Recorder.h"
#include "simulator/engine/ToneMonitor.h"
#include "simulator/logic/EventLine.h"
#include "simulator/logic/EventNames.h"
#include "simulator/logic/Scenario.h"
#include "simulator/media/PlayFile.h"

namespace tvxsim {
namespace {

bool ParseMs(const std::string &text, int64_t &ms)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), ms);
    return ec == std::errc() && end == text.data() + text.size() && ms >= 0 && ms <= kScenarioMaxTimeMs;
}

void Print(std::ostream &out, std::ostream &err, const EngineEvent &e)
{
    std::string tone;
    if (e.code == kEvToneMonitored) {
        if (e.toneRow < 0 || e.toneRow >= static_cast<int32_t>(tvx::kToneMonitorRows.size())) {
            err << "tvxsim: tone row " << e.toneRow << " is not armed; event 229 skipped\n";
            return;
        }
        tone = std::string("Tone monitored: ") + tvx::kToneMonitorRows[static_cast<size_t>(e.toneRow)].name;
    }
    out << FormatEventLine({SamplesToMs(e.time), e.code, e.param, e.side, tone.empty() ? e.detail : tone, e.payload})
        << '\n';
}

}  // namespace

int ParseRunArguments(const std::vector<std::string> &args, RunOptions &options, std::string &error)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--until" && hasValue) {
            int64_t ms = 0;
            if (!ParseMs(args[++i], ms)) {
                error = "--until needs a time in ms (0 to 86400000)";
                return kRunUsage;
            }
            options.untilMs = ms;
        } else if (a == "--record" && hasValue) {
            options.recordFolder = args[++i];
        } else if (a == "--local-country" && hasValue) {
            options.localCountry = args[++i];
            if (!IsCountryText(options.localCountry.c_str())) {
                error = "--local-country needs a country code of 1 to 9 digits";
                return kRunUsage;
            }
        } else if (!a.empty() && a[0] != '-' && options.scenario.empty()) {
            options.scenario = a;
        } else {
            error = "unexpected argument '" + a + "'";
            return kRunUsage;
        }
    }
    if (options.scenario.empty()) {
        error = "no scenario file given";
        return kRunUsage;
    }
    return kRunOk;
}

int RunScenario(const RunOptions &options, std::ostream &out, std::ostream &err)
{
    Scenario sc = LoadScenarioFile(options.scenario);
    CheckPlayFiles(sc, options.scenario);
    if (sc.badLines > 0) {
        for (const ScenarioError &e : sc.errors)
            err << "tvxsim: " << options.scenario << ':' << e.line << ": " << e.message << '\n';
        if (sc.badLines > static_cast<int64_t>(sc.errors.size()))
            err << "tvxsim: " << options.scenario << ": " << sc.badLines << " malformed lines in all\n";
        return kRunBadScenario;
    }
    if (sc.openError) {
        err << "tvxsim: the scenario makes ScOpen fail with code " << *sc.openError << '\n';
        return kRunOpenFails;
    }

    DeviceState state;
    state.devType = sc.devType.value_or(kDefaultDevType);
    if (!options.localCountry.empty())
        state.localCountry = options.localCountry;
    Engine engine(state);
    engine.SetPlayOpener([&err](const ScenarioAction &action) {
        PlayOpening opening = OpenPlay(action);  // gone since the scenario was loaded
        if (!opening.source)
            err << "tvxsim: " << opening.error << '\n';
        return opening;
    });
    engine.Load(sc);
    engine.MonitorTones(ToolToneRows());

    Recorder recorder;
    if (!options.recordFolder.empty()) {
        std::string error;
        if (!recorder.Open(options.recordFolder, error)) {
            err << "tvxsim: cannot record: " << error << '\n';
            return kRunCannotRecord;
        }
        engine.AddTap(&recorder);
    }

    RawSchedule raw(sc.events);
    const SampleTime until = MsToSamples(options.untilMs.value_or(sc.LastTimeMs() + kRunTailMs));
    while (engine.Now() < until) {
        engine.Step();
        const SampleTime end = engine.Now();
        std::vector<EngineEvent> events = engine.TakeEvents();
        size_t next = 0;
        while (!raw.Empty() && MsToSamples(raw.NextMs()) < end && MsToSamples(raw.NextMs()) < until) {
            EngineEvent r = raw.Take();
            for (; next < events.size() && events[next].time <= r.time; ++next)
                Print(out, err, events[next]);
            Print(out, err, r);
        }
        for (; next < events.size(); ++next)
            Print(out, err, events[next]);
    }
    recorder.Close();
    out.flush();
    return kRunOk;
}

}  // namespace tvxsim
