// The control socket of an open simulated device, over a real socket in a
// private runtime folder: requests and replies, the client limit, slow and
// vanishing clients, stale and foreign sockets, the folder's checks, and
// tvxsim's send, state and watch with their exit codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "simulator/control/ControlPath.h"
#include "simulator/control/ScriptClient.h"
#include "simulator/logic/AdapterState.h"
#include "simulator/runner/ClientCommands.h"
#include "tests/simulator/ControlTestSupport.h"
#include "tests/simulator/SimTestSupport.h"
#include "tests/simulator/SoundFiles.h"

namespace {

using tvxsim::ControlSocketPath;
using tvxsim::ScriptClient;

// The fixture's private runtime folder holds the socket.
class ControlSocket : public simtest::SimulatorTest {
protected:
    std::unique_ptr<ScriptClient> Connected()
    {
        auto c = std::make_unique<ScriptClient>();
        std::string error;
        EXPECT_TRUE(c->Connect(ControlSocketPath(), error)) << error;
        return c;
    }
    int Tvxsim(const std::vector<std::string> &args, std::string *out = nullptr, std::string *err = nullptr)
    {
        std::ostringstream o, e;
        const int rc = tvxsim::RunClientCommand(args, o, e);
        if (out)
            *out = o.str();
        if (err)
            *err = e.str();
        return rc;
    }
};

// The lines that do not move by themselves (no time, no levels).
std::vector<std::string> Steady(std::vector<std::string> lines)
{
    std::erase_if(lines, [](const std::string &l) { return l.rfind("time ", 0) == 0 || l.rfind("level-", 0) == 0; });
    return lines;
}

bool Exists(const std::string &path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

TEST_F(ControlSocket, RepliesOkOrAnErrorThatChangesNothing)
{
    OpenWith(rec);
    struct stat st {};
    ASSERT_EQ(lstat(ControlSocketPath().c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(lstat(tvxsim::ControlSocketFolder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    auto c = Connected();
    const std::vector<std::string> before = Steady(simtest::AskState(*c));
    ASSERT_EQ(before.size(), tvxsim::kStateLines - 7);  // all but the time and the six levels
    for (const char *bad : {"far ring 0",
                            "x y",
                            "phone offhook now",
                            "repeat 2 0 0 112",
                            "far play \"/nonexistent/a.wav\"",
                            "adapter command 70000",
                            "number \"12x\" busy",
                            "",
                            "watch me"})
        EXPECT_EQ(simtest::Ask(*c, bad).rfind("error ", 0), 0u) << bad;
    EXPECT_EQ(simtest::Ask(*c, "listen on"), "error sound-server audio is off");  // the tests run with TVXUSB_AUDIO=0
    EXPECT_EQ(Steady(simtest::AskState(*c)), before);

    EXPECT_EQ(simtest::Ask(*c, "phone offhook"), "ok");
    EXPECT_EQ(simtest::Ask(*c, "adapter command 59"), "ok");  // mute phone on
    EXPECT_TRUE(rec.WaitForCode(64));
    const std::vector<std::string> after = simtest::AskState(*c);
    EXPECT_NE(std::find(after.begin(), after.end(), "phone offhook"), after.end());
    EXPECT_NE(std::find(after.begin(), after.end(), "mute-phone on"), after.end());
    EXPECT_NE(std::find(after.begin(), after.end(), "audio off"), after.end());
    // A raw event is reported now, through the callback.
    EXPECT_EQ(simtest::Ask(*c, "225 - - 80 1E"), "ok");
    EXPECT_TRUE(rec.WaitFor([](const std::vector<simtest::Received> &e) {
        return std::any_of(e.begin(), e.end(), [](const simtest::Received &r) {
            return r.code == 225 && r.payload == std::vector<uint8_t>{0x80, 0x1E};
        });
    }));

    ScClose(0);
    EXPECT_FALSE(Exists(ControlSocketPath()));  // removed at close
    std::string line;
    EXPECT_EQ(c->ReadLine(line, 5000), ScriptClient::Read::Closed);
}

TEST_F(ControlSocket, APlayRequestOpensItsFileBeforeTheReply)
{
    OpenWith(rec);
    auto c = Connected();
    const std::string wav = ::testing::TempDir() + "tvxctl_" + std::to_string(getpid()) + "_tone.wav";
    std::vector<int16_t> tone(16000);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<int16_t>(8000.0 * std::sin(2.0 * M_PI * 1000.0 * static_cast<double>(i) / 16000.0));
    simtest::WriteWav16(wav, 16000, 1, tone);
    const std::string missing = simtest::Ask(*c, "pc play \"" + wav + ".missing\"");
    EXPECT_EQ(missing.rfind("error cannot play", 0), 0u) << missing;
    EXPECT_EQ(simtest::Ask(*c, "pc play \"" + wav + "\" -6"), "ok");
    std::remove(wav.c_str());  // opened before the reply: it plays all the same
    bool heard = false;
    for (int i = 0; i < 50 && !heard; ++i) {
        for (const std::string &line : simtest::AskState(*c))
            if (line.rfind("level-pc-out ", 0) == 0 && std::stod(line.substr(13)) > -40.0)
                heard = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(heard);
}

TEST_F(ControlSocket, ASeventeenthClientIsToldAndClosed)
{
    OpenWith(rec);
    std::vector<std::unique_ptr<ScriptClient>> clients;
    for (int i = 0; i < 16; ++i) {
        clients.push_back(Connected());
        ASSERT_EQ(simtest::Ask(*clients.back(), "phone onhook"), "ok") << i;
    }
    auto extra = Connected();
    std::string line;
    ASSERT_EQ(extra->ReadLine(line, 5000), ScriptClient::Read::Line);
    EXPECT_EQ(line, "error too many clients (16)");
    EXPECT_EQ(extra->ReadLine(line, 5000), ScriptClient::Read::Closed);
    // tvxsim's commands say so, each with the code of its own.
    std::string out;
    for (const std::vector<std::string> &command :
         {std::vector<std::string>{"send", "phone onhook"}, {"state"}, {"watch", "--timeout", "5"}}) {
        std::string err;
        EXPECT_EQ(Tvxsim(command, &out, &err), tvxsim::kClientTooMany) << command[0] << ": " << err;
        EXPECT_EQ(out, "") << command[0];
        EXPECT_EQ(err, "tvxsim: error too many clients (16)\n") << command[0];
    }
    // A place frees up as a client goes: one that connects after it is
    // served, however late the server sees the hang-up.
    for (int i = 0; i < 20; ++i) {
        clients.pop_back();
        clients.push_back(Connected());
        ASSERT_EQ(simtest::Ask(*clients.back(), "phone onhook", 5000), "ok") << i;
    }
}

TEST_F(ControlSocket, AWatcherThatNeverReadsLosesItsOldestLinesAndHoldsNothingUp)
{
    constexpr int kFlood = 30000;
    simtest::UseScenario("control_flood", "repeat " + std::to_string(kFlood) + " 0 300 112\n");
    OpenWith(rec);
    // The slow watcher's own socket buffer is kept small.
    auto slow = std::make_unique<ScriptClient>();
    std::string error;
    ASSERT_TRUE(slow->Connect(ControlSocketPath(), error)) << error;
    ASSERT_TRUE(slow->Send("watch"));
    std::string line;
    ASSERT_EQ(slow->ReadLine(line, 5000), ScriptClient::Read::Line);
    ASSERT_EQ(line, "ok");

    // Every callback comes while the watcher reads nothing, and others are answered.
    ASSERT_TRUE(rec.WaitForCount(kFlood, std::chrono::seconds(60)));
    auto other = Connected();
    EXPECT_EQ(simtest::Ask(*other, "phone onhook"), "ok");

    // What the watcher gets: event lines and counts of the lost, adding up to the flood.
    int64_t events = 0, dropped = 0, dropLines = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (events + dropped < kFlood && std::chrono::steady_clock::now() < deadline) {
        if (slow->ReadLine(line, 5000) != ScriptClient::Read::Line)
            break;
        if (line.rfind("dropped ", 0) == 0) {
            dropped += std::stoll(line.substr(8));
            ++dropLines;
        } else if (line.find(" 112 Voice detected") != std::string::npos) {
            ++events;
        }
    }
    EXPECT_EQ(events + dropped, kFlood);
    EXPECT_GT(dropped, 0);
    EXPECT_GE(dropLines, 1);
}

TEST_F(ControlSocket, EarlyClosesAndOversizedLinesLeaveTheDeviceAsItWas)
{
    OpenWith(rec);
    auto c = Connected();
    const std::vector<std::string> before = Steady(simtest::AskState(*c));
    {
        auto half = Connected();  // half a request, then gone
        ASSERT_TRUE(half->Send("far ri"));
    }
    {
        auto unread = Connected();  // a request whose reply nobody reads
        ASSERT_TRUE(unread->Send("state"));
    }
    auto big = Connected();
    ASSERT_TRUE(big->Send(std::string(5000, 'f')));
    std::string line;
    ASSERT_EQ(big->ReadLine(line, 5000), ScriptClient::Read::Line);
    EXPECT_EQ(line, "error request longer than 4096 bytes");
    EXPECT_EQ(big->ReadLine(line, 5000), ScriptClient::Read::Closed);
    EXPECT_EQ(Steady(simtest::AskState(*c)), before);
    EXPECT_EQ(simtest::Ask(*c, "phone offhook"), "ok");
}

TEST_F(ControlSocket, AStaleSocketIsTakenOverAndALiveOneIsLeftAlone)
{
    ASSERT_TRUE([] {
        std::string error;
        return tvxsim::PrepareControlFolder(tvxsim::ControlSocketFolder(), error);
    }());
    const std::string path = ControlSocketPath();
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    // Bound and closed without removing it: as a killed process leaves it.
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
    close(fd);
    OpenWith(rec);
    auto c = Connected();
    EXPECT_EQ(simtest::Ask(*c, "phone offhook"), "ok");
    c.reset();
    ScClose(0);
    ScShutdown(0);

    // One that answers belongs to a live device: not listened on, not removed.
    fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
    ASSERT_EQ(listen(fd, 4), 0);
    OpenWith(again);
    auto mine = Connected();  // reaches our listener, not the library
    ASSERT_TRUE(mine->Send("state"));
    std::string line;
    EXPECT_EQ(mine->ReadLine(line, 300), ScriptClient::Read::Timeout);
    ScClose(0);
    EXPECT_TRUE(Exists(path));
    close(fd);
    std::remove(path.c_str());
}

TEST_F(ControlSocket, AFolderOpenToOthersIsRefusedAndTheDeviceStillOpens)
{
    const std::string folder = tvxsim::ControlSocketFolder();
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
    OpenWith(rec);
    EXPECT_FALSE(Exists(ControlSocketPath()));
    EXPECT_EQ(Tvxsim({"state"}), tvxsim::kClientNoDevice);
    EXPECT_EQ(ScClose(0), 0);  // open all the same
}

// A scenario that went wrong shows in the state, not only on stderr.
TEST_F(ControlSocket, TheStateSaysWhatBecameOfTheScenario)
{
    std::string out;
    OpenWith(rec);
    ASSERT_EQ(Tvxsim({"state"}, &out), tvxsim::kClientOk);
    EXPECT_NE(out.find("\nscenario none\n"), std::string::npos) << out;
    ASSERT_EQ(ScClose(0), 0);
    const std::string path = simtest::UseScenario("state_bad", "0 far ring\n10 far ring 0\nbogus\n");
    ASSERT_EQ(ScOpen(0, 0), 0);
    ASSERT_EQ(Tvxsim({"state"}, &out), tvxsim::kClientOk);
    EXPECT_NE(out.find("\nscenario 2 lines skipped; the first: " + path + ":2: far ring takes"), std::string::npos)
        << out;
    ASSERT_EQ(ScClose(0), 0);
    setenv("TVXUSB_SCENARIO", "/dev/zero", 1);
    ASSERT_EQ(ScOpen(0, 0), 0);
    ASSERT_EQ(Tvxsim({"state"}, &out), tvxsim::kClientOk);
    EXPECT_NE(out.find("\nscenario refused: /dev/zero: not a regular file"), std::string::npos) << out;
}

TEST_F(ControlSocket, TvxsimSendStateAndWatchExitCodes)
{
    EXPECT_EQ(Tvxsim({"state"}), tvxsim::kClientNoDevice);
    EXPECT_EQ(Tvxsim({"send", "phone offhook"}), tvxsim::kClientNoDevice);
    EXPECT_EQ(Tvxsim({"watch", "--timeout", "1"}), tvxsim::kClientNoDevice);

    simtest::UseScenario("control_watch", "1500 phone offhook\n");
    OpenWith(rec);
    std::string watched;
    int watchRc = -1;
    std::thread watcher([&] { watchRc = Tvxsim({"watch", "--until-event", "64", "--timeout", "20"}, &watched); });

    std::string out;
    EXPECT_EQ(Tvxsim({"send", "adapter command 59", "state"}, &out), tvxsim::kClientOk);
    EXPECT_EQ(out.rfind("ok\ntime ", 0), 0u) << out;
    EXPECT_NE(out.find("\nmute-phone on\n"), std::string::npos) << out;
    EXPECT_EQ(out.substr(out.size() - 2), "\n\n");
    EXPECT_EQ(Tvxsim({"send", "phone onhook", "far ring 0", "far answer"}, &out), tvxsim::kClientErrorReply);
    EXPECT_EQ(out.rfind("ok\nerror far ring takes", 0), 0u) << out;
    EXPECT_NE(out.find("\nok\n"), std::string::npos) << out;  // the requests after an error still go
    // A request too long is an error reply, its connection closed by the
    // device; the request after it goes on a new one.
    const std::string tooLong = "far dtmf \"" + std::string(4990, '1') + "\"";
    EXPECT_EQ(Tvxsim({"send", tooLong, "phone onhook"}, &out), tvxsim::kClientErrorReply);
    EXPECT_EQ(out, "error request longer than 4096 bytes\nok\n");
    EXPECT_EQ(Tvxsim({"state"}, &out), tvxsim::kClientOk);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), static_cast<std::ptrdiff_t>(tvxsim::kStateLines + 1));
    EXPECT_EQ(Tvxsim({"send"}), tvxsim::kClientUsage);
    EXPECT_EQ(Tvxsim({"send", "watch"}), tvxsim::kClientUsage);
    EXPECT_EQ(Tvxsim({"watch", "--timeout", "0"}), tvxsim::kClientUsage);

    watcher.join();
    EXPECT_EQ(watchRc, tvxsim::kClientOk);
    EXPECT_EQ(watched.rfind("state time ", 0), 0u) << watched;
    EXPECT_NE(watched.find(" 64 Off Hook [Phone]\n"), std::string::npos) << watched;
    // It ends with the event it waited for.
    const std::string last = watched.substr(watched.rfind('\n', watched.size() - 2) + 1);
    EXPECT_EQ(last.find(" 64 Off Hook [Phone]"), last.find(' ')) << watched;
    EXPECT_EQ(Tvxsim({"watch", "--until-event", "999", "--timeout", "0.3"}), tvxsim::kClientTimedOut);
    EXPECT_EQ(Tvxsim({"watch", "--until-event", "0x3E7", "--timeout", "0.3"}), tvxsim::kClientTimedOut);
    std::string err;
    EXPECT_EQ(Tvxsim({"watch", "--until-event"}, &out, &err), tvxsim::kClientUsage);
    EXPECT_EQ(err, "tvxsim: --until-event needs an event code\n");
}

}  // namespace
