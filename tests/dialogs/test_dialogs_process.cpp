// The real executable, driven by a scripted keyboard, with the recording
// stand-in in the simulator's place: what the library receives when a user
// works the maintenance items, the test dialogs, the melody upload and the
// serial number from the keyboard, with and without command-line arguments.
#include "tests/dialogs/MenuKeys.h"
#include "tests/dialogs/QStringPrinter.h"
#include "tests/support/CidRecordBytes.h"
#include "tests/support/RecordedRun.h"

#include <QCoreApplication>
#include <QDir>
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

using dialogtest::kMain;
using dialogtest::kOpenCallerIdGenerator;
using dialogtest::kOpenLedsTest;

class DialogsProcessTest : public RecordedRunTest {
protected:
    // The recording library and the scripted keyboard.
    QProcessEnvironment Environment(const QStringList &script) const
    {
        QProcessEnvironment env = RecorderEnvironment();
        env.insert("QT_PLUGIN_PATH", TVX_KEYSCRIPT_PLUGIN_DIR);
        env.insert("QT_QPA_GENERIC_PLUGINS", "tvxkeyscript");
        env.insert("TVX_KEY_SCRIPT", script.join(';'));
        return env;
    }

    // Runs the tool with the arguments until the script has closed it.
    void Run(const QStringList &script, const QStringList &arguments = {})
    {
        const QProcessEnvironment env = Environment(script);
        QProcess tool;
        tool.setProcessEnvironment(env);
        tool.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        tool.start(TVX_MONITOR_PATH, arguments);
        ASSERT_TRUE(tool.waitForStarted(5000));
        if (!tool.waitForFinished(30000)) {
            ::kill(static_cast<pid_t>(tool.processId()), SIGKILL);
            tool.waitForFinished(5000);
            FAIL() << "the script did not close the tool\n" << tool.readAllStandardError().toStdString();
        }
        EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(tool.exitCode(), 0);
        // The keyboard reports a window that never came or a key it could not send.
        const QString errors = QString::fromLocal8Bit(tool.readAllStandardError());
        EXPECT_FALSE(errors.contains("keyscript:")) << errors.toStdString();
    }

    QString WriteFile(const QString &name, const QByteArray &contents) const
    {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return path;
    }
};

// The maintenance items and Enter in the serial-number edit pass the
// command-line text as the process received it, "" without arguments.
TEST_F(DialogsProcessTest, MaintenanceByKeyboardPassesTheCommandLineText)
{
    struct Row {
        QStringList arguments;
        QString text;
    };
    // -widgetcount is one of Qt's own arguments: the text is taken before Qt removes it.
    const Row rows[] = {
        {{}, ""},
        {{"-widgetcount", "unit", "7 b"}, "-widgetcount unit 7 b"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        QFile::remove(record_);
        Run({kMain,
             "Return",
             "Alt+F",
             "Return",
             "Alt+F",
             "Down",
             "Return",
             "Alt+F",
             "Down",
             "Down",
             "Return",
             "Escape"},
            row.arguments);
        const QString text = "\"" + row.text + "\")";
        EXPECT_EQ(Recorded({"ScE2Rom"}),
                  QStringList({
                      "ScE2Rom(2, \"TVXSTUB-0000-000000001\", " + text,
                      "ScE2Rom(0, null, " + text,
                      "ScE2Rom(1, null, " + text,
                      "ScE2Rom(3, null, " + text,
                  }));
    }
}

// "Generate Caller ID ..." and "LEDs Test ..." from the "Mis&c." menu: the
// record of MDMF picked with the arrow key, the masks of two boxes, the
// release after Enter has closed the LEDs test.
TEST_F(DialogsProcessTest, TestDialogsByKeyboard)
{
    Run(QStringList{kMain} + kOpenCallerIdGenerator + QStringList{"Down", "Return", "Escape", kMain} + kOpenLedsTest +
        QStringList{"Space", "Tab", "Space", "Return", kMain, "Escape"});
    tvx::test::ExpectedCid mdmf;
    mdmf.msgType = 1;
    mdmf.sendFlags = 0x47;
    EXPECT_EQ(Recorded({"ScGenerateETSI_CID", "ScTestLEDs"}),
              QStringList({
                  QString::fromStdString("ScGenerateETSI_CID(ptr) bytes=" + mdmf.Hex()),
                  "ScTestLEDs(128)",
                  "ScTestLEDs(129)",
                  "ScTestLEDs(0)",
              }));
}

// A melody file typed into the file dialog reaches the library; a file of
// 257 data lines and a serial number of 21 characters never do. The serial
// typed over the selected one is sent once a 22nd character completes it.
// The paths are pasted, and the melody files lie alone in a folder, named
// outside the dialog's filter, so that no completion list opens over the
// path to take the Enter meant for the dialog; the tool reads a file
// whatever its name.
TEST_F(DialogsProcessTest, MelodyAndSerialNumberByKeyboard)
{
    ASSERT_TRUE(QDir(dir_.path()).mkdir("melodies"));
    const QString good = WriteFile("melodies/tune.mel", "[Tune]\r\n1F\r\n0x20\r\nff");
    const QString tooLong = WriteFile("melodies/long.mel", "[Long]\n" + QByteArray("01\n").repeated(257));
    Run({kMain,
         "Alt+R",
         "Down",
         "Return",
         "wait:UpLoad Melody",
         "paste:" + good,
         "Return",
         kMain,
         "Alt+R",
         "Down",
         "Return",
         "wait:UpLoad Melody",
         "paste:" + tooLong,
         "Return",
         kMain,
         "type:ABCDEFGHIJKLMNOPQRSTU",
         "Return",
         "type:V",
         "Return",
         "Escape"});
    EXPECT_EQ(Recorded({"ScUploadMelody", "ScE2Rom"}),
              QStringList({
                  "ScUploadMelody(ptr, 3) bytes=1F20FF",
                  "ScE2Rom(2, \"ABCDEFGHIJKLMNOPQRSTUV\", \"\")",
              }));
}

// SIGTERM while a test dialog runs over the main one: the test dialog ends
// first (so the lamps are released), then the main dialog closes the device.
TEST_F(DialogsProcessTest, TerminationWhileTheLedsTestIsOpenReleasesAndCloses)
{
    QProcess tool;
    tool.setProcessEnvironment(Environment(QStringList{kMain} + kOpenLedsTest + QStringList{"Space"}));
    tool.start(TVX_MONITOR_PATH, QStringList());
    ASSERT_TRUE(tool.waitForStarted(5000));
    QElapsedTimer timer;
    timer.start();
    while (!Recorded({"ScTestLEDs"}).contains("ScTestLEDs(128)") && timer.elapsed() < 20000)
        QThread::msleep(20);
    ASSERT_EQ(Recorded({"ScTestLEDs"}), QStringList({"ScTestLEDs(128)"}));
    ::kill(static_cast<pid_t>(tool.processId()), SIGTERM);
    ASSERT_TRUE(tool.waitForFinished(10000)) << "the tool did not end on SIGTERM";
    EXPECT_EQ(tool.exitCode(), 0);
    EXPECT_EQ(Recorded({"ScTestLEDs", "ScClose", "ScShutdown"}),
              QStringList({"ScTestLEDs(128)", "ScTestLEDs(0)", "ScClose(0)", "ScShutdown(0)"}));
}

}  // namespace
