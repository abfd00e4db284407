#include "simulator/runner/ClientCommands.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>

#include "simulator/control/ControlPath.h"
#include "simulator/control/ScriptClient.h"
#include "simulator/logic/AdapterState.h"
#include "simulator/logic/ScenarioTokens.h"

namespace tvxsim {
namespace {

constexpr int kReplyTimeoutMs = 10'000;  // a live device answers at once
constexpr double kMaxTimeoutS = 86'400.0;

std::string Trimmed(const std::string &s)
{
    const size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos)
        return {};
    const size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

bool Connect(ScriptClient &client, std::ostream &err)
{
    std::string error;
    if (client.Connect(ControlSocketPath(), error))
        return true;
    err << "tvxsim: no simulated device is open (" << error << ")\n";
    return false;
}

int Lost(std::ostream &err, ScriptClient::Read r)
{
    err << (r == ScriptClient::Read::Timeout ? "tvxsim: the device did not answer\n"
                                             : "tvxsim: the device closed the connection\n");
    return kClientNoDevice;
}

bool IsError(const std::string &reply) { return reply == "error" || reply.rfind("error ", 0) == 0; }

// The device sends this instead of any reply when it serves too many clients.
bool TooMany(const std::string &line, std::ostream &err)
{
    if (line != kTooManyClients)
        return false;
    err << "tvxsim: " << line << '\n';
    return true;
}

// Sends a request and reads the first line of its reply.
ScriptClient::Read Ask(ScriptClient &client, const std::string &request, std::string &reply)
{
    if (client.Send(request))
        return client.ReadLine(reply, kReplyTimeoutMs);
    // The device closed at once: one that serves too many clients has said so first.
    if (client.ReadLine(reply, 0) == ScriptClient::Read::Line && reply == kTooManyClients)
        return ScriptClient::Read::Line;
    return ScriptClient::Read::Closed;
}

// Prints a state reply up to its empty line; kClientOk, or the code of what went wrong.
int CopyState(ScriptClient &client, const std::string &first, std::ostream &out, std::ostream &err)
{
    std::string line = first;
    for (;;) {
        if (IsError(line)) {
            out << line << '\n';
            return kClientErrorReply;
        }
        out << line << '\n';
        if (line.empty())
            return kClientOk;
        if (const auto r = client.ReadLine(line, kReplyTimeoutMs); r != ScriptClient::Read::Line)
            return Lost(err, r);
    }
}

int Send(const std::vector<std::string> &requests, std::ostream &out, std::ostream &err)
{
    if (requests.empty()) {
        err << "tvxsim: send needs at least one request\n";
        return kClientUsage;
    }
    for (const std::string &r : requests) {
        if (r.find_first_of("\r\n") != std::string::npos) {
            err << "tvxsim: a request is one line\n";
            return kClientUsage;
        }
        if (Trimmed(r) == "watch") {
            err << "tvxsim: use 'tvxsim watch' to watch\n";
            return kClientUsage;
        }
    }
    ScriptClient client;
    if (!Connect(client, err))
        return kClientNoDevice;
    int rc = kClientOk;
    bool refused = false;  // the last reply was an error: the device may have closed the connection after it
    for (const std::string &request : requests) {
        std::string reply;
        auto r = Ask(client, request, reply);
        if (r == ScriptClient::Read::Closed && refused) {
            // A request too long is answered, then its connection closed; the
            // next request goes on a new one (it never reached the device).
            if (!Connect(client, err))
                return kClientNoDevice;
            r = Ask(client, request, reply);
        }
        if (r != ScriptClient::Read::Line)
            return Lost(err, r);
        if (TooMany(reply, err))
            return kClientTooMany;
        refused = IsError(reply);
        if (Trimmed(request) == "state" && !refused) {
            if (const int s = CopyState(client, reply, out, err); s != kClientOk)
                return s;
            continue;
        }
        out << reply << '\n';
        if (reply != "ok")
            rc = kClientErrorReply;
    }
    out.flush();
    return rc;
}

int State(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    if (!args.empty()) {
        err << "tvxsim: state takes no arguments\n";
        return kClientUsage;
    }
    ScriptClient client;
    if (!Connect(client, err))
        return kClientNoDevice;
    std::string line;
    if (const auto r = Ask(client, "state", line); r != ScriptClient::Read::Line)
        return Lost(err, r);
    if (TooMany(line, err))
        return kClientTooMany;
    if (IsError(line)) {
        err << "tvxsim: " << line << '\n';
        return kClientNoDevice;
    }
    const int rc = CopyState(client, line, out, err);
    out.flush();
    return rc;
}

struct WatchOptions {
    std::optional<int32_t> untilEvent;
    std::optional<double> timeoutS;
};

int ParseWatch(const std::vector<std::string> &args, WatchOptions &o, std::ostream &err)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (a != "--until-event" && a != "--timeout") {
            err << "tvxsim: unexpected argument '" << a
                << "'\nusage: tvxsim watch [--until-event CODE] [--timeout S]\n";
            return kClientUsage;
        }
        if (i + 1 >= args.size()) {
            err << "tvxsim: " << a << (a == "--timeout" ? " needs seconds\n" : " needs an event code\n");
            return kClientUsage;
        }
        const std::string &v = args[++i];
        if (a == "--until-event") {
            // Written as in a scenario's raw event: decimal or 0x hexadecimal.
            int32_t code = 0;
            if (!ParseInt32(Token{v, false}, 0, kInt32Max, code)) {
                err << "tvxsim: --until-event needs an event code (decimal, or hexadecimal with 0x)\n";
                return kClientUsage;
            }
            o.untilEvent = code;
        } else {
            char *end = nullptr;
            const double s = std::strtod(v.c_str(), &end);
            if (v.empty() || end != v.c_str() + v.size() || !(s > 0.0) || s > kMaxTimeoutS) {
                err << "tvxsim: --timeout needs seconds above 0 (at most 86400)\n";
                return kClientUsage;
            }
            o.timeoutS = s;
        }
    }
    return kClientOk;
}

// The code of an event line "<ms> <code> <text>", or -1 for any other line.
int64_t EventCode(const std::string &line)
{
    const size_t sp = line.find(' ');
    if (sp == 0 || sp == std::string::npos)
        return -1;
    int64_t ms = 0;
    if (auto [e, ec] = std::from_chars(line.data(), line.data() + sp, ms); ec != std::errc() || e != line.data() + sp)
        return -1;
    const size_t sp2 = line.find(' ', sp + 1);
    const char *first = line.data() + sp + 1;
    const char *last = line.data() + (sp2 == std::string::npos ? line.size() : sp2);
    int64_t code = 0;
    if (auto [e, ec] = std::from_chars(first, last, code); ec != std::errc() || e != last)
        return -1;
    return code;
}

int Watch(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    WatchOptions o;
    if (const int rc = ParseWatch(args, o, err); rc != kClientOk)
        return rc;
    ScriptClient client;
    if (!Connect(client, err))
        return kClientNoDevice;
    using Clock = std::chrono::steady_clock;
    const auto deadline =
        Clock::now() + std::chrono::milliseconds(static_cast<int64_t>(o.timeoutS.value_or(0.0) * 1000.0));
    const auto left = [&]() -> int {
        if (!o.timeoutS)
            return -1;
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        return static_cast<int>(std::max<int64_t>(ms, 0));
    };
    std::string line;
    if (const auto r = Ask(client, "watch", line); r != ScriptClient::Read::Line)
        return Lost(err, r);
    if (TooMany(line, err))
        return kClientTooMany;
    if (line != "ok") {
        err << "tvxsim: " << line << '\n';
        return IsError(line) ? kClientNoDevice : kClientErrorReply;
    }
    for (;;) {
        const auto r = client.ReadLine(line, left());
        if (r == ScriptClient::Read::Timeout && o.timeoutS) {
            out.flush();
            err << "tvxsim: " << *o.timeoutS << " s passed\n";
            return kClientTimedOut;
        }
        if (r != ScriptClient::Read::Line) {
            out.flush();
            return Lost(err, r);
        }
        out << line << '\n' << std::flush;
        if (o.untilEvent && EventCode(line) == *o.untilEvent)
            return kClientOk;
    }
}

}  // namespace

bool IsClientCommand(const std::vector<std::string> &args)
{
    return !args.empty() && (args[0] == "send" || args[0] == "state" || args[0] == "watch");
}

int RunClientCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    const std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());
    if (!args.empty() && args[0] == "send")
        return Send(rest, out, err);
    if (!args.empty() && args[0] == "state")
        return State(rest, out, err);
    if (!args.empty() && args[0] == "watch")
        return Watch(rest, out, err);
    err << "tvxsim: not a client command\n";
    return kClientUsage;
}

}  // namespace tvxsim
