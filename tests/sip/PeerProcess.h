// Outside programs the SIP line's tests talk to (sipp, baresip): started
// with their arguments in a folder of their own, ended by their process id,
// each run bounded in time. Free loopback ports for them and the line.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tvxsim::sip::test {

class PeerProcess {
public:
    // Starts `program` with `args` in `folder`; its output goes to folder/<name>.log.
    PeerProcess(const std::string &program, const std::vector<std::string> &args, const std::string &folder,
                const std::string &name);
    ~PeerProcess();
    PeerProcess(const PeerProcess &) = delete;
    PeerProcess &operator=(const PeerProcess &) = delete;

    bool Started() const { return pid_ > 0; }
    // Waits until it exits, at most `timeoutMs`; its exit status, -1 when it did not exit (then it is killed).
    int Wait(int timeoutMs);
    // Ends it now (SIGTERM, then SIGKILL).
    void Stop();
    std::string Output() const;

private:
    pid_t pid_ = -1;
    std::string log_;
    int status_ = -1;
};

// Whether the program is there (on PATH); tests that need it skip with a message otherwise.
bool HaveProgram(const char *name);

// A UDP port on 127.0.0.1 nobody uses now (and its neighbour, for RTCP).
int FreeUdpPort();
// A fresh folder below the test's temporary folder.
std::string TempFolder(const std::string &name);
void WriteFile(const std::string &path, const std::string &text, unsigned mode = 0644);

}  // namespace tvxsim::sip::test
