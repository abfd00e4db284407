// What the SIP line's benchmarks share: the peer's presence, clocks, CPU
// time of the process and of one named thread, the resident memory,
// percentiles.
#pragma once

#include <dirent.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "simulator/sip/SipLine.h"
#include "tests/sip/PeerProcess.h"

namespace tvxsim::sip::bench {

// Whether the peer program is installed; when it is not, says so on stderr
// (the benchmark then exits 2).
inline bool PeerInstalled(const char *program)
{
    if (test::HaveProgram(program))
        return true;
    std::fprintf(stderr, "%s is not installed (scripts/install-deps.sh)\n", program);
    return false;
}

inline double NowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

inline double ProcessCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// CPU seconds of this process's thread named `name` (/proc/self/task/*/comm); -1 when none.
inline double ThreadCpuSeconds(const std::string &name)
{
    DIR *dir = opendir("/proc/self/task");
    if (dir == nullptr)
        return -1;
    double seconds = -1;
    while (const dirent *e = readdir(dir)) {
        const std::string task = std::string("/proc/self/task/") + e->d_name;
        std::ifstream comm(task + "/comm");
        std::string n;
        std::getline(comm, n);
        if (n != name)
            continue;
        std::ifstream stat(task + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        const size_t close = text.rfind(')');
        std::vector<std::string> fields;
        size_t at = close + 2;
        while (at < text.size()) {
            const size_t space = text.find(' ', at);
            fields.push_back(text.substr(at, space - at));
            if (space == std::string::npos)
                break;
            at = space + 1;
        }
        // Fields after the name: state is 0, utime 11, stime 12 (clock ticks).
        if (fields.size() > 12)
            seconds = (std::stod(fields[11]) + std::stod(fields[12])) / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
    closedir(dir);
    return seconds;
}

inline long RssKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

inline double Percentile(std::vector<double> v, double q)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    const size_t at = std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size() - 1) + 0.5));
    return v[at];
}

inline void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Waits up to 5 s for a peer to listen on `port`; says so on stderr when it does not.
inline bool PeerListening(int port)
{
    if (test::WaitUdpBound(port))
        return true;
    std::fprintf(stderr, "no peer listens on port %d\n", port);
    return false;
}

// Waits up to 5 s for the line to be up; says why on stderr when it is not.
inline bool LineUp(const SipLine &line)
{
    for (int waited = 0; !line.Up(); waited += 5) {
        if (waited >= 5000) {
            std::fprintf(stderr, "the SIP line did not come up: %s\n", line.Status().fault.c_str());
            return false;
        }
        SleepMs(5);
    }
    return true;
}

}  // namespace tvxsim::sip::bench
