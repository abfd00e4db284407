#include "tests/sip/PeerProcess.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <string_view>
#include <thread>
#include <vector>

#include "tests/support/Programs.h"

extern char **environ;

namespace tvxsim::sip::test {

PeerProcess::PeerProcess(const std::string &program, const std::vector<std::string> &args, const std::string &folder,
                         const std::string &name)
    : log_(folder + "/" + name + ".log")
{
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char *> raw;
    for (std::string &a : argv)
        raw.push_back(a.data());
    raw.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    // A process group of its own, so that its children end with it.
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, program.c_str(), &actions, &attr, raw.data(), environ) == 0)
        pid_ = pid;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
}

PeerProcess::~PeerProcess() { Stop(); }

int PeerProcess::Wait(int timeoutMs)
{
    if (pid_ <= 0)
        return status_;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        const pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            pid_ = -1;
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return status_;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Stop();
    return -1;
}

void PeerProcess::Stop()
{
    if (pid_ <= 0)
        return;
    kill(-pid_, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(-pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
}

std::string PeerProcess::Output() const
{
    std::ifstream in(log_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool HaveProgram(const char *name) { return tvxtest::HaveProgram(name); }

int FreeUdpPort()
{
    // Two neighbouring free ports (RTP and RTCP), both free on UDP and TCP.
    for (int attempt = 0; attempt < 50; ++attempt) {
        const int fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
        getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len);
        const int port = ntohs(a.sin_port);
        close(fd);
        if (port % 2 != 0 || port > 60000)
            continue;
        bool free = true;
        for (int p : {port, port + 1}) {
            for (int type : {SOCK_DGRAM, SOCK_STREAM}) {
                const int s = socket(AF_INET, type, 0);
                sockaddr_in b{};
                b.sin_family = AF_INET;
                b.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                b.sin_port = htons(static_cast<uint16_t>(p));
                free = free && bind(s, reinterpret_cast<sockaddr *>(&b), sizeof b) == 0;
                close(s);
            }
        }
        if (free)
            return port;
    }
    return 0;
}

std::string TempFolder(const std::string &name)
{
    // Kept while the process runs (its peers' logs and recordings are read
    // to the end), removed with everything in them when it ends.
    static struct Made {
        std::mutex lock;
        std::vector<std::string> paths;
        ~Made()
        {
            std::error_code ignored;
            for (const std::string &path : paths)
                std::filesystem::remove_all(path, ignored);
        }
    } made;
    const char *base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/tvx-sip-" + name + "-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        return {};
    std::lock_guard<std::mutex> hold(made.lock);
    made.paths.push_back(pattern);
    return pattern;
}

void WriteFile(const std::string &path, const std::string &text, unsigned mode)
{
    std::ofstream(path) << text;
    chmod(path.c_str(), mode);
}

std::string WriteFinalScenario(const std::string &folder, const std::string &status, const std::string &reason)
{
    static constexpr std::string_view kPlaceholder = "SIP/2.0 STATUS REASON";
    std::ifstream in(std::string(TVX_SIPP_SCENARIO_DIR) + "/uas_final.xml");
    std::string scenario((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t at = scenario.find(kPlaceholder);
    if (at == std::string::npos)
        return {};
    scenario.replace(at, kPlaceholder.size(), "SIP/2.0 " + status + " " + reason);
    const std::string path = folder + "/final.xml";
    WriteFile(path, scenario);
    return path;
}

std::vector<std::string> SippArgs(const SippRun &run)
{
    std::vector<std::string> args{"-sf",
                                  run.scenario.find('/') == std::string::npos
                                      ? std::string(TVX_SIPP_SCENARIO_DIR) + "/" + run.scenario
                                      : run.scenario,
                                  "-i",
                                  run.from};
    if (run.listen > 0)
        args.insert(args.end(), {"-p", std::to_string(run.listen)});
    args.insert(args.end(),
                {"-mp", std::to_string(run.media > 0 ? run.media : FreeUdpPort()), "-m", std::to_string(run.calls)});
    args.insert(args.end(), run.extra.begin(), run.extra.end());
    args.insert(args.end(), {"-nostdin", "-timeout", std::to_string(run.timeoutS) + "s", "-timeout_error"});
    if (run.call > 0)
        args.push_back("127.0.0.1:" + std::to_string(run.call));
    return args;
}

bool WaitUdpBound(int port, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const int s = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<uint16_t>(port));
        const bool taken = bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 && errno == EADDRINUSE;
        close(s);
        if (taken)
            return true;
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace tvxsim::sip::test
