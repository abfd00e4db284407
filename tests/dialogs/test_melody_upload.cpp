// "Load Melody ..." through the real handler, with the file dialog answered
// by the test: what the library receives and what the event log shows for
// good, bad and missing files, and for a cancelled dialog.
#include "dialogs/MelodyUpload.h"
#include "tests/dialogs/QStringPrinter.h"
#include "tests/support/MainDialogFixture.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <string>
#include <vector>

namespace tvx::test {
namespace {

struct Asked {
    QWidget *owner;
    QString title;
    QString directory;
    QString filter;
};

class MelodyUploadTest : public MainDialogTest {
protected:
    void SetUp() override
    {
        MainDialogTest::SetUp();
        ASSERT_TRUE(dir_.isValid());
        seams_.melodyFileDialog =
            [this](QWidget *owner, const QString &title, const QString &directory, const QString &filter) {
                asked_.push_back({owner, title, directory, filter});
                return answer_;
            };
    }

    QString Write(const QString &name, const QByteArray &contents)
    {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(contents), contents.size());
        return path;
    }

    // Chooses "Load Melody ..." with the dialog answering path; returns the
    // lines it added to the event log, top first.
    QStringList LoadMelody(const QString &path)
    {
        answer_ = path;
        const int before = Dialog().Log().Count();
        stub::ClearCalls();
        Choose(32807);
        return Lines().mid(0, Dialog().Log().Count() - before);
    }

    QTemporaryDir dir_;
    QString answer_;
    std::vector<Asked> asked_;
};

std::string Hex(const std::vector<uint8_t> &bytes)
{
    std::string out;
    char two[3];
    for (uint8_t byte : bytes) {
        std::snprintf(two, sizeof two, "%02X", byte);
        out += two;
    }
    return out;
}

struct Row {
    const char *what;
    QByteArray contents;
    int32_t result;     // of ScUploadMelody
    int count;          // -1: no upload
    std::string bytes;  // as hex
    QStringList lines;
};

TEST_F(MelodyUploadTest, FilesGiveTheUploadAndTheLine)
{
    const QStringList loaded{"Melody succesfully loaded."};
    const QStringList tooLong{"Melody file too long."};
    constexpr qsizetype kLong = 17 * 1024 * 1024;  // each of three lines
    QByteArray full = "[Full]\n";
    std::string fullHex;
    for (int i = 0; i < 256; ++i) {
        char line[8];
        std::snprintf(line, sizeof line, "%x\n", i);
        full += line;
        char two[3];
        std::snprintf(two, sizeof two, "%02X", i);
        fullHex += two;
    }
    const std::vector<Row> rows = {
        {"bracketed name, three lines", "[Tune]\n1F\n0x20\nff\n", 0, 3, "1F20FF", loaded},
        {"last line without line feed", "[Tune]\n1F\n0x20\nff", 0, 3, "1F20FF", loaded},
        {"carriage returns", "[Tune]\r\n1F\r\n0x20\r\nff\r\n", 0, 3, "1F20FF", loaded},
        {"spaces, word, long number, minus one", "Name\n   7   seven\n123\n-1\n", 0, 3, "0723FF", loaded},
        {"name line only", "[Silence]\n", 0, 0, "", loaded},
        {"empty file", "", 0, 0, "", loaded},
        {"refused by the adapter: no line", "[Tune]\n01\n", 5, 1, "01", {}},
        {"256 data lines", full, 0, 256, fullHex, loaded},
        {"257 data lines", full + "ff\n", 0, -1, "", tooLong},
        {"lines of any length: a long name, comment and indent",
         "[" + QByteArray(kLong, 'n') + "]\n1 ;" + QByteArray(kLong, 'c') + "\n" + QByteArray(kLong, ' ') + "2\n",
         0,
         2,
         "0102",
         loaded},
    };
    Create();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        stub::Configure().results["ScUploadMelody"] = row.result;
        const QStringList lines = LoadMelody(Write("melody.rng", row.contents));
        const auto calls = stub::Calls();
        if (row.count < 0) {
            EXPECT_TRUE(calls.empty());
        } else {
            ASSERT_EQ(calls.size(), 1u);
            EXPECT_EQ(calls[0].text, "ScUploadMelody(ptr, " + std::to_string(row.count) + ")");
            EXPECT_EQ(Hex(calls[0].bytes), row.bytes);
        }
        EXPECT_EQ(lines, row.lines);
    }
}

TEST_F(MelodyUploadTest, FilesThatCannotBeReadSendNothing)
{
    const QString missing = dir_.filePath("missing.rng");
    const QString folder = dir_.filePath("folder.rng");
    ASSERT_TRUE(QDir().mkpath(folder));
    // Opens, but every read fails.
    const QString readError = QStringLiteral("/proc/self/mem");
    ASSERT_TRUE(QFile::exists(readError));
    Create();
    for (const QString &path : {missing, folder, readError, QStringLiteral("/dev/zero")}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(LoadMelody(path), QStringList{"Cannot read melody file."});
        EXPECT_TRUE(stub::Calls().empty());
    }
}

TEST_F(MelodyUploadTest, CancelDoesNothingAndEveryOpeningAsksTheSame)
{
    Create();
    const QStringList before = Lines();
    EXPECT_TRUE(LoadMelody(QString()).isEmpty());
    EXPECT_TRUE(stub::Calls().empty());
    EXPECT_EQ(Lines(), before);

    LoadMelody(Write("a.txt", "[A]\n1\n"));
    LoadMelody(QString());
    ASSERT_EQ(asked_.size(), 3u);
    for (const Asked &asked : asked_) {
        EXPECT_EQ(asked.owner, &Dialog());
        EXPECT_EQ(asked.title, "UpLoad Melody");
        EXPECT_EQ(asked.directory, QDir::rootPath());
        EXPECT_EQ(asked.filter, "Melody files (*.rng *.ini *.txt)");
    }
}

TEST_F(MelodyUploadTest, ThePlatformsFileDialogIsTitledUpLoadMelody)
{
    seams_.melodyFileDialog = {};  // the platform's
    Create();
    stub::ClearCalls();
    QString title;
    QTimer::singleShot(0, [&] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            title = dialog->windowTitle();
            dialog->reject();
        }
    });
    Choose(32807);
    EXPECT_EQ(title, "UpLoad Melody");
    EXPECT_TRUE(stub::Calls().empty());
}

}  // namespace
}  // namespace tvx::test
