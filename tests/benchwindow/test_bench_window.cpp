// The bench window against a stand-in control socket at a temporary
// XDG_RUNTIME_DIR: what each control sends, what state lines show, errors in
// the status line, the adapter going away and coming back, and controls
// driven as a screen reader drives them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "simulator/benchwindow/AdapterPanel.h"
#include "simulator/benchwindow/BenchWindow.h"
#include "simulator/benchwindow/EventLogView.h"
#include "simulator/benchwindow/Lamp.h"
#include "simulator/benchwindow/LevelMeter.h"
#include "simulator/control/ControlPath.h"
#include "tests/benchwindow/FakeControlServer.h"
#include "tests/support/AccessibleControls.h"

namespace {

using benchtest::FakeControlServer;
using tvxsim::bench::BenchWindow;
using tvxsim::bench::EventLogView;

constexpr int kWaitMs = 5000;

class BenchWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(runtime_.isValid());
        previous_ = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
        ASSERT_TRUE(QDir(runtime_.path()).mkdir(QStringLiteral("tvxusb")));
        path_ = QString::fromStdString(tvxsim::ControlSocketPath());
        ASSERT_EQ(path_, runtime_.path() + QStringLiteral("/tvxusb/control"));
        server_ = std::make_unique<FakeControlServer>(path_);
        for (const auto &[name, value] : kStartState)
            server_->SetState(QString::fromLatin1(name), QString::fromLatin1(value));
    }

    void TearDown() override
    {
        window_.reset();
        server_.reset();
        qputenv("XDG_RUNTIME_DIR", previous_);
    }

    // Listens, opens the window and waits until it is connected.
    void Open()
    {
        ASSERT_TRUE(server_->Listen());
        window_ = std::make_unique<BenchWindow>(path_, 50);
        window_->show();
        ASSERT_TRUE(QTest::qWaitFor([this] { return Status().startsWith("Connected"); }, kWaitMs))
            << Status().toStdString();
    }

    QString Status() const { return window_ ? window_->StatusText() : QString(); }

    // The button or check box whose text (mnemonic marks and all) or accessible name is this.
    template <typename T = QAbstractButton> T *Find(const QString &text) const
    {
        for (T *widget : window_->findChildren<T *>()) {
            if (widget->text() == text || widget->accessibleName() == text)
                return widget;
        }
        ADD_FAILURE() << "no control " << text.toStdString();
        return nullptr;
    }

    // The label whose text starts with this, or nullptr.
    QLabel *LabelStartingWith(const QString &start) const
    {
        for (QLabel *label : window_->findChildren<QLabel *>()) {
            if (label->text().startsWith(start))
                return label;
        }
        return nullptr;
    }

    // Waits until the server has received count requests; then returns them.
    QStringList Requests(int count) const
    {
        (void)QTest::qWaitFor([&] { return server_->Requests().size() >= count; }, kWaitMs);
        return server_->Requests();
    }

    // Waits for the window to show a state line it was sent.
    void SendState(const char *name, const char *value, const std::function<bool()> &shown)
    {
        server_->SetState(QString::fromLatin1(name), QString::fromUtf8(value));
        EXPECT_TRUE(QTest::qWaitFor(shown, kWaitMs)) << name << " " << value;
    }

    static constexpr std::pair<const char *, const char *> kStartState[] = {
        {"time", "1000"},
        {"phone", "onhook"},
        {"call", "idle"},
        {"ringing", "off"},
        {"ringer-hz", "25"},
        {"melody", "off"},
        {"leds", "0x00"},
        {"display", ""},
        {"mode", "58"},
        {"audio", "off"},
        {"listen", "off"},
        {"talk", "off"},
        {"be-far", "off"},
        {"level-mic", "-99.9"},
    };

    QTemporaryDir runtime_;
    QByteArray previous_;
    QString path_;
    std::unique_ptr<FakeControlServer> server_;
    std::unique_ptr<BenchWindow> window_;
};

struct ClickCase {
    const char *control;  // text or accessible name
    const char *request;
};

class BenchClick : public BenchWindowTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(BenchClick, SendsItsRequestOnce)
{
    Open();
    QAbstractButton *button = Find(QString::fromLatin1(GetParam().control));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(Requests(1), QStringList{QString::fromLatin1(GetParam().request)});
    QTest::qWait(100);
    EXPECT_EQ(server_->Requests().size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Controls, BenchClick,
                         ::testing::Values(ClickCase{"&Lift", "phone offhook"}, ClickCase{"&Hang up", "phone onhook"},
                                           ClickCase{"&Flash", "phone flash"}, ClickCase{"Key 5", "phone keys \"5\""},
                                           ClickCase{"Key #", "phone keys \"#\""},
                                           ClickCase{"Key D", "phone keys \"D\""}, ClickCase{"Answe&r", "far answer"},
                                           ClickCase{"Far party hangs &up", "far hangup"},
                                           ClickCase{"&Speak", "far speech 2000"},
                                           ClickCase{"&Make noise", "line noise 1000 -40"},
                                           ClickCase{"Send &DTMF", "far dtmf \"5#\""}));

TEST_F(BenchWindowTest, TheCallFormSendsTheCallItShows)
{
    Open();
    // The form's fields by their labels' buddies.
    const auto field = [this](const char *label) {
        for (QLabel *caption : window_->findChildren<QLabel *>()) {
            if (caption->text() == QLatin1String(label))
                return caption->buddy();
        }
        return static_cast<QWidget *>(nullptr);
    };
    auto *nameEdit = qobject_cast<QLineEdit *>(field("&Name:"));
    auto *numberEdit = qobject_cast<QLineEdit *>(field("N&umber:"));
    auto *format = qobject_cast<QComboBox *>(field("F&ormat:"));
    auto *modem = qobject_cast<QComboBox *>(field("&Modem:"));
    auto *timing = qobject_cast<QComboBox *>(field("T&iming:"));
    auto *absence = qobject_cast<QComboBox *>(field("Absence &reason:"));
    auto *date = qobject_cast<QLineEdit *>(field("&Date:"));
    ASSERT_TRUE(nameEdit && numberEdit && format && modem && timing && absence && date);

    nameEdit->setText(QStringLiteral("Ada Lovelace"));
    numberEdit->setText(QStringLiteral("0207 946 0123"));
    format->setCurrentText(QStringLiteral("SDMF"));
    modem->setCurrentText(QStringLiteral("V.23"));
    timing->setCurrentText(QStringLiteral("ETSI (before the first ring)"));
    absence->setCurrentText(QStringLiteral("Private"));
    date->setText(QStringLiteral("12101830"));
    QAbstractButton *waiting = Find(QStringLiteral("Call &waiting"));
    EXPECT_FALSE(waiting->isEnabled());  // only during a call
    QTest::mouseClick(Find(QStringLiteral("&Call the adapter")), Qt::LeftButton);
    EXPECT_EQ(Requests(1).value(0),
              QStringLiteral("far call \"Ada Lovelace\" \"0207 946 0123\" sdmf v23 etsi private date 12101830"));

    SendState("call", "connected", [waiting] { return waiting->isEnabled(); });
    absence->setCurrentIndex(0);
    date->clear();
    format->setCurrentText(QStringLiteral("MDMF"));
    QTest::mouseClick(waiting, Qt::LeftButton);
    EXPECT_EQ(Requests(2).value(1),
              QStringLiteral("far call-waiting \"Ada Lovelace\" \"0207 946 0123\" mdmf v23 etsi"));

    // A name that cannot be sent is refused here, with the reason, and nothing goes out.
    nameEdit->setText(QStringLiteral("Ada \"the Countess\""));
    QTest::mouseClick(Find(QStringLiteral("&Call the adapter")), Qt::LeftButton);
    EXPECT_TRUE(Status().startsWith("Not sent: the name")) << Status().toStdString();
    QTest::qWait(100);
    EXPECT_EQ(server_->Requests().size(), 2);
}

TEST_F(BenchWindowTest, StateLinesLightTheLampsAndShowTheDisplay)
{
    Open();
    auto *adapter = window_->findChild<tvxsim::bench::AdapterPanel *>();
    ASSERT_NE(adapter, nullptr);
    // Power (bit 0), LED 4 (bit 3) and the test's own enable bit (bit 7).
    SendState("leds", "0x89", [adapter] { return adapter->Led(0)->IsLit(); });
    const bool expected[] = {true, false, false, true, false, false, false, true};
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(adapter->Led(i)->IsLit(), expected[i]) << i;
        EXPECT_EQ(tvx::test::AccessibleText(adapter->Led(i), QAccessible::Description),
                  expected[i] ? QStringLiteral("lit") : QStringLiteral("dark"))
            << i;
    }
    EXPECT_EQ(tvx::test::AccessibleText(adapter->Led(0)), QStringLiteral("LED Power"));

    // The ringer's lamp is lit while the bell sounds, not through the cadence's silences.
    SendState("ringing", "on", [adapter] { return !adapter->RingerLamp()->IsLit(); });
    SendState("bell", "on", [adapter] { return adapter->RingerLamp()->IsLit(); });
    SendState("bell", "off", [adapter] { return !adapter->RingerLamp()->IsLit(); });

    QLabel *display = nullptr;
    for (QLabel *label : window_->findChildren<QLabel *>()) {
        if (label->accessibleDescription() == QLatin1String("What the handset's caller-ID display shows"))
            display = label;
    }
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(tvx::test::AccessibleText(display), QStringLiteral("Caller-ID display: blank"));
    SendState("display", "Ivor Kell 7964710 29/04 22:30", [display] {
        return display->text() == QLatin1String("Ivor Kell 7964710 29/04 22:30");
    });
    EXPECT_EQ(tvx::test::AccessibleText(display), QStringLiteral("Caller-ID display: Ivor Kell 7964710 29/04 22:30"));

    tvxsim::bench::LevelMeter *mic = nullptr;
    for (auto *meter : window_->findChildren<tvxsim::bench::LevelMeter *>()) {
        if (meter->accessibleName() == QLatin1String("Microphone level"))
            mic = meter;
    }
    ASSERT_NE(mic, nullptr);
    EXPECT_EQ(tvx::test::AccessibleText(mic, QAccessible::Value), QStringLiteral("silence"));
    SendState("level-mic", "-9.5", [mic] { return mic->text() == QLatin1String("-9.5 dBm0"); });
    EXPECT_EQ(tvx::test::AccessibleText(mic, QAccessible::Value), QStringLiteral("-9.5 dBm0"));
    QAccessibleValueInterface *micValue = tvx::test::Accessible(mic)->valueInterface();
    ASSERT_NE(micValue, nullptr);
    EXPECT_DOUBLE_EQ(micValue->currentValue().toDouble(), -9.5);

    const auto shows = [this](const char *text) {
        return [this, text] {
            for (QLabel *label : window_->findChildren<QLabel *>()) {
                if (label->text() == QLatin1String(text))
                    return true;
            }
            return false;
        };
    };
    EXPECT_TRUE(shows("Device mode: Phone -Line (Default) (58)")());
    SendState("mode", "90", shows("Device mode: Line - Audio Stream (90)"));
    SendState("ringing", "on", shows("Ringing, 25 Hz, no melody"));
    SendState("call", "ringback", shows("Call: ring-back (the dialled number rings)"));
    SendState("phone", "offhook", shows("The handset is off hook (lifted)"));
    SendState("time", "61250", shows("Model time 1:01.2"));

    auto *log = window_->findChild<QPlainTextEdit *>();
    ASSERT_NE(log, nullptr);
    server_->SendEvent(QStringLiteral("1520 64 Off hook (phone)"));
    EXPECT_TRUE(QTest::qWaitFor([log] { return log->toPlainText().contains("1520 64 Off hook (phone)"); }, kWaitMs));
}

// Times that come faster than the label is refreshed end with the newest shown.
TEST_F(BenchWindowTest, TheNewestModelTimeIsShown)
{
    Open();
    QLabel *time = LabelStartingWith(QStringLiteral("Model time"));
    ASSERT_NE(time, nullptr);
    for (int ms = 2000; ms <= 2500; ms += 100)
        server_->SetState(QStringLiteral("time"), QString::number(ms));
    EXPECT_TRUE(QTest::qWaitFor([time] { return time->text() == QLatin1String("Model time 0:02.5"); }, kWaitMs))
        << time->text().toStdString();
    EXPECT_EQ(tvx::test::AccessibleText(time), QStringLiteral("Model time 0:02.5"));
    server_->Close();
    EXPECT_TRUE(QTest::qWaitFor([time] { return time->text() == QLatin1String("Model time: unknown"); }, kWaitMs))
        << time->text().toStdString();
}

TEST_F(BenchWindowTest, TheEventLogKeepsTheNewestLines)
{
    Open();
    auto *log = window_->findChild<QPlainTextEdit *>();
    ASSERT_NE(log, nullptr);
    for (int i = 0; i < 2600; ++i)
        server_->SendEvent(QStringLiteral("%1 112 Voice detected").arg(i));
    ASSERT_TRUE(QTest::qWaitFor([log] { return log->toPlainText().endsWith("2599 112 Voice detected"); }, kWaitMs));
    EXPECT_EQ(log->blockCount(), 2000);
    EXPECT_TRUE(log->toPlainText().startsWith("600 112 Voice detected\n"));
}

// A line far longer than any the socket sends is dropped whole, and the
// lines after it are read as usual: one that comes at once, and one whose
// first part alone is longer than the limit.
TEST_F(BenchWindowTest, AnOverlongLineIsDroppedWhole)
{
    Open();
    auto *log = window_->findChild<QPlainTextEdit *>();
    ASSERT_NE(log, nullptr);
    const QByteArray longLine = "1 112 " + QByteArray(100 * 1024, 'x');
    server_->SendRaw(longLine + "\n2 112 after the first long line\n");
    server_->SendRaw(longLine.left(70 * 1024));
    QTest::qWait(100);
    server_->SendRaw(longLine.mid(70 * 1024) + "\n3 112 after the second long line\n");
    ASSERT_TRUE(QTest::qWaitFor([log] { return log->toPlainText().contains("3 112 after the second"); }, kWaitMs));
    EXPECT_TRUE(log->toPlainText().contains("2 112 after the first long line"));
    EXPECT_FALSE(log->toPlainText().contains("xxxx"));
}

TEST_F(BenchWindowTest, AnErrorReplyShowsInTheStatusLine)
{
    server_->SetReply(QStringLiteral("far answer"), QStringLiteral("error nothing to answer"));
    Open();
    QTest::mouseClick(Find(QStringLiteral("Answe&r")), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([this] { return Status().contains("nothing to answer"); }, kWaitMs))
        << Status().toStdString();
    EXPECT_EQ(Status(), QStringLiteral("The adapter refused \"far answer\": nothing to answer"));
}

TEST_F(BenchWindowTest, NoAdapterThenOneThenNoneThenANewOne)
{
    // Nothing listens yet: the window says so and offers nothing to press.
    window_ = std::make_unique<BenchWindow>(path_, 50);
    window_->show();
    QAbstractButton *lift = Find(QStringLiteral("&Lift"));
    ASSERT_NE(lift, nullptr);
    EXPECT_TRUE(Status().startsWith("No simulated adapter is running")) << Status().toStdString();
    EXPECT_FALSE(lift->isEnabled());

    ASSERT_TRUE(server_->Listen());
    ASSERT_TRUE(QTest::qWaitFor([this] { return Status().startsWith("Connected"); }, kWaitMs));
    EXPECT_TRUE(lift->isEnabled());

    server_->Close();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Status().startsWith("No simulated adapter is running"); }, kWaitMs));
    EXPECT_FALSE(lift->isEnabled());

    // A new device opens: a new server at the same path, with its own state.
    server_ = std::make_unique<FakeControlServer>(path_);
    server_->SetState(QStringLiteral("leds"), QStringLiteral("0x01"));
    ASSERT_TRUE(server_->Listen());
    ASSERT_TRUE(QTest::qWaitFor([this] { return Status().startsWith("Connected"); }, kWaitMs));
    auto *adapter = window_->findChild<tvxsim::bench::AdapterPanel *>();
    EXPECT_TRUE(QTest::qWaitFor([adapter] { return adapter->Led(0)->IsLit(); }, kWaitMs));
    QTest::mouseClick(lift, Qt::LeftButton);
    EXPECT_EQ(Requests(1), QStringList{QStringLiteral("phone offhook")});
}

TEST_F(BenchWindowTest, RoutesAreSentAgainToANewAdapter)
{
    Open();
    QTest::mouseClick(Find(QStringLiteral("Set &route")), Qt::LeftButton);
    EXPECT_EQ(Requests(1), QStringList{QStringLiteral("number \"5551234\" answer 3000")});
    server_->Close();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Status().startsWith("No simulated adapter"); }, kWaitMs));
    server_ = std::make_unique<FakeControlServer>(path_);
    ASSERT_TRUE(server_->Listen());
    EXPECT_EQ(Requests(1), QStringList{QStringLiteral("number \"5551234\" answer 3000")});
}

TEST_F(BenchWindowTest, AScreenReadersPressActsOnce)
{
    Open();
    QAbstractButton *lift = Find(QStringLiteral("&Lift"));
    ASSERT_TRUE(tvx::test::AccessibleAction(lift, QAccessibleActionInterface::pressAction()));
    EXPECT_EQ(Requests(1), QStringList{QStringLiteral("phone offhook")});
    QTest::qWait(300);
    EXPECT_EQ(server_->Requests().size(), 1);
}

TEST_F(BenchWindowTest, EnterOnAFocusedButtonActsOnce)
{
    Open();
    QAbstractButton *flash = Find(QStringLiteral("&Flash"));
    flash->setFocus();
    QTest::keyClick(flash, Qt::Key_Return);
    EXPECT_EQ(Requests(1), QStringList{QStringLiteral("phone flash")});
    QTest::qWait(100);
    EXPECT_EQ(server_->Requests().size(), 1);
}

// The line's far end: shown from its state lines, switched by mouse or a
// screen reader's toggle with one request, the box as the adapter says.
TEST_F(BenchWindowTest, TheLineTabShowsTheFarEndAndSwitchesIt)
{
    Open();
    auto *sip = Find<QCheckBox>(QStringLiteral("&SIP line"));
    ASSERT_NE(sip, nullptr);
    auto *tabs = window_->findChild<QTabWidget *>();
    ASSERT_NE(tabs, nullptr);
    tabs->setCurrentIndex(tabs->count() - 1);  // the Line tab, as a person opens it
    ASSERT_TRUE(sip->isVisible());
    EXPECT_EQ(LabelStartingWith(QStringLiteral("Registration")), nullptr) << "no far end known: no registration";
    SendState("far-end", "sip:2001@pbx.example.net", [sip] { return sip->isChecked(); });
    server_->SetState(QStringLiteral("registration"), QStringLiteral("failed"));
    SendState("line-reason", "403 Forbidden", [this] {
        for (QLabel *label : window_->findChildren<QLabel *>())
            if (label->text() == QLatin1String("Registration: failed (403 Forbidden)"))
                return true;
        return false;
    });
    // The call's figures come ten times a second: the newest is shown.
    server_->SetState(QStringLiteral("peer"), QStringLiteral("sip:5550123@pbx.example.net"));
    server_->SetState(QStringLiteral("codec"), QStringLiteral("PCMA"));
    for (int lost = 0; lost <= 5; ++lost)
        server_->SetState(QStringLiteral("packets-lost"), QString::number(lost));
    SendState("jitter", "4.5", [this] {
        return LabelStartingWith(QStringLiteral(
                   "Call with sip:5550123@pbx.example.net, PCMA, 5 packets lost, jitter 4.5 ms")) != nullptr;
    });
    ASSERT_TRUE(tvx::test::AccessibleAction(sip, QAccessibleActionInterface::toggleAction()));
    EXPECT_EQ(Requests(1), QStringList{QStringLiteral("line sip off")});
    EXPECT_TRUE(sip->isChecked());  // until the adapter says otherwise
    SendState("far-end", "exchange", [sip] { return !sip->isChecked(); });
}

// The switches are there to choose whenever the adapter has a sound-server
// side, reachable now or not; with its audio off there is nothing to switch.
TEST_F(BenchWindowTest, TheSoundRowWaitsForTheSoundServer)
{
    Open();
    auto *listen = Find<QCheckBox>(QStringLiteral("Lis&ten"));
    auto *beFar = Find<QCheckBox>(QStringLiteral("&Be the far party"));
    ASSERT_TRUE(listen && beFar);
    EXPECT_FALSE(listen->isEnabled());
    EXPECT_TRUE(listen->toolTip().contains("TVXUSB_AUDIO=0")) << listen->toolTip().toStdString();
    SendState("audio", "unavailable", [listen] { return listen->isEnabled(); });
    EXPECT_TRUE(listen->toolTip().contains("take effect when it is")) << listen->toolTip().toStdString();
    SendState("audio", "published", [listen] { return listen->toolTip().isEmpty(); });
    EXPECT_TRUE(listen->isEnabled());

    // A screen reader's toggle is one click: one request.
    ASSERT_TRUE(tvx::test::AccessibleAction(listen, QAccessibleActionInterface::toggleAction()));
    EXPECT_EQ(Requests(1), QStringList{QStringLiteral("listen on")});
    QTest::qWait(100);
    EXPECT_EQ(server_->Requests().size(), 1);

    // Refused: the box shows the adapter's state again.
    server_->SetReply(QStringLiteral("be-far on"), QStringLiteral("error no sound server"));
    QTest::mouseClick(beFar, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([this] { return Status().contains("no sound server"); }, kWaitMs));
    EXPECT_FALSE(beFar->isChecked());
    SendState("be-far", "on", [beFar] { return beFar->isChecked(); });
}

TEST_F(BenchWindowTest, EachMnemonicOnScreenReachesOneControl)
{
    Open();
    auto *tabs = window_->findChild<QTabWidget *>();
    ASSERT_NE(tabs, nullptr);
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        QHash<QString, QString> owners;  // mnemonic -> the text that has it
        const auto claim = [&](const QString &text) {
            const QString key = QKeySequence::mnemonic(text).toString();
            if (key.isEmpty())
                return;
            EXPECT_FALSE(owners.contains(key))
                << tabs->tabText(tab).toStdString() << ": " << key.toStdString() << " in " << text.toStdString()
                << " and " << owners.value(key).toStdString();
            owners.insert(key, text);
        };
        for (QAbstractButton *button : window_->findChildren<QAbstractButton *>()) {
            if (button->isVisibleTo(window_.get()))
                claim(button->text());
        }
        for (QLabel *label : window_->findChildren<QLabel *>()) {
            if (label->buddy() && label->isVisibleTo(window_.get()))
                claim(label->text());
        }
        EXPECT_GE(owners.size(), 10);
    }
}

// Adds lines and shows them at once.
void AddLines(EventLogView &log, int first, int count)
{
    for (int i = first; i < first + count; ++i)
        log.Add(QStringLiteral("%1 112 Voice detected").arg(i));
    log.Flush();
    QCoreApplication::processEvents();
}

TEST(EventLogViewTest, FollowsTheNewestLineUnlessScrolledAway)
{
    // A child's new size takes effect at once, whatever the window system does with windows.
    QWidget window;
    window.resize(420, 260);
    auto &log = *new EventLogView(&window);
    log.setGeometry(0, 0, 400, 240);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QScrollBar *bar = log.verticalScrollBar();
    AddLines(log, 0, 100);
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    // A lower view (the window's other parts grew) still shows the newest line, and the next.
    log.setGeometry(0, 0, 400, 120);
    QCoreApplication::processEvents();
    EXPECT_TRUE(log.IsFollowing());
    EXPECT_EQ(bar->value(), bar->maximum());
    AddLines(log, 100, 10);
    EXPECT_EQ(bar->value(), bar->maximum());

    // Scrolled up by the user, the view stays where it is, whatever comes or changes.
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_FALSE(log.IsFollowing());
    AddLines(log, 110, 10);
    EXPECT_EQ(bar->value(), 0);
    log.setGeometry(0, 0, 400, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->value(), 0);

    // Back at the bottom, it follows again.
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_TRUE(log.IsFollowing());
    AddLines(log, 120, 10);
    EXPECT_EQ(bar->value(), bar->maximum());
    log.setGeometry(0, 0, 400, 100);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->value(), bar->maximum());
}

// A refusal longer than the status line neither changes the log's height
// nor keeps the log from following; it reads whole to a screen reader.
TEST_F(BenchWindowTest, ALongRefusalLeavesTheLogAsItIs)
{
    const QString file = QStringLiteral("/no/such/folder/") + QString(120, u'x') + QStringLiteral(".wav");
    const QString once =
        QStringLiteral("cannot play \"%1\": cannot open the file: No such file or directory").arg(file);
    const QString reason = QStringList{once, once, once}.join(QStringLiteral("; "));
    const QString request = QStringLiteral("far play \"%1\" 0").arg(file);
    server_->SetReply(request, QStringLiteral("error ") + reason);
    Open();
    auto *log = window_->findChild<EventLogView *>();
    ASSERT_NE(log, nullptr);
    for (int i = 0; i < 100; ++i)
        server_->SendEvent(QStringLiteral("%1 112 Voice detected").arg(i));
    ASSERT_TRUE(QTest::qWaitFor([log] { return log->toPlainText().endsWith("99 112 Voice detected"); }, kWaitMs));
    const int logHeight = log->height();
    const int statusHeight = window_->statusBar()->height();

    QLineEdit *fileEdit = nullptr;
    for (QLabel *caption : window_->findChildren<QLabel *>()) {
        if (caption->text() == QLatin1String("F&ile:"))
            fileEdit = qobject_cast<QLineEdit *>(caption->buddy());
    }
    ASSERT_NE(fileEdit, nullptr);
    fileEdit->setText(file);
    QTest::mouseClick(Find(QStringLiteral("Pla&y")), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Status().startsWith("The adapter refused"); }, kWaitMs));
    QCoreApplication::processEvents();
    EXPECT_EQ(Status().toStdString(),
              QStringLiteral("The adapter refused \"%1\": %2").arg(request, reason).toStdString());
    EXPECT_EQ(window_->statusBar()->height(), statusHeight);
    EXPECT_EQ(log->height(), logHeight);

    QLabel *status = nullptr;
    for (QLabel *label : window_->statusBar()->findChildren<QLabel *>()) {
        if (label->accessibleDescription() == QLatin1String("Status"))
            status = label;
    }
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(tvx::test::AccessibleText(status).toStdString(), Status().toStdString());
    EXPECT_LE(status->text().count(u'\n'), 1) << status->text().toStdString();
    EXPECT_TRUE(status->text().endsWith(QChar(0x2026))) << status->text().toStdString();

    for (int i = 100; i < 110; ++i)
        server_->SendEvent(QStringLiteral("%1 112 Voice detected").arg(i));
    ASSERT_TRUE(QTest::qWaitFor([log] { return log->toPlainText().endsWith("109 112 Voice detected"); }, kWaitMs));
    QCoreApplication::processEvents();
    EXPECT_EQ(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum());
}

// The model time of each device counts from its own open: a line in the
// log shows where one device's events end and the next one's begin.
TEST_F(BenchWindowTest, TheLogMarksWhereEachDeviceBeginsAndEnds)
{
    Open();
    auto *log = window_->findChild<EventLogView *>();
    ASSERT_NE(log, nullptr);
    server_->SendEvent(QStringLiteral("100 112 Voice detected"));
    ASSERT_TRUE(QTest::qWaitFor([log] { return log->toPlainText().contains("100 112"); }, kWaitMs));
    server_->Close();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Status().startsWith("No simulated adapter"); }, kWaitMs));
    server_ = std::make_unique<FakeControlServer>(path_);
    ASSERT_TRUE(server_->Listen());
    ASSERT_TRUE(QTest::qWaitFor([this] { return Status().startsWith("Connected"); }, kWaitMs));
    server_->SendEvent(QStringLiteral("50 112 Voice detected"));
    ASSERT_TRUE(QTest::qWaitFor([log] { return log->toPlainText().contains("50 112"); }, kWaitMs));

    const QStringList lines = log->toPlainText().split(u'\n');
    ASSERT_EQ(lines.size(), 5) << log->toPlainText().toStdString();
    const QRegularExpression opened(QStringLiteral("^---- \\d\\d:\\d\\d:\\d\\d connected to the simulated adapter: "
                                                   "the model times below count from its open ----$"));
    const QRegularExpression closed(QStringLiteral("^---- \\d\\d:\\d\\d:\\d\\d the simulated adapter closed ----$"));
    EXPECT_TRUE(opened.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_EQ(lines[1], QStringLiteral("100 112 Voice detected"));
    EXPECT_TRUE(closed.match(lines[2]).hasMatch()) << lines[2].toStdString();
    EXPECT_TRUE(opened.match(lines[3]).hasMatch()) << lines[3].toStdString();
    EXPECT_EQ(lines[4], QStringLiteral("50 112 Voice detected"));
}

TEST_F(BenchWindowTest, AScenarioThatWentWrongStandsOut)
{
    Open();
    QLabel *scenario = LabelStartingWith(QStringLiteral("Scenario"));
    ASSERT_NE(scenario, nullptr);
    EXPECT_EQ(scenario->text(), QStringLiteral("Scenario: unknown"));
    const QColor plain = scenario->palette().color(QPalette::WindowText);

    SendState("scenario", "none", [scenario] { return scenario->text().startsWith("Scenario: none"); });
    EXPECT_FALSE(scenario->font().bold());

    const QString refused =
        QStringLiteral("Scenario refused: /tmp/call.scn: cannot read the file: No such file or directory");
    SendState("scenario",
              "refused: /tmp/call.scn: cannot read the file: No such file or directory",
              [scenario, refused] { return scenario->text() == refused; });
    EXPECT_EQ(tvx::test::AccessibleText(scenario), refused);
    EXPECT_TRUE(scenario->font().bold());
    EXPECT_NE(scenario->palette().color(QPalette::WindowText), plain);

    SendState("scenario", "2 lines skipped; the first: /tmp/call.scn:4: unknown action target 'x'", [scenario] {
        return scenario->text().startsWith("Scenario: 2 lines skipped");
    });
    EXPECT_TRUE(scenario->font().bold());

    // A file name longer than the window is wide does not widen the window.
    const int minimumWidth = window_->minimumSizeHint().width();
    const std::string longName = "refused: /" + std::string(400, 'x') + ".scn: cannot read the file: No such file";
    SendState(
        "scenario", longName.c_str(), [scenario] { return scenario->text().startsWith("Scenario refused: /xxx"); });
    EXPECT_EQ(window_->minimumSizeHint().width(), minimumWidth);
    EXPECT_EQ(scenario->toolTip(), scenario->text());

    SendState("scenario", "ok", [scenario] { return scenario->text().startsWith("Scenario: loaded"); });
    EXPECT_EQ(tvx::test::AccessibleText(scenario), scenario->text());
    EXPECT_FALSE(scenario->font().bold());
    EXPECT_EQ(scenario->palette().color(QPalette::WindowText), plain);
}

// In a window too small for the parts, a control that takes the focus by
// its mnemonic scrolls into view.
TEST_F(BenchWindowTest, AFocusedControlComesIntoView)
{
    Open();
    window_->resize(window_->minimumSizeHint());
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    auto *desk = window_->findChild<QScrollArea *>();
    ASSERT_NE(desk, nullptr);
    QLineEdit *keys = nullptr;
    for (QLabel *caption : window_->findChildren<QLabel *>()) {
        if (caption->text() == QLatin1String("&Keys:"))
            keys = qobject_cast<QLineEdit *>(caption->buddy());
    }
    ASSERT_NE(keys, nullptr);
    const auto shown = [desk](QWidget *control) {
        const QRect at(control->mapTo(desk->viewport(), QPoint(0, 0)), control->size());
        return desk->viewport()->rect().contains(at);
    };
    desk->verticalScrollBar()->setValue(0);
    desk->horizontalScrollBar()->setValue(desk->horizontalScrollBar()->maximum());
    ASSERT_FALSE(shown(keys));  // the window is small enough for the test to mean something
    QTest::keyClick(window_.get(), Qt::Key_K, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([keys] { return keys->hasFocus(); }, kWaitMs));
    EXPECT_TRUE(shown(keys));
}

// The window opens within the screen, its status line whole; parts that
// need more room than the screen has scroll, none is squeezed below its size.
TEST_F(BenchWindowTest, OpensWithinTheScreen)
{
    Open();
    const QRect room = window_->screen()->availableGeometry();
    EXPECT_LE(window_->width(), room.width());
    EXPECT_LE(window_->height(), room.height());
    EXPECT_LE(window_->minimumSizeHint().width(), room.width());
    EXPECT_LE(window_->minimumSizeHint().height(), room.height());

    QStatusBar *status = window_->statusBar();
    EXPECT_TRUE(status->isVisible());
    EXPECT_TRUE(window_->rect().contains(status->geometry())) << status->geometry().y() << " " << window_->height();
    EXPECT_GE(status->height(), status->minimumSizeHint().height());

    auto *desk = window_->findChild<QScrollArea *>();
    ASSERT_NE(desk, nullptr);
    ASSERT_NE(desk->widget(), nullptr);
    EXPECT_GE(desk->widget()->height(), desk->widget()->minimumSizeHint().height());
    EXPECT_GE(desk->widget()->width(), desk->widget()->minimumSizeHint().width());
    EXPECT_EQ(desk->verticalScrollBar()->maximum(), std::max(0, desk->widget()->height() - desk->viewport()->height()));
}

}  // namespace
