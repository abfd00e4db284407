// The parts that meet the GUI: the column-to-frequency mapping of the spectrum
// area, the spectrum drawn while the analysis is on, the set-up dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <ostream>
#include <thread>

#include "device/tvxusb.h"
#include "simulator/logic/SimErrors.h"
#include "tests/simulator/SimTestSupport.h"

using namespace tvxsim;
using namespace simtest;

namespace {

QApplication *EnsureApp()
{
    if (auto *app = qobject_cast<QApplication *>(QCoreApplication::instance()))
        return app;
    static int argc = 1;
    static char name[] = "test_simulator";
    static char *argv[] = {name, nullptr};
    static QApplication *app = new QApplication(argc, argv);  // lives to the end of the process
    return app;
}

void RunEventsFor(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

class Gui : public SimulatorTest {
protected:
    void SetUp() override
    {
        SimulatorTest::SetUp();
        EnsureApp();
        unsetenv("TVXUSB_DIALOG_AUTOCLOSE_MS");
    }
    void TearDown() override
    {
        SimulatorTest::TearDown();
        unsetenv("TVXUSB_DIALOG_AUTOCLOSE_MS");
        QCoreApplication::processEvents();
    }
};

struct ColumnCase {
    uint16_t column;
    int32_t result;
    float hz;
};

TEST_F(Gui, IndexFreqMapsColumnsAcrossTheAreaWidth)
{
    QWidget area;
    area.resize(400, 80);
    OpenWith(rec, &area);
    const std::vector<ColumnCase> cases = {
        {0, kOk, 0.0f},
        {1, kOk, 10.0f},
        {200, kOk, 2000.0f},
        {399, kOk, 3990.0f},
        {400, kErrOutOfRange, -1.0f},
        {65535, kErrOutOfRange, -1.0f},
    };
    for (const ColumnCase &c : cases) {
        float hz = -1.0f;
        EXPECT_EQ(ScGetIndexFreq(c.column, &hz), c.result) << c.column;
        EXPECT_FLOAT_EQ(hz, c.hz) << c.column;
    }
    area.resize(800, 80);
    float hz = -1.0f;
    ASSERT_EQ(ScGetIndexFreq(200, &hz), kOk);
    EXPECT_FLOAT_EQ(hz, 1000.0f);
    ASSERT_EQ(ScGetIndexFreq(799, &hz), kOk);
    EXPECT_FLOAT_EQ(hz, 3995.0f);
    EXPECT_EQ(ScGetIndexFreq(0, nullptr), kErrNullPointer);
}

TEST_F(Gui, IndexFreqWithoutAnAreaOrAfterItIsGone)
{
    OpenWith(rec, nullptr);
    float hz = -1.0f;
    EXPECT_EQ(ScGetIndexFreq(0, &hz), kErrNoWindow);
    ASSERT_EQ(ScClose(0), kOk);
    ASSERT_EQ(ScShutdown(0), kOk);

    auto *area = new QWidget;
    area->resize(300, 50);
    area->show();
    OpenWith(again, area);
    ASSERT_EQ(ScDoCommand(140, 31, 0, 0xFFFF), kOk);
    RunEventsFor(150);
    ASSERT_EQ(ScGetIndexFreq(150, &hz), kOk);
    EXPECT_FLOAT_EQ(hz, 2000.0f);
    delete area;
    hz = -1.0f;
    EXPECT_EQ(ScGetIndexFreq(0, &hz), kErrNoWindow);
    EXPECT_FLOAT_EQ(hz, -1.0f);
    RunEventsFor(150);  // the spectrum timer must not touch the destroyed area
    EXPECT_EQ(ScDoCommand(140, 30, 0, 0xFFFF), kOk);
}

TEST_F(Gui, SpectrumIsDrawnOnlyWhileTheAnalysisIsOn)
{
    QWidget area;
    area.setFixedSize(256, 64);
    area.setAutoFillBackground(true);
    QPalette pal = area.palette();
    pal.setColor(QPalette::Window, Qt::white);
    area.setPalette(pal);
    area.show();
    OpenWith(rec, &area);
    const QImage off = area.grab().toImage();
    EXPECT_EQ(off.pixelColor(10, 10), QColor(Qt::white));

    ASSERT_EQ(ScDoCommand(140, 31, 0, 0xFFFF), kOk);
    const QImage first = area.grab().toImage();
    EXPECT_NE(first, off);
    // Bars rise from the bottom edge over black: bottom row coloured, top row black.
    EXPECT_NE(first.pixelColor(24, 63), QColor(Qt::black));
    EXPECT_EQ(first.pixelColor(128, 0), QColor(Qt::black));

    RunEventsFor(350);  // a few frames of the spectrum timer
    const QImage later = area.grab().toImage();
    EXPECT_NE(later, first);

    ASSERT_EQ(ScDoCommand(140, 30, 0, 0xFFFF), kOk);
    EXPECT_EQ(area.grab().toImage(), off);

    ASSERT_EQ(ScDoCommand(140, 31, 0, 0xFFFF), kOk);
    ASSERT_EQ(ScClose(0), kOk);  // closing ends the analysis too
    EXPECT_EQ(area.grab().toImage(), off);
}

struct DialogCase {
    const char *name;
    int32_t (*run)(void *);
    const char *title;
};
void PrintTo(const DialogCase &c, std::ostream *os) { *os << c.name; }

class SetupDialogs : public Gui, public ::testing::WithParamInterface<DialogCase> {};

// Each dialog is modal over the owner passed, shows its labels, and returns 0
// once its Close button is clicked.
TEST_P(SetupDialogs, ShowsModallyOverTheOwnerAndClosesWithItsButton)
{
    const DialogCase &c = GetParam();
    QWidget owner;
    owner.show();
    OpenWith(rec);

    QString title;
    QWidget *parent = nullptr;
    int labels = 0;
    bool clicked = false;
    QTimer probe;
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        title = dialog->windowTitle();
        parent = dialog->parentWidget();
        labels = static_cast<int>(dialog->findChildren<QLabel *>().size());
        for (QPushButton *b : dialog->findChildren<QPushButton *>()) {
            b->click();
            clicked = true;
            break;
        }
        if (!clicked)
            dialog->reject();
    });
    probe.start();
    EXPECT_EQ(c.run(&owner), kOk);
    probe.stop();
    EXPECT_TRUE(clicked);
    EXPECT_EQ(title, QString::fromUtf8(c.title));
    EXPECT_EQ(parent, &owner);
    EXPECT_GE(labels, 8);  // label and value of at least four rows
}

INSTANTIATE_TEST_SUITE_P(
    All, SetupDialogs,
    ::testing::Values(
        DialogCase{"DistinctiveRing", &ScDistinctiveRingDlg, "Distinctive Ring Patterns (simulated adapter)"},
        DialogCase{"InternationalTones", &ScInternationalTonesDlg, "International Tones (simulated adapter)"},
        DialogCase{"InternationalHardware", &ScInternationalHardwareDlg, "International Hardware (simulated adapter)"},
        DialogCase{"HardwareChips", &ScHardwareChipsDlg, "Hardware Chips (simulated adapter)"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Gui, DialogShowsTheCurrentSettings)
{
    OpenWith(rec);
    ASSERT_EQ(ScSetLocalCountry(0, "972"), kOk);
    QStringList texts;
    QTimer::singleShot(0, [&] {
        if (auto *dialog = QApplication::activeModalWidget()) {
            for (QLabel *l : dialog->findChildren<QLabel *>())
                texts << l->text();
            dialog->close();
        }
    });
    EXPECT_EQ(ScInternationalTonesDlg(nullptr), kOk);
    EXPECT_TRUE(texts.contains("972")) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains("1")) << texts.join('|').toStdString();
}

TEST_F(Gui, DialogClosesByItselfWithTheAutoCloseVariable)
{
    OpenWith(rec);
    setenv("TVXUSB_DIALOG_AUTOCLOSE_MS", "20", 1);
    bool rescued = false;
    QTimer rescue;  // ends the dialog if the variable did not
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, [&] {
        if (auto *dialog = QApplication::activeModalWidget()) {
            rescued = true;
            dialog->close();
        }
    });
    rescue.start(5000);
    EXPECT_EQ(ScHardwareChipsDlg(nullptr), kOk);
    EXPECT_FALSE(rescued);
}

TEST_F(Gui, DialogOffTheGuiThreadIsRefused)
{
    OpenWith(rec);
    int32_t rc = 0;
    std::thread([&] { rc = ScDistinctiveRingDlg(nullptr); }).join();
    EXPECT_EQ(rc, kErrWrongThread);
}

}  // namespace
