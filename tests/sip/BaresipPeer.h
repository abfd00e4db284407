// baresip as the line's far party: started with a configuration of its
// own (SIP and its control socket on 127.0.0.1, G.711 only, a silent file
// as its microphone, no sound device, what it sends and receives recorded
// as WAV files), driven through its ctrl_tcp module, its events kept.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/sip/PeerProcess.h"

namespace tvxsim::sip::test {

struct BaresipEvent {
    std::string type;   // "CALL_INCOMING", "CALL_ESTABLISHED", "CALL_DTMF_START", ...
    std::string param;  // the event's parameter (a digit, a peer URI)
};

class BaresipPeer {
public:
    // Listens on 127.0.0.1:`sipPort` as "Bob Baresip" <sip:5550123@127.0.0.1:`sipPort`>.
    BaresipPeer(const std::string &folder, int sipPort);
    ~BaresipPeer();
    BaresipPeer(const BaresipPeer &) = delete;
    BaresipPeer &operator=(const BaresipPeer &) = delete;

    // Whether it runs and its control socket answered.
    bool Ready() const { return fd_ >= 0; }
    // Sends a command ("dial sip:...", "accept", "hangup", "sndcode 5"); false when it could not be sent.
    bool Command(const std::string &command, const std::string &params = {});
    std::vector<BaresipEvent> Events() const;
    bool WaitFor(const std::string &type, int timeoutMs, BaresipEvent *event = nullptr) const;
    // The digits of its CALL_DTMF_START events.
    std::string DigitsReceived() const;
    // What it recorded of the call's received audio (the decoder's side).
    std::string ReceivedRecording() const;
    std::string Output() const { return process_ ? process_->Output() : std::string(); }
    // Ends it: it hangs up what is up.
    void Stop();

private:
    void Read();

    std::string folder_;
    std::unique_ptr<PeerProcess> process_;
    int fd_ = -1;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::vector<BaresipEvent> events_;
    int token_ = 0;
};

}  // namespace tvxsim::sip::test
