// A private, headless sound server for the tests and benchmarks that need
// one (tests/support/pipewire-session.sh), seen from C++: start it, point
// this process's environment at it, stop or restart its servers, list its
// nodes, and run the server's command-line tools (pw-record, pw-play) in the
// background, each stopped by its process id.
#pragma once

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/Programs.h"

extern char **environ;

namespace tvxtest {

// Runs a shell command; its standard output (and error, when asked).
inline std::string CommandOutput(const std::string &command, bool withErrors = true)
{
    std::string out;
    if (FILE *p = ::popen((command + (withErrors ? " 2>&1" : " 2>/dev/null")).c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

inline bool HaveTool(const char *tool) { return tvxtest::HaveProgram(tool); }

// A program running in the background until Stop() (SIGINT, then SIGKILL).
class Background {
public:
    explicit Background(const std::vector<std::string> &argv)
    {
        std::vector<char *> args;
        for (const std::string &a : argv)
            args.push_back(const_cast<char *>(a.c_str()));
        args.push_back(nullptr);
        if (::posix_spawnp(&pid_, args[0], nullptr, nullptr, args.data(), environ) != 0)
            pid_ = -1;
    }
    ~Background() { Stop(); }
    Background(const Background &) = delete;
    Background &operator=(const Background &) = delete;
    Background(Background &&other) noexcept : pid_(std::exchange(other.pid_, -1)) {}
    Background &operator=(Background &&) = delete;

    bool Running() const { return pid_ > 0; }
    // Stops it; its exit status (-1 when it never ran).
    int Stop()
    {
        if (pid_ <= 0)
            return -1;
        ::kill(pid_, SIGINT);
        int status = 0;
        for (int i = 0; i < 50; ++i) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return status;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return status;
    }
    // Waits for it to end by itself; false on timeout.
    bool Wait(std::chrono::milliseconds timeout)
    {
        const auto end = std::chrono::steady_clock::now() + timeout;
        int status = 0;
        while (pid_ > 0 && std::chrono::steady_clock::now() < end) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_)
                pid_ = -1;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return pid_ <= 0;
    }

private:
    pid_t pid_ = -1;
};

// One node of the server as `pw-cli ls Node` lists it: its properties.
using NodeProps = std::map<std::string, std::string>;

class PipeWireSession {
public:
    // Starts a session in a new temporary folder and points this process at it.
    bool Start()
    {
        char dir[] = "/tmp/tvx-pipewire.XXXXXX";
        if (::mkdtemp(dir) == nullptr)
            return false;
        dir_ = dir;
        const std::string env = CommandOutput(Script() + " start '" + dir_ + "'", false);
        std::istringstream lines(env);
        std::string line;
        bool any = false;
        while (std::getline(lines, line)) {
            const size_t eq = line.find('=');
            if (eq == std::string::npos)
                continue;
            ::setenv(line.substr(0, eq).c_str(), line.substr(eq + 1).c_str(), 1);
            any = true;
        }
        ::unsetenv("PULSE_SERVER");
        ::unsetenv("PIPEWIRE_REMOTE");
        return any && std::getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr;
    }
    void Stop()
    {
        if (dir_.empty())
            return;
        std::system((Script() + " stop '" + dir_ + "'").c_str());
        std::system(("rm -rf '" + dir_ + "'").c_str());
        dir_.clear();
    }
    ~PipeWireSession() { Stop(); }

    // Only the sound server (the session bus stays), and back.
    bool StopServer() { return std::system((Script() + " stop-server '" + dir_ + "'").c_str()) == 0; }
    bool StartServer() { return std::system((Script() + " start-server '" + dir_ + "'").c_str()) == 0; }
    const std::string &Folder() const { return dir_; }

    static std::string Script() { return TVX_PIPEWIRE_SESSION_SCRIPT; }

    // The server's nodes now.
    static std::vector<NodeProps> Nodes()
    {
        std::vector<NodeProps> nodes;
        std::istringstream lines(CommandOutput("timeout 5 pw-cli ls Node", false));
        std::string line;
        while (std::getline(lines, line)) {
            if (line.rfind("\tid ", 0) == 0) {
                nodes.emplace_back();
                continue;
            }
            const size_t eq = line.find(" = ");
            if (nodes.empty() || eq == std::string::npos)
                continue;
            std::string key = line.substr(0, eq);
            key.erase(0, key.find_first_not_of(" \t"));
            std::string value = line.substr(eq + 3);
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            nodes.back()[key] = value;
        }
        return nodes;
    }
    static const NodeProps *Find(const std::vector<NodeProps> &nodes, const std::string &name)
    {
        for (const NodeProps &n : nodes) {
            const auto it = n.find("node.name");
            if (it != n.end() && it->second == name)
                return &n;
        }
        return nullptr;
    }
    // Waits until every named node is there (present) or none is (!present).
    static bool WaitForNodes(const std::vector<std::string> &names, bool present,
                             std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        const auto end = std::chrono::steady_clock::now() + timeout;
        do {
            const std::vector<NodeProps> nodes = Nodes();
            const bool all = std::all_of(names.begin(), names.end(), [&](const std::string &n) {
                return (Find(nodes, n) != nullptr) == present;
            });
            if (all)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        } while (std::chrono::steady_clock::now() < end);
        return false;
    }

    // Waits until a link from or to the named node exists (a program has linked to it).
    static bool WaitForLink(const std::string &name, std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        const auto end = std::chrono::steady_clock::now() + timeout;
        do {
            if (CommandOutput("timeout 5 pw-link -l", false).find(name + ":") != std::string::npos)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        } while (std::chrono::steady_clock::now() < end);
        return false;
    }

    // The default microphone's node (a null sink shown as a source): what is
    // played into its input comes out of it as the microphone's sound.
    static constexpr char kMicrophone[] = "tvx-null-source";

    // Plays a mono WAV file into the named node's input (by default the test
    // microphone). The session manager links playback streams only to sinks,
    // so the player starts unlinked and is linked here by hand; false in
    // `linked` when that failed within the timeout. The file should begin
    // with some silence: the player may run a little before its link.
    static Background PlayInto(const std::string &file, bool &linked, const std::string &node = kMicrophone,
                               std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        static int count = 0;
        const std::string name = "tvx-test-player-" + std::to_string(::getpid()) + "-" + std::to_string(++count);
        Background player({"pw-play", "--target", "0", "-P", "{ node.name = " + name + " }", file});
        const std::string link =
            "timeout 5 pw-link '" + name + ":output_MONO' '" + node + ":input_MONO' >/dev/null 2>&1";
        const auto end = std::chrono::steady_clock::now() + timeout;
        linked = false;
        while (player.Running() && !linked && std::chrono::steady_clock::now() < end) {
            linked = std::system(link.c_str()) == 0;
            if (!linked)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return player;
    }

private:
    std::string dir_;
};

}  // namespace tvxtest
