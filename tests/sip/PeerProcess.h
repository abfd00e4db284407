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

// One run of sipp: its scenario (a file of tests/sip/sipp/, or a path with
// a '/'), the address it sends from, the port it listens on as a UAS or the
// line's port it calls as a UAC, its calls, its other options, its bound.
struct SippRun {
    std::string scenario{};
    std::string from = "127.0.0.1";
    int listen = 0;  // a UAS's port (0: sipp's own choice)
    int call = 0;    // a UAC's target on 127.0.0.1 (0: none)
    int media = 0;   // its media port (0: a free one)
    int calls = 1;
    std::vector<std::string> extra{};
    int timeoutS = 20;
};
// The arguments of that run: -sf, -i, -p, a free media port, -m, the extra
// options, -nostdin, and its bound (an error when reached), then its target.
std::vector<std::string> SippArgs(const SippRun &run);

// sipp's keys for an SDP of PCMU alone (its scenarios offer and answer what
// the keys say), for a run's `extra`.
inline const std::vector<std::string> kSippPcmuOnly = {
    "-key", "codecs", "0", "-key", "rtpmaps", "a=rtpmap:0 PCMU/8000"};

// sipp's keys for the payload types `codecs` ("0 101") with telephone-events as 101.
inline std::vector<std::string> SippEventKeys(const char *codecs)
{
    return {"-key", "codecs", codecs, "-key", "rtpmaps", "a=rtpmap:101 telephone-event/8000"};
}

// sipp's keys after -rtp_echo: it sends back the audio it gets.
inline std::vector<std::string> Echoing(const std::vector<std::string> &keys)
{
    std::vector<std::string> extra = {"-rtp_echo"};
    extra.insert(extra.end(), keys.begin(), keys.end());
    return extra;
}

// Writes folder/final.xml: the UAS scenario that answers every INVITE with
// this final status and reason. Its path, or empty when the scenario it
// comes from has no status to replace.
std::string WriteFinalScenario(const std::string &folder, const std::string &status, const std::string &reason);

// Whether the program is there (on PATH); tests that need it skip with a message otherwise.
bool HaveProgram(const char *name);

// A UDP port on 127.0.0.1 nobody uses now (and its neighbour, for RTCP).
int FreeUdpPort();
// Waits until something has bound this UDP port on loopback (a peer that
// has started listening); false after timeoutMs.
bool WaitUdpBound(int port, int timeoutMs = 5000);
// A folder of its own under $TMPDIR or /tmp, removed when the process ends.
std::string TempFolder(const std::string &name);
void WriteFile(const std::string &path, const std::string &text, unsigned mode = 0644);

}  // namespace tvxsim::sip::test
