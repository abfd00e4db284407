// Helpers for the control socket's tests: a private runtime folder for the
// library's socket, and a line client with a deadline.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "simulator/control/ControlClient.h"
#include "simulator/control/ControlPath.h"

namespace simtest {

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
        std::remove(tvxsim::ControlSocketPath().c_str());
        rmdir(tvxsim::ControlSocketFolder().c_str());
        rmdir(dir_.c_str());
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

// Sends one request and reads its one-line reply ("" when none came).
inline std::string Ask(tvxsim::ControlClient &client, const std::string &request, int timeoutMs = 5000)
{
    std::string reply;
    if (!client.Send(request) || client.ReadLine(reply, timeoutMs) != tvxsim::ControlClient::Read::Line)
        return {};
    return reply;
}

// The state lines of one `state` request, without the empty line.
inline std::vector<std::string> AskState(tvxsim::ControlClient &client)
{
    std::vector<std::string> lines;
    if (!client.Send("state"))
        return lines;
    std::string line;
    while (client.ReadLine(line, 5000) == tvxsim::ControlClient::Read::Line && !line.empty())
        lines.push_back(line);
    return lines;
}

}  // namespace simtest
