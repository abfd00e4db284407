#include "simulator/Session.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "simulator/Gui.h"
#include "simulator/LineModule.h"
#include "simulator/control/ControlPath.h"
#include "simulator/control/LiveRequest.h"
#include "simulator/engine/AdapterSnapshot.h"
#include "simulator/logic/EventLine.h"
#include "simulator/logic/Scenario.h"
#include "simulator/logic/SimErrors.h"
#include "simulator/media/PlayFile.h"
#include "simulator/sip/LineConfigFile.h"

namespace tvxsim {
namespace {

constexpr char kScenarioVariable[] = "TVXUSB_SCENARIO";
constexpr char kRecordVariable[] = "TVXUSB_RECORD";
constexpr char kAudioVariable[] = "TVXUSB_AUDIO";

// The SIP line of the line configuration, started (its own thread listens
// and registers), or none: without a configuration, or with a bad one (said
// in one line on stderr, or in `why`).
std::unique_ptr<sip::ConfiguredLine> StartConfiguredLine(std::string *why = nullptr)
{
    const auto refuse = [why](const std::string &text) {
        if (why != nullptr)
            *why = text;
        else
            std::fprintf(stderr, "tvxusb: %s\n", text.c_str());
    };
    sip::LineLoad load = sip::LoadLineConfig();
    switch (load.outcome) {
    case sip::LineLoad::Outcome::None:
        if (why != nullptr)
            *why = "no line configuration ($TVXUSB_LINE, or tvxusb/line.conf in the user's configuration folder)";
        return nullptr;
    case sip::LineLoad::Outcome::Error:
        refuse(load.error);
        return nullptr;
    case sip::LineLoad::Outcome::Loaded:
        break;
    }
    std::string error;
    std::unique_ptr<sip::ConfiguredLine> line = OpenConfiguredLine(load.config, load.passwordPath, error);
    // The line stays on the simulated exchange, as with a bad file.
    if (!line)
        refuse(load.path + ": " + error);
    return line;
}

// The line's far end for the state lines.
void ReadLineState(const sip::ConfiguredLine *line, AdapterState &state)
{
    if (line == nullptr)
        return;  // the simulated exchange: the state's defaults
    const sip::LineStatus status = line->Status();
    state.farEnd = status.farEnd;
    state.registration = sip::RegistrationName(status.registration);
    state.lineReason = !status.fault.empty() ? status.fault : status.registrationReason;
    state.peer = status.peer;
    state.codec = status.codec;
    state.packetsLost = status.packetsLost;
    state.jitterMs = status.jitterMs;
}

void JoinAll(const std::vector<std::shared_ptr<Driver>> &threads)
{
    for (const auto &t : threads)
        t->Join();
}

void StopAll(const std::vector<std::shared_ptr<ControlServer>> &servers)
{
    for (const auto &s : servers)
        s->Stop();
}

// Hands each delivered event, as tvxsim prints it, to the control socket's
// watchers; formats nothing while nobody watches.
class ControlFeed : public Driver::Listener {
public:
    explicit ControlFeed(std::shared_ptr<ControlServer> server) : server_(std::move(server)) {}
    void Delivered(const EngineEvent &e) override
    {
        if (server_->Watching())
            server_->PostEvent(FormatEventLine({SamplesToMs(e.time), e.code, e.param, e.side, e.detail, e.payload}));
    }
    void Settled() override { server_->NotifyChange(); }

private:
    const std::shared_ptr<ControlServer> server_;
};

// Reads the scenario named by TVXUSB_SCENARIO and checks its recordings;
// reports its malformed lines (a recording that cannot be played is one) on
// stderr, at most 20 of them and then their count, and in one line what
// became of it for the state lines ("none" without a scenario).
Scenario LoadConfiguredScenario(std::string &summary)
{
    const char *path = std::getenv(kScenarioVariable);
    summary = "none";
    if (path == nullptr || *path == '\0')
        return {};
    Scenario sc = LoadScenarioFile(path);
    CheckPlayFiles(sc, path);
    summary = ScenarioSummary(sc, path);
    for (const ScenarioError &e : sc.errors)
        std::fprintf(stderr, "tvxusb: %s:%d: %s\n", path, e.line, e.message.c_str());
    if (sc.badLines > static_cast<int64_t>(sc.errors.size()))
        std::fprintf(
            stderr, "tvxusb: %s: %lld malformed lines in all, skipped\n", path, static_cast<long long>(sc.badLines));
    return sc;
}

}  // namespace

Session &Session::Instance()
{
    static Session session;
    return session;
}

Session::~Session()
{
    std::vector<std::shared_ptr<Driver>> threads;
    std::vector<std::shared_ptr<ControlServer>> servers;
    std::vector<std::unique_ptr<sip::ConfiguredLine>> lines;
    {
        std::lock_guard lock(mutex_);
        threads = StopLocked();
        servers = TakeRetiredControl();
        lines = TakeRetiredLines();
    }
    StopAll(servers);
    JoinAll(threads);
    // The painter is left alone: the GUI may already be gone at exit.
}

int32_t Session::Locked::RequireInitialised() const { return session_.initialised_ ? kOk : kErrNotInitialised; }

int32_t Session::Locked::RequireOpen() const
{
    if (!session_.initialised_)
        return kErrNotInitialised;
    return session_.open_ ? kOk : kErrNotOpen;
}

void Session::Locked::Post(int32_t code, int32_t param, int32_t side, std::string detail)
{
    if (!session_.open_ || !session_.engine_)
        return;
    session_.engine_->Report(code, param, side, std::move(detail));
    Wake();
}

void Session::SyncAnalysisLocked()
{
    const bool on = open_ && state_.analysisOn;
    if (analyser_.Enabled() == on)
        return;
    analyser_.SetEnabled(on);
    if (painter_)
        painter_->SetActive(on);
}

void Session::Locked::Wake()
{
    if (session_.driver_)
        session_.driver_->Wake();
}

void Session::Locked::ArmMonitor(const ToneMonitorEntry *set, int32_t count)
{
    session_.state_.monitorSet = set;
    session_.state_.monitorCount = count;
    if (session_.engine_)
        session_.engine_->MonitorTones(MonitorRows(set, count));
}

std::vector<std::shared_ptr<Driver>> Session::StopLocked()
{
    if (control_)
        retiredControl_.push_back(std::move(control_));
    control_.reset();
    if (driver_) {
        driver_->RequestStop();
        retired_.push_back(std::move(driver_));
        driver_.reset();
    }
    open_ = false;
    if (engine_ && engine_->DroppedEvents() > 0)
        std::fprintf(stderr,
                     "tvxusb: %llu events were dropped while the callback did not take them\n",
                     static_cast<unsigned long long>(engine_->DroppedEvents()));
    if (bridge_) {
        soundServer_->Withdraw();  // never waits for the server
        bridge_.reset();
    }
    engine_.reset();
    if (sipLine_)
        retiredLines_.push_back(std::move(sipLine_));  // no engine calls it now
    if (recording_) {
        recorder_.Close();
        recording_ = false;
    }
    state_.analysisOn = false;
    SyncAnalysisLocked();
    if (Driver::OnEventThread())
        return {};  // never join ourselves
    return TakeRetired();
}

std::vector<std::shared_ptr<ControlServer>> Session::TakeRetiredControl()
{
    std::vector<std::shared_ptr<ControlServer>> servers;
    servers.swap(retiredControl_);
    return servers;
}

bool Session::StartControlLocked()
{
    auto server = std::make_shared<ControlServer>(door_);
    std::string error;
    if (!server->Start(ControlSocketFolder(), error)) {
        // Another open device has the socket: it has the sound nodes too, which
        // a second set with the same names would make ambiguous.
        const bool another = server->TakenByAnother();
        std::fprintf(stderr, "tvxusb: no control socket%s: %s\n", another ? " and no sound nodes" : "", error.c_str());
        return !another;
    }
    control_ = std::move(server);
    return true;
}

std::string Session::Control::Apply(std::string_view line)
{
    LiveItem item;
    if (std::string error = ParseLiveItem(line, item); !error.empty())
        return error;
    std::unique_ptr<Source> play;  // a recording is opened before the lock, and before the reply
    if (std::string error = OpenItemPlay(item, play); !error.empty())
        return error;
    Session &s = session_;
    std::lock_guard lock(s.mutex_);
    if (!s.open_ || !s.engine_ || !s.driver_)
        return "no simulated device is open";
    const std::shared_ptr<Driver> driver = s.driver_;
    std::string error = s.engine_->ApplyLive(
        item, [&driver](EngineEvent e) { return driver->Inject(std::move(e)); }, std::move(play));
    if (!error.empty())
        return error;
    s.SyncAnalysisLocked();  // an adapter command may switch the analysis
    driver->Wake();
    return {};
}

bool Session::Control::Snapshot(AdapterState &state)
{
    std::shared_ptr<SoundServer> sound;
    {
        Session &s = session_;
        std::lock_guard lock(s.mutex_);
        if (!s.open_ || !s.engine_)
            return false;
        ReadAdapterState(*s.engine_, s.levels_, state);
        state.scenario = s.scenario_;
        ReadLineState(s.sipLine_.get(), state);
        if (!s.audioOff_)
            sound = s.soundServer_;
    }
    state.audio = sound ? sound->State() : AudioNodes::Off;
    for (size_t i = 0; i < kSoundSwitches; ++i)
        state.sound[i] = sound && sound->SwitchOn(static_cast<SoundSwitch>(i));
    return true;
}

std::string Session::Control::Sound(SoundSwitch which, bool on)
{
    std::shared_ptr<SoundServer> sound;
    {
        std::lock_guard lock(session_.mutex_);
        if (!session_.open_)
            return "no simulated device is open";
        if (session_.audioOff_)
            return "sound-server audio is off";
        sound = session_.soundServer_;
    }
    return sound ? sound->SetSwitch(which, on) : "no sound server";
}

std::string Session::Control::LineSip(bool on)
{
    Session &s = session_;
    std::unique_ptr<sip::ConfiguredLine> line;
    {
        std::lock_guard lock(s.mutex_);
        if (!s.open_ || !s.engine_)
            return "no simulated device is open";
        if (on == (s.sipLine_ != nullptr))
            return {};
        if (!on) {
            s.engine_->SetFarLine(nullptr);  // its calls end as a far hang-up would
            line = std::move(s.sipLine_);
        }
    }
    if (!on)
        return {};  // `line` goes here, outside the lock: its thread ends
    // Read and started outside the lock: the file, and the line's own thread.
    std::string why;
    line = StartConfiguredLine(&why);
    if (!line)
        return why;
    std::lock_guard lock(s.mutex_);
    if (!s.open_ || !s.engine_) {
        s.retiredLines_.push_back(std::move(line));
        return "no simulated device is open";
    }
    if (!s.sipLine_) {
        s.sipLine_ = std::move(line);
        s.engine_->SetFarLine(s.sipLine_.get());
    } else {
        s.retiredLines_.push_back(std::move(line));  // switched on meanwhile
    }
    return {};
}

std::vector<std::unique_ptr<sip::ConfiguredLine>> Session::TakeRetiredLines()
{
    std::vector<std::unique_ptr<sip::ConfiguredLine>> lines;
    lines.swap(retiredLines_);
    return lines;
}

std::vector<std::shared_ptr<Driver>> Session::TakeRetired()
{
    std::vector<std::shared_ptr<Driver>> threads;
    threads.swap(retired_);
    return threads;
}

bool Session::LookupToneRow(int32_t row, ToneMonitorEntry &entry, std::string &name)
{
    std::lock_guard lock(mutex_);
    if (state_.monitorSet == nullptr || row < 0 || row >= state_.monitorCount)
        return false;
    entry = state_.monitorSet[row];
    const char *src = entry.name;
    name = src ? std::string(src, strnlen(src, TVX_TEXT_SIZE - 1)) : std::string();
    return true;
}

SampleTime Session::Advance(const Driver &driver, SampleTime until, std::vector<EngineEvent> &out)
{
    std::lock_guard lock(mutex_);
    if (!open_ || driver_.get() != &driver || !engine_)
        return -1;
    SampleTime target = std::min(until, engine_->Now() + Driver::kMaxCatchUp);
    target -= target % kBlockSamples;
    engine_->RunUntil(target);
    SyncAnalysisLocked();  // a scenario's adapter command may switch the analysis
    out = engine_->TakeEvents();
    return engine_->Now();
}

int32_t Session::Initialize(ScEventCallback callback, void *context, int32_t *libraryVersion, void *spectrumWindow)
{
    if (callback == nullptr)
        return kErrNullPointer;
    std::vector<std::shared_ptr<Driver>> threads;
    {
        std::lock_guard lock(mutex_);
        if (initialised_)
            return kErrAlreadyInitialised;
        callback_ = callback;
        context_ = context;
        initialised_ = true;
        state_.monitorSet = nullptr;
        state_.monitorCount = 0;
        painter_ = AttachSpectrum(spectrumWindow, spectrum_);
        if (libraryVersion != nullptr)
            *libraryVersion = kLibraryVersion;
        if (!Driver::OnEventThread())
            threads = TakeRetired();
    }
    JoinAll(threads);
    return kOk;
}

int32_t Session::Open()
{
    if (Driver::OnEventThread())
        return kErrWrongThread;
    std::vector<std::shared_ptr<Driver>> threads;
    std::vector<std::unique_ptr<sip::ConfiguredLine>> lines;
    {
        std::lock_guard lock(mutex_);
        if (!initialised_)
            return kErrNotInitialised;
        if (open_)
            return kErrAlreadyOpen;
        threads = TakeRetired();
        lines = TakeRetiredLines();
    }
    JoinAll(threads);  // a callback that closed its own thread has returned by now
    lines.clear();

    std::string summary;
    Scenario scenario = LoadConfiguredScenario(summary);
    // None without a line configuration, nor for an open that the scenario fails.
    std::unique_ptr<sip::ConfiguredLine> line = scenario.openError ? nullptr : StartConfiguredLine();

    std::lock_guard lock(mutex_);
    if (!initialised_)
        return kErrNotInitialised;
    if (open_)
        return kErrAlreadyOpen;
    state_.devType = scenario.devType.value_or(kDefaultDevType);
    if (scenario.openError)
        return *scenario.openError;
    scenario_ = std::move(summary);
    engine_ = std::make_unique<Engine>(state_);
    auto prefetch = std::make_shared<PlayPrefetch>(scenario.actions);
    if (!prefetch->Empty())
        engine_->SetPlayOpener([prefetch](const ScenarioAction &action) {
            PlayOpening opening = prefetch->Take(action);  // gone since the scenario was loaded: said once
            if (!opening.source)
                std::fprintf(stderr, "tvxusb: %s\n", opening.error.c_str());
            return opening;
        });
    engine_->Load(scenario);
    sipLine_ = std::move(line);
    engine_->SetFarLine(sipLine_.get());
    engine_->AddTap(&analyser_);
    levels_.Reset();
    engine_->AddTap(&levels_);
    engine_->MonitorTones(MonitorRows(state_.monitorSet, state_.monitorCount));
    if (const char *folder = std::getenv(kRecordVariable); folder != nullptr && *folder != '\0') {
        std::string error;
        recording_ = recorder_.Open(folder, error);
        if (recording_)
            engine_->AddTap(&recorder_);
        else
            std::fprintf(stderr, "tvxusb: not recording: %s\n", error.c_str());
    }
    const bool alone = StartControlLocked();  // no other device holds the socket, nor the nodes
    const char *audio = std::getenv(kAudioVariable);
    audioOff_ = (audio != nullptr && std::strcmp(audio, "0") == 0) || !alone;
    if (!audioOff_ && !soundServer_)
        soundServer_ = MakeSoundServer();
    if (!audioOff_ && soundServer_) {
        bridge_ = std::make_shared<AudioBridge>();
        engine_->AddTap(bridge_.get());
        engine_->SetFeed(bridge_.get());
        soundServer_->Publish(bridge_);
    }
    driver_ = std::make_shared<Driver>(
        callback_,
        context_,
        std::move(scenario.events),
        [this](const Driver &d, SampleTime until, std::vector<EngineEvent> &out) { return Advance(d, until, out); },
        [this](int32_t row, ToneMonitorEntry &entry, std::string &name) { return LookupToneRow(row, entry, name); });
    if (!prefetch->Empty())
        driver_->SetPrefetch(std::move(prefetch));
    open_ = true;
    if (control_)
        driver_->SetListener(std::make_shared<ControlFeed>(control_));
    driver_->Start();
    return kOk;
}

int32_t Session::Close()
{
    std::vector<std::shared_ptr<Driver>> threads;
    std::vector<std::shared_ptr<ControlServer>> servers;
    std::vector<std::unique_ptr<sip::ConfiguredLine>> lines;  // ended after the lock, never inside a callback
    int32_t rc = kOk;
    {
        std::lock_guard lock(mutex_);
        rc = !initialised_ ? kErrNotInitialised : (open_ ? kOk : kErrNotOpen);
        threads = StopLocked();
        servers = TakeRetiredControl();
        if (!Driver::OnEventThread())
            lines = TakeRetiredLines();
    }
    StopAll(servers);  // the socket is gone before Close returns
    JoinAll(threads);
    return rc;
}

int32_t Session::Shutdown()
{
    std::vector<std::shared_ptr<Driver>> threads;
    std::vector<std::shared_ptr<ControlServer>> servers;
    std::vector<std::unique_ptr<sip::ConfiguredLine>> lines;
    int32_t rc = kOk;
    {
        std::lock_guard lock(mutex_);
        rc = initialised_ ? kOk : kErrNotInitialised;
        threads = StopLocked();
        if (!Driver::OnEventThread())
            lines = TakeRetiredLines();
        initialised_ = false;
        callback_ = nullptr;
        context_ = nullptr;
        state_.monitorSet = nullptr;
        state_.monitorCount = 0;
        ReleaseSpectrum(painter_);
        painter_ = nullptr;
        servers = TakeRetiredControl();
    }
    StopAll(servers);
    JoinAll(threads);
    return rc;
}

}  // namespace tvxsim
