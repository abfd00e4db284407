// The adjustable parameters in the main dialog and as a part on its own:
// selection, ranges, reads, drags and the moves that must change nothing.
#include "panel/ParameterPanel.h"
#include "panel/logic/ParameterTable.h"
#include "res/MainDialogTemplate.h"
#include "tests/panel/PanelHost.h"
#include "tests/panel/PanelTestSupport.h"
#include "tests/support/MainDialogFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QSlider>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tvx::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Thresholds the stand-in reports for the two detection thresholds.
constexpr uint32_t kTonesRead = 1234;
constexpr uint32_t kSilenceRead = 4321;

class ParameterDialogTest : public MainDialogTest {
protected:
    void SetUp() override
    {
        MainDialogTest::SetUp();
        stub::Configure().thresholds = {{0, kTonesRead}, {1, kSilenceRead}};
    }

    QComboBox *List() { return Control<QComboBox>(1079); }
    QSlider *Slider() { return Control<QSlider>(1043); }
    QString Text() { return Control<QLabel>(1080)->text(); }

    // The user picks a parameter in the list.
    void Pick(int index)
    {
        List()->setCurrentIndex(index);
        emit List()->activated(index);
    }
};

// One row per parameter: what selecting it shows and what a drag sends.
struct Row {
    int index;
    int min, max;
    int shown;               // value shown on selection after an open
    const char *read;        // the read on selection, or nullptr
    const char *sendFormat;  // the call for a value
    bool dbm;                // a drag shows dBm
};

const Row kRows[] = {
    {0, 1, 255, 30, nullptr, "ScDoCommand(135, %d, 0, 65535)", false},
    {1, 1, 255, 20, nullptr, "ScDoCommand(151, %d, 0, 65535)", false},
    {2, 2, 255, 4, nullptr, "ScDoCommand(167, %d, 0, 65535)", false},
    {3, 1, 255, 30, nullptr, "ScDoCommand(183, %d, 0, 65535)", false},
    {4, 50, 255, 95, nullptr, "ScDoCommand(199, %d, 0, 65535)", false},
    {5, 1, 255, 2, nullptr, "ScDoCommand(215, %d, 0, 65535)", false},
    {6, 1, 255, 70, nullptr, "ScDoCommand(141, %d, 0, 65535)", false},
    {7, 1, 255, 100, nullptr, "ScDoCommand(221, %d, 0, 65535)", false},
    {8, 1, 255, 100, nullptr, "ScDoCommand(237, %d, 0, 65535)", false},
    {9, 0, 32766, static_cast<int>(kTonesRead), "ScGetThreshold(ptr, 0)", "ScSetThreshold(0, %d)", true},
    {10, 0, 32766, static_cast<int>(kSilenceRead), "ScGetThreshold(ptr, 1)", "ScSetThreshold(1, %d)", true},
    {11, 1, 127, 63, nullptr, "ScDoCommand(142, %d, 0, 65535)", false},
    {12, 1, 255, 85, nullptr, "ScSetThreshold(16, %d)", false},
    {13, 1, 255, 112, nullptr, "ScSetThreshold(17, %d)", false},
    {14, 0, 30, 0, nullptr, "ScDoCommand(136, %d, 0, 65535)", false},
    {15, 0, 30, 0, nullptr, "ScDoCommand(152, %d, 0, 65535)", false},
    {16, 0, 30, 0, nullptr, "ScDoCommand(168, %d, 0, 65535)", false},
};

std::string Format(const char *format, int value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Dbm(int value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%0.2f dBm", ThresholdToDbm(static_cast<uint32_t>(value)));
    return text;
}

TEST_F(ParameterDialogTest, EveryRowSelectsReadsAndSendsItsOwnWay)
{
    Create();
    ASSERT_EQ(std::size(kRows), static_cast<size_t>(kParameterCount));
    for (const Row &row : kRows) {
        SCOPED_TRACE(res::kParameterItems[row.index]);
        stub::ClearCalls();
        Pick(row.index);
        EXPECT_EQ(Slider()->minimum(), row.min);
        EXPECT_EQ(Slider()->maximum(), row.max);
        EXPECT_EQ(Slider()->value(), row.shown);
        EXPECT_EQ(Text(), QString::number(row.shown)) << "a selection shows a plain number";
        if (row.read) {
            EXPECT_THAT(ParameterCalls(), ElementsAre(row.read));
        } else {
            EXPECT_THAT(ParameterCalls(), IsEmpty()) << "selecting sends nothing";
        }

        for (int target : {row.max, row.min}) {
            stub::ClearCalls();
            DragTo(Slider(), target);
            const std::string sent = Format(row.sendFormat, target);
            EXPECT_THAT(ParameterCalls(), ElementsAre(sent, sent)) << "one call for the move, one for the end";
            EXPECT_EQ(Text().toStdString(), row.dbm ? Dbm(target) : std::to_string(target));
        }
    }
}

TEST_F(ParameterDialogTest, ListItemsAreTheTemplatesInTheTablesOrder)
{
    Create();
    ASSERT_EQ(List()->count(), kParameterCount);
    for (int i = 0; i < kParameterCount; ++i)
        EXPECT_EQ(List()->itemText(i).toStdString(), res::kParameterItems[i]) << i;
}

TEST_F(ParameterDialogTest, AfterTheOpenTheFirstParameterShowsItsDefaultAndNothingWasSent)
{
    Create();
    EXPECT_EQ(List()->currentText(), "Ringer Off Period");
    EXPECT_EQ(Slider()->minimum(), 1);
    EXPECT_EQ(Slider()->maximum(), 255);
    EXPECT_EQ(Slider()->value(), 30);
    EXPECT_EQ(Text(), "30");
    EXPECT_THAT(ParameterCalls(), IsEmpty());
}

TEST_F(ParameterDialogTest, AMouseDragSendsEveryPositionAndTheEnd)
{
    Create();
    Dialog().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dialog()));
    stub::ClearCalls();

    MouseDrag(Slider(), Slider()->width() + 40);

    const std::vector<stub::Call> calls = stub::CallsNamed("ScDoCommand");
    ASSERT_GE(calls.size(), 2u);
    int previous = 30;
    for (const stub::Call &call : calls) {
        EXPECT_EQ(call.args[0], 135);
        EXPECT_GE(call.args[1], previous) << "the thumb only moved right";
        EXPECT_EQ(call.args[2], 0);
        EXPECT_EQ(call.args[3], 0xFFFF);
        previous = static_cast<int>(call.args[1]);
    }
    EXPECT_EQ(calls.back().text, "ScDoCommand(135, 255, 0, 65535)") << "the end of the drag sends the final value";
    EXPECT_EQ(Text(), "255");
    EXPECT_EQ(stub::CountOf("ScSetThreshold"), 0);
}

TEST_F(ParameterDialogTest, APressOnTheThumbLetGoWithoutMovingEndsADragWhereItBegan)
{
    Create();
    Dialog().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dialog()));
    struct Case {
        int index;
        const char *sent;
        std::string text;
    };
    const Case cases[] = {
        {0, "ScDoCommand(135, 30, 0, 65535)", "30"},
        {9, "ScSetThreshold(0, 1234)", Dbm(static_cast<int>(kTonesRead))},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.index);
        Pick(c.index);
        stub::ClearCalls();
        const QPoint thumb = HandleRect(Slider()).center();
        QTest::mousePress(Slider(), Qt::LeftButton, {}, thumb);
        QTest::mouseRelease(Slider(), Qt::LeftButton, {}, thumb);
        EXPECT_THAT(ParameterCalls(), ElementsAre(c.sent));
        EXPECT_EQ(Text().toStdString(), c.text);
    }
}

TEST_F(ParameterDialogTest, ThresholdsShowEveryValueOfTheScaleInDbm)
{
    Create();
    struct Case {
        int value;
        const char *text;
    };
    const Case cases[] = {
        {0, "-92.03 dBm"}, {9, "-72.03 dBm"}, {999, "-32.03 dBm"}, {16383, "-7.75 dBm"}, {32766, "-1.73 dBm"}};
    for (int index : {9, 10}) {
        Pick(index);
        EXPECT_EQ(Text(), QString::number(index == 9 ? kTonesRead : kSilenceRead));
        for (const Case &c : cases) {
            stub::ClearCalls();
            DragTo(Slider(), c.value);
            EXPECT_EQ(Text(), c.text) << index << " at " << c.value;
            const std::string sent =
                "ScSetThreshold(" + std::to_string(index - 9) + ", " + std::to_string(c.value) + ")";
            EXPECT_THAT(ParameterCalls(), ElementsAre(sent, sent));
        }
    }
}

TEST_F(ParameterDialogTest, AThresholdAboveTheScaleShowsAsReadAndTheThumbStopsAtTheTop)
{
    stub::Configure().thresholds[0] = 40000;
    Create();
    Pick(9);
    EXPECT_EQ(Text(), "40000");
    EXPECT_EQ(Slider()->value(), 32766);
}

TEST_F(ParameterDialogTest, VoiceBandLowReadsNothingAndSetsItsThreshold)
{
    Create();
    stub::ClearCalls();
    Pick(12);
    EXPECT_EQ(Text(), "85");
    EXPECT_THAT(ParameterCalls(), IsEmpty());
    DragTo(Slider(), 99);
    EXPECT_THAT(ParameterCalls(), ElementsAre("ScSetThreshold(16, 99)", "ScSetThreshold(16, 99)"));
    EXPECT_EQ(Text(), "99");
}

// Moves that are not a drag: the thumb may move, nothing else does.
struct OtherMove {
    const char *name;
    std::function<void(QSlider *)> act;
};

TEST_F(ParameterDialogTest, KeyboardPageWheelAndChannelMovesChangeNeitherTableTextNorDevice)
{
    Create();
    Dialog().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dialog()));
    const OtherMove moves[] = {
        {"Right", [](QSlider *s) { QTest::keyClick(s, Qt::Key_Right); }},
        {"Left", [](QSlider *s) { QTest::keyClick(s, Qt::Key_Left); }},
        {"Up", [](QSlider *s) { QTest::keyClick(s, Qt::Key_Up); }},
        {"PageUp", [](QSlider *s) { QTest::keyClick(s, Qt::Key_PageUp); }},
        {"PageDown", [](QSlider *s) { QTest::keyClick(s, Qt::Key_PageDown); }},
        {"Home", [](QSlider *s) { QTest::keyClick(s, Qt::Key_Home); }},
        {"End", [](QSlider *s) { QTest::keyClick(s, Qt::Key_End); }},
        {"wheel up", [](QSlider *s) { Wheel(s, 120); }},
        {"wheel down", [](QSlider *s) { Wheel(s, -120); }},
        {"left click in the channel",
         [](QSlider *s) { QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(s->width() - 2, s->height() / 2)); }},
        {"middle click in the channel",
         [](QSlider *s) { QTest::mouseClick(s, Qt::MiddleButton, {}, QPoint(s->width() - 2, s->height() / 2)); }},
    };
    for (const OtherMove &move : moves) {
        SCOPED_TRACE(move.name);
        Pick(1);  // "Ringer On Period", 20 after the open
        stub::ClearCalls();
        const int before = Slider()->value();
        move.act(Slider());
        Pump();
        EXPECT_THAT(ParameterCalls(), IsEmpty());
        EXPECT_EQ(Text(), "20");
        if (std::string(move.name) != "middle click in the channel") {
            EXPECT_NE(Slider()->value(), before) << "the trackbar itself moves";
        }
        Pick(1);
        EXPECT_EQ(Slider()->value(), 20) << "the table kept its value";
    }
}

TEST_F(ParameterDialogTest, EachSelectionSetsItsOwnRange)
{
    Create();
    Pick(9);
    ASSERT_EQ(Slider()->maximum(), 32766);
    Pick(5);
    EXPECT_EQ(Slider()->minimum(), 1);
    EXPECT_EQ(Slider()->maximum(), 255);
    EXPECT_EQ(Slider()->value(), 2);
    Pick(14);
    Pick(8);  // "Post Hook Flash Guard Time" has a range of its own
    EXPECT_EQ(Slider()->minimum(), 1);
    EXPECT_EQ(Slider()->maximum(), 255);
    EXPECT_EQ(Slider()->value(), 100);
    Pick(10);
    Pick(8);
    EXPECT_EQ(Slider()->maximum(), 255);
    stub::ClearCalls();
    DragTo(Slider(), 255);
    EXPECT_THAT(ParameterCalls(), ElementsAre("ScDoCommand(237, 255, 0, 65535)", "ScDoCommand(237, 255, 0, 65535)"));
}

TEST_F(ParameterDialogTest, ADraggedValueSurvivesSwitchingAwayButThresholdsAreReadAgain)
{
    Create();
    Pick(1);
    DragTo(Slider(), 200);
    Pick(9);
    DragTo(Slider(), 500);
    stub::Configure().thresholds[0] = 777;  // the device changed it meanwhile
    Pick(0);
    Pick(1);
    EXPECT_EQ(Slider()->value(), 200);
    EXPECT_EQ(Text(), "200");
    Pick(9);
    EXPECT_EQ(Slider()->value(), 777);
    EXPECT_EQ(Text(), "777");
}

TEST_F(ParameterDialogTest, BeforeAnySelectionTheTrackbarWritesNothing)
{
    stub::Configure().openResult = 5;  // the open fails before the defaults
    Create();
    Dialog().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dialog()));
    DragTo(Slider(), 10);
    MouseDrag(Slider(), Slider()->width() + 40);
    EXPECT_THAT(ParameterCalls(), IsEmpty());
    EXPECT_EQ(Text(), "0");
}

TEST_F(ParameterDialogTest, EachOpenWritesTheDefaultsAgainAndSelectsTheFirstRow)
{
    Create();
    DragTo(Slider(), 200);
    Pick(11);
    DragTo(Slider(), 7);
    Pick(3);
    stub::ClearCalls();
    Choose(32826);
    Choose(32826);
    EXPECT_EQ(List()->currentIndex(), 0);
    EXPECT_EQ(Slider()->value(), 30);
    EXPECT_EQ(Text(), "30");
    EXPECT_THAT(ParameterCalls(), IsEmpty()) << "defaults are not sent";
    Pick(11);
    EXPECT_EQ(Slider()->value(), 63);
}

// The handler on its own: only a drag of trackbar 1043 counts.
using ParameterPartTest = PanelPartTest;

TEST_F(ParameterPartTest, OnlyThumbTrackAndThumbPositionOfTheTrackbarChangeAnything)
{
    struct Case {
        int code;
        bool fromTrackbar;
        bool changes;
    };
    const Case cases[] = {
        {0, true, false},
        {1, true, false},
        {2, true, false},
        {3, true, false},
        {4, true, true},
        {5, true, true},
        {6, true, false},
        {7, true, false},
        {8, true, false},
        {-1, true, false},
        {4, false, false},
        {5, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        PanelHost host;
        ParameterPanel panel(host.Controls(), host.Session());
        panel.OnDeviceOpened();
        stub::ClearCalls();
        QSlider *slider = host.Control<QSlider>(1043);
        const QObject *source = c.fromTrackbar ? static_cast<QObject *>(slider) : host.Control<QLabel>(1080);
        panel.OnParameterScroll(c.code, 77, source);
        EXPECT_EQ(panel.State().Value(0), c.changes ? 77u : 30u);
        EXPECT_EQ(host.Control<QLabel>(1080)->text(), c.changes ? "77" : "30");
        if (c.changes) {
            EXPECT_THAT(ParameterCalls(), ElementsAre("ScDoCommand(135, 77, 0, 65535)"));
        } else {
            EXPECT_THAT(ParameterCalls(), IsEmpty());
        }
    }
    PanelHost host;
    ParameterPanel panel(host.Controls(), host.Session());
    panel.OnDeviceOpened();
    stub::ClearCalls();
    panel.OnParameterScroll(5, 77, nullptr);
    EXPECT_THAT(ParameterCalls(), IsEmpty());
}

TEST_F(ParameterPartTest, TheListSelectionReachesThePanelThroughTheDialogsRouting)
{
    PanelHost host;
    ParameterPanel panel(host.Controls(), host.Session());
    host.Control<QComboBox>(1079)->setCurrentIndex(4);
    EXPECT_TRUE(host.Command(1079, kSelectionChange));
    EXPECT_EQ(panel.State().Selected(), std::optional<int>(4));
    EXPECT_EQ(host.Control<QSlider>(1043)->minimum(), 50);
}

}  // namespace
}  // namespace tvx::test
