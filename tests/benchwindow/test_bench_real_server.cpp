// The bench window's end of the control socket against the library's own
// server over a real engine: the window knows every state line the server
// sends and reads each value as its kind says, and every request the window
// builds is one the server takes (or refuses for the model's reason), so
// that the two ends of the socket cannot drift apart.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <string>
#include <vector>

#include "simulator/benchwindow/BenchClient.h"
#include "simulator/benchwindow/logic/BenchState.h"
#include "simulator/benchwindow/logic/Requests.h"
#include "simulator/control/ControlServer.h"
#include "simulator/logic/Scenario.h"
#include "tests/support/EngineDoor.h"

namespace {

using namespace tvxsim;
using namespace tvxsim::bench;

constexpr int kWaitMs = 5000;

class BenchOnRealServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        std::string error;
        ASSERT_TRUE(server_.Start(folder_.path().toStdString() + "/tvxusb", error)) << error;
        client_ = std::make_unique<BenchClient>(QString::fromStdString(server_.Path()), 50);
        QObject::connect(client_.get(), &BenchClient::stateReceived, [this](const QString &name, const QString &value) {
            state_.Apply(name.toStdString(), value.toStdString());
        });
        ASSERT_TRUE(QTest::qWaitFor([this] { return client_->IsConnected(); }, kWaitMs));
        ASSERT_TRUE(QTest::qWaitFor([this] { return state_.Known(StateItem::BeFar); }, kWaitMs));
    }
    void TearDown() override
    {
        client_.reset();
        server_.Stop();
    }

    QTemporaryDir folder_;
    tvxtest::EngineDoor door_;
    ControlServer server_{door_};
    std::unique_ptr<BenchClient> client_;
    BenchState state_;
};

// Each line's value is one the window reads as its kind says.
bool Readable(const BenchState &state, const StateLineRow &row)
{
    const std::string &value = state.Raw(row.item);
    switch (row.value) {
    case ValueKind::Millis:
    case ValueKind::Number:
        return state.Number(row.item).has_value();
    case ValueKind::Hook:
        return value == "offhook" || value == "onhook";
    case ValueKind::OnOff:
        return value == "on" || value == "off";
    case ValueKind::Word:
        return !WordText(row.item, value).empty();
    case ValueKind::Mask:
        return state.Leds().has_value();
    case ValueKind::Text:
        return true;
    case ValueKind::Level:
        return state.Level(row.item).has_value();
    }
    return false;
}

TEST_F(BenchOnRealServer, KnowsEveryStateLineTheServerSends)
{
    for (const StateLineRow &row : kStateLineRows) {
        EXPECT_TRUE(state_.Known(row.item)) << row.name;
        EXPECT_TRUE(Readable(state_, row)) << row.name << " " << state_.Raw(row.item);
    }
    EXPECT_EQ(state_.Raw(StateItem::Mode), std::to_string(58));
    EXPECT_EQ(WordText(StateItem::Call, state_.Raw(StateItem::Call)), "idle");
    // A device opened without a scenario says so, and that is nothing wrong.
    const ScenarioText scenario = ScenarioTextOf(state_.Raw(StateItem::Scenario));
    EXPECT_TRUE(scenario.text.starts_with("Scenario: none")) << scenario.text;
    EXPECT_FALSE(scenario.wrong);
}

struct RequestCase {
    const char *what;
    Request request;
    std::string reason;  // "" for ok
};
void PrintTo(const RequestCase &c, std::ostream *os) { *os << c.what; }

CallForm Caller()
{
    CallForm form;
    form.name = "Ivor Kell";
    form.number = "7964710";
    form.format = CallFormat::Sdmf;
    form.modem = CallModem::Bell202;
    form.timing = CallTiming::Na;
    form.date = "04292230";
    return form;
}

class BenchRequestOnRealServer : public BenchOnRealServer, public ::testing::WithParamInterface<RequestCase> {};

TEST_P(BenchRequestOnRealServer, IsTakenOrRefusedForTheModelsReason)
{
    const RequestCase &c = GetParam();
    ASSERT_TRUE(c.request.ok()) << c.request.error;
    QSignalSpy replies(client_.get(), &BenchClient::replied);
    ASSERT_TRUE(client_->Send(QString::fromStdString(c.request.line)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return replies.count() == 1; }, kWaitMs));
    const QList<QVariant> reply = replies.takeFirst();
    EXPECT_EQ(reply.at(0).toString().toStdString(), c.request.line);
    EXPECT_EQ(reply.at(1).toBool(), c.reason.empty()) << reply.at(2).toString().toStdString();
    EXPECT_EQ(reply.at(2).toString().toStdString(), c.reason);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, BenchRequestOnRealServer,
    ::testing::Values(RequestCase{"phone keys", PhoneKeys("12*#"), ""}, RequestCase{"far dtmf", FarDtmf("5"), ""},
                      RequestCase{"far speech", FarSpeech(1000), ""},
                      RequestCase{"line noise at its floor", LineNoise(1000, -80), ""},
                      RequestCase{"an incoming call with every option", FarCall(Caller(), false), ""},
                      RequestCase{"call waiting on an idle line",
                                  FarCall(Caller(), true),
                                  "far call-waiting comes during a connected call, and the call is idle"},
                      RequestCase{"a routed number", NumberRoute("5551234", Route::Answer, 2000), ""},
                      RequestCase{"a busy number", NumberRoute("5551235", Route::Busy, 0), ""},
                      RequestCase{"a sound switch", AudioToggle(SoundSwitch::Talk, true), "no sound server"},
                      RequestCase{"the SIP line", LineSip(true), "no line configuration here"}),
    [](const auto &info) { return std::to_string(info.index); });

// A request the window sends changes what the watch then shows.
TEST_F(BenchOnRealServer, SeesWhatItsRequestChanged)
{
    QSignalSpy replies(client_.get(), &BenchClient::replied);
    ASSERT_TRUE(client_->Send(QStringLiteral("phone offhook")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return replies.count() == 1; }, kWaitMs));
    door_.Step(10);
    ASSERT_TRUE(QTest::qWaitFor([this] { return state_.Raw(StateItem::Call) == "dial-tone"; }, kWaitMs));
    EXPECT_TRUE(state_.Flag(StateItem::Phone));
    EXPECT_TRUE(state_.Flag(StateItem::Line));
}

// What the library says of a scenario file, the window reads as it was
// meant: what it went through, and whether it went wrong.
TEST(BenchScenarioLine, ReadsWhatTheLibrarySaysOfAFile)
{
    struct Row {
        const char *what;
        std::string summary;
        const char *shown;  // what the window shows starts so
        bool wrong;
    };
    const Row rows[] = {
        {"a good file",
         ScenarioSummary(ParseScenario("1000 phone offhook\n"), "/s/good.scn"),
         "Scenario: loaded",
         false},
        {"a file that is not there",
         ScenarioSummary(LoadScenarioFile("/no/such/folder/x.scn"), "/no/such/folder/x.scn"),
         "Scenario refused: /no/such/folder/x.scn: ",
         true},
        {"a bad line",
         ScenarioSummary(ParseScenario("1000 phone offhook\n2000 phone jump\n"), "/s/a.scn"),
         "Scenario: 1 line skipped; the first: /s/a.scn:2: ",
         true},
        {"two bad lines",
         ScenarioSummary(ParseScenario("x\n1000 phone jump\n"), "/s/b.scn"),
         "Scenario: 2 lines skipped; the first: /s/b.scn:1: ",
         true},
    };
    for (const Row &row : rows) {
        const ScenarioText read = ScenarioTextOf(row.summary);
        EXPECT_TRUE(read.text.starts_with(row.shown)) << row.what << ": " << read.text;
        EXPECT_EQ(read.wrong, row.wrong) << row.what << ": " << row.summary;
    }
}

}  // namespace
