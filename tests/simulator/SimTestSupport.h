// Helpers for the simulated adapter's tests: a callback recorder, scenario
// files in the test's temporary directory, and a fixture that leaves the
// library shut down after each test.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/logic/ToneMonitorRows.h"
#include "device/tvxusb.h"
#include "tests/simulator/CidRecordSample.h"

#include <unistd.h>

namespace simtest {

struct Received {
    int32_t code = 0;
    int32_t param = 0;
    int32_t side = 0;
    std::vector<uint8_t> payload;  // 225/228: param bytes
    bool hasEntry = false;         // 229
    ToneMonitorEntry entry{};
    std::string entryName;
    std::string text;  // ScTranslateEventToString inside the callback
    std::thread::id thread;
    std::chrono::steady_clock::time_point when;
};

class Recorder {
public:
    // Runs inside each callback after the event is recorded (on the event thread).
    std::function<void(const Received &, size_t index)> onEvent;

    static int32_t Callback(int32_t event, int32_t param, void *context, const void *payload, int32_t side, int32_t)
    {
        auto *self = static_cast<Recorder *>(context);
        self->inCallback.fetch_add(1);
        if (self->closedReturned.load())
            self->afterClose.fetch_add(1);
        Received r;
        r.code = event;
        r.param = param;
        r.side = side;
        r.thread = std::this_thread::get_id();
        r.when = std::chrono::steady_clock::now();
        if ((event == TVX_EVENT_CALLER_ID || event == TVX_EVENT_CW_CALLER_ID) && payload != nullptr && param > 0) {
            const auto *bytes = static_cast<const uint8_t *>(payload);
            r.payload.assign(bytes, bytes + param);
        }
        if (event == TVX_EVENT_TONE_MONITORED && payload != nullptr) {
            r.hasEntry = true;
            r.entry = *static_cast<const ToneMonitorEntry *>(payload);
            if (r.entry.name != nullptr)
                r.entryName = r.entry.name;
        }
        char text[TVX_TEXT_SIZE];
        text[0] = '\0';
        ScTranslateEventToString(text, event, param);
        r.text = text;
        size_t index = 0;
        {
            std::lock_guard lock(self->mutex);
            self->events.push_back(r);
            index = self->events.size() - 1;
        }
        self->changed.notify_all();
        if (self->onEvent)
            self->onEvent(r, index);
        self->inCallback.fetch_sub(1);
        return 0;
    }

    // Waits until pred(events) holds; false on timeout.
    bool WaitFor(const std::function<bool(const std::vector<Received> &)> &pred,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return pred(events); });
    }
    bool WaitForCount(size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        return WaitFor([n](const std::vector<Received> &e) { return e.size() >= n; }, timeout);
    }
    bool WaitForCode(int32_t code, std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        return WaitFor(
            [code](const std::vector<Received> &e) {
                for (const Received &r : e)
                    if (r.code == code)
                        return true;
                return false;
            },
            timeout);
    }
    std::vector<Received> Snapshot()
    {
        std::lock_guard lock(mutex);
        return events;
    }
    size_t Count()
    {
        std::lock_guard lock(mutex);
        return events.size();
    }
    void Clear()
    {
        std::lock_guard lock(mutex);
        events.clear();
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Received> events;
    std::atomic<int> inCallback{0};
    std::atomic<bool> closedReturned{false};
    std::atomic<int> afterClose{0};
};

// Writes a scenario file and points TVXUSB_SCENARIO at it. The file is the
// process's own: tests run in parallel processes that share the temporary
// directory and the scenario names.
inline std::vector<std::string> &WrittenScenarios()
{
    static std::vector<std::string> paths;
    return paths;
}

inline std::string UseScenario(const std::string &name, const std::string &text)
{
    const std::string path = ::testing::TempDir() + "tvxsim_" + std::to_string(::getpid()) + "_" + name + ".scn";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    setenv("TVXUSB_SCENARIO", path.c_str(), 1);
    WrittenScenarios().push_back(path);
    return path;
}

// The 16 tones the tool arms, in static storage like the tool's.
inline const ToneMonitorEntry *ToneSet()
{
    static const auto set = [] {
        std::array<ToneMonitorEntry, tvx::kToneMonitorRows.size()> rows{};
        for (size_t i = 0; i < rows.size(); ++i) {
            const tvx::ToneMonitorRow &t = tvx::kToneMonitorRows[i];
            rows[i] = {0, t.name, t.duration, t.frequency1, t.frequency2, 0};
        }
        return rows;
    }();
    return set.data();
}

// A test name from a description: letters and digits, the rest as '_'.
inline std::string NameOf(std::string text)
{
    for (char &c : text)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return text;
}

// Points XDG_RUNTIME_DIR at a new folder of this process for its lifetime,
// so that parallel test processes never share a socket.
class PrivateRuntimeDir {
public:
    PrivateRuntimeDir()
    {
        if (const char *v = std::getenv("XDG_RUNTIME_DIR"))
            saved_ = v, hadSaved_ = true;
        std::string pattern = ::testing::TempDir() + "tvxrt_XXXXXX";
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (mkdtemp(buf.data()) != nullptr)
            dir_ = buf.data();
        setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    }
    ~PrivateRuntimeDir()
    {
        // The library's socket and whatever else went into the folder.
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
        if (hadSaved_)
            setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
    }
    PrivateRuntimeDir(const PrivateRuntimeDir &) = delete;
    PrivateRuntimeDir &operator=(const PrivateRuntimeDir &) = delete;

    const std::string &Dir() const { return dir_; }

private:
    std::string dir_;
    std::string saved_;
    bool hadSaved_ = false;
};

// Leaves the library closed, shut down and without a scenario, keeps it off
// the desktop's sound server, and gives each test process a runtime folder
// of its own, so that parallel tests never share the control socket. The recorders
// are members so that they outlive the event thread: TearDown closes first.
class SimulatorTest : public ::testing::Test {
protected:
    Recorder rec;
    Recorder again;
    std::unique_ptr<PrivateRuntimeDir> runtime_;  // after the close, before the next test

    void SetUp() override
    {
        unsetenv("TVXUSB_SCENARIO");
        setenv("TVXUSB_AUDIO", "0", 1);  // nothing on the desktop's sound server; its own tests turn it on
        runtime_ = std::make_unique<PrivateRuntimeDir>();
    }
    void TearDown() override
    {
        ScClose(0);
        ScShutdown(0);
        unsetenv("TVXUSB_SCENARIO");
        for (const std::string &path : WrittenScenarios())
            std::remove(path.c_str());
        WrittenScenarios().clear();
        runtime_.reset();
    }

    // ScInitialize with the recorder, then ScOpen and the tone set; asserts success.
    void OpenWith(Recorder &rec, void *window = nullptr)
    {
        int32_t version = 0;
        ASSERT_EQ(ScInitialize(&Recorder::Callback, &rec, 0, 0, 0, 0, 17, &version, window), 0);
        ASSERT_EQ(version, 3);
        ASSERT_EQ(ScOpen(0, 0), 0);
        ASSERT_EQ(ScMonitorTones(1, ToneSet(), 16), 0);
    }
};

}  // namespace simtest
