// The scripting end of the control socket (pure POSIX): a blocking client
// that connects, sends request lines and reads reply lines with a deadline,
// for tvxsim send / state / watch and the tests. Close-on-exec, and a
// closed peer never raises SIGPIPE.
#pragma once

#include <string>
#include <string_view>

namespace tvxsim {

class ScriptClient {
public:
    enum class Read {
        Line,     // a whole line (without its newline)
        Closed,   // the server closed the connection
        Timeout,  // nothing whole came in time
    };

    ScriptClient() = default;
    ~ScriptClient();
    ScriptClient(const ScriptClient &) = delete;
    ScriptClient &operator=(const ScriptClient &) = delete;

    // Connects to the socket at path; false with the reason when nothing
    // listens there (no socket, or refused).
    bool Connect(const std::string &path, std::string &error);
    // Sends line and a newline; false when the connection failed.
    bool Send(std::string_view line);
    // The next line; waits at most timeoutMs (negative: no limit).
    Read ReadLine(std::string &line, int timeoutMs);
    void Close();

private:
    static constexpr size_t kMaxLine = 1 << 20;  // a longer line is cut there

    int fd_ = -1;
    std::string buffer_;
    bool ended_ = false;
};

}  // namespace tvxsim
