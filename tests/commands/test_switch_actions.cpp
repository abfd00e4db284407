// The tone generator, CODEC boost and the one-shot actions of the menu.
#include "commands/logic/AboutLines.h"
#include "device/Adapter.h"
#include "tests/commands/CommandsTestSupport.h"

#include <QWidget>

namespace tvx::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

class SwitchActionsTest : public CommandsTest {};

constexpr uint16_t kToneIds[] = {32811, 32812, 32813, 32814, 32815, 32816, 32817, 32818};
constexpr uint16_t kGenerateTone = 32829;

TEST_F(SwitchActionsTest, ToneSelectionAndGenerateTone)
{
    struct Case {
        const char *name;
        std::vector<uint16_t> before;  // chosen first, their calls not looked at
        uint16_t choose;
        std::vector<std::string> calls;
        int tone;                // selected tone afterwards
        uint16_t markedTone;     // the one tone item carrying the mark afterwards
        bool unchanged = false;  // no mark of the menu moves
    };
    const Case cases[] = {
        {"the selected tone again, while generating", {kGenerateTone}, 32811, {}, 0, 32811, true},
        {"the selected tone again, after a change", {32816, kGenerateTone}, 32816, {}, 5, 32816, true},
        {"Beep while generating: no stop first", {kGenerateTone}, 32817, {Do(108, 1)}, 6, 32817},
        {"Infinite Beep while generating", {kGenerateTone}, 32816, {Do(108, 0)}, 5, 32816},
        {"Receiver Off-Hook while generating", {kGenerateTone}, 32818, {Do(108, 2)}, 7, 32818},
        {"Proceeding while generating", {kGenerateTone, 32813}, 32815, {Do(76)}, 4, 32815},
        {"Busy, not generating: only the mark moves", {}, 32813, {}, 2, 32813},
        {"Busy, then Generate Tone", {32813}, kGenerateTone, {Do(44)}, 2, 32813},
        {"Reorder, then Generate Tone", {32814}, kGenerateTone, {Do(60)}, 3, 32814},
        {"Ring Back, then Generate Tone", {32812}, kGenerateTone, {Do(28)}, 1, 32812},
        {"Generate Tone off stops", {kGenerateTone, 32818}, kGenerateTone, {Do(124)}, 7, 32818},
        {"a tone after Generate Tone went off", {kGenerateTone, kGenerateTone}, 32814, {}, 3, 32814},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CreateClean();
        for (uint16_t id : c.before)
            Choose(id);
        stub::ClearCalls();
        const Marks before = AllMarks();
        Choose(c.choose);
        EXPECT_THAT(Described(), ElementsAreArray(c.calls));
        EXPECT_EQ(Dialog().Dispatcher().SelectedTone(), c.tone);
        for (uint16_t id : kToneIds)
            EXPECT_EQ(Checked(id), id == c.markedTone) << id;
        if (c.unchanged) {
            EXPECT_EQ(AllMarks(), before);
        }
        Destroy();
    }
}

TEST_F(SwitchActionsTest, CodecBoostByDeviceType)
{
    struct Case {
        int32_t deviceType;
        uint8_t second;  // written to register 130 when switching on
    };
    const Case cases[] = {{10, 7}, {11, 7}, {3, 1}, {0, 1}, {9, 1}, {12, 1}, {-1, 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.deviceType);
        stub::Configure().deviceType = c.deviceType;
        CreateClean();
        Choose(32840);
        auto writes = stub::CallsNamed("ScSetHardwareRegs");
        ASSERT_EQ(writes.size(), 2u);
        EXPECT_THAT(writes[0].args, ElementsAre(66, 129, 1));
        EXPECT_THAT(writes[0].bytes, ElementsAre(1));
        EXPECT_THAT(writes[1].args, ElementsAre(66, 130, 1));
        EXPECT_THAT(writes[1].bytes, ElementsAre(c.second));
        // The type is asked once, between the two writes.
        EXPECT_THAT(stub::CallTexts(),
                    ElementsAre("ScSetHardwareRegs(ptr, 66, 129, 1)",
                                "ScGetDevType(0, 0)",
                                "ScSetHardwareRegs(ptr, 66, 130, 1)"));
        EXPECT_TRUE(Checked(32840));

        stub::ClearCalls();
        Choose(32840);
        writes = stub::CallsNamed("ScSetHardwareRegs");
        ASSERT_EQ(writes.size(), 2u);
        EXPECT_THAT(writes[0].args, ElementsAre(66, 129, 1));
        EXPECT_THAT(writes[0].bytes, ElementsAre(0));
        EXPECT_THAT(writes[1].args, ElementsAre(66, 130, 1));
        EXPECT_THAT(writes[1].bytes, ElementsAre(0));
        EXPECT_EQ(stub::CountOf("ScGetDevType"), 0);
        EXPECT_FALSE(Checked(32840));
        Destroy();
    }
}

TEST_F(SwitchActionsTest, GenerateTonesApiPassesFourRecordsAndStopsWithNone)
{
    CreateClean();
    Choose(32825);
    auto calls = stub::CallsNamed("ScGenerateTones");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_THAT(calls[0].args, ElementsAre(4));
    ASSERT_EQ(calls[0].bytes.size(), 4u * 12u);
    const uint16_t frequencies[] = {1400, 2060, 2450, 2600};
    for (size_t i = 0; i < 4; ++i) {
        const uint8_t *record = calls[0].bytes.data() + i * 12;
        const std::vector<uint8_t> expected = {static_cast<uint8_t>(frequencies[i] & 0xFF),
                                               static_cast<uint8_t>(frequencies[i] >> 8),
                                               0xFF,
                                               0x7F,
                                               100,
                                               0,
                                               0,
                                               0,
                                               100,
                                               0,
                                               0,
                                               0};
        EXPECT_EQ(std::vector<uint8_t>(record, record + 12), expected) << i;
    }
    stub::ClearCalls();
    Choose(32825);
    EXPECT_THAT(stub::CallTexts(), ElementsAre("ScGenerateTones(null, 0)"));
    calls = stub::CallsNamed("ScGenerateTones");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].pointers.at(0), nullptr);
    EXPECT_THAT(calls[0].bytes, IsEmpty());
}

TEST_F(SwitchActionsTest, SetupDialogsAreOwnedByTheMainWindow)
{
    struct Case {
        uint16_t id;
        const char *function;
    };
    const Case cases[] = {
        {32833, "ScDistinctiveRingDlg"},
        {32841, "ScInternationalHardwareDlg"},
        {32834, "ScInternationalTonesDlg"},
        {32842, "ScHardwareChipsDlg"},
    };
    CreateClean();
    const void *owner = static_cast<const void *>(static_cast<QWidget *>(&Dialog()));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.function);
        stub::ClearCalls();
        Choose(c.id);
        const auto calls = stub::Calls();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].name, c.function);
        ASSERT_EQ(calls[0].pointers.size(), 1u);
        EXPECT_EQ(calls[0].pointers[0], owner);
    }
}

TEST_F(SwitchActionsTest, AboutAddsSixLinesWithABlankOnTop)
{
    CreateClean();
    const QStringList old = Lines();
    Choose(32809);
    const QStringList lines = Lines();
    ASSERT_EQ(lines.size(), old.size() + 6);
    EXPECT_EQ(lines[0], " ");
    EXPECT_EQ(lines[1], QString::fromLatin1(kAboutMakerLine.data(), kAboutMakerLine.size()));
    EXPECT_EQ(lines[2], QString::fromLatin1(kAboutAuthorLine.data(), kAboutAuthorLine.size()));
    EXPECT_EQ(lines[3], " ");
    EXPECT_EQ(lines[4], " ");
    EXPECT_EQ(lines[5], " ");
    EXPECT_EQ(lines.mid(6), old);
    // The credits are real lines, not blanks, and the author line names the version.
    EXPECT_TRUE(lines[1].startsWith("Telvora"));
    EXPECT_TRUE(lines[2].startsWith("Parlino USB Control / Monitor "));
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral(" " TVX_TOOL_VERSION)));
    EXPECT_THAT(stub::Calls(), IsEmpty());
}

TEST_F(SwitchActionsTest, ReconnectReportsAndLeavesEverythingElse)
{
    struct Case {
        int32_t result;
        std::string commandLine;
        const char *call;
        const char *line;
        bool driverOff;
    };
    const Case cases[] = {
        {0, "", "ScE2Rom(3, null, \"\")", "Device reconnecting ...", false},
        {0, "-port 2 fast", "ScE2Rom(3, null, \"-port 2 fast\")", "Device reconnecting ...", false},
        {3, "x", "ScE2Rom(3, null, \"x\")", "Error reconnecting device.", false},
        {-1, "", "ScE2Rom(3, null, \"\")", "Error reconnecting device.", true},
        {0, "", "ScE2Rom(3, null, \"\")", "Device reconnecting ...", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.call);
        adapter::SetCommandLineText(c.commandLine);
        stub::Configure().results["ScE2Rom"] = c.result;
        CreateClean();
        for (uint16_t id : {32776, 32801, 32815, 32829, 32788})
            Choose(static_cast<uint16_t>(id));
        if (c.driverOff)
            Choose(32826);
        const Marks marks = AllMarks();
        const uint8_t tone = Dialog().Dispatcher().SelectedTone();
        const bool pulse = Dialog().Dispatcher().PulseDial();
        const uint8_t driver = Dialog().Session().DriverEnabled();
        const QStringList old = Lines();
        stub::ClearCalls();

        Choose(32836);
        EXPECT_THAT(stub::CallTexts(), ElementsAre(c.call));
        ASSERT_EQ(Lines().size(), old.size() + 1);
        EXPECT_EQ(Lines().front(), c.line);
        EXPECT_EQ(AllMarks(), marks);
        EXPECT_EQ(Dialog().Session().DriverEnabled(), driver);
        EXPECT_EQ(Dialog().Dispatcher().SelectedTone(), tone);
        EXPECT_EQ(Dialog().Dispatcher().PulseDial(), pulse);
        Destroy();
        stub::Reset();
    }
    adapter::SetCommandLineText("");
}

}  // namespace
}  // namespace tvx::test
