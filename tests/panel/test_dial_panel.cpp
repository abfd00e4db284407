// Dialling from the main dialog: the calls and pauses of dial strings in both
// modes, the empty edit, the button while dialling, Enter and Alt+L.
#include "panel/DialPanel.h"
#include "tests/support/MainDialogFixture.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <string>
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

// Records each pause where it falls among the dial commands, and the state
// of the dial button at that moment.
class RecordedWaits {
public:
    // The wait to give the dial panel; this object must outlive it.
    DialPanel::WaitFunction Function()
    {
        return [this](int milliseconds) {
            waits_.push_back({stub::CountOf("ScDoCommand"), milliseconds});
            if (button_)
                buttonEnabled_.push_back(button_->isEnabled());
        };
    }

    void Watch(QPushButton *button) { button_ = button; }

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
    const std::vector<bool> &ButtonEnabledAtWaits() const { return buttonEnabled_; }
    void Clear() { waits_.clear(), buttonEnabled_.clear(); }

private:
    std::vector<std::pair<int, int>> waits_;  // (dial commands before it, milliseconds)
    std::vector<bool> buttonEnabled_;
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
        seams_.dialWait = waits_.Function();
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

    RecordedWaits waits_;
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

// With the real pause: the button is disabled from before the first command
// until after the last, which is at least the pause later.
TEST_F(DialTest, ARealRunKeepsTheButtonDisabledWhileDialling)
{
    seams_.dialWait = {};
    Show();
    EnabledChanges changes(Button());
    QElapsedTimer clock;
    clock.start();
    Dial("1,2");
    EXPECT_GE(clock.elapsed(), 1000);
    ASSERT_EQ(changes.changes.size(), 2u);
    EXPECT_FALSE(changes.changes[0].enabled);
    EXPECT_EQ(changes.changes[0].commandsBefore, 0);
    EXPECT_TRUE(changes.changes[1].enabled);
    EXPECT_EQ(changes.changes[1].commandsBefore, 2);
    EXPECT_GE(changes.changes[1].atMs - changes.changes[0].atMs, 1000);
    EXPECT_THAT(stub::CallTexts({"ScDoCommand"}), ElementsAre(Send(1), Send(2)));
}

}  // namespace
}  // namespace tvx::test
