// Dialling from the main dialog: the calls and pauses of dial strings in both
// modes, the empty edit, the button while dialling, Enter and Alt+L, the
// window at work during a pause, and a string ended by the driver switch or
// by the dialog's end.
#include "panel/DialPanel.h"
#include "tests/support/MainDialogFixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tvx::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

std::string Send(int dialCode) { return "ScDoCommand(140, " + std::to_string(dialCode) + ", 0, 65535)"; }
const std::string kWaitDialTone = "ScDoCommand(140, 28, 0, 0)";
const std::string kPause = "wait 1000";

// Pauses on a clock of the test's own. Each pause is recorded where it falls
// among the dial commands, with the state of the dial button at that moment;
// it ends at once, or waits until Elapse() ends it. Ending a pause moves the
// clock on by its length.
class VirtualPauses {
public:
    // The pause to give the dial panel; this object must outlive it.
    DialPanel::PauseFunction Function()
    {
        return [this](int milliseconds, std::function<void()> resume) {
            waits_.push_back({stub::CountOf("ScDoCommand"), milliseconds});
            if (button_)
                buttonEnabled_.push_back(button_->isEnabled());
            if (atOnce_) {
                MoveClock(milliseconds);
                resume();
                return;
            }
            pending_ = std::move(resume);
            pendingMs_ = milliseconds;
        };
    }

    void Watch(QPushButton *button) { button_ = button; }
    // false: each pause waits for Elapse().
    void EndAtOnce(bool atOnce) { atOnce_ = atOnce; }

    // Ends the pause that waits; false when none does.
    bool Elapse()
    {
        if (!pending_)
            return false;
        std::function<void()> resume = std::exchange(pending_, {});
        MoveClock(pendingMs_);
        resume();
        return true;
    }
    bool Waiting() const { return static_cast<bool>(pending_); }
    // The resume of the pause that waits, taken away from it, for a test to
    // call when it likes.
    std::function<void()> TakeResume() { return std::exchange(pending_, {}); }

    // The dial commands with the pauses among them, in order.
    std::vector<std::string> Steps() const
    {
        std::vector<std::string> steps;
        const std::vector<std::string> calls = stub::CallTexts({"ScDoCommand"});
        size_t next = 0;
        for (size_t i = 0; i <= calls.size(); ++i) {
            for (; next < waits_.size() && static_cast<size_t>(waits_[next].first) == i; ++next)
                steps.push_back("wait " + std::to_string(waits_[next].second));
            if (i < calls.size())
                steps.push_back(calls[i]);
        }
        return steps;
    }
    // When each dial command was made, on this clock, in milliseconds.
    std::vector<int64_t> CommandTimes() const
    {
        std::vector<int64_t> times;
        const int commands = stub::CountOf("ScDoCommand");
        for (int i = 0; i < commands; ++i) {
            int64_t at = 0;
            for (const auto &[commandsBefore, clock] : marks_)
                if (commandsBefore <= i)
                    at = clock;
            times.push_back(at);
        }
        return times;
    }
    const std::vector<bool> &ButtonEnabledAtWaits() const { return buttonEnabled_; }
    void Clear()
    {
        waits_.clear(), buttonEnabled_.clear(), marks_.clear();
        pending_ = {};
        now_ = 0;
    }

private:
    void MoveClock(int milliseconds)
    {
        now_ += milliseconds;
        marks_.push_back({stub::CountOf("ScDoCommand"), now_});
    }

    std::vector<std::pair<int, int>> waits_;  // (dial commands before it, milliseconds)
    std::vector<bool> buttonEnabled_;
    std::vector<std::pair<int, int64_t>> marks_;  // (dial commands before, the clock from then on)
    int64_t now_ = 0;
    bool atOnce_ = true;
    std::function<void()> pending_;
    int pendingMs_ = 0;
    QPushButton *button_ = nullptr;
};

// Every enable and disable of a widget, with the dial commands made by then.
class EnabledChanges : public QObject {
public:
    struct Change {
        bool enabled;
        int commandsBefore;
        qint64 atMs;
    };
    explicit EnabledChanges(QWidget *watched)
    {
        clock_.start();
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::EnabledChange)
            changes.push_back(
                {static_cast<QWidget *>(watched)->isEnabled(), stub::CountOf("ScDoCommand"), clock_.elapsed()});
        return false;
    }
    std::vector<Change> changes;

private:
    QElapsedTimer clock_;
};

class DialTest : public MainDialogTest {
protected:
    void SetUp() override
    {
        MainDialogTest::SetUp();
        seams_.dialPause = waits_.Function();
        Show();
    }
    // A new dialog, shown, with the seams as they stand.
    void Show()
    {
        Destroy();
        Create();
        Dialog().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dialog()));
        waits_.Watch(Button());
        stub::ClearCalls();
    }

    QLineEdit *Edit() { return Control<QLineEdit>(1047); }
    QPushButton *Button() { return Control<QPushButton>(1067); }

    void Dial(const char *text, bool pulse = false)
    {
        Choose(pulse ? 32801 : 32800);  // "Pulse Dial" or "Tones Dial": nothing sent
        Edit()->setText(QString::fromLatin1(text));
        QTest::mouseClick(Button(), Qt::LeftButton);
    }
    std::vector<std::string> Steps() const { return waits_.Steps(); }
    void Clear()
    {
        stub::ClearCalls();
        waits_.Clear();
    }

    VirtualPauses waits_;
};

TEST_F(DialTest, TheWorkedExampleInToneAndInPulseMode)
{
    Dial("9,W(03) 555-12#");
    EXPECT_THAT(Steps(),
                ElementsAre(Send(9),
                            kPause,
                            kWaitDialTone,
                            Send(0),
                            Send(3),
                            Send(5),
                            Send(5),
                            Send(5),
                            kPause,
                            Send(1),
                            Send(2),
                            Send(11)));
    Clear();
    Dial("9,W(03) 555-12#", true);
    EXPECT_THAT(Steps(),
                ElementsAre(Send(25),
                            kPause,
                            kWaitDialTone,
                            Send(16),
                            Send(19),
                            Send(21),
                            Send(21),
                            Send(21),
                            kPause,
                            Send(17),
                            Send(18)));
}

TEST_F(DialTest, DialStringsInBothModes)
{
    struct Case {
        const char *text;
        bool pulse;
        std::vector<std::string> steps;
    };
    const Case cases[] = {
        {"123", false, {Send(1), Send(2), Send(3)}},
        {"P123", false, {Send(17), Send(18), Send(19)}},
        {"123", false, {Send(1), Send(2), Send(3)}},  // the mode starts from the flag again
        {"#ABCD", true, {}},
        {"!@", true, {Send(26), Send(29)}},
        {"T#", true, {Send(11)}},
        {"*#abcd", false, {Send(10), Send(11), Send(12), Send(13), Send(14), Send(15)}},
        {"w", false, {kWaitDialTone}},
        {"w", true, {kWaitDialTone}},
        {"1,,2", false, {Send(1), kPause, kPause, Send(2)}},
        {"0-9", true, {Send(16), kPause, Send(25)}},
        {"p1t1", false, {Send(17), Send(1)}},
        {" ()+./xyz", false, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        Clear();
        Dial(c.text, c.pulse);
        EXPECT_THAT(Steps(), ElementsAreArray(c.steps));
        EXPECT_EQ(Dialog().Dispatcher().PulseDial(), c.pulse) << "dialling never changes the flag";
        EXPECT_TRUE(Button()->isEnabled());
    }
}

TEST_F(DialTest, AnEmptyEditDialsNothingAndLeavesTheButtonAlone)
{
    EnabledChanges changes(Button());
    Dial("");
    EXPECT_THAT(stub::Calls(), IsEmpty());
    EXPECT_TRUE(changes.changes.empty());
    EXPECT_TRUE(Button()->isEnabled());
}

TEST_F(DialTest, TheButtonIsDisabledWhilePausing)
{
    Dial("1,2-3");
    EXPECT_THAT(waits_.ButtonEnabledAtWaits(), ElementsAre(false, false));
    EXPECT_TRUE(Button()->isEnabled());
}

TEST_F(DialTest, AStringAsLongAsTheEditAllowsIsDialledInFull)
{
    Edit()->clear();
    QTest::keyClicks(Edit(), QString(300, QLatin1Char('7')));
    ASSERT_EQ(Edit()->text().size(), 255) << "the edit's limit";
    QTest::mouseClick(Button(), Qt::LeftButton);
    const std::vector<std::string> calls = stub::CallTexts({"ScDoCommand"});
    EXPECT_EQ(calls.size(), 255u);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), Send(7)), 255);
}

TEST_F(DialTest, EnterInTheEditDoesNotDialButTheMnemonicDoes)
{
    Edit()->setText("12");
    Edit()->setFocus();
    QTest::keyClick(Edit(), Qt::Key_Return);
    Pump();
    EXPECT_THAT(stub::CallTexts({"ScDoCommand"}), IsEmpty()) << "Enter belongs to the default button";

    Dialog().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Dialog()));
    QTest::keyClick(&Dialog(), Qt::Key_L, Qt::AltModifier);
    // A mnemonic clicks the button as an animated click, a moment later.
    EXPECT_TRUE(PumpUntil([] { return stub::CountOf("ScDoCommand") >= 2; }, 3000));
    Pump();
    EXPECT_THAT(stub::CallTexts({"ScDoCommand"}), ElementsAre(Send(1), Send(2)));
}

// With the real pause: the click returns after the commands before the first
// pause, and the button stays disabled from before the first command until
// after the last, which comes at least the pause later.
TEST_F(DialTest, ARealRunKeepsTheButtonDisabledWhileDialling)
{
    seams_.dialPause = {};
    Show();
    EnabledChanges changes(Button());
    QElapsedTimer clock;
    clock.start();
    Dial("1,2");
    EXPECT_THAT(stub::CallTexts({"ScDoCommand"}), ElementsAre(Send(1))) << "the click does not wait out the pause";
    EXPECT_FALSE(Button()->isEnabled());
    ASSERT_TRUE(PumpUntil([&] { return Button()->isEnabled(); }, 60000));
    EXPECT_GE(clock.elapsed(), 1000);
    ASSERT_EQ(changes.changes.size(), 2u);
    EXPECT_FALSE(changes.changes[0].enabled);
    EXPECT_EQ(changes.changes[0].commandsBefore, 0);
    EXPECT_TRUE(changes.changes[1].enabled);
    EXPECT_EQ(changes.changes[1].commandsBefore, 2);
    EXPECT_GE(changes.changes[1].atMs - changes.changes[0].atMs, 1000);
    EXPECT_THAT(stub::CallTexts({"ScDoCommand"}), ElementsAre(Send(1), Send(2)));
}

// Paint events of a widget.
class Paints : public QObject {
public:
    explicit Paints(QWidget *watched) { watched->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
    int count = 0;
};

// While a pause waits, the window repaints, the log takes events from the
// library's thread and a second click dials nothing; the commands keep
// their order and their times on the pauses' clock.
TEST_F(DialTest, APauseLeavesTheWindowWorkingAndKeepsItsTime)
{
    waits_.EndAtOnce(false);
    Paints paints(&Dialog());
    Dial("1,,2-3");
    EXPECT_THAT(stub::CallTexts({"ScDoCommand"}), ElementsAre(Send(1)));
    ASSERT_TRUE(waits_.Waiting());
    EXPECT_FALSE(Button()->isEnabled());

    std::thread([] { stub::FireEvent(100, 7, nullptr, 0); }).join();
    EXPECT_TRUE(PumpUntil([&] { return Dialog().Log().Line(0) == "Event 100 (7)"; }));
    const int paintsBefore = paints.count;
    Dialog().update();
    EXPECT_TRUE(PumpUntil([&] { return paints.count > paintsBefore; }));
    EXPECT_TRUE(Dialog().OnCommand(MakeCommandArg(1067, kClicked), Button()));
    Edit()->setText("9");
    EXPECT_THAT(stub::CallTexts({"ScDoCommand"}), ElementsAre(Send(1))) << "one string at a time";
    EXPECT_FALSE(Button()->isEnabled());

    int pauses = 0;
    while (waits_.Elapse())
        ++pauses;
    EXPECT_EQ(pauses, 3);
    EXPECT_THAT(Steps(), ElementsAre(Send(1), kPause, kPause, Send(2), kPause, Send(3)));
    EXPECT_THAT(waits_.CommandTimes(), ElementsAre(0, 2000, 3000));
    EXPECT_TRUE(Button()->isEnabled());
}

// Switching the driver off or ending the dialog while a pause waits ends the
// string: the pause's end makes no call, and once the dialog is back a new
// string dials from its start.
TEST_F(DialTest, DriverOffOrTheDialogsEndStopsAStringInItsPause)
{
    struct Row {
        const char *what;
        std::function<void()> end;
        bool destroyed;
    };
    const Row rows[] = {
        {"Driver Enabled off", [this] { Choose(32826); }, false},
        {"Driver Enabled off and on again",
         [this] {
             Choose(32826);
             Choose(32826);
         },
         false},
        {"the close box", [this] { Dialog().close(); }, false},
        {"Escape", [this] { QTest::keyClick(Edit(), Qt::Key_Escape); }, false},
        {"Exit", [this] { Choose(32808); }, false},
        {"the dialog destroyed", [this] { Destroy(); }, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        Show();
        Clear();
        waits_.EndAtOnce(false);
        Dial("12,34");
        ASSERT_TRUE(waits_.Waiting());
        ASSERT_EQ(stub::CountOf("ScDoCommand"), 2);
        row.end();
        const std::function<void()> resume = waits_.TakeResume();
        ASSERT_TRUE(resume);
        resume();
        Pump();
        EXPECT_EQ(stub::CountOf("ScDoCommand"), 2) << "no call after the end";
        if (row.destroyed)
            continue;
        EXPECT_TRUE(Button()->isEnabled());
        if (!Dialog().isVisible())
            Dialog().show();
        if (!Checked(32826))
            Choose(32826);
        stub::ClearCalls();
        Dial("5");
        EXPECT_THAT(stub::CallTexts({"ScDoCommand"}), ElementsAre(Send(5)));
    }
}

// The real pause's timer goes with the dialog: nothing fires into it.
TEST_F(DialTest, ADialogDestroyedInARealPauseGetsNoCallFromIt)
{
    seams_.dialPause = {};
    Show();
    Dial("4,4");
    ASSERT_THAT(stub::CallTexts({"ScDoCommand"}), ElementsAre(Send(4)));
    Destroy();
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 1500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_THAT(stub::CallTexts({"ScDoCommand"}), ElementsAre(Send(4)));
}

}  // namespace
}  // namespace tvx::test
