// Helpers for the control socket's tests: a line client with a deadline
// (the private runtime folder is every simulator test's, in SimTestSupport.h).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
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

}  // namespace simtest
