// Helpers for the control socket's tests: a line client with a deadline, and
// the model's own time as the socket tells it (the private runtime folder is
// every simulator test's, in SimTestSupport.h).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "simulator/control/ControlPath.h"
#include "simulator/control/ScriptClient.h"
#include "tests/simulator/SimTestSupport.h"

namespace simtest {

// Sends one request and reads its one-line reply ("" when none came).
inline std::string Ask(tvxsim::ScriptClient &client, const std::string &request, int timeoutMs = 5000)
{
    std::string reply;
    if (!client.Send(request) || client.ReadLine(reply, timeoutMs) != tvxsim::ScriptClient::Read::Line)
        return {};
    return reply;
}

// The state lines of one `state` request, without the empty line.
inline std::vector<std::string> AskState(tvxsim::ScriptClient &client)
{
    std::vector<std::string> lines;
    if (!client.Send("state"))
        return lines;
    std::string line;
    while (client.ReadLine(line, 5000) == tvxsim::ScriptClient::Read::Line && !line.empty())
        lines.push_back(line);
    return lines;
}

// The model's time in milliseconds as the open device's state gives it, or
// -1 when no device answers.
inline int64_t ModelMs(tvxsim::ScriptClient &client)
{
    for (const std::string &line : AskState(client))
        if (line.rfind("time ", 0) == 0)
            return std::stoll(line.substr(5));
    return -1;
}

// Waits until the open device's model has reached ms. The model never runs
// ahead of the wall clock but falls behind it on a busy machine, so a wait
// on the wall clock may end before the model has got there. False when no
// device answers, or after a minute.
inline bool WaitForModelMs(int64_t ms)
{
    tvxsim::ScriptClient client;
    std::string error;
    if (!client.Connect(tvxsim::ControlSocketPath(), error))
        return false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    for (;;) {
        const int64_t now = ModelMs(client);
        if (now < 0 || std::chrono::steady_clock::now() > end)
            return false;
        if (now >= ms)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// A `watch` on the open device's control socket: the events as delivered,
// each with the model's time at which it was reported, however late the
// busy machine delivered it.
class EventWatch {
public:
    // Connects and starts watching; false when no device answers.
    bool Start()
    {
        std::string error;
        if (!client_.Connect(tvxsim::ControlSocketPath(), error) || !client_.Send("watch"))
            return false;
        std::string line;
        return client_.ReadLine(line, 10000) == tvxsim::ScriptClient::Read::Line && line == "ok";
    }
    // The model's time of the first event with this code since Start(),
    // reading on until it comes; -1 when it has not within timeoutMs.
    int64_t FirstMs(int32_t code, int timeoutMs = 10000)
    {
        std::string line;
        while (first_.count(code) == 0) {
            if (client_.ReadLine(line, timeoutMs) != tvxsim::ScriptClient::Read::Line)
                return -1;
            if (line.rfind("state ", 0) == 0 || line.rfind("dropped ", 0) == 0)
                continue;
            std::istringstream fields(line);
            int64_t ms = 0;
            int32_t event = 0;
            if (fields >> ms >> event)
                first_.emplace(event, ms);
        }
        return first_.at(code);
    }

private:
    tvxsim::ScriptClient client_;
    std::map<int32_t, int64_t> first_;
};

}  // namespace simtest
