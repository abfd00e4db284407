// The analysis switch and the frequency readout under the mouse, with the
// cursor moved by the window system over the shown dialog.
#include "panel/AnalysisReadout.h"
#include "tests/support/AccessibleControls.h"
#include "tests/support/MainDialogFixture.h"

#include <QCheckBox>
#include <QCursor>
#include <QLabel>
#include <QListView>
#include <QTest>

#include <functional>
#include <string>
#include <vector>

namespace tvx::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class AnalysisTest : public MainDialogTest {
protected:
    void SetUp() override
    {
        MainDialogTest::SetUp();
        stub::Configure().indexFrequencyPerColumn = 20.0f;
    }

    void Show()
    {
        // The cursor away from the dialog: a later move to the point where it
        // already stands would reach nobody.
        QCursor::setPos(QPoint(0, 0));
        Dialog().move(40, 30);
        Dialog().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dialog()));
        // The window system may still be placing the window: wait until the
        // area's place on the screen holds.
        QPoint last = Area()->mapToGlobal(QPoint());
        for (int still = 0, rounds = 0; still < 3 && rounds < 100; ++rounds) {
            QTest::qWait(5);
            const QPoint now = Area()->mapToGlobal(QPoint());
            still = now == last ? still + 1 : 0;
            last = now;
        }
    }

    QWidget *Area() { return Control<QWidget>(1074); }
    QString Readout() { return Control<QLabel>(1082)->text(); }
    QCheckBox *Box() { return Control<QCheckBox>(1077); }
    // The client rectangle of the area: inside its frame.
    QRect Client() { return Area()->contentsRect(); }

    // Moves the cursor to a point of the area's client coordinates; the
    // window system sends the move to the window under it.
    void MoveToClient(int x, int y) { MoveTo(Area()->mapToGlobal(Client().topLeft() + QPoint(x, y))); }
    void MoveTo(QPoint global)
    {
        QCursor::setPos(global);
        Pump();
    }
    std::vector<std::string> FrequencyCalls() { return stub::CallTexts({"ScGetIndexFreq"}); }
};

TEST_F(AnalysisTest, TheBoxSwitchesTheAnalysisOnceEachWay)
{
    // By the mouse and by a screen reader's toggle, as AT-SPI sends it.
    const std::function<void(QCheckBox *)> ways[] = {
        [](QCheckBox *box) { QTest::mouseClick(box, Qt::LeftButton); },
        [](QCheckBox *box) { AccessibleAction(box, QAccessibleActionInterface::toggleAction()); },
    };
    for (const auto &toggle : ways) {
        SCOPED_TRACE(&toggle - ways);
        Create();
        Show();
        stub::ClearCalls();
        toggle(Box());
        EXPECT_THAT(stub::CallTexts(), ElementsAre("ScDoCommand(140, 31, 0, 65535)"));
        EXPECT_EQ(Dialog().Readout().Analysis(), 1);
        stub::ClearCalls();
        toggle(Box());
        EXPECT_THAT(stub::CallTexts(), ElementsAre("ScDoCommand(140, 30, 0, 65535)"));
        EXPECT_EQ(Dialog().Readout().Analysis(), 0);
    }
}

TEST_F(AnalysisTest, TheFlagFollowsTheBoxWhateverTheLibraryAnswers)
{
    stub::Configure().results["ScDoCommand"] = -9;
    Create();
    Box()->click();
    EXPECT_EQ(Dialog().Readout().Analysis(), 1);
    Box()->click();
    EXPECT_EQ(Dialog().Readout().Analysis(), 0);
}

// The readout tests also run with the screen scaled by 1.5 and by 2.
TEST_F(AnalysisTest, TheDialogRunsAtTheScreensDevicePixelRatio)
{
    Create();
    Show();
    EXPECT_DOUBLE_EQ(Dialog().devicePixelRatioF(), qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
}

TEST_F(AnalysisTest, TheAreaLetsTheMouseThroughAndTheDialogTracksIt)
{
    Create();
    EXPECT_TRUE(Area()->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(Dialog().hasMouseTracking());
    EXPECT_EQ(Dialog().Readout().SpectrumRect(), QRect(QPoint(0, 0), Client().size()));
}

TEST_F(AnalysisTest, WithTheAnalysisOffMovesCallNothing)
{
    Create();
    Show();
    stub::ClearCalls();
    MoveToClient(5, 5);
    MoveToClient(Client().width() - 1, Client().height() / 2);
    EXPECT_THAT(stub::Calls(), IsEmpty());
    EXPECT_EQ(Readout(), "2000 Hz");
}

TEST_F(AnalysisTest, TheReadoutAtTheLeftEdgeTheLastColumnAndOnePixelBeyond)
{
    Create();
    Show();
    Box()->click();
    const int width = Client().width();
    const int middle = Client().height() / 2;
    struct Case {
        const char *where;
        int x;
        std::vector<std::string> calls;
        QString readout;
    };
    const Case cases[] = {
        {"left edge", 0, {"ScGetIndexFreq(ptr, 0)"}, "0.00 Hz"},
        {"second column", 1, {"ScGetIndexFreq(ptr, 1)"}, "20.00 Hz"},
        {"last column",
         width - 1,
         {"ScGetIndexFreq(ptr, " + std::to_string(width - 1) + ")"},
         QString::asprintf("%.2f Hz", (width - 1) * 20.0)},
        {"one pixel beyond", width, {}, QString::asprintf("%.2f Hz", (width - 1) * 20.0)},
        {"one pixel before", -1, {}, QString::asprintf("%.2f Hz", (width - 1) * 20.0)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.where);
        stub::ClearCalls();
        MoveToClient(c.x, middle);
        EXPECT_EQ(FrequencyCalls(), c.calls);
        EXPECT_EQ(Readout(), c.readout) << "the readout keeps its last value outside the area";
    }
    // Above and below the area: nothing either.
    stub::ClearCalls();
    MoveToClient(3, -1);
    MoveToClient(3, Client().height());
    EXPECT_THAT(FrequencyCalls(), IsEmpty());
}

TEST_F(AnalysisTest, TheLibrarysFrequencyShowsWithTwoDecimals)
{
    stub::Configure().indexFrequencyPerColumn = 1234.5f;
    Create();
    Show();
    Box()->click();
    MoveToClient(1, 1);
    EXPECT_EQ(Readout(), "1234.50 Hz");
}

TEST_F(AnalysisTest, MovesOutsideTheAreaSendNothing)
{
    Create();
    Show();
    Box()->click();
    stub::ClearCalls();
    auto *log = Control<QListView>(1000);
    MoveTo(log->mapToGlobal(log->rect().center()));                                     // over another control
    MoveTo(Dialog().mapToGlobal(QPoint(Dialog().width() / 2, Dialog().height() - 3)));  // the dialog's surface
    MoveTo(Box()->mapToGlobal(Box()->rect().center()));
    EXPECT_THAT(stub::Calls(), IsEmpty());
    EXPECT_EQ(Readout(), "2000 Hz");
}

TEST_F(AnalysisTest, TheRectangleIsTakenAtEachSuccessfulOpen)
{
    Create();
    Show();
    Box()->click();
    const int width = Client().width();
    Area()->resize(Area()->width() - 20, Area()->height());
    Pump();
    stub::ClearCalls();
    MoveToClient(width - 10, 3);
    EXPECT_THAT(FrequencyCalls(), ElementsAre("ScGetIndexFreq(ptr, " + std::to_string(width - 10) + ")"))
        << "until the next open the stored rectangle holds";

    Choose(32826);
    Choose(32826);  // reopened: the rectangle of the smaller area
    EXPECT_EQ(Dialog().Readout().SpectrumRect(), QRect(0, 0, width - 20, Client().height()));
    stub::ClearCalls();
    MoveToClient(width - 10, 3);
    MoveToClient(width - 20, 3);
    EXPECT_THAT(FrequencyCalls(), IsEmpty());
    MoveToClient(width - 21, 3);
    EXPECT_THAT(FrequencyCalls(), ElementsAre("ScGetIndexFreq(ptr, " + std::to_string(width - 21) + ")"));
}

TEST_F(AnalysisTest, BeforeASuccessfulOpenTheReadoutIsInert)
{
    stub::Configure().initializeResult = 3;
    Create();
    Show();
    Box()->click();
    stub::ClearCalls();
    MoveToClient(0, 0);
    MoveToClient(10, 10);
    EXPECT_THAT(FrequencyCalls(), IsEmpty());
    EXPECT_EQ(Readout(), "2000 Hz");
}

// The stored rectangle as the readout reads it.
TEST(AnalysisRectTest, ClientRectangleEndsOneBeyondTheLastPixel)
{
    const ClientRect r = ClientRectOf(QRect(0, 0, 291, 146));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 291);
    EXPECT_EQ(r.bottom, 146);
    const ClientRect empty = ClientRectOf(QRect());
    EXPECT_FALSE(SpectrumColumnAt(0, 0, empty).has_value());
}

}  // namespace
}  // namespace tvx::test
