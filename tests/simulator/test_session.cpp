// The library through its C interface: life cycle, scenario delivery on the
// event thread, closing while events stream, and the calls a tester makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <future>
#include <limits>
#include <numbers>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "device/tvxusb.h"
#include "simulator/logic/EventNames.h"
#include "simulator/logic/SimErrors.h"
#include "tests/simulator/ControlTestSupport.h"
#include "tests/simulator/SimTestSupport.h"
#include "tests/simulator/SoundFiles.h"

#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tvxsim;
using namespace simtest;
using namespace std::chrono_literals;

namespace {

class Library : public SimulatorTest {};

TEST_F(Library, IdentityGettersWorkInAnyState)
{
    char text[TVX_TEXT_SIZE];
    ASSERT_EQ(ScGetDeviceSN(text, sizeof text), kOk);
    EXPECT_EQ(std::strlen(text), static_cast<size_t>(TVX_SERIAL_LENGTH));
    EXPECT_STREQ(text, "TVX-PLN-000-00012345-A");
    ASSERT_EQ(ScGetDeviceName(text, sizeof text), kOk);
    EXPECT_STREQ(text, "Parlino USB (simulated)");
    EXPECT_EQ(ScGetRawDeviceRevision(0) & 0xFFFF, 0x0312);
    EXPECT_EQ(ScGetDevType(0, 0), 3);
}

TEST_F(Library, IdentityTextsAreBoundedByTheGivenSize)
{
    char text[16];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(ScGetDeviceSN(text, 8), kErrTruncated);
    EXPECT_STREQ(text, "TVX-PLN");
    EXPECT_EQ(text[8], 'x');
    EXPECT_EQ(ScGetDeviceName(text, 0), kErrBadArgument);
    EXPECT_EQ(ScGetDeviceName(text, -1), kErrBadArgument);
    EXPECT_EQ(ScGetDeviceName(nullptr, 256), kErrNullPointer);
    EXPECT_EQ(ScTranslateEventToString(nullptr, 1, 0), kErrNullPointer);
}

struct StateCall {
    const char *name;
    std::function<int32_t()> call;
    int32_t notInitialised;
    int32_t initialisedOnly;
};

// Each call made before ScInitialize and between ScInitialize and ScOpen.
TEST_F(Library, CallsOutsideTheirStateReturnTheirErrorCodes)
{
    uint32_t value = 0;
    float hz = 0;
    char text[TVX_TEXT_SIZE];
    const uint8_t byte = 1;
    const CidGenRecord record{};
    const std::vector<StateCall> calls = {
        {"ScOpen", [] { return ScOpen(0, 0); }, kErrNotInitialised, kOk},
        {"ScDoCommand", [] { return ScDoCommand(20, 0, 0, 0xFFFF); }, kErrNotInitialised, kErrNotOpen},
        {"ScSetThreshold", [] { return ScSetThreshold(0, 1); }, kErrNotInitialised, kErrNotOpen},
        {"ScGetThreshold", [&] { return ScGetThreshold(0, &value); }, kErrNotInitialised, kErrNotOpen},
        {"ScGetIndexFreq", [&] { return ScGetIndexFreq(0, &hz); }, kErrNotInitialised, kErrNotOpen},
        {"ScGetLocalCountry", [&] { return ScGetLocalCountry(0, text); }, kErrNotInitialised, kErrNotOpen},
        {"ScSetDestinationCountry", [] { return ScSetDestinationCountry(0, "1"); }, kErrNotInitialised, kErrNotOpen},
        {"ScGenerateTones", [] { return ScGenerateTones(nullptr, 0); }, kErrNotInitialised, kErrNotOpen},
        {"ScSetHardwareRegs", [&] { return ScSetHardwareRegs(66, 129, &byte, 1); }, kErrNotInitialised, kErrNotOpen},
        {"ScGenerateETSI_CID", [&] { return ScGenerateETSI_CID(&record); }, kErrNotInitialised, kErrNotOpen},
        {"ScTestLEDs", [] { return ScTestLEDs(0); }, kErrNotInitialised, kErrNotOpen},
        {"ScUploadMelody", [] { return ScUploadMelody(nullptr, 0); }, kErrNotInitialised, kErrNotOpen},
        {"ScE2Rom", [] { return ScE2Rom(E2ROM_REBOOT, nullptr, ""); }, kErrNotInitialised, kErrNotOpen},
        {"ScHardwareChipsDlg", [] { return ScHardwareChipsDlg(nullptr); }, kErrNotInitialised, kErrNotOpen},
        {"ScMonitorTones", [] { return ScMonitorTones(1, ToneSet(), 16); }, kErrNotInitialised, kOk},
        {"ScClose", [] { return ScClose(0); }, kErrNotInitialised, kErrNotOpen},
    };
    for (const StateCall &c : calls)
        EXPECT_EQ(c.call(), c.notInitialised) << c.name << " before ScInitialize";
    EXPECT_EQ(ScShutdown(0), kErrNotInitialised);

    EXPECT_EQ(ScInitialize(nullptr, &rec, 0, 0, 0, 0, 17, nullptr, nullptr), kErrNullPointer);
    ASSERT_EQ(ScInitialize(&Recorder::Callback, &rec, 0, 0, 0, 0, 17, nullptr, nullptr), kOk);
    EXPECT_EQ(ScInitialize(&Recorder::Callback, &rec, 0, 0, 0, 0, 17, nullptr, nullptr), kErrAlreadyInitialised);
    for (const StateCall &c : calls) {
        if (std::string(c.name) == "ScOpen")
            continue;
        EXPECT_EQ(c.call(), c.initialisedOnly) << c.name << " before ScOpen";
    }
    ASSERT_EQ(ScOpen(0, 0), kOk);
    EXPECT_EQ(ScOpen(0, 0), kErrAlreadyOpen);
    EXPECT_EQ(ScClose(0), kOk);
    EXPECT_EQ(ScClose(0), kErrNotOpen);
    EXPECT_EQ(ScShutdown(0), kOk);
    EXPECT_EQ(ScShutdown(0), kErrNotInitialised);
}

TEST_F(Library, ScenarioEventsArriveInTimeOrderOnTheEventThread)
{
    UseScenario("order",
                "# lines out of time order\n"
                "400 95 0 3\n"
                "0 18 1 2\n"
                "300 229 0 0 13\n"
                "200 225 - 2 80 1E 01 08 \"04292230\" 02 07 \"7964710\" 07 09 \"Ivor Kell\"\n"
                "100 64 0 2\n"
                "300 48 11 0   # same time as the tone: later line, later event\n");
    OpenWith(rec);
    ASSERT_TRUE(rec.WaitForCode(95));
    std::vector<Received> got;
    for (const Received &r : rec.Snapshot())
        if (r.code != kEvToneMonitorArmed)
            got.push_back(r);
    ASSERT_EQ(got.size(), 6u);
    const std::vector<int32_t> codes = {18, 64, 225, 229, 48, 95};
    for (size_t i = 0; i < codes.size(); ++i) {
        EXPECT_EQ(got[i].code, codes[i]) << i;
        EXPECT_NE(got[i].thread, std::this_thread::get_id());
        if (i > 0) {
            EXPECT_GE(got[i].when, got[i - 1].when);
        }
    }
    EXPECT_EQ(got[0].param, 1);
    EXPECT_EQ(got[0].side, 2);
    EXPECT_EQ(got[0].text, "Line ring detected, ring 1");
    EXPECT_EQ(got[1].side, 2);
    EXPECT_EQ(got[1].text, "Off Hook");
    EXPECT_EQ(got[2].param, 32);
    ASSERT_EQ(got[2].payload.size(), 32u);
    EXPECT_EQ(got[2].payload[0], 0x80);
    EXPECT_EQ(got[2].payload[1], 0x1E);
    EXPECT_EQ(std::string(got[2].payload.begin() + 23, got[2].payload.end()), "Ivor Kell");
    ASSERT_TRUE(got[3].hasEntry);
    EXPECT_EQ(got[3].entryName, "Silent");
    EXPECT_EQ(got[3].entry.duration, 10000);
    EXPECT_NE(got[3].entry.name, ToneSet()[13].name);  // a copy owned by the library
    EXPECT_EQ(got[4].text, "DTMF digit detected: #");
    EXPECT_EQ(got[5].side, 3);
}

TEST_F(Library, ToneRowThatIsNotArmedIsSkippedAndLaterEventsStillCome)
{
    UseScenario("row", "0 229 0 0 16\n200 229 0 0 14\n210 17\n");
    OpenWith(rec);
    ASSERT_TRUE(rec.WaitForCode(17));
    std::vector<std::string> names;
    for (const Received &r : rec.Snapshot())
        if (r.code == 229)
            names.push_back(r.entryName);
    EXPECT_EQ(names, std::vector<std::string>{"14"});
}

TEST_F(Library, MalformedLineIsReportedOnStderrAndTheRestRuns)
{
    const std::string path = UseScenario("malformed", "0 16\n10 16 oops\n20 17\n");
    ::testing::internal::CaptureStderr();
    OpenWith(rec);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(path + ":2: bad parameter 'oops'"), std::string::npos) << err;
    ASSERT_TRUE(rec.WaitForCode(17));
    size_t sixteen = 0;
    for (const Received &r : rec.Snapshot())
        sixteen += r.code == 16;
    EXPECT_EQ(sixteen, 1u);
}

TEST_F(Library, DeviceTypeAndOpenErrorComeFromTheScenario)
{
    UseScenario("devtype", "devtype 11\n");
    OpenWith(rec);
    EXPECT_EQ(ScGetDevType(0, 0), 11);
    ASSERT_EQ(ScClose(0), kOk);
    UseScenario("failing", "openerror 5\n");
    EXPECT_EQ(ScOpen(0, 0), 5);
    EXPECT_EQ(ScDoCommand(20, 0, 0, 0xFFFF), kErrNotOpen);
    unsetenv("TVXUSB_SCENARIO");
    EXPECT_EQ(ScOpen(0, 0), kOk);
    EXPECT_EQ(ScGetDevType(0, 0), 3);
}

// Without a line configuration the SIP line's module and the libraries it
// runs on stay unloaded: the default start does not pay for them.
TEST_F(Library, AnOpenWithoutALineLoadsNoSipLibrary)
{
    const char *savedConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = savedConfig != nullptr ? savedConfig : "";
    // A folder that does not exist holds no tvxusb/line.conf.
    const std::string none = ::testing::TempDir() + "tvx_no_config_" + std::to_string(getpid());
    setenv("XDG_CONFIG_HOME", none.c_str(), 1);
    unsetenv("TVXUSB_LINE");
    OpenWith(rec);
    EXPECT_EQ(ScClose(0), kOk);
    if (savedConfig != nullptr)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");

    std::vector<std::string> loaded;
    dl_iterate_phdr(
        [](dl_phdr_info *info, size_t, void *names) {
            static_cast<std::vector<std::string> *>(names)->emplace_back(info->dlpi_name);
            return 0;
        },
        &loaded);
    ASSERT_TRUE(std::any_of(loaded.begin(), loaded.end(), [](const std::string &name) {
        return name.find("libtvxusb.so") != std::string::npos;
    })) << "the library itself is among the objects read";
    for (const char *sip : {"libtvxusb-sip.so", "/libre.so", "libsecret-1.so"})
        for (const std::string &name : loaded)
            EXPECT_EQ(name.find(sip), std::string::npos) << name;
}

// ScClose while a flood streams: once it returns, no callback is running and
// none comes later; the callbacks call back into the library meanwhile.
TEST_F(Library, NoCallbackAfterCloseWhileEventsStream)
{
    UseScenario("stream", "repeat 100000000 0 0 112\n");
    rec.onEvent = [](const Received &, size_t) {
        char sn[TVX_TEXT_SIZE];
        ScGetDeviceSN(sn, sizeof sn);
        uint32_t v = 0;
        ScGetThreshold(0, &v);
    };
    int32_t version = 0;
    ASSERT_EQ(ScInitialize(&Recorder::Callback, &rec, 0, 0, 0, 0, 17, &version, nullptr), kOk);
    for (int round = 0; round < 5; ++round) {
        rec.closedReturned = false;
        rec.Clear();
        ASSERT_EQ(ScOpen(0, 0), kOk) << round;
        ASSERT_TRUE(rec.WaitForCount(500)) << round;
        ScDoCommand(20, 0, 0, 0xFFFF);  // API calls from this thread meanwhile
        ASSERT_EQ(ScClose(0), kOk);
        rec.closedReturned = true;
        EXPECT_EQ(rec.inCallback.load(), 0) << round;
        const size_t atClose = rec.Count();
        std::this_thread::sleep_for(30ms);
        EXPECT_EQ(rec.Count(), atClose) << round;
    }
    EXPECT_EQ(rec.afterClose.load(), 0);
}

struct InsideCase {
    const char *name;
    int32_t (*call)(int32_t);
};
void PrintTo(const InsideCase &c, std::ostream *os) { *os << c.name; }

class CloseInsideCallback : public SimulatorTest, public ::testing::WithParamInterface<InsideCase> {};

// ScClose or ScShutdown from inside the callback returns (no self-join), no
// further callback comes, and the library opens again afterwards.
TEST_P(CloseInsideCallback, DoesNotDeadlockAndStopsDelivery)
{
    UseScenario("inside", "repeat 10000000 1 300 112\n");
    std::promise<int32_t> closed;
    auto closedFuture = closed.get_future();
    const auto call = GetParam().call;
    rec.onEvent = [&](const Received &, size_t index) {
        if (index == 3) {
            closed.set_value(call(0));
            rec.closedReturned = true;
        }
    };
    OpenWith(rec);
    ASSERT_EQ(closedFuture.wait_for(10s), std::future_status::ready) << "the call did not return";
    EXPECT_EQ(closedFuture.get(), kOk);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(rec.afterClose.load(), 0);
    EXPECT_EQ(rec.Count(), 4u);

    // A close from this thread waits for the callback that closed; then all reopens.
    ScClose(0);
    EXPECT_EQ(rec.inCallback.load(), 0);
    ScShutdown(0);
    rec.onEvent = nullptr;
    OpenWith(again);
    EXPECT_TRUE(again.WaitForCount(5));
}

INSTANTIATE_TEST_SUITE_P(Calls, CloseInsideCallback,
                         ::testing::Values(InsideCase{"ScClose", &ScClose}, InsideCase{"ScShutdown", &ScShutdown}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(Library, OpenFromInsideTheCallbackIsRefused)
{
    UseScenario("reopen", "300 16\n");
    std::promise<std::pair<int32_t, int32_t>> result;
    auto future = result.get_future();
    rec.onEvent = [&](const Received &r, size_t) {
        if (r.code == 16) {
            const int32_t closeRc = ScClose(0);
            result.set_value({closeRc, ScOpen(0, 0)});
        }
    };
    OpenWith(rec);
    ASSERT_EQ(future.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(future.get(), (std::pair<int32_t, int32_t>{kOk, kErrWrongThread}));
    ScClose(0);  // the callback that holds `result` has returned once this returns
}

TEST_F(Library, ReopenReplaysTheScenario)
{
    UseScenario("replay", "0 16\n5 17\n");
    OpenWith(rec);
    ASSERT_TRUE(rec.WaitForCode(17));
    ASSERT_EQ(ScClose(0), kOk);
    rec.Clear();
    ASSERT_EQ(ScOpen(0, 0), kOk);
    ASSERT_TRUE(rec.WaitForCode(17));
    const auto got = rec.Snapshot();
    ASSERT_GE(got.size(), 2u);
    EXPECT_EQ(got[0].code, 16);
    EXPECT_EQ(got[1].code, 17);
}

struct ConfirmCase {
    const char *name;
    std::function<int32_t()> call;
    int32_t event;
    int32_t side;
    const char *text;
};
void PrintTo(const ConfirmCase &c, std::ostream *os) { *os << c.name; }

class Confirms : public SimulatorTest, public ::testing::WithParamInterface<ConfirmCase> {};

// The call succeeds and its event comes through the callback with the text
// ScTranslateEventToString gives inside that callback.
TEST_P(Confirms, CallIsReportedThroughItsEvent)
{
    const ConfirmCase &c = GetParam();
    OpenWith(rec);
    ASSERT_EQ(c.call(), kOk) << c.name;
    ASSERT_TRUE(rec.WaitForCode(c.event)) << c.name;
    for (const Received &r : rec.Snapshot()) {
        if (r.code != c.event)
            continue;
        EXPECT_EQ(r.side, c.side) << c.name;
        EXPECT_EQ(r.text, c.text) << c.name;
        break;
    }
}

const uint8_t kOne = 1;
const uint8_t kMelody[3] = {0x1F, 0x20, 0xFF};
const ToneGenRecord kTones[4] = {
    {1400, 32767, 100, 100}, {2060, 32767, 100, 100}, {2450, 32767, 100, 100}, {2600, 32767, 100, 100}};

INSTANTIATE_TEST_SUITE_P(
    Calls, Confirms,
    ::testing::Values(
        ConfirmCase{"ring", [] { return ScDoCommand(20, 0, 0, 0xFFFF); }, 16, 0, "Ringing started"},
        ConfirmCase{"ring off",
                    [] {
                        ScDoCommand(20, 0, 0, 0xFFFF);
                        return ScDoCommand(4, 0, 0, 0xFFFF);
                    },
                    17,
                    0,
                    "Ringing stopped"},
        ConfirmCase{"off hook", [] { return ScDoCommand(46, 0, 0, 0xFFFF); }, 64, TVX_SIDE_LINE, "Off Hook"},
        ConfirmCase{"on hook",
                    [] {
                        ScDoCommand(46, 0, 0, 0xFFFF);
                        return ScDoCommand(62, 0, 0, 0xFFFF);
                    },
                    95,
                    TVX_SIDE_LINE,
                    "On Hook"},
        ConfirmCase{"busy", [] { return ScDoCommand(44, 0, 0, 0xFFFF); }, 32, 0, "Tone generation started: busy"},
        ConfirmCase{"stop tone",
                    [] {
                        ScDoCommand(12, 0, 0, 0xFFFF);
                        return ScDoCommand(124, 0, 0, 0xFFFF);
                    },
                    33,
                    0,
                    "Tone generation stopped"},
        ConfirmCase{"dial 5", [] { return ScDoCommand(140, 5, 0, 0xFFFF); }, 49, 0, "Dialled digit 5"},
        ConfirmCase{"analysis on", [] { return ScDoCommand(140, 31, 0, 0xFFFF); }, 50, 0, "Telephony analysis on"},
        ConfirmCase{"analysis off", [] { return ScDoCommand(140, 30, 0, 0xFFFF); }, 51, 0, "Telephony analysis off"},
        ConfirmCase{"parameter", [] { return ScDoCommand(135, 30, 0, 0xFFFF); }, 80, 0, "Parameter 135 set to 30"},
        ConfirmCase{"threshold", [] { return ScSetThreshold(0, 100000); }, 81, 0, "Threshold 0 set to 100000"},
        ConfirmCase{"LEDs", [] { return ScTestLEDs(0xC1); }, 96, 0, "LEDs: test on, lamps 0x41"},
        ConfirmCase{"caller ID",
                    [] {
                        CidGenRecord r = MdmfRecord();
                        r.sendFlags = 0x07;  // no ring first: the message at once
                        return ScGenerateETSI_CID(&r);
                    },
                    97,
                    0,
                    "Caller ID generated: MDMF, the phone shows Ivor Kell, 7964710, 29/04 22:30"},
        ConfirmCase{"melody", [] { return ScUploadMelody(kMelody, 3); }, 98, 0, "Melody loaded, 3 bytes"},
        ConfirmCase{
            "tone set", [] { return ScGenerateTones(kTones, 4); }, 34, 0, "Tone set generation started, 4 tones"},
        ConfirmCase{"tone set off", [] { return ScGenerateTones(nullptr, 0); }, 35, 0, "Tone set generation stopped"},
        ConfirmCase{"local country", [] { return ScSetLocalCountry(0, "972"); }, 82, 0, "Local country set to 972"},
        ConfirmCase{"registers",
                    [] { return ScSetHardwareRegs(66, 129, &kOne, 1); },
                    102,
                    0,
                    "Hardware registers 66:129 written: 01"},
        ConfirmCase{"erase", [] { return ScE2Rom(E2ROM_ERASE, nullptr, ""); }, 99, 0, "Device erased"},
        ConfirmCase{
            "erase tvx", [] { return ScE2Rom(E2ROM_ERASE_TVX, nullptr, "-x"); }, 100, 0, "Device settings erased"},
        ConfirmCase{"program",
                    [] { return ScE2Rom(E2ROM_PROGRAM_SN, "ABCDEFGHIJKLMNOPQRSTUV", ""); },
                    101,
                    0,
                    "Serial number programmed"}),
    [](const auto &info) { return NameOf(info.param.name); });

TEST_F(Library, BeepEndsByItself)
{
    OpenWith(rec);
    ASSERT_EQ(ScDoCommand(108, 1, 0, 0xFFFF), kOk);
    ASSERT_TRUE(rec.WaitForCode(33));
    const auto got = rec.Snapshot();
    std::vector<std::string> texts;
    for (const Received &r : got)
        if (r.code == 32 || r.code == 33)
            texts.push_back(r.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Tone generation started: beep", "Tone generation stopped"}));
}

TEST_F(Library, ThresholdsAndCountriesAreReadBack)
{
    OpenWith(rec);
    uint32_t v = 7;
    ASSERT_EQ(ScGetThreshold(0, &v), kOk);
    EXPECT_EQ(v, 999u);
    ASSERT_EQ(ScGetThreshold(1, &v), kOk);
    EXPECT_EQ(v, 120u);
    ASSERT_EQ(ScSetThreshold(1, 32766), kOk);
    ASSERT_EQ(ScGetThreshold(1, &v), kOk);
    EXPECT_EQ(v, 32766u);
    EXPECT_EQ(ScSetThreshold(32, 1), kErrBadArgument);
    EXPECT_EQ(ScSetThreshold(-1, 1), kErrBadArgument);
    v = 7;
    EXPECT_EQ(ScGetThreshold(32, &v), kErrBadArgument);
    EXPECT_EQ(v, 7u);
    EXPECT_EQ(ScGetThreshold(0, nullptr), kErrNullPointer);

    char text[TVX_TEXT_SIZE];
    ASSERT_EQ(ScGetLocalCountry(0, text), kOk);
    EXPECT_STREQ(text, "44");
    ASSERT_EQ(ScGetDestinationCountry(0, text), kOk);
    EXPECT_STREQ(text, "1");
    ASSERT_EQ(ScSetDestinationCountry(0, "972"), kOk);
    for (const char *bad : {"", "+44", "12a", "1234567890"}) {
        EXPECT_EQ(ScSetDestinationCountry(0, bad), kErrBadText) << bad;
        EXPECT_EQ(ScSetLocalCountry(0, bad), kErrBadText) << bad;
    }
    EXPECT_EQ(ScSetLocalCountry(0, nullptr), kErrNullPointer);
    EXPECT_EQ(ScGetLocalCountry(0, nullptr), kErrNullPointer);
    ASSERT_EQ(ScGetDestinationCountry(0, text), kOk);
    EXPECT_STREQ(text, "972");
    ASSERT_EQ(ScGetLocalCountry(0, text), kOk);
    EXPECT_STREQ(text, "44");
}

TEST_F(Library, SerialProgrammingAndErase)
{
    OpenWith(rec);
    const char *serial = "0123456789ABCDEFGHIJKL";
    EXPECT_EQ(ScE2Rom(E2ROM_PROGRAM_SN, serial, nullptr), kErrNullPointer);
    EXPECT_EQ(ScE2Rom(E2ROM_PROGRAM_SN, "0123456789ABCDEFGHIJK", ""), kErrBadSerial);    // 21
    EXPECT_EQ(ScE2Rom(E2ROM_PROGRAM_SN, "0123456789ABCDEFGHIJKLM", ""), kErrBadSerial);  // 23
    EXPECT_EQ(ScE2Rom(E2ROM_PROGRAM_SN, "", ""), kErrBadSerial);
    EXPECT_EQ(ScE2Rom(E2ROM_PROGRAM_SN, nullptr, ""), kErrNullPointer);
    EXPECT_EQ(ScE2Rom(4, nullptr, ""), kErrBadArgument);
    EXPECT_EQ(ScE2Rom(-1, nullptr, ""), kErrBadArgument);
    char text[TVX_TEXT_SIZE];
    ASSERT_EQ(ScGetDeviceSN(text, sizeof text), kOk);
    EXPECT_STREQ(text, "TVX-PLN-000-00012345-A");

    ASSERT_EQ(ScE2Rom(E2ROM_PROGRAM_SN, serial, "--verbose"), kOk);
    ASSERT_EQ(ScGetDeviceSN(text, sizeof text), kOk);
    EXPECT_STREQ(text, serial);
    ASSERT_EQ(ScSetThreshold(0, 5), kOk);
    ASSERT_EQ(ScSetLocalCountry(0, "972"), kOk);

    ASSERT_EQ(ScE2Rom(E2ROM_ERASE_TVX, nullptr, ""), kOk);
    ASSERT_EQ(ScGetDeviceSN(text, sizeof text), kOk);
    EXPECT_STREQ(text, "TVX-PLN-000-00012345-A");
    uint32_t v = 0;
    ASSERT_EQ(ScGetThreshold(0, &v), kOk);
    EXPECT_EQ(v, 999u);
    ASSERT_EQ(ScGetLocalCountry(0, text), kOk);
    EXPECT_STREQ(text, "44");
}

TEST_F(Library, RebootReportsDetachedThenAttachedApart)
{
    OpenWith(rec);
    EventWatch watch;
    ASSERT_TRUE(watch.Start());
    ASSERT_EQ(ScE2Rom(E2ROM_REBOOT, nullptr, ""), kOk);
    ASSERT_TRUE(rec.WaitForCode(kEvDeviceAttached));
    const Received *detached = nullptr;
    const Received *attached = nullptr;
    const auto got = rec.Snapshot();
    for (const Received &r : got) {
        if (r.code == kEvDeviceDetached && !detached)
            detached = &r;
        if (r.code == kEvDeviceAttached && !attached)
            attached = &r;
    }
    ASSERT_NE(detached, nullptr);
    ASSERT_NE(attached, nullptr);
    EXPECT_LT(detached, attached) << "detached first";
    EXPECT_EQ(detached->text, "Device detached");
    EXPECT_EQ(attached->text, "Device attached");
    // Apart by the reboot's 300 ms of the model's time: a busy machine may
    // deliver the two closer together on the wall clock.
    const int64_t detachedMs = watch.FirstMs(kEvDeviceDetached);
    const int64_t attachedMs = watch.FirstMs(kEvDeviceAttached);
    ASSERT_GE(detachedMs, 0);
    ASSERT_GE(attachedMs, 0);
    EXPECT_EQ(attachedMs - detachedMs, 300);
}

struct CountCase {
    const char *what;
    bool withBuffer;
    int32_t count;
    int32_t result;
};

TEST_F(Library, MelodyAndToneCountsAreChecked)
{
    OpenWith(rec);
    const uint8_t melody[300] = {};
    const std::vector<CountCase> melodies = {
        {"empty", false, 0, kOk},
        {"null with bytes", false, 1, kErrNullPointer},
        {"full", true, 256, kOk},
        {"too long", true, 257, kErrBadArgument},
        {"negative", true, -1, kErrBadArgument},
    };
    for (const CountCase &c : melodies)
        EXPECT_EQ(ScUploadMelody(c.withBuffer ? melody : nullptr, c.count), c.result) << c.what;

    const std::vector<CountCase> tones = {
        {"stop", false, 0, kOk},
        {"null with records", false, 4, kErrNullPointer},
        {"four", true, 4, kOk},
        {"negative", true, -1, kErrBadArgument},
        {"too many", true, 65, kErrBadArgument},
    };
    const ToneGenRecord records[65] = {};
    for (const CountCase &c : tones)
        EXPECT_EQ(ScGenerateTones(c.withBuffer ? records : nullptr, c.count), c.result) << c.what;

    EXPECT_EQ(ScSetHardwareRegs(66, 129, nullptr, 1), kErrNullPointer);
    EXPECT_EQ(ScSetHardwareRegs(66, 129, melody, 257), kErrBadArgument);
    EXPECT_EQ(ScMonitorTones(1, nullptr, 16), kErrNullPointer);
    EXPECT_EQ(ScMonitorTones(1, ToneSet(), -1), kErrBadArgument);

    CidGenRecord bad = MdmfRecord();
    bad.nameLen = 8;
    EXPECT_EQ(ScGenerateETSI_CID(&bad), kErrBadRecord);
    EXPECT_EQ(ScGenerateETSI_CID(nullptr), kErrNullPointer);
}

TEST_F(Library, TranslationOutsideTheCallbackUsesTheTable)
{
    char text[TVX_TEXT_SIZE];
    EXPECT_EQ(ScTranslateEventToString(text, 97, 1), kOk);
    EXPECT_STREQ(text, "Caller ID generated");
    EXPECT_EQ(ScTranslateEventToString(text, 123, 4), kErrUnknownEvent);
    EXPECT_STREQ(text, "Unknown event 123 (param 4)");
}

}  // namespace

namespace {

// A flood of raw events as fast as the callback takes them must not hold
// back the events that confirm calls, nor the model's own.
TEST_F(Library, FloodDoesNotStarveConfirmations)
{
    UseScenario("starve", "repeat 100000000 0 0 112\n");
    OpenWith(rec);
    ASSERT_TRUE(rec.WaitForCount(2000));
    ASSERT_EQ(ScSetThreshold(0, 5), kOk);
    ASSERT_EQ(ScDoCommand(20, 0, 0, 0xFFFF), kOk);
    EXPECT_TRUE(rec.WaitForCode(kEvThresholdChanged, 2s));
    EXPECT_TRUE(rec.WaitForCode(kEvRingingStarted, 2s));
}

// A FIFO named as the scenario is refused with one line; ScOpen does not block on it.
TEST_F(Library, FifoScenarioIsRefusedWithoutBlocking)
{
    const std::string fifo = ::testing::TempDir() + "tvxsim_fifo_" + std::to_string(::getpid());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    setenv("TVXUSB_SCENARIO", fifo.c_str(), 1);
    ::testing::internal::CaptureStderr();
    OpenWith(rec);
    const std::string err = ::testing::internal::GetCapturedStderr();
    std::remove(fifo.c_str());
    EXPECT_EQ(err, "tvxusb: " + fifo + ":0: not a regular file (a directory, FIFO or device is refused)\n");
}

// The far end's DTMF reaches the tool as the armed row and as a DTMF digit:
// no raw event line is involved.
TEST_F(Library, FarEndDtmfIsMonitoredAsTheArmedRow)
{
    UseScenario("far", "0 far ring\n100 phone offhook\n300 far dtmf \"5\"\n");
    OpenWith(rec);
    ASSERT_TRUE(rec.WaitForCode(kEvToneMonitored, 5s));
    const auto got = rec.Snapshot();
    std::vector<std::string> seen;
    for (const Received &r : got) {
        if (r.code == kEvToneMonitored)
            seen.push_back("229 " + r.entryName + " " + r.text);
        if (r.code == kEvDtmfDetected || r.code == kEvLineRing || r.code == kEvOffHook)
            seen.push_back(std::to_string(r.code) + " " + std::to_string(r.param) + " " + std::to_string(r.side));
    }
    const std::vector<std::string> expected = {"18 1 2", "64 0 1", "64 0 2", "48 5 2", "229 5 Tone monitored: 5"};
    EXPECT_EQ(seen, expected);
}

// A recording that cannot be played is a malformed line, reported at ScOpen
// with its reason; one that can plays as the far party and its digit is heard.
TEST_F(Library, RecordingsPlayAndAnUnplayableOneIsAMalformedLine)
{
    const simtest::TempFolder folder("sessplay");
    std::vector<int16_t> key(800);  // 100 ms of the key 7: 852 + 1209 Hz, each at -9 dBm0
    for (size_t i = 0; i < key.size(); ++i) {
        const double t = static_cast<double>(i) / 8000.0;
        key[i] = static_cast<int16_t>(
            9200.0 * (std::sin(2 * std::numbers::pi * 852 * t) + std::sin(2 * std::numbers::pi * 1209 * t)));
    }
    simtest::WriteWav16(folder.File("seven.wav"), 8000, 1, key);
    const std::string path = UseScenario("sessplay",
                                         "0 far ring\n100 phone offhook\n"
                                         "200 far play \"" +
                                             folder.File("none.wav") +
                                             "\"\n"
                                             "300 line play \"" +
                                             folder.File("seven.wav") +
                                             "\"\n"
                                             "800 17\n");
    ::testing::internal::CaptureStderr();
    OpenWith(rec);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err,
              "tvxusb: " + path + ":3: cannot play \"" + folder.File("none.wav") + "\": No such file or directory\n");
    ASSERT_TRUE(rec.WaitForCode(17, 5s));
    std::string digits;
    for (const Received &r : rec.Snapshot())
        if (r.code == kEvDtmfDetected)
            digits += r.text.back();
    EXPECT_EQ(digits, "7");
}

// TVXUSB_RECORD names a folder: each open writes the six files, valid at close.
TEST_F(Library, RecordsIntoTheNamedFolder)
{
    const std::string folder = ::testing::TempDir() + "tvxsim_sessrec_" + std::to_string(::getpid());
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    setenv("TVXUSB_RECORD", folder.c_str(), 1);
    OpenWith(rec);
    ASSERT_EQ(ScDoCommand(140, 1, 0, 0xFFFF), kOk);
    ASSERT_TRUE(rec.WaitForCode(kEvDialled, 5s));
    ASSERT_EQ(ScClose(0), kOk);
    unsetenv("TVXUSB_RECORD");
    for (const char *file :
         {"line-tx.wav", "line-rx.wav", "phone-earpiece.wav", "phone-mic.wav", "pc-in.wav", "pc-out.wav"}) {
        const std::string path = folder + "/" + file;
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0) << file;
        std::ifstream in(path, std::ios::binary);
        uint8_t h[44] = {};
        in.read(reinterpret_cast<char *>(h), sizeof h);
        const uint32_t data = h[40] | h[41] << 8 | h[42] << 16 | static_cast<uint32_t>(h[43]) << 24;
        EXPECT_EQ(static_cast<off_t>(data) + 44, st.st_size) << file;
        EXPECT_GT(data, 0u) << file;
        std::remove(path.c_str());
    }
    ::rmdir(folder.c_str());
}

struct ExtremeCase {
    const char *name;
    std::function<int32_t()> call;
    int32_t result;
};

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

// The extremes of every argument: a clear result, no overflow (the asan
// preset runs this under UndefinedBehaviorSanitizer), and the model keeps
// running on what was accepted.
TEST_F(Library, ExtremeArgumentsGetAClearResult)
{
    OpenWith(rec);
    char text[TVX_TEXT_SIZE];
    uint32_t value = 0;
    float hz = 0;
    const uint8_t bytes[2] = {1, 2};
    static const ToneMonitorEntry wild[2] = {{kMin, "w", kMax, 3999, 0, kMax}, {0, nullptr, 0, 0, 0, 0}};
    static const ToneMonitorEntry badFrequency[1] = {{0, "b", 10, kMin, 0, 0}};
    static const ToneMonitorEntry badDuration[1] = {{0, "b", -1, 1000, 0, 0}};
    const ToneGenRecord records[2] = {{65535, 65535, kMax, kMin}, {3999, 65535, 1, kMax}};
    const std::vector<ExtremeCase> cases = {
        {"beep INT32_MAX", [] { return ScDoCommand(108, kMax, kMax, kMin); }, kErrBadArgument},
        {"code INT32_MAX", [] { return ScDoCommand(kMax, kMin, 0, 0); }, kErrBadArgument},
        {"code INT32_MIN", [] { return ScDoCommand(kMin, kMax, 0, 0); }, kErrBadArgument},
        {"dial INT32_MIN", [] { return ScDoCommand(140, kMin, 0, 0); }, kErrBadArgument},
        {"parameter INT32_MIN", [] { return ScDoCommand(237, kMin, 0, 0); }, kOk},
        {"parameter INT32_MAX", [] { return ScDoCommand(199, kMax, 0, 0); }, kOk},
        {"wiretap INT32_MIN", [] { return ScDoCommand(138, kMin, 0, 0); }, kOk},
        {"threshold selector", [] { return ScSetThreshold(kMin, 0xFFFFFFFFu); }, kErrBadArgument},
        {"threshold value", [] { return ScSetThreshold(17, 0xFFFFFFFFu); }, kOk},
        {"get threshold", [&] { return ScGetThreshold(kMax, &value); }, kErrBadArgument},
        {"index freq", [&] { return ScGetIndexFreq(65535, &hz); }, kErrNoWindow},
        {"registers block", [&] { return ScSetHardwareRegs(kMax, kMax, bytes, 1); }, kErrBadArgument},
        {"registers past the block", [&] { return ScSetHardwareRegs(66, 255, bytes, 2); }, kErrBadArgument},
        {"last register", [&] { return ScSetHardwareRegs(66, 255, bytes, 1); }, kOk},
        {"registers count", [&] { return ScSetHardwareRegs(0, 0, bytes, kMin); }, kErrBadArgument},
        {"registers count max", [&] { return ScSetHardwareRegs(0, 1, bytes, kMax); }, kErrBadArgument},
        {"tone records", [&] { return ScGenerateTones(records, 2); }, kOk},
        {"tone count", [&] { return ScGenerateTones(records, kMin); }, kErrBadArgument},
        {"monitor mode", [] { return ScMonitorTones(kMax, wild, 1); }, kErrBadArgument},
        {"monitor count", [] { return ScMonitorTones(1, wild, kMin); }, kErrBadArgument},
        {"monitor frequency", [] { return ScMonitorTones(1, badFrequency, 1); }, kErrBadArgument},
        {"monitor duration", [] { return ScMonitorTones(1, badDuration, 1); }, kErrBadArgument},
        {"monitor wild row", [] { return ScMonitorTones(1, wild, 2); }, kOk},
        {"melody count", [&] { return ScUploadMelody(bytes, kMin); }, kErrBadArgument},
        {"serial size", [&] { return ScGetDeviceSN(text, kMin); }, kErrBadArgument},
        {"event text", [&] { return ScTranslateEventToString(text, kMin, kMin); }, kErrUnknownEvent},
        {"e2rom", [] { return ScE2Rom(kMin, nullptr, ""); }, kErrBadArgument},
        {"largest country", [] { return ScSetLocalCountry(kMin, "999999999"); }, kOk},
        {"dial after all", [] { return ScDoCommand(140, 26, 0, 0); }, kOk},
    };
    for (const ExtremeCase &c : cases)
        EXPECT_EQ(c.call(), c.result) << c.name;
    std::this_thread::sleep_for(200ms);  // the model plays what was accepted
    EXPECT_EQ(ScClose(0), kOk);
}

}  // namespace
