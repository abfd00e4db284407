// The real tool on the real simulated adapter, worked from outside through
// the control socket while a scripted keyboard works the tool's dialogs: an
// incoming call with caller ID, its answer and the far party's digits reach
// the tool's log; the LEDs test's mask and the caller-ID generator's message
// reach `tvxsim state` and `tvxsim watch`; malformed, oversized and flooding
// clients change nothing, and the tool keeps its window and log.
#include "tests/dialogs/MenuKeys.h"
#include "tests/dialogs/QStringPrinter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "simulator/control/ScriptClient.h"

namespace {

constexpr int kWaitMs = 20000;
using dialogtest::kMain;
using dialogtest::kOpenCallerIdGenerator;
using dialogtest::kOpenLedsTest;

// `tvxsim watch` for the whole run: its output so far, and waits for a line.
class Watch {
public:
    explicit Watch(const QProcessEnvironment &env)
    {
        process_.setProcessEnvironment(env);
        process_.start(TVXSIM_PATH, {"watch"});
        process_.waitForStarted(5000);
    }
    ~Watch()
    {
        process_.kill();
        process_.waitForFinished(5000);
    }
    Watch(const Watch &) = delete;
    Watch &operator=(const Watch &) = delete;

    // Waits for a line that starts with `start` after the last one found.
    bool WaitFor(const QString &start)
    {
        QElapsedTimer timer;
        timer.start();
        while (true) {
            text_ += QString::fromLatin1(process_.readAllStandardOutput());
            const QStringList lines = text_.split('\n');
            for (qsizetype i = next_; i + 1 < lines.size(); ++i)
                if (lines[i].startsWith(start)) {
                    next_ = i + 1;
                    return true;
                }
            if (timer.elapsed() > kWaitMs || process_.state() != QProcess::Running)
                return false;
            process_.waitForReadyRead(100);
        }
    }
    // Waits for an event line "<ms> <code> <text>" whose text starts with `start`.
    bool WaitForEvent(int code, const QString &start)
    {
        const QRegularExpression line("^\\d+ " + QString::number(code) + " " + QRegularExpression::escape(start));
        QElapsedTimer timer;
        timer.start();
        while (true) {
            text_ += QString::fromLatin1(process_.readAllStandardOutput());
            const QStringList lines = text_.split('\n');
            for (qsizetype i = next_; i + 1 < lines.size(); ++i)
                if (line.match(lines[i]).hasMatch()) {
                    next_ = i + 1;
                    return true;
                }
            if (timer.elapsed() > kWaitMs || process_.state() != QProcess::Running)
                return false;
            process_.waitForReadyRead(100);
        }
    }
    const QString &Text() const { return text_; }

private:
    QProcess process_;
    QString text_;
    qsizetype next_ = 0;
};

// A raw client that writes without waiting for the server: connected,
// non-blocking, never reads.
class RawClient {
public:
    explicit RawClient(const std::string &path)
    {
        fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        path.copy(addr.sun_path, sizeof addr.sun_path - 1);
        if (fd_ >= 0 && connect(fd_, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
            close(fd_);
            fd_ = -1;
        }
        if (fd_ >= 0)
            fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
    }
    ~RawClient()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    RawClient(const RawClient &) = delete;
    RawClient &operator=(const RawClient &) = delete;

    bool Connected() const { return fd_ >= 0; }
    // Writes `data` as far as the server takes it within `ms`; the bytes written.
    size_t Push(const std::string &data, int ms)
    {
        size_t done = 0;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (fd_ >= 0 && done < data.size() && std::chrono::steady_clock::now() < end) {
            const ssize_t n = send(fd_, data.data() + done, data.size() - done, MSG_NOSIGNAL);
            if (n > 0) {
                done += size_t(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                break;  // the server closed it
            pollfd p{fd_, POLLOUT, 0};
            poll(&p, 1, 20);
        }
        return done;
    }

private:
    int fd_ = -1;
};

class ToolOnSimulatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        env_ = QProcessEnvironment::systemEnvironment();
        env_.remove("TVXUSB_SCENARIO");  // a quiet line: only what the test does happens
        env_.remove("TMPDIR");
        env_.insert("TVXUSB_AUDIO", "0");
        env_.insert("QT_QPA_PLATFORM", "offscreen");
        env_.insert("XDG_RUNTIME_DIR", dir_.path());  // the socket and the tool's lock file
        env_.insert("DISPLAY", ":tvx-test-outside-" + QString::number(QCoreApplication::applicationPid()));
        socket_ = (dir_.path() + "/tvxusb/control").toStdString();
    }

    void TearDown() override
    {
        if (tool_.state() != QProcess::NotRunning) {
            ::kill(static_cast<pid_t>(tool_.processId()), SIGKILL);
            tool_.waitForFinished(5000);
        }
    }

    // The path of a file whose existence lets the tool's script go on.
    QString Gate(const QString &name) const { return dir_.filePath(name); }
    void Open(const QString &name) const
    {
        QFile file(Gate(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    void StartTool(const QStringList &script)
    {
        QProcessEnvironment env = env_;
        env.insert("QT_PLUGIN_PATH", TVX_KEYSCRIPT_PLUGIN_DIR);
        env.insert("QT_QPA_GENERIC_PLUGINS", "tvxkeyscript");
        env.insert("TVX_KEY_SCRIPT", script.join(';'));
        tool_.setProcessEnvironment(env);
        tool_.start(TVX_MONITOR_PATH, QStringList());
        ASSERT_TRUE(tool_.waitForStarted(5000));
    }

    // tvxsim with these arguments: its exit code and output.
    int Tvxsim(const QStringList &args, QString *out = nullptr) const
    {
        QProcess tvxsim;
        tvxsim.setProcessEnvironment(env_);
        tvxsim.start(TVXSIM_PATH, args);
        if (!tvxsim.waitForFinished(10000)) {
            tvxsim.kill();
            tvxsim.waitForFinished(5000);
            return -1;
        }
        if (out)
            *out = QString::fromLatin1(tvxsim.readAllStandardOutput());
        return tvxsim.exitCode();
    }

    // The value of one line of `tvxsim state` ("?" without an answer).
    QString State(const QString &name) const
    {
        QString out;
        if (Tvxsim({"state"}, &out) != 0)
            return "?";
        for (const QString &line : out.split('\n'))
            if (line.startsWith(name + " "))
                return line.mid(name.size() + 1);
        return "?";
    }

    // `tvxsim state` without the lines that move by themselves.
    QStringList Steady() const
    {
        QString out;
        EXPECT_EQ(Tvxsim({"state"}, &out), 0);
        QStringList lines = out.split('\n', Qt::SkipEmptyParts);
        lines.removeIf([](const QString &l) { return l.startsWith("time ") || l.startsWith("level-"); });
        return lines;
    }

    bool WaitForState(const QString &name, const QString &value) const
    {
        QElapsedTimer timer;
        timer.start();
        while (State(name) != value) {
            if (timer.elapsed() > kWaitMs)
                return false;
            QThread::msleep(50);
        }
        return true;
    }

    std::unique_ptr<tvxsim::ScriptClient> Client() const
    {
        auto client = std::make_unique<tvxsim::ScriptClient>();
        std::string error;
        EXPECT_TRUE(client->Connect(socket_, error)) << error;
        return client;
    }

    QTemporaryDir dir_;
    QProcessEnvironment env_;
    std::string socket_;
    QProcess tool_;
};

// The reply to one request, and whether the server closed the connection after it.
struct Answer {
    std::string reply;
    bool closed = false;
};

Answer AskOnce(tvxsim::ScriptClient &client, const std::string &request)
{
    Answer a;
    if (!client.Send(request) || client.ReadLine(a.reply, 5000) != tvxsim::ScriptClient::Read::Line)
        return a;
    std::string more;
    a.closed = client.ReadLine(more, 300) == tvxsim::ScriptClient::Read::Closed;
    return a;
}

TEST_F(ToolOnSimulatorTest, WorkedFromOutsideBesideItsOwnDialogs)
{
    StartTool(QStringList{kMain, "await:" + Gate("leds")} + kOpenLedsTest +
              QStringList{"Space", "Tab", "Space", "await:" + Gate("cid"), "Return", kMain} + kOpenCallerIdGenerator +
              QStringList{"Down", "Return", "Escape", kMain, "await:" + Gate("end"), "print:1000", "Escape"});

    // The device opens and its socket answers.
    QElapsedTimer timer;
    timer.start();
    while (Tvxsim({"state"}) != 0 && timer.elapsed() < kWaitMs)
        QThread::msleep(100);
    ASSERT_EQ(Tvxsim({"state"}), 0) << "no control socket";
    Watch watch(env_);
    ASSERT_TRUE(watch.WaitFor("state be-far "));  // the whole state came first

    // An incoming call with caller ID, answered; the far party keys digits.
    EXPECT_EQ(Tvxsim({"send", R"(far call "Ivor Kell" "7964710" mdmf bell202 na)"}), 0);
    EXPECT_TRUE(watch.WaitFor("state call ringing"));
    EXPECT_TRUE(watch.WaitForEvent(225, "Caller ID received"));
    EXPECT_TRUE(watch.WaitFor("state display Ivor Kell, 7964710, "));
    EXPECT_TRUE(watch.WaitForEvent(18, "Line ring detected"));
    EXPECT_EQ(Tvxsim({"send", "phone offhook"}), 0);
    EXPECT_TRUE(watch.WaitFor("state call connected"));
    EXPECT_EQ(State("phone"), "offhook");
    EXPECT_EQ(Tvxsim({"send", R"(far dtmf "59")"}), 0);
    EXPECT_TRUE(watch.WaitForEvent(48, "DTMF digit detected: 5"));
    EXPECT_TRUE(watch.WaitForEvent(48, "DTMF digit detected: 9"));
    EXPECT_EQ(Tvxsim({"send", "phone onhook"}), 0);
    EXPECT_TRUE(watch.WaitFor("state call idle"));
    // Call waiting with no call would be dropped by the exchange: refused.
    EXPECT_EQ(Tvxsim({"send", R"(far call-waiting "A" "1")"}), 1);

    // The LEDs test: its first two boxes, while it is open; dark again after it.
    Open("leds");
    EXPECT_TRUE(WaitForState("leds", "0x81"));
    EXPECT_TRUE(watch.WaitFor("state leds 0x80"));
    EXPECT_TRUE(watch.WaitFor("state leds 0x81"));
    Open("cid");
    EXPECT_TRUE(watch.WaitFor("state leds 0x00"));
    // The caller-ID generator's message on the handset's display: its own
    // date (04292230), shown day first for the tool's local country.
    const QString generated = "Ivor Kell, 7964710, 29/04 22:30";
    EXPECT_TRUE(watch.WaitFor("state display " + generated));
    EXPECT_EQ(State("display"), generated);

    // Bad clients: none changes the state, none stops the others.
    const QStringList before = Steady();
    {
        auto client = Client();
        const Answer tooLong = AskOnce(*client, std::string(5000, 'x'));
        EXPECT_EQ(tooLong.reply, "error request longer than 4096 bytes");
        EXPECT_TRUE(tooLong.closed);
    }
    const std::vector<std::string> malformed = {
        std::string("far call \"Ivor\0Kell\" \"1\"", 24),
        "\x01\x02\xff\xfe",
        "far call \"unterminated",
        "phone offhook now",
        "far dtmf \"5X\"",
        "number \"" + std::string(40, '5') + "\" busy",
        "listen sideways",
    };
    for (const std::string &request : malformed) {
        auto client = Client();
        const Answer a = AskOnce(*client, request);
        EXPECT_EQ(a.reply.rfind("error ", 0), 0u) << request << " -> " << a.reply;
        EXPECT_FALSE(a.closed) << request;  // a bad request ends nothing
    }
    {
        // A watcher that never reads, a flood of requests whose replies are
        // never read, and connections made and dropped.
        RawClient idleWatcher(socket_);
        ASSERT_TRUE(idleWatcher.Connected());
        idleWatcher.Push("watch\n", 1000);
        RawClient flood(socket_);
        ASSERT_TRUE(flood.Connected());
        std::string lines;
        for (int i = 0; i < 20000; ++i)
            lines += i % 2 ? "state\n" : "bogus request\n";
        flood.Push(lines, 2000);
        for (int i = 0; i < 200; ++i)
            RawClient dropped(socket_);
        auto fresh = Client();
        std::string reply;
        EXPECT_TRUE(fresh->Send(R"(far dtmf "5X")"));
        EXPECT_EQ(fresh->ReadLine(reply, 5000), tvxsim::ScriptClient::Read::Line);
        EXPECT_EQ(reply.rfind("error ", 0), 0u) << reply;
    }
    // The client limit, with `tvxsim watch` as the first client.
    std::vector<std::unique_ptr<tvxsim::ScriptClient>> clients;
    timer.restart();
    while (clients.size() < 15 && timer.elapsed() < kWaitMs) {
        auto client = Client();
        std::string line;
        if (client->Send("state") && client->ReadLine(line, 5000) == tvxsim::ScriptClient::Read::Line &&
            line.rfind("time ", 0) == 0)
            clients.push_back(std::move(client));
        else
            QThread::msleep(100);  // the clients above are still being closed
    }
    ASSERT_EQ(clients.size(), 15u);
    auto extra = Client();
    std::string refusal;
    EXPECT_EQ(extra->ReadLine(refusal, 5000), tvxsim::ScriptClient::Read::Line);
    EXPECT_EQ(refusal, "error too many clients (16)");
    clients.clear();
    extra.reset();
    EXPECT_EQ(Steady(), before);
    EXPECT_EQ(tool_.state(), QProcess::Running);

    // The tool's window and log, after all of it.
    Open("end");
    ASSERT_TRUE(tool_.waitForFinished(kWaitMs)) << "the tool did not close";
    EXPECT_EQ(tool_.exitCode(), 0);
    const QString errors = QString::fromLocal8Bit(tool_.readAllStandardError());
    EXPECT_FALSE(errors.contains("keyscript:")) << errors.toStdString();
    const QStringList printed = QString::fromLocal8Bit(tool_.readAllStandardOutput()).split('\n');
    EXPECT_TRUE(printed.contains("title: Telvora Parlino USB Control / Monitor"));
    const auto logged = [&printed](const QString &start) {
        for (const QString &line : printed)
            if (line.startsWith("line: " + start))
                return true;
        return false;
    };
    EXPECT_TRUE(logged("Caller ID"));
    EXPECT_TRUE(logged("Ivor Kell at 7964710 - "));
    EXPECT_TRUE(logged("Off Hook [Phone]"));
    EXPECT_TRUE(logged("DTMF digit detected: 5"));
    EXPECT_TRUE(logged("DTMF digit detected: 9"));
    EXPECT_TRUE(logged("On Hook [Phone]"));
}

}  // namespace
