// tvxsim-panel's command line: what it prints and how it ends, read before
// any display is needed, and the real program without a display (help,
// version and a bad option end as the manual says; Qt's -platform reaches Qt).
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include "simulator/benchwindow/CommandLine.h"
#include "tests/benchwindow/FakeControlServer.h"

namespace {

using tvxsim::bench::CommandLineAnswer;
using tvxsim::bench::ReadCommandLine;

struct CommandLineCase {
    std::vector<const char *> arguments;  // after the program's name
    bool openWindow;
    int exitCode;
    const char *out;  // what stdout starts with
    const char *err;  // what stderr holds
};

class PanelCommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(PanelCommandLine, OpensTheWindowOrPrintsAndEnds)
{
    const CommandLineCase &c = GetParam();
    QStringList arguments{QStringLiteral("/usr/bin/tvxsim-panel")};
    for (const char *argument : c.arguments)
        arguments << QString::fromUtf8(argument);
    const CommandLineAnswer answer = ReadCommandLine(arguments);
    EXPECT_EQ(answer.openWindow, c.openWindow);
    EXPECT_EQ(answer.exitCode, c.exitCode);
    if (*c.out == '\0')
        EXPECT_TRUE(answer.out.isEmpty()) << answer.out.toStdString();
    else
        EXPECT_TRUE(answer.out.startsWith(QString::fromUtf8(c.out))) << answer.out.toStdString();
    if (*c.err == '\0')
        EXPECT_TRUE(answer.err.isEmpty()) << answer.err.toStdString();
    else
        EXPECT_TRUE(answer.err.contains(QString::fromUtf8(c.err))) << answer.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, PanelCommandLine,
    ::testing::Values(CommandLineCase{{}, true, 0, "", ""},
                      // Qt's own options are left for the application, with their values.
                      CommandLineCase{{"-platform", "offscreen"}, true, 0, "", ""},
                      CommandLineCase{{"-geometry", "+0+0"}, true, 0, "", ""},
                      CommandLineCase{{"-style=fusion", "-reverse"}, true, 0, "", ""},
                      CommandLineCase{{"--platform", "xcb", "-display", ":1"}, true, 0, "", ""},
                      CommandLineCase{{"--help"}, false, 0, "Usage: tvxsim-panel [options]\n", ""},
                      CommandLineCase{{"-h"}, false, 0, "Usage: tvxsim-panel [options]\n", ""},
                      CommandLineCase{{"-platform", "xcb", "--help"}, false, 0, "Usage: tvxsim-panel [options]\n", ""},
                      CommandLineCase{{"--help-all"}, false, 0, "Usage: tvxsim-panel [options]\n", ""},
                      CommandLineCase{{"--version"}, false, 0, "tvxsim-panel ", ""},
                      CommandLineCase{{"-v"}, false, 0, "tvxsim-panel ", ""},
                      CommandLineCase{{"--bogus"}, false, 1, "", "tvxsim-panel: Unknown option 'bogus'."},
                      CommandLineCase{{"-x"}, false, 1, "", "tvxsim-panel: Unknown option 'x'."},
                      CommandLineCase{{"-platform"}, false, 1, "", "tvxsim-panel: Missing value after '-platform'."},
                      CommandLineCase{{"extra"}, false, 1, "", "tvxsim-panel: takes no arguments: 'extra'"}));

TEST(PanelCommandLineText, HelpListsItsOptionsAndHelpAllQtsToo)
{
    const CommandLineAnswer help = ReadCommandLine({QStringLiteral("tvxsim-panel"), QStringLiteral("--help")});
    for (const char *option : {"-h, --help", "-v, --version", "--help-all"})
        EXPECT_TRUE(help.out.contains(QLatin1String(option))) << option;
    EXPECT_FALSE(help.out.contains(QLatin1String("-platform")));
    const CommandLineAnswer all = ReadCommandLine({QStringLiteral("tvxsim-panel"), QStringLiteral("--help-all")});
    for (const char *option : {"  -platform <value>\n", "  -geometry <value>\n", "  -reverse\n", "  -style <value>\n"})
        EXPECT_TRUE(all.out.contains(QLatin1String(option))) << option;
    const CommandLineAnswer version = ReadCommandLine({QStringLiteral("tvxsim-panel"), QStringLiteral("--version")});
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^tvxsim-panel [0-9]+\\.[0-9]+\\.[0-9]+\n$")).match(version.out).hasMatch())
        << version.out.toStdString();
}

// The program itself, with no display at all and no platform chosen.
class PanelWithoutDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(runtime_.isValid());
        env_ = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env_.remove(QString::fromLatin1(name));
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
    }

    struct Run {
        int exitCode;
        QProcess::ExitStatus status;
        QString out;
        QString err;
    };

    Run Start(const QStringList &arguments)
    {
        QProcess panel;
        panel.setProcessEnvironment(env_);
        panel.start(QStringLiteral(TVXSIM_PANEL_PATH), arguments);
        EXPECT_TRUE(panel.waitForFinished(10000));
        return {panel.exitCode(),
                panel.exitStatus(),
                QString::fromLocal8Bit(panel.readAllStandardOutput()),
                QString::fromLocal8Bit(panel.readAllStandardError())};
    }

    QTemporaryDir runtime_;
    QProcessEnvironment env_;
};

TEST_F(PanelWithoutDisplay, HelpVersionAndABadOptionEndAsTheManualSays)
{
    const Run help = Start({QStringLiteral("--help")});
    EXPECT_EQ(help.status, QProcess::NormalExit);
    EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.startsWith(QLatin1String("Usage: tvxsim-panel [options]\n"))) << help.out.toStdString();

    const Run version = Start({QStringLiteral("--version")});
    EXPECT_EQ(version.status, QProcess::NormalExit);
    EXPECT_EQ(version.exitCode, 0) << version.err.toStdString();
    EXPECT_TRUE(version.out.startsWith(QLatin1String("tvxsim-panel "))) << version.out.toStdString();

    const Run bad = Start({QStringLiteral("--no-such-option")});
    EXPECT_EQ(bad.status, QProcess::NormalExit);
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.out.isEmpty()) << bad.out.toStdString();
    EXPECT_TRUE(bad.err.startsWith(QLatin1String("tvxsim-panel: Unknown option 'no-such-option'.")))
        << bad.err.toStdString();
}

// -platform is Qt's: with it the window opens on no display at all and
// connects to the device's control socket.
TEST_F(PanelWithoutDisplay, QtsPlatformOptionOpensTheWindow)
{
    ASSERT_TRUE(QDir(runtime_.path()).mkdir(QStringLiteral("tvxusb")));
    benchtest::FakeControlServer server(runtime_.path() + QStringLiteral("/tvxusb/control"));
    ASSERT_TRUE(server.Listen());
    QProcess panel;
    panel.setProcessEnvironment(env_);
    panel.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    panel.start(QStringLiteral(TVXSIM_PANEL_PATH), {QStringLiteral("-platform"), QStringLiteral("offscreen")});
    ASSERT_TRUE(panel.waitForStarted(5000));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return server.Watchers() == 1 || panel.state() == QProcess::NotRunning; }, 10000));
    EXPECT_EQ(server.Watchers(), 1);
    EXPECT_EQ(panel.state(), QProcess::Running) << panel.exitCode();
    panel.kill();
    panel.waitForFinished(5000);
}

}  // namespace
