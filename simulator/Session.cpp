#include "simulator/Session.h"

#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "simulator/AnalysisPainter.h"
#include "simulator/logic/Scenario.h"
#include "simulator/logic/SimErrors.h"

namespace tvxsim {
namespace {

constexpr char kScenarioVariable[] = "TVXUSB_SCENARIO";

void joinAll(const std::vector<std::shared_ptr<EventThread>> &threads)
{
    for (const auto &t : threads)
        t->join();
}

// Reads the scenario named by TVXUSB_SCENARIO; reports malformed lines on stderr.
Scenario loadConfiguredScenario()
{
    const char *path = std::getenv(kScenarioVariable);
    if (path == nullptr || *path == '\0')
        return {};
    Scenario sc = loadScenarioFile(path);
    for (const ScenarioError &e : sc.errors)
        std::fprintf(stderr, "tvxusb: %s:%d: %s\n", path, e.line, e.message.c_str());
    return sc;
}

}  // namespace

Session &Session::instance()
{
    static Session session;
    return session;
}

Session::~Session()
{
    std::vector<std::shared_ptr<EventThread>> threads;
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

void Session::Locked::post(QueuedEvent event, int32_t delayMs)
{
    if (session_.open_ && session_.runner_)
        session_.runner_->post(std::move(event), delayMs);
}

void Session::Locked::post(int32_t code, int32_t param, int32_t side, std::string detail)
{
    QueuedEvent ev;
    ev.code = code;
    ev.param = param;
    ev.side = side;
    ev.detail = std::move(detail);
    post(std::move(ev));
}

std::vector<std::shared_ptr<EventThread>> Session::stopLocked()
{
    if (runner_) {
        runner_->requestStop();
        retired_.push_back(std::move(runner_));
        runner_.reset();
    }
    open_ = false;
    if (state_.analysisOn && painter_)
        painter_->setActive(false);
    state_.analysisOn = false;
    state_.toneRecords.clear();
    if (EventThread::onEventThread())
        return {};  // never join ourselves
    return takeRetired();
}

std::vector<std::shared_ptr<EventThread>> Session::takeRetired()
{
    std::vector<std::shared_ptr<EventThread>> threads;
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

int32_t Session::initialize(ScEventCallback callback, void *context, int32_t *libraryVersion, void *spectrumWindow)
{
    if (callback == nullptr)
        return kErrNullPointer;
    std::vector<std::shared_ptr<EventThread>> threads;
    {
        std::lock_guard lock(mutex_);
        if (initialised_)
            return kErrAlreadyInitialised;
        callback_ = callback;
        context_ = context;
        initialised_ = true;
        state_.monitorSet = nullptr;
        state_.monitorCount = 0;
        if (spectrumWindow != nullptr)
            painter_ = new AnalysisPainter(static_cast<QWidget *>(spectrumWindow));
        if (libraryVersion != nullptr)
            *libraryVersion = kLibraryVersion;
        if (!EventThread::onEventThread())
            threads = takeRetired();
    }
    joinAll(threads);
    return kOk;
}

int32_t Session::open()
{
    if (EventThread::onEventThread())
        return kErrWrongThread;
    std::vector<std::shared_ptr<EventThread>> threads;
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
    runner_ = std::make_shared<EventThread>(
        callback_,
        context_,
        std::move(scenario.events),
        [this](int32_t row, ToneMonitorEntry &entry, std::string &name) { return lookupToneRow(row, entry, name); });
    runner_->start();
    open_ = true;
    return kOk;
}

int32_t Session::close()
{
    std::vector<std::shared_ptr<EventThread>> threads;
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
    std::vector<std::shared_ptr<EventThread>> threads;
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
        AnalysisPainter::destroy(painter_);
        painter_ = nullptr;
    }
    joinAll(threads);
    return rc;
}

}  // namespace tvxsim
