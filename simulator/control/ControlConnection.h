// One control connection without its socket: the bytes it received framed
// into request lines, each request answered through a ControlDoor, and for
// a watcher the state lines that changed since it last heard them.
//
// Lines end with "\n"; a "\r" before it is dropped. A line of more than
// kMaxLine bytes (newline included) gets one error and ends the connection.
// After `watch` whatever the client sends is ignored.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "simulator/control/ControlDoor.h"
#include "simulator/logic/AdapterState.h"

namespace tvxsim {

class ControlConnection {
public:
    static constexpr size_t kMaxLine = kMaxRequestBytes;
    // The most reply lines one request gives (state: its lines and the empty one).
    static constexpr size_t kMaxReplyLines = kStateLines + 1;

    // How many bytes Receive() takes now (a watcher's are thrown away).
    size_t Room() const;
    // Takes received bytes; those beyond Room() are ignored.
    void Receive(std::string_view bytes);
    // Answers the next whole request waiting, appending its reply lines
    // (without newlines) to out; false when none is waiting.
    bool HandleNext(ControlDoor &door, std::vector<std::string> &out);

    bool Watching() const { return watching_; }
    // A line was too long: send what is queued, then close.
    bool Closing() const { return closing_; }
    // The lines a watcher has not heard in their present value, as
    // "state <name> <value>"; the time and the levels only when `periodic`.
    void Changes(const StateValues &now, bool periodic, std::vector<std::string> &out);

private:
    void Answer(std::string_view line, ControlDoor &door, std::vector<std::string> &out);

    std::string input_;
    bool watching_ = false;
    bool closing_ = false;
    StateValues heard_;  // a watcher's last values of each line
};

// Text from a reply or error kept to one line: control bytes become '?'.
std::string OneLine(std::string text);

}  // namespace tvxsim
