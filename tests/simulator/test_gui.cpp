// The parts that meet the GUI: the column-to-frequency mapping of the spectrum
// area, the line's spectrum drawn while the analysis is on, the set-up dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <ostream>
#include <thread>

#include "device/tvxusb.h"
#include "simulator/AnalysisPainter.h"
#include "simulator/logic/AnalysisScale.h"
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

// Runs the GUI thread's events until done() holds; false after a minute. A
// busy machine can let any fixed time go by before a timer's turn comes.
bool RunEventsUntil(const std::function<bool()> &done)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > 60000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
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

// The column whose bar reaches highest in the area's picture (device pixels
// folded back to logical columns), and its height in device pixels.
std::pair<int, int> TallestColumn(const QImage &image)
{
    const double ratio = image.devicePixelRatio();
    int best = -1;
    int bestHeight = 0;
    for (int x = 0; x < image.width(); ++x) {
        int h = 0;
        while (h < image.height() && image.pixelColor(x, image.height() - 1 - h).green() > 150)
            ++h;
        if (h > bestHeight) {
            bestHeight = h;
            best = static_cast<int>(x / ratio);
        }
    }
    return {best, bestHeight};
}

// Through the library: a 1000 Hz tone on the line peaks in the column that
// ScGetIndexFreq maps to 1000 Hz, within one column, at two widths; the area
// keeps its own look while the analysis is off and after the device closes.
TEST_F(Gui, SpectrumPeaksInTheColumnOfTheTonesFrequency)
{
    QWidget area;
    area.setAutoFillBackground(true);
    QPalette pal = area.palette();
    pal.setColor(QPalette::Window, Qt::white);
    area.setPalette(pal);
    area.resize(300, 64);
    area.show();
    UseScenario("tone", "0 far ring\n0 phone offhook\n100 far tone 1000 0 -10 60000 0 60000\n");
    OpenWith(rec, &area);
    const QImage off = area.grab().toImage();
    ASSERT_EQ(off.pixelColor(10, 10), QColor(Qt::white));
    ASSERT_EQ(ScDoCommand(140, 31, 0, 0xFFFF), kOk);
    for (int width : {300, 437}) {
        area.resize(width, 64);
        std::pair<int, int> peak{-1, 0};
        RunEventsUntil([&] {  // -10 dBm0 fills 56 of 64 pixels
            peak = TallestColumn(area.grab().toImage());
            return peak.second >= 40;
        });
        ASSERT_GE(peak.second, 40) << width;
        float hz = 0.0f;
        ASSERT_EQ(ScGetIndexFreq(static_cast<uint16_t>(peak.first), &hz), kOk);
        EXPECT_LE(std::abs(hz - 1000.0f), 4000.0f / static_cast<float>(width)) << width << " column " << peak.first;
    }
    ASSERT_EQ(ScDoCommand(140, 30, 0, 0xFFFF), kOk);
    EXPECT_EQ(area.grab().toImage(), off.scaled(area.size()));
    ASSERT_EQ(ScDoCommand(140, 31, 0, 0xFFFF), kOk);
    ASSERT_EQ(ScClose(0), kOk);  // closing ends the analysis too
    EXPECT_EQ(area.grab().toImage().pixelColor(10, 10), QColor(Qt::white));
}

// The painter alone, fed a frame with a 1000 Hz peak: at device pixel
// ratios 1, 1.5 and 2 the peak stays in the logical column of 1000 Hz.
TEST_F(Gui, SpectrumColumnsAreLogicalPixelsAtAnyPixelRatio)
{
    auto feed = std::make_shared<AnalysisFeed>();
    std::array<float, kSpectrumBins> bins;
    bins.fill(-70.0f);
    bins[64] = -10.0f;  // 1000 Hz
    bins[63] = bins[65] = -16.0f;
    feed->Publish(bins);
    QWidget area;
    area.resize(260, 60);
    AnalysisPainter painter(&area, feed);
    painter.SetActive(true);
    for (double ratio : {1.0, 1.5, 2.0}) {
        QImage image(QSize(static_cast<int>(260 * ratio), static_cast<int>(60 * ratio)), QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        area.render(&image);
        const auto [column, height] = TallestColumn(image);
        float hz = 0.0f;
        ASSERT_TRUE(ColumnToHz(static_cast<uint32_t>(column), 260, hz)) << ratio;
        EXPECT_LE(std::abs(hz - 1000.0f), 4000.0f / 260.0f) << ratio;
        EXPECT_NEAR(height, LevelHeight(-10.0f, 60 * ratio), 1.0 + ratio) << ratio;
    }
}

// Frames that come while the GUI is busy make one repaint, of the newest.
TEST_F(Gui, SpectrumFramesComingWhileTheGuiIsBusyCollapse)
{
    auto feed = std::make_shared<AnalysisFeed>();
    std::array<float, kSpectrumBins> bins;
    bins.fill(-60.0f);
    QWidget area;
    area.resize(200, 40);
    area.show();
    AnalysisPainter painter(&area, feed);
    painter.SetActive(true);
    feed->Publish(bins);
    ASSERT_TRUE(RunEventsUntil([&] { return painter.FramesPainted() >= 1; }));
    RunEventsFor(3 * AnalysisPainter::kFrameMs);
    const uint32_t before = painter.FramesPainted();
    ASSERT_GE(before, 1u);
    for (int i = 0; i < 10; ++i)  // half a second of frames, the GUI thread elsewhere
        feed->Publish(bins);
    ASSERT_TRUE(RunEventsUntil([&] { return painter.FramesPainted() > before; }));
    RunEventsFor(3 * AnalysisPainter::kFrameMs);  // time for a second repaint, which must not come
    EXPECT_EQ(painter.FramesPainted(), before + 1);
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
