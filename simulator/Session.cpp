#include "simulator/Session.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "simulator/Gui.h"
#include "simulator/logic/Scenario.h"
#include "simulator/logic/SimErrors.h"

namespace tvxsim {
namespace {

constexpr char kScenarioVariable[] = "TVXUSB_SCENARIO";
constexpr char kRecordVariable[] = "TVXUSB_RECORD";

void joinAll(const std::vector<std::shared_ptr<Driver>> &threads)
{
    for (const auto &t : threads)
        t->join();
}

// Reads the scenario named by TVXUSB_SCENARIO; reports its malformed lines
// on stderr, at most 20 of them and then their count.
Scenario loadConfiguredScenario()
{
    const char *path = std::getenv(kScenarioVariable);
    if (path == nullptr || *path == '\0')
        return {};
    Scenario sc = loadScenarioFile(path);
    for (const ScenarioError &e : sc.errors)
        std::fprintf(stderr, "tvxusb: %s:%d: %s\n", path, e.line, e.message.c_str());
    if (sc.badLines > static_cast<int64_t>(sc.errors.size()))
        std::fprintf(
            stderr, "tvxusb: %s: %lld malformed lines in all, skipped\n", path, static_cast<long long>(sc.badLines));
    return sc;
}

}  // namespace

std::vector<MonitorRow> monitorRows(const ToneMonitorEntry *set, int32_t count)
{
    std::vector<MonitorRow> rows;
    for (int32_t i = 0; set != nullptr && i < count; ++i)
        rows.push_back({set[i].frequency1, set[i].frequency2, set[i].duration});
    return rows;
}

Session &Session::instance()
{
    static Session session;
    return session;
}

Session::~Session()
{
    std::vector<std::shared_ptr<Driver>> threads;
    {
        std::lock_guard lock(mutex_);
        threads = stopLocked();
    }
    joinAll(threads);
    // The painter is left alone: the GUI may already be gone at exit.
}

int32_t Session::Locked::requireInitialised() const { return session_.initialised_ ? kOk : kErrNotInitialised; }

int32_t Session::Locked::requireOpen() const
{
    if (!session_.initialised_)
        return kErrNotInitialised;
    return session_.open_ ? kOk : kErrNotOpen;
}

void Session::Locked::post(int32_t code, int32_t param, int32_t side, std::string detail)
{
    if (!session_.open_ || !session_.engine_)
        return;
    session_.engine_->report(code, param, side, std::move(detail));
    wake();
}

void Session::Locked::wake()
{
    if (session_.runner_)
        session_.runner_->wake();
}

void Session::Locked::armMonitor()
{
    if (session_.engine_)
        session_.engine_->monitorTones(monitorRows(session_.state_.monitorSet, session_.state_.monitorCount));
}

std::vector<std::shared_ptr<Driver>> Session::stopLocked()
{
    if (runner_) {
        runner_->requestStop();
        retired_.push_back(std::move(runner_));
        runner_.reset();
    }
    open_ = false;
    if (engine_ && engine_->droppedEvents() > 0)
        std::fprintf(stderr,
                     "tvxusb: %llu events were dropped while the callback did not take them\n",
                     static_cast<unsigned long long>(engine_->droppedEvents()));
    engine_.reset();
    if (recording_) {
        recorder_.close();
        recording_ = false;
    }
    if (state_.analysisOn && painter_)
        painter_->setActive(false);
    state_.analysisOn = false;
    if (Driver::onEventThread())
        return {};  // never join ourselves
    return takeRetired();
}

std::vector<std::shared_ptr<Driver>> Session::takeRetired()
{
    std::vector<std::shared_ptr<Driver>> threads;
    threads.swap(retired_);
    return threads;
}

bool Session::lookupToneRow(int32_t row, ToneMonitorEntry &entry, std::string &name)
{
    std::lock_guard lock(mutex_);
    if (state_.monitorSet == nullptr || row < 0 || row >= state_.monitorCount)
        return false;
    entry = state_.monitorSet[row];
    const char *src = entry.name;
    name = src ? std::string(src, strnlen(src, TVX_TEXT_SIZE - 1)) : std::string();
    return true;
}

SampleTime Session::advance(const Driver &driver, SampleTime until, std::vector<EngineEvent> &out)
{
    std::lock_guard lock(mutex_);
    if (!open_ || runner_.get() != &driver || !engine_)
        return -1;
    SampleTime target = std::min(until, engine_->now() + Driver::kMaxCatchUp);
    target -= target % kBlockSamples;
    engine_->runUntil(target);
    out = engine_->takeEvents();
    return engine_->now();
}

int32_t Session::initialize(ScEventCallback callback, void *context, int32_t *libraryVersion, void *spectrumWindow)
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
        painter_ = attachSpectrum(spectrumWindow);
        if (libraryVersion != nullptr)
            *libraryVersion = kLibraryVersion;
        if (!Driver::onEventThread())
            threads = takeRetired();
    }
    joinAll(threads);
    return kOk;
}

int32_t Session::open()
{
    if (Driver::onEventThread())
        return kErrWrongThread;
    std::vector<std::shared_ptr<Driver>> threads;
    {
        std::lock_guard lock(mutex_);
        if (!initialised_)
            return kErrNotInitialised;
        if (open_)
            return kErrAlreadyOpen;
        threads = takeRetired();
    }
    joinAll(threads);  // a callback that closed its own thread has returned by now

    Scenario scenario = loadConfiguredScenario();

    std::lock_guard lock(mutex_);
    if (!initialised_)
        return kErrNotInitialised;
    if (open_)
        return kErrAlreadyOpen;
    state_.devType = scenario.devType.value_or(kDefaultDevType);
    if (scenario.openError)
        return *scenario.openError;
    engine_ = std::make_unique<Engine>(state_);
    engine_->load(scenario);
    engine_->monitorTones(monitorRows(state_.monitorSet, state_.monitorCount));
    if (const char *folder = std::getenv(kRecordVariable); folder != nullptr && *folder != '\0') {
        std::string error;
        recording_ = recorder_.open(folder, error);
        if (recording_)
            engine_->addTap(&recorder_);
        else
            std::fprintf(stderr, "tvxusb: not recording: %s\n", error.c_str());
    }
    runner_ = std::make_shared<Driver>(
        callback_,
        context_,
        std::move(scenario.events),
        [this](const Driver &d, SampleTime until, std::vector<EngineEvent> &out) { return advance(d, until, out); },
        [this](int32_t row, ToneMonitorEntry &entry, std::string &name) { return lookupToneRow(row, entry, name); });
    runner_->start();
    open_ = true;
    return kOk;
}

int32_t Session::close()
{
    std::vector<std::shared_ptr<Driver>> threads;
    int32_t rc = kOk;
    {
        std::lock_guard lock(mutex_);
        rc = !initialised_ ? kErrNotInitialised : (open_ ? kOk : kErrNotOpen);
        threads = stopLocked();
    }
    joinAll(threads);
    return rc;
}

int32_t Session::shutdown()
{
    std::vector<std::shared_ptr<Driver>> threads;
    int32_t rc = kOk;
    {
        std::lock_guard lock(mutex_);
        rc = initialised_ ? kOk : kErrNotInitialised;
        threads = stopLocked();
        initialised_ = false;
        callback_ = nullptr;
        context_ = nullptr;
        state_.monitorSet = nullptr;
        state_.monitorCount = 0;
        releaseSpectrum(painter_);
        painter_ = nullptr;
    }
    joinAll(threads);
    return rc;
}

}  // namespace tvxsim
