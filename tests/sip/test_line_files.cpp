// The line's files: where line.conf is found and how a bad one is told,
// the password file's rule on a real file system, and the keyring without
// a session bus.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <cstdlib>
#include <string>

#include "simulator/sip/LineConfigFile.h"
#include "simulator/sip/LineSecret.h"
#include "simulator/sip/SipLine.h"
#include "tests/sip/PeerProcess.h"

using namespace tvxsim::sip;
using namespace tvxsim::sip::test;

namespace {

TEST(LineConfigFile, NoFileAtTheDefaultPlaceIsNoLineButANamedOneMustExist)
{
    const std::string dir = TempFolder("conf");
    EXPECT_EQ(LoadLineConfigAt({dir + "/none.conf", false}).outcome, LineLoad::Outcome::None);
    const LineLoad named = LoadLineConfigAt({dir + "/none.conf", true});
    EXPECT_EQ(named.outcome, LineLoad::Outcome::Error);
    EXPECT_EQ(named.error, dir + "/none.conf:0: No such file or directory");
}

TEST(LineConfigFile, ABadKeyIsOneLineNamingFileLineKeyAndReason)
{
    const std::string dir = TempFolder("conf");
    WriteFile(dir + "/line.conf", "account = sip:a@127.0.0.1\n\ndtmf = tones\n");
    const LineLoad l = LoadLineConfigAt({dir + "/line.conf", true});
    EXPECT_EQ(l.outcome, LineLoad::Outcome::Error);
    EXPECT_EQ(l.error, dir + "/line.conf:3: dtmf: must be rfc4733, info or inband");
}

TEST(LineConfigFile, AFolderOrAFifoIsRefusedWithoutWaiting)
{
    const std::string dir = TempFolder("conf");
    EXPECT_EQ(LoadLineConfigAt({dir, true}).error, dir + ":0: not a regular file");
    ASSERT_EQ(mkfifo((dir + "/fifo").c_str(), 0600), 0);
    EXPECT_EQ(LoadLineConfigAt({dir + "/fifo", true}).error, dir + "/fifo:0: not a regular file");
}

TEST(LineConfigFile, ThePasswordFileBesideItMustBeTheUsersAtMode0600)
{
    const std::string dir = TempFolder("conf");
    WriteFile(dir + "/line.conf", "account = sip:a@127.0.0.1\npassword-file = line.pw\n");
    WriteFile(dir + "/line.pw", "s3cret\n", 0644);
    const LineLoad open = LoadLineConfigAt({dir + "/line.conf", false});
    EXPECT_EQ(open.outcome, LineLoad::Outcome::Error);
    EXPECT_EQ(open.error,
              dir + "/line.conf:2: password-file: " + dir +
                  "/line.pw: mode 0644: it must be 0600, read and written by you alone");
    EXPECT_EQ(open.error.find("s3cret"), std::string::npos);

    chmod((dir + "/line.pw").c_str(), 0600);
    const LineLoad ok = LoadLineConfigAt({dir + "/line.conf", false});
    ASSERT_EQ(ok.outcome, LineLoad::Outcome::Loaded) << ok.error;
    EXPECT_EQ(ok.passwordPath, dir + "/line.pw");
    SecretText secret;
    std::string why;
    ASSERT_TRUE(ReadPasswordFile(ok.passwordPath, secret, why)) << why;
    EXPECT_STREQ(secret.CStr(), "s3cret");
    secret.Wipe();
    EXPECT_TRUE(secret.Empty());
    EXPECT_STREQ(secret.CStr(), "");

    // A link to it is not the file itself.
    ASSERT_EQ(symlink((dir + "/line.pw").c_str(), (dir + "/link.pw").c_str()), 0);
    EXPECT_FALSE(ReadPasswordFile(dir + "/link.pw", secret, why));
    EXPECT_EQ(why, "not a regular file");
    EXPECT_EQ(CheckPasswordFile(dir + "/link.pw"), "not a regular file");
    EXPECT_EQ(CheckPasswordFile(dir + "/missing.pw"), "No such file or directory");
}

TEST(LineSecret, WithoutASessionBusTheKeyringIsNotAsked)
{
    const std::string dir = TempFolder("nobus");
    const char *bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string savedBus = bus != nullptr ? bus : "";
    const std::string savedRuntime = runtime != nullptr ? runtime : "";
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    SecretText secret;
    std::string why;
    EXPECT_FALSE(LookUpKeyring("sip:a@127.0.0.1", 1500, secret, why));
    EXPECT_EQ(why, "no session bus");
    EXPECT_TRUE(secret.Empty());
    if (bus != nullptr)
        setenv("DBUS_SESSION_BUS_ADDRESS", savedBus.c_str(), 1);
    if (runtime != nullptr)
        setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace

namespace {

TEST(LineStart, APortInUseIsOneLineAndTheLineTakesNoCalls)
{
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a), 0);
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len);
    const int port = ntohs(a.sin_port);
    const ConfigResult conf =
        ParseLineConfig("account = sip:line@127.0.0.1\nlisten = 127.0.0.1:" + std::to_string(port) + "\n");
    ASSERT_FALSE(conf.error.has_value());
    ::testing::internal::CaptureStderr();
    {
        SipLine line(conf.config, {});
        std::string reason;
        for (int i = 0; i < 300 && reason.empty(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            reason = line.Status().fault;
        }
        EXPECT_EQ(reason, "cannot listen on 127.0.0.1:" + std::to_string(port) + " (UDP): Address already in use");
        EXPECT_FALSE(line.Up());
        EXPECT_EQ(line.Dial("123"), 0u) << "no call can be placed";
        tvxsim::FarLineEvent e;
        EXPECT_FALSE(line.Next(e));
    }
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err,
              "tvxusb: SIP line: cannot listen on 127.0.0.1:" + std::to_string(port) +
                  " (UDP): Address already in use\n");
    close(fd);
}

}  // namespace
