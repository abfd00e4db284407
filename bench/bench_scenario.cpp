// Scenario files at the size limit: parse time and the memory it takes, for
// a file of junk lines, a file of valid lines (the item cap reached), and a
// file of long payload lines. Each file is loaded in a child process so that
// its peak memory is its own.
//   bench_scenario        prints one line per file
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "simulator/logic/Scenario.h"

namespace {

std::string MakeFile(const char *name, const std::function<std::string(size_t)> &line)
{
    const std::string path = "/tmp/bench_scenario_" + std::to_string(::getpid()) + "_" + name;
    std::ofstream out(path, std::ios::binary);
    size_t bytes = 0;
    for (size_t i = 0;; ++i) {
        const std::string l = line(i);
        if (bytes + l.size() > tvxsim::kScenarioMaxFileBytes)
            break;
        out << l;
        bytes += l.size();
    }
    return path;
}

void Measure(const char *what, const std::string &path)
{
    const pid_t child = ::fork();
    if (child == 0) {
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        const auto start = std::chrono::steady_clock::now();
        const tvxsim::Scenario sc = tvxsim::LoadScenarioFile(path);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        std::printf("%-34s %7.0f ms  peak RSS %6.1f MiB (%.1f MiB before)  items %zu  bad lines %lld  reported %zu\n",
                    what,
                    ms,
                    after.ru_maxrss / 1024.0,
                    before.ru_maxrss / 1024.0,
                    sc.events.size() + sc.actions.size() + sc.numbers.size(),
                    static_cast<long long>(sc.badLines),
                    sc.errors.size());
        std::fflush(stdout);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    std::remove(path.c_str());
}

}  // namespace

int main()
{
    Measure("16 MiB of junk lines", MakeFile("junk", [](size_t i) { return "@" + std::to_string(i % 10) + "\n"; }));
    Measure("16 MiB of event lines", MakeFile("events", [](size_t i) { return std::to_string(i % 1000) + " 112\n"; }));
    Measure("16 MiB of 1024-byte payload lines", MakeFile("payload", [](size_t) {
                std::string l = "0 225 - 2 ";
                for (int b = 0; b < 512; ++b)
                    l += "A5B6";
                return l + "\n";
            }));
    Measure("16 MiB of far-end actions", MakeFile("actions", [](size_t i) {
                return std::to_string(i % 86400000) + " far dtmf \"0123456789*#ABCD\" 40 40\n";
            }));
    return 0;
}
