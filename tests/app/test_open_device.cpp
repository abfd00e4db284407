// Opening and closing the device: the calls the library sees, the lines the
// log shows and the menu marks, against the recording stand-in.
#include "device/SessionText.h"
#include "tests/support/MainDialogFixture.h"

#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>

#include <cstring>
#include <string>
#include <vector>

namespace tvx::test {
namespace {

using res::MainMenu;
using ::testing::ElementsAre;

const std::vector<std::string> kSessionCalls = {"ScInitialize",
                                                "ScOpen",
                                                "ScGetDeviceSN",
                                                "ScGetRawDeviceRevision",
                                                "ScGetDeviceName",
                                                "ScMonitorTones",
                                                "ScClose",
                                                "ScShutdown"};

class OpenDeviceTest : public MainDialogTest {};

TEST_F(OpenDeviceTest, SuccessfulOpenMakesTheCallsInOrderAndWritesTheIdentity)
{
    stub::Configure().libraryVersion = 3;
    Create();

    EXPECT_THAT(stub::CallTexts(kSessionCalls),
                ElementsAre("ScInitialize(ptr, ptr, ptr, ptr, 0, 0, 0, 0, 17)",
                            "ScOpen(0, 0)",
                            "ScGetDeviceSN(ptr, 256)",
                            "ScGetRawDeviceRevision(0)",
                            "ScGetDeviceName(ptr, 256)",
                            "ScMonitorTones(ptr, 1, 16)"));
    const stub::Call init = stub::CallsNamed("ScInitialize").at(0);
    EXPECT_NE(init.pointers[1], nullptr) << "the session's context";
    EXPECT_EQ(init.pointers[3], static_cast<void *>(Control<QWidget>(1074))) << "spectrum area";
    EXPECT_EQ(Lines(),
              QStringList({"tvxUSB DLL version 3",
                           "Device Name: Stub Adapter",
                           "Device firmware version: 4.53.18",
                           "Device SN: TVXSTUB-0000-000000001"}));
    EXPECT_EQ(Control<QLineEdit>(1001)->text(), "TVXSTUB-0000-000000001");
    EXPECT_EQ(Control<QLineEdit>(1047)->maxLength(), 255);
}

struct OpenFailure {
    int32_t initializeResult;
    int32_t openResult;
    const char *line;
    std::vector<std::string> calls;
};

class OpenFailureTest : public MainDialogTest, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(OpenFailureTest, StopsAtTheFailingStepWithOneLine)
{
    const OpenFailure &failure = GetParam();
    stub::Configure().initializeResult = failure.initializeResult;
    stub::Configure().openResult = failure.openResult;
    Create();
    Control<QLineEdit>(1001)->setText("kept");

    EXPECT_EQ(Lines(), QStringList({failure.line}));
    std::vector<std::string> names;
    for (const stub::Call &call : stub::Calls())
        names.push_back(call.name);
    EXPECT_EQ(names, failure.calls);
    EXPECT_EQ(Control<QLineEdit>(1001)->text(), "kept");
    EXPECT_FALSE(MainMenu::IsDefaultItem(Dialog().Menu().Item(32773))) << "no default marks after a failed open";
    EXPECT_FALSE(Checked(32789)) << "no keypad-beep mark after a failed open";
    EXPECT_EQ(Dialog().Session().DriverEnabled(), 1);
    EXPECT_TRUE(Checked(32826));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, OpenFailureTest,
    ::testing::Values(OpenFailure{5, 0, "ScInitialize() returned error code5", {"ScInitialize"}},
                      OpenFailure{-1, 0, "ScInitialize() returned error code-1", {"ScInitialize"}},
                      OpenFailure{0, 5, "ScOpen() returned error code5", {"ScInitialize", "ScOpen"}},
                      OpenFailure{0, -1, "ScOpen() returned error code-1", {"ScInitialize", "ScOpen"}}));

TEST(SessionTextTest, FirmwareLineUsesTheLow16BitsOfTheRevision)
{
    struct Row {
        int32_t revision;
        const char *line;
    };
    const Row rows[] = {
        {0x0312, "Device firmware version: 4.53.18"},
        {0, "Device firmware version: 4.50.00"},
        {static_cast<int32_t>(0xFF00), "Device firmware version: 4.305.00"},
        {static_cast<int32_t>(0x7ABC0312), "Device firmware version: 4.53.18"},
        {-1, "Device firmware version: 4.305.255"},
        {0x0009, "Device firmware version: 4.50.09"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(FirmwareLine(row.revision), row.line) << row.revision;
}

TEST(SessionTextTest, LibraryTextsAreBoundedByTheirBuffer)
{
    char unterminated[4] = {'A', 'B', 'C', 'D'};
    EXPECT_EQ(SerialNumberLine(unterminated, sizeof unterminated), "Device SN: ABCD");
    char empty[8] = {};
    EXPECT_EQ(DeviceNameLine(empty, sizeof empty), "Device Name: ");
    EXPECT_EQ(LibraryVersionLine(3), "tvxUSB DLL version 3");
    EXPECT_EQ(LibraryVersionLine(-12), "tvxUSB DLL version -12");
    // A 300-character library text is cut to the 255 characters a line holds.
    std::string longText(300, 'x');
    EXPECT_EQ(SerialNumberLine(longText.c_str(), longText.size() + 1).size(), 255u);
}

TEST_F(OpenDeviceTest, LibraryTextsAreShownAsEightBitText)
{
    stub::Configure().deviceName = "Caf\xE9 \xB5-Box";
    Create();
    EXPECT_EQ(Lines().at(1), QString::fromUtf8("Device Name: Caf\u00E9 \u00B5-Box"));
}

TEST_F(OpenDeviceTest, IdentityBuffersTheLibraryLeavesEmptyShowNothingStale)
{
    stub::Configure().writeIdentity = false;
    Create();
    EXPECT_EQ(Lines().at(1), "Device Name: ");
    EXPECT_EQ(Lines().at(3), "Device SN: ");
}

TEST_F(OpenDeviceTest, OpenMarksDefaultItemsAndTheKeypadBeep)
{
    Create();
    const uint16_t defaults[] = {32773, 32794, 32792, 32803, 32783, 32800};
    for (uint16_t id : defaults)
        EXPECT_TRUE(MainMenu::IsDefaultItem(Dialog().Menu().Item(id))) << id;
    const uint16_t notDefaults[] = {32770, 32777, 32795, 32790, 32804, 32784, 32801, 32811};
    for (uint16_t id : notDefaults)
        EXPECT_FALSE(MainMenu::IsDefaultItem(Dialog().Menu().Item(id))) << id;
    EXPECT_TRUE(Checked(32789));
    EXPECT_TRUE(stub::CallsNamed("ScDoCommand").empty()) << "nothing is sent for the keypad beep mark";
}

TEST_F(OpenDeviceTest, ToneMonitorSetHasSixteenRowsInOrder)
{
    Create();
    const stub::Call call = stub::CallsNamed("ScMonitorTones").at(0);
    ASSERT_EQ(call.bytes.size(), 16 * sizeof(ToneMonitorEntry));
    struct Row {
        const char *name;
        int32_t duration, f1, f2;
    };
    const Row expected[16] = {
        {"0", 2000, 941, 1336},
        {"1", 2000, 697, 1209},
        {"2", 2000, 697, 1336},
        {"3", 2000, 697, 1477},
        {"4", 2000, 770, 1209},
        {"5", 2000, 770, 1336},
        {"6", 2000, 770, 1477},
        {"7", 2000, 852, 1209},
        {"8", 2000, 852, 1336},
        {"9", 2000, 852, 1477},
        {"10", 2000, 941, 1209},
        {"11", 2000, 941, 1477},
        {"12", 2000, 941, 1633},
        {"Silent", 10000, 0, 0},
        {"14", 300, 825, 0},
        {"15", 1000, 825, 0},
    };
    const auto *set = static_cast<const ToneMonitorEntry *>(call.pointers[0]);
    for (int i = 0; i < 16; ++i) {
        ToneMonitorEntry row;
        std::memcpy(&row, call.bytes.data() + i * sizeof row, sizeof row);
        EXPECT_EQ(row.leading, 0) << i;
        EXPECT_STREQ(row.name, expected[i].name) << i;
        EXPECT_EQ(row.duration, expected[i].duration) << i;
        EXPECT_EQ(row.frequency1, expected[i].f1) << i;
        EXPECT_EQ(row.frequency2, expected[i].f2) << i;
        EXPECT_EQ(row.trailing, 0) << i;
        // The set lives in static storage: still valid after the call.
        EXPECT_STREQ(set[i].name, expected[i].name) << i;
    }
}

TEST_F(OpenDeviceTest, DriverEnabledClosesThenReopensWithTheFullOpen)
{
    Create();
    const void *firstContext = stub::CallsNamed("ScInitialize").at(0).pointers[1];
    stub::ClearCalls();
    QSignalSpy opened(&Dialog().Session(), &DeviceSession::Opened);
    QSignalSpy closed(&Dialog().Session(), &DeviceSession::Closed);

    Choose(32826);
    EXPECT_EQ(stub::CallTexts(), std::vector<std::string>({"ScClose(0)", "ScShutdown(0)"}));
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(opened.count(), 0);
    EXPECT_EQ(Dialog().Session().DriverEnabled(), 0);
    EXPECT_FALSE(Checked(32826));
    EXPECT_EQ(Lines().size(), 4) << "switching off writes no line";

    stub::ClearCalls();
    Choose(32826);
    EXPECT_EQ(stub::CountOf("ScInitialize"), 1);
    EXPECT_EQ(stub::CountOf("ScOpen"), 1);
    EXPECT_EQ(stub::CountOf("ScMonitorTones"), 1);
    EXPECT_EQ(Dialog().Session().DriverEnabled(), 1);
    EXPECT_TRUE(Checked(32826));
    EXPECT_EQ(Lines().size(), 8) << "the identity lines are written again";
    EXPECT_EQ(opened.count(), 1);
    EXPECT_NE(stub::CallsNamed("ScInitialize").at(0).pointers[1], firstContext) << "each session a context of its own";

    Choose(32826);
    Destroy();
    EXPECT_EQ(stub::CountOf("ScClose"), 2) << "switched off once, then the dialog closed";
    EXPECT_EQ(stub::CountOf("ScShutdown"), 2);
}

TEST_F(OpenDeviceTest, AfterAFailedOpenTheSwitchStillShowsEnabledAndClosesFirst)
{
    stub::Configure().openResult = 7;
    Create();
    stub::ClearCalls();

    Choose(32826);
    EXPECT_EQ(stub::CallTexts(), std::vector<std::string>({"ScClose(0)", "ScShutdown(0)"}));
    EXPECT_FALSE(Checked(32826));

    Choose(32826);  // the open fails again, yet flag and mark say enabled
    EXPECT_EQ(Dialog().Session().DriverEnabled(), 1);
    EXPECT_TRUE(Checked(32826));
    EXPECT_EQ(Lines().at(0), "ScOpen() returned error code7");
}

TEST_F(OpenDeviceTest, ReopenKeepsTheSelectionMarksAndResendsNothing)
{
    Create();
    QAction *pulse = Dialog().Menu().Item(32801);
    Dialog().Menu().Check(Dialog().Menu().SubMenu({5}), 32800, false);
    Dialog().Menu().Check(Dialog().Menu().SubMenu({5}), 32801, true);
    Dialog().Menu().Check(Dialog().Menu().SubMenu({2}), 32789, false);
    stub::ClearCalls();

    Choose(32826);
    Choose(32826);
    EXPECT_TRUE(pulse->isChecked());
    EXPECT_FALSE(Checked(32800));
    EXPECT_TRUE(Checked(32789)) << "every open puts the keypad-beep mark back";
    EXPECT_EQ(stub::CountOf("ScDoCommand"), 0);
}

}  // namespace
}  // namespace tvx::test
