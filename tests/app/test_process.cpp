// The real executable against the recording stand-in put in the simulator's
// place with LD_LIBRARY_PATH: the calls at start and at close, the single
// instance, and closing while the library floods events.
#include "tests/support/RecordedRun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

using tvx::test::RecordedRunTest;

class ProcessTest : public RecordedRunTest {
protected:
    QProcessEnvironment Environment(bool flood = false) const
    {
        QProcessEnvironment env = RecorderEnvironment();
        if (flood)
            env.insert("TVXUSB_STUB_FLOOD", "1");
        return env;
    }

    bool WaitForOpen(QProcess &process, int timeoutMs = 10000) const
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            for (const QString &line : Recorded())
                if (line.startsWith("ScMonitorTones"))
                    return true;
            if (process.state() == QProcess::NotRunning)
                return false;
            QThread::msleep(20);
        }
        return false;
    }

    void Start(QProcess &process, bool flood = false, const QStringList &arguments = {})
    {
        process.setProcessEnvironment(Environment(flood));
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(TVX_MONITOR_PATH, arguments);
        ASSERT_TRUE(process.waitForStarted(5000));
    }

    static void Terminate(QProcess &process) { ::kill(static_cast<pid_t>(process.processId()), SIGTERM); }
};

TEST_F(ProcessTest, StartAndCloseMakeExactlyTheSessionCalls)
{
    QProcess tool;
    Start(tool);
    ASSERT_TRUE(WaitForOpen(tool));
    Terminate(tool);
    ASSERT_TRUE(tool.waitForFinished(10000));
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool.exitCode(), 0);

    const QStringList calls = Recorded();
    ASSERT_GE(calls.size(), 8);
    EXPECT_EQ(calls.first(), "ScInitialize(ptr, ptr, ptr, ptr, 0, 0, 0, 0, 17)");
    EXPECT_EQ(calls.at(1), "ScOpen(0, 0)");
    EXPECT_EQ(calls.at(2), "ScGetDeviceSN(ptr, 256)");
    EXPECT_EQ(calls.at(3), "ScGetRawDeviceRevision(0)");
    EXPECT_EQ(calls.at(4), "ScGetDeviceName(ptr, 256)");
    EXPECT_EQ(calls.at(calls.size() - 2), "ScClose(0)");
    EXPECT_EQ(calls.last(), "ScShutdown(0)");
    EXPECT_EQ(calls.filter("ScClose").size(), 1);
    EXPECT_EQ(calls.filter("ScShutdown").size(), 1);
}

TEST_F(ProcessTest, ASecondStartRaisesTheFirstAndEnds)
{
    QProcess first;
    Start(first);
    ASSERT_TRUE(WaitForOpen(first));

    QProcess second;
    Start(second);
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(second.waitForFinished(15000)) << "the second start ends by itself";
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(Recorded().filter("ScInitialize").size(), 1) << "the second start never opens the device";
    EXPECT_EQ(first.state(), QProcess::Running);

    Terminate(first);
    ASSERT_TRUE(first.waitForFinished(10000));
}

TEST_F(ProcessTest, FiveStartsAtOnceLeaveOneInstance)
{
    constexpr int kStarts = 5;
    QProcess tools[kStarts];
    for (QProcess &tool : tools) {
        tool.setProcessEnvironment(Environment());
        tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        tool.start(TVX_MONITOR_PATH);
    }
    for (QProcess &tool : tools)
        ASSERT_TRUE(tool.waitForStarted(5000));
    QElapsedTimer timer;
    timer.start();
    int running = kStarts;
    while (timer.elapsed() < 15000 && running > 1) {
        running = 0;
        for (QProcess &tool : tools) {
            tool.waitForFinished(10);
            running += tool.state() != QProcess::NotRunning;
        }
    }
    ASSERT_EQ(running, 1) << "the later starts end by themselves";
    QThread::msleep(300);  // none of them is about to open a second session
    EXPECT_EQ(Recorded().filter("ScInitialize").size(), 1);
    for (QProcess &tool : tools) {
        if (tool.state() == QProcess::NotRunning) {
            EXPECT_EQ(tool.exitCode(), 0);
            continue;
        }
        Terminate(tool);
        ASSERT_TRUE(tool.waitForFinished(10000));
    }
}

TEST_F(ProcessTest, AStartAfterAnInstanceWasKilledTakesItsPlace)
{
    QProcess killed;
    Start(killed);
    ASSERT_TRUE(WaitForOpen(killed));
    killed.kill();  // leaves its socket and its lock file behind
    ASSERT_TRUE(killed.waitForFinished(5000));

    QProcess next;
    Start(next);
    QElapsedTimer timer;
    timer.start();
    while (Recorded().filter("ScInitialize").size() < 2 && timer.elapsed() < 10000)
        QThread::msleep(20);
    EXPECT_EQ(Recorded().filter("ScInitialize").size(), 2) << "the next start opens the device";
    EXPECT_EQ(next.state(), QProcess::Running);

    QProcess third;
    Start(third);
    ASSERT_TRUE(third.waitForFinished(15000)) << "the one after asks the new instance to come forward and ends";
    EXPECT_EQ(Recorded().filter("ScInitialize").size(), 2);
    Terminate(next);
    ASSERT_TRUE(next.waitForFinished(10000));
}

TEST_F(ProcessTest, ClosingWhileTheLibraryFloodsAndJoinsItsThreadFinishes)
{
    QProcess tool;
    Start(tool, true);
    ASSERT_TRUE(WaitForOpen(tool));
    QThread::msleep(500);  // let the flood run
    Terminate(tool);
    ASSERT_TRUE(tool.waitForFinished(10000)) << "the tool hung at close";
    EXPECT_EQ(tool.exitCode(), 0);
    EXPECT_EQ(Recorded().last(), "ScShutdown(0)");
}

}  // namespace
