// Tests that start the real executable with the recording stand-in in the
// simulator's place (LD_LIBRARY_PATH, TVX_RECORDER_DIR): its environment and
// the calls it recorded. Each test gets a display name, a runtime directory
// and a record file of its own.
#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tvx::test {

class RecordedRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        record_ = dir_.filePath("calls.txt");
    }

    QProcessEnvironment RecorderEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_LIBRARY_PATH", TVX_RECORDER_DIR);
        env.insert("TVXUSB_RECORD", record_);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        // The single instance's lock file lies in the runtime directory, its
        // socket is per display.
        env.insert("XDG_RUNTIME_DIR", dir_.path());
        env.insert("DISPLAY",
                   ":tvx-test-" + QString::number(QCoreApplication::applicationPid()) + "-" +
                       QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        return env;
    }

    // Every recorded call, in order; with names, only the calls of those functions.
    QStringList Recorded(const QStringList &names = {}) const
    {
        QFile file(record_);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList calls;
        for (const QString &line : QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts)) {
            bool wanted = names.isEmpty();
            for (const QString &name : names)
                wanted = wanted || line.startsWith(name + "(");
            if (wanted)
                calls << line;
        }
        return calls;
    }

    QTemporaryDir dir_;
    QString record_;
};

}  // namespace tvx::test
