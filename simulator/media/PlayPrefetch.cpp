#include "simulator/media/PlayPrefetch.h"

#include <algorithm>

#include "simulator/media/PlayFile.h"

namespace tvxsim {
namespace {

std::vector<ScenarioAction> PlaysOf(const std::vector<ScenarioAction> &actions)
{
    std::vector<ScenarioAction> plays;
    std::copy_if(actions.begin(), actions.end(), std::back_inserter(plays), [](const ScenarioAction &a) {
        return a.verb == ActionVerb::Play;
    });
    // The engine's order: by time, file order at equal times.
    std::stable_sort(plays.begin(), plays.end(), [](const ScenarioAction &a, const ScenarioAction &b) {
        return a.timeMs < b.timeMs;
    });
    return plays;
}

}  // namespace

PlayPrefetch::PlayPrefetch(const std::vector<ScenarioAction> &actions) : plays_(PlaysOf(actions)) {}

PlayPrefetch::~PlayPrefetch()
{
    RequestStop();
    Join();
}

void PlayPrefetch::Start()
{
    if (!plays_.empty() && !thread_.joinable())
        thread_ = std::thread([this] { Run(); });
}

void PlayPrefetch::RequestStop()
{
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    wake_.notify_all();
}

void PlayPrefetch::Join()
{
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

void PlayPrefetch::Advance(int64_t modelMs)
{
    modelMs_.store(modelMs);
    if (modelMs < wakeAtMs_.load())
        return;
    {
        std::lock_guard lock(mutex_);  // the thread is waiting, or has not yet decided to
    }
    wake_.notify_one();
}

PlayOpening PlayPrefetch::Take(const ScenarioAction &action)
{
    PlayOpening opening;
    {
        std::lock_guard lock(mutex_);
        const size_t index = taken_++;
        while (!open_.empty() && open_.front().first < index)
            open_.pop_front();  // not asked for after all
        const bool ready = !open_.empty() && open_.front().first == index;
        const bool same =
            index < plays_.size() && plays_[index].line == action.line && plays_[index].file == action.file;
        if (ready && same) {
            opening = std::move(open_.front().second);
            open_.pop_front();
        } else {
            opening.error = "cannot play \"" + action.file + "\": not opened in time";
        }
    }
    wake_.notify_one();  // room for the next one
    return opening;
}

size_t PlayPrefetch::Waiting()
{
    std::lock_guard lock(mutex_);
    return open_.size();
}

void PlayPrefetch::Run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        next_ = std::max(next_, taken_);  // those taken already are not opened any more
        const bool more = next_ < plays_.size();
        wakeAtMs_.store(more ? DueMs(next_) : INT64_MAX);
        const bool due = more && open_.size() < kMaxWaiting && modelMs_.load() >= DueMs(next_);
        if (stopped_)
            return;
        if (!due) {
            wake_.wait(lock);
            continue;
        }
        const size_t index = next_++;
        lock.unlock();
        PlayOpening opening = OpenPlay(plays_[index]);
        lock.lock();
        if (index >= taken_)
            open_.emplace_back(index, std::move(opening));
    }
}

}  // namespace tvxsim
