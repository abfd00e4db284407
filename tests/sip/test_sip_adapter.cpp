// The simulated adapter on a SIP line, through the library as the tool
// uses it, against sipp on 127.0.0.1: a call coming in rings the line with
// its caller's name and number as the tool decodes them, is answered by
// lifting the handset, and its far end's digits reach the line; calls going
// out to a busy or failing far end give busy or reorder, heard by the tone
// monitor; the far end switched live; a bad configuration leaves the line on
// the simulated exchange.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "device/logic/CallerIdDecoder.h"
#include "simulator/logic/EventNames.h"
#include "tests/simulator/ControlTestSupport.h"
#include "tests/sip/PeerProcess.h"

namespace {

using namespace tvxsim::sip::test;
using simtest::Received;

#define TVX_NEED_PROGRAM(name)                                                                                         \
    do {                                                                                                               \
        if (!HaveProgram(name))                                                                                        \
            GTEST_SKIP() << name << " is not installed (scripts/install-deps.sh installs it)";                         \
    } while (false)

class SipAdapter : public simtest::SimulatorTest {
protected:
    void SetUp() override
    {
        SimulatorTest::SetUp();
        folder_ = TempFolder("sip-adapter");
        if (const char *config = std::getenv("XDG_CONFIG_HOME"))
            config_ = config;
    }
    void TearDown() override
    {
        SimulatorTest::TearDown();
        unsetenv("TVXUSB_LINE");
        // Put back however the test ended.
        if (config_)
            setenv("XDG_CONFIG_HOME", config_->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }
    // Points TVXUSB_LINE at a line configuration of this text.
    void UseLine(const std::string &text)
    {
        const std::string path = folder_ + "/line.conf";
        WriteFile(path, text);
        setenv("TVXUSB_LINE", path.c_str(), 1);
    }
    std::string Ask(const std::string &request)
    {
        tvxsim::ScriptClient client;
        std::string error;
        if (!client.Connect(tvxsim::ControlSocketPath(), error))
            return "no socket: " + error;
        return simtest::Ask(client, request);
    }
    // Waits for `ms` more of the model's time (a busy machine's wall clock runs ahead of it).
    bool RunModelMs(int64_t ms)
    {
        const std::string now = State("time");
        return !now.empty() && simtest::WaitForModelMs(std::stoll(now) + ms);
    }
    // The value of a state line ("" when there is none).
    std::string State(const std::string &name)
    {
        tvxsim::ScriptClient client;
        std::string error;
        if (!client.Connect(tvxsim::ControlSocketPath(), error))
            return {};
        for (const std::string &line : simtest::AskState(client))
            if (line.rfind(name + " ", 0) == 0)
                return line.substr(name.size() + 1);
        return {};
    }
    // The keys of the line side's DTMF events among these.
    static std::string LineDigits(const std::vector<Received> &events)
    {
        std::string keys;
        for (const Received &r : events)
            if (r.code == tvxsim::kEvDtmfDetected && r.side == TVX_SIDE_LINE && r.text.size() > 21)
                keys += r.text[21];  // "DTMF digit detected: 5"
        return keys;
    }
    std::string folder_;
    std::optional<std::string> config_;  // XDG_CONFIG_HOME as the test found it
};

// A call coming in: the line rings with the caller's name and number (the
// wall clock's date), lifting the handset answers it, the far end's RFC 4733
// digits play onto line receive and the adapter hears them, and its BYE
// leaves busy tone as a far hang-up does.
TEST_F(SipAdapter, ACallComingInRingsWithItsCallerAndItsDigitsReachTheLine)
{
    TVX_NEED_PROGRAM("sipp");
    const int port = FreeUdpPort();
    UseLine("account = sip:line@127.0.0.1\nlisten = 127.0.0.1:" + std::to_string(port) + "\npeers = 127.0.0.1\n");
    OpenWith(rec);
    EXPECT_EQ(State("far-end"), "sip:line@127.0.0.1");
    PeerProcess sipp("sipp", SippArgs({.scenario = "uac_digits.xml", .call = port, .timeoutS = 30}), folder_, "sipp");
    ASSERT_TRUE(sipp.Started());
    ASSERT_TRUE(rec.WaitForCode(tvxsim::kEvCallerId)) << sipp.Output();
    std::vector<uint8_t> payload;
    for (const Received &r : rec.Snapshot())
        if (r.code == tvxsim::kEvCallerId)
            payload = r.payload;
    char shown[tvx::kCallerIdOutputSize];
    tvx::DecodeCallerId(payload.data(), static_cast<int32_t>(payload.size()), shown);
    EXPECT_EQ(std::string(shown).rfind("Digit Sender at 5550100 - ", 0), 0u) << shown;
    ASSERT_TRUE(rec.WaitForCode(tvxsim::kEvLineRing)) << "the line did not ring";
    EXPECT_EQ(State("call"), "ringing");

    EXPECT_EQ(Ask("phone offhook"), "ok");
    ASSERT_TRUE(rec.WaitFor([](const std::vector<Received> &events) { return LineDigits(events) == "10259*#"; },
                            std::chrono::seconds(15)))
        << LineDigits(rec.Snapshot()) << "\n"
        << sipp.Output();
    EXPECT_EQ(sipp.Wait(15000), 0) << sipp.Output();
    std::string call;
    for (int i = 0; i < 50 && (call = State("call")) != "busy"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(call, "busy");  // the far end's BYE: what a far hang-up gives
}

// The tool's two busy-tone rows: 480 + 620 Hz for 400 ms (busy's half-second
// bursts, not reorder's quarter-second ones) and for 200 ms (both).
const ToneMonitorEntry kProgressRows[] = {
    {0, "busy", 3200, 480, 620, 0},
    {0, "busy or reorder", 1600, 480, 620, 0},
};

struct OutgoingCase {
    const char *status;
    const char *reason;
    bool busyRow;  // the 400 ms row hears it
};
void PrintTo(const OutgoingCase &c, std::ostream *os) { *os << c.status; }

class SipOutgoing : public SipAdapter, public ::testing::WithParamInterface<OutgoingCase> {};

// A call going out: the handset's digits, ended by '#', go to the account's
// domain; the far end's final answer gives busy or reorder in the earpiece,
// which the tone monitor tells apart.
TEST_P(SipOutgoing, AFinalRefusalGivesBusyOrReorder)
{
    TVX_NEED_PROGRAM("sipp");
    const OutgoingCase &c = GetParam();
    const int port = FreeUdpPort();
    const std::string final = WriteFinalScenario(folder_, c.status, c.reason);
    ASSERT_FALSE(final.empty());
    PeerProcess sipp("sipp", SippArgs({.scenario = final, .listen = port, .timeoutS = 30}), folder_, "sipp");
    ASSERT_TRUE(sipp.Started());
    UseLine("account = sip:line@127.0.0.1:" + std::to_string(port) + "\nlisten = 127.0.0.1:0\npeers = 127.0.0.1\n");
    OpenWith(rec);
    ASSERT_EQ(ScSetLocalCountry(0, "1"), 0);  // North American tones: busy and reorder differ by their cadence
    ASSERT_EQ(ScMonitorTones(1, kProgressRows, 2), 0);
    EXPECT_EQ(Ask("phone offhook"), "ok");
    ASSERT_TRUE(RunModelMs(300));  // dial tone
    EXPECT_EQ(Ask("phone keys \"5551234#\""), "ok");
    const auto heard = [](int32_t row) {
        return [row](const std::vector<Received> &events) {
            return std::any_of(events.begin(), events.end(), [row](const Received &r) {
                return r.code == tvxsim::kEvToneMonitored && r.hasEntry && r.entryName == kProgressRows[row].name;
            });
        };
    };
    ASSERT_TRUE(rec.WaitFor(heard(1), std::chrono::seconds(15))) << sipp.Output();
    if (c.busyRow) {
        EXPECT_TRUE(rec.WaitFor(heard(0), std::chrono::seconds(15)));
    } else {
        ASSERT_TRUE(RunModelMs(1200));  // four of reorder's bursts
        EXPECT_FALSE(heard(0)(rec.Snapshot()));
    }
    EXPECT_EQ(State("call"), c.busyRow ? "busy" : "reorder");
    EXPECT_EQ(sipp.Wait(10000), 0) << sipp.Output();
}

INSTANTIATE_TEST_SUITE_P(Finals, SipOutgoing,
                         ::testing::Values(OutgoingCase{"486", "Busy Here", true},
                                           OutgoingCase{"600", "Busy Everywhere", true},
                                           OutgoingCase{"404", "Not Found", false}),
                         [](const auto &info) { return std::string(info.param.status); });

// The far end switched live; a bad configuration leaves the line simulated,
// with its key and reason on stderr, and the device opens all the same.
TEST_F(SipAdapter, TheFarEndSwitchesLiveAndABadFileLeavesTheExchange)
{
    UseLine("account = sip:line@127.0.0.1\nlisten = 127.0.0.1:0\npeers = 127.0.0.1\n");
    OpenWith(rec);
    EXPECT_EQ(State("far-end"), "sip:line@127.0.0.1");
    EXPECT_EQ(Ask("line sip off"), "ok");
    EXPECT_EQ(State("far-end"), "exchange");
    EXPECT_EQ(Ask("line sip on"), "ok");
    EXPECT_EQ(State("far-end"), "sip:line@127.0.0.1");
    ASSERT_EQ(ScClose(0), 0);

    UseLine("account = line@nowhere\n");
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(ScOpen(0, 0), 0);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("line.conf:1: account: "), std::string::npos) << said;
    EXPECT_EQ(State("far-end"), "exchange");
    const std::string refused = Ask("line sip on");
    EXPECT_EQ(refused.rfind("error ", 0), 0u) << refused;
    EXPECT_NE(refused.find("account"), std::string::npos) << refused;
    ASSERT_EQ(ScClose(0), 0);

    unsetenv("TVXUSB_LINE");
    setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);  // no tvxusb/line.conf there
    ASSERT_EQ(ScOpen(0, 0), 0);
    EXPECT_EQ(State("far-end"), "exchange");
    EXPECT_EQ(Ask("line sip on").rfind("error no line configuration", 0), 0u);
}

}  // namespace
