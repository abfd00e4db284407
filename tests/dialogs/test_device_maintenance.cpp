// Serial-number programming and the maintenance items through the main
// dialog: the ScE2Rom calls with the command-line text, and the log lines.
#include "device/Adapter.h"
#include "tests/dialogs/QStringPrinter.h"
#include "tests/support/MainDialogFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <string>
#include <vector>

namespace tvx::test {
namespace {

class DeviceMaintenanceTest : public MainDialogTest {
protected:
    void SetUp() override
    {
        MainDialogTest::SetUp();
        adapter::SetCommandLineText("");
    }
    void TearDown() override
    {
        adapter::SetCommandLineText("");
        MainDialogTest::TearDown();
    }

    // Types the text over the serial-number edit's selected text and presses
    // Enter in it.
    void EnterSerial(const std::string &text)
    {
        auto *edit = Control<QLineEdit>(1001);
        ASSERT_NE(edit, nullptr);
        edit->setFocus(Qt::TabFocusReason);
        edit->selectAll();
        if (text.empty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            QTest::keyClicks(edit, QString::fromLatin1(text.c_str()));
        ASSERT_EQ(edit->text().toStdString(), text);
        stub::ClearCalls();
        QTest::keyClick(edit, Qt::Key_Return);
    }
};

TEST_F(DeviceMaintenanceTest, EnterInTheSerialEditProgramsOnlyTwentyTwoCharacters)
{
    struct Row {
        std::string text;
        bool sent;
    };
    const std::vector<Row> rows = {
        {"", false},
        {std::string(21, '7'), false},
        {"ABCDEFGHIJ-0123456789X", true},
        {std::string(22, ' '), true},
        {" lead and trail  x  9 ", true},
        {std::string(23, 'Z'), false},
    };
    // Enter reaches the default button of a dialog on the screen.
    Create().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dialog()));
    for (const Row &row : rows) {
        SCOPED_TRACE("\"" + row.text + "\"");
        EnterSerial(row.text);
        if (row.sent) {
            EXPECT_EQ(stub::CallTexts(), std::vector<std::string>{"ScE2Rom(2, \"" + row.text + "\", \"\")"});
            EXPECT_EQ(Lines().first(), "Serial number programed.");
        } else {
            EXPECT_TRUE(stub::Calls().empty());
            EXPECT_EQ(Lines().first(), "Invalid serial number");
        }
        EXPECT_EQ(Control<QLineEdit>(1001)->text().toStdString(), row.text) << "the edit keeps the text";
    }
}

TEST_F(DeviceMaintenanceTest, OperationsPassTheCommandLineTextAndLogTheirOutcome)
{
    struct Row {
        const char *what;
        uint16_t id;  // 1083 is the button, the others menu items
        int32_t result;
        const char *commandLine;
        std::string call;
        const char *line;
    };
    const std::string serial = "TVXSTUB-0000-000000001";  // shown in the edit after the open
    const std::vector<Row> rows = {
        {"erase", 32830, 0, "", "ScE2Rom(0, null, \"\")", "Device erased."},
        {"erase failed", 32830, 4, "", "ScE2Rom(0, null, \"\")", "Error erasing device."},
        {"erase tvx", 32831, 0, "", "ScE2Rom(1, null, \"\")", "Device erased."},
        {"erase tvx failed", 32831, -1, "", "ScE2Rom(1, null, \"\")", "Error erasing device."},
        {"reboot", 32839, 0, "", "ScE2Rom(3, null, \"\")", "Device ReBooted."},
        {"reboot failed", 32839, 2, "", "ScE2Rom(3, null, \"\")", "Error ReBooting device."},
        {"burn", 1083, 0, "", "ScE2Rom(2, \"" + serial + "\", \"\")", "Serial number programed."},
        {"burn failed", 1083, 9, "", "ScE2Rom(2, \"" + serial + "\", \"\")", "Error prog. serial number."},
        {"erase with arguments", 32830, 0, "-p 2 x", "ScE2Rom(0, null, \"-p 2 x\")", "Device erased."},
        {"reboot with arguments", 32839, 0, "--unit=7", "ScE2Rom(3, null, \"--unit=7\")", "Device ReBooted."},
        {"burn with arguments", 1083, 0, "a b", "ScE2Rom(2, \"" + serial + "\", \"a b\")", "Serial number programed."},
    };
    Create();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        adapter::SetCommandLineText(row.commandLine);
        stub::Configure().results["ScE2Rom"] = row.result;
        stub::ClearCalls();
        const int before = Dialog().Log().Count();
        if (row.id == 1083)
            QTest::mouseClick(Control<QPushButton>(1083), Qt::LeftButton);
        else
            Choose(row.id);
        EXPECT_EQ(stub::CallTexts(), std::vector<std::string>{row.call});
        EXPECT_EQ(Dialog().Log().Count(), before + 1);
        EXPECT_EQ(Lines().first(), row.line);
    }
    EXPECT_EQ(Control<QLineEdit>(1001)->text().toStdString(), serial);
}

TEST_F(DeviceMaintenanceTest, OperationsLeaveTheSessionAsItWas)
{
    Create();
    stub::ClearCalls();
    stub::Configure().results["ScE2Rom"] = 1;
    for (uint16_t id : {32830, 32831, 32839})
        Choose(id);
    EXPECT_EQ(stub::CountOf("ScE2Rom"), 3);
    EXPECT_EQ(stub::Calls().size(), 3u) << "no close, open or identity call";
    EXPECT_TRUE(Checked(32826)) << "Driver Enabled";
}

}  // namespace
}  // namespace tvx::test
