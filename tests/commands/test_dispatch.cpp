// The command dispatcher: what every menu item sends and which marks it
// moves, the notification rule, the routing every command ends in, and the
// order of marks and calls.
#include "tests/commands/CommandsTestSupport.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

#include <tuple>

namespace tvx::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

class DispatchTest : public CommandsTest {};

// One record of the "ScGenerateTones() API" set: frequency, full amplitude,
// 100 ms on, 100 ms off, little-endian.
constexpr const char *kToneRecordsHex = "7805FF7F6400000064000000"   // 1400 Hz
                                        "0C08FF7F6400000064000000"   // 2060 Hz
                                        "9209FF7F6400000064000000"   // 2450 Hz
                                        "280AFF7F6400000064000000";  // 2600 Hz

// What choosing an item once sends and changes, starting from a freshly
// opened dialog (marks as the template gives them, keypad beep checked).
struct Row {
    uint16_t id;
    std::vector<std::string> calls;
    std::vector<std::pair<uint16_t, bool>> marks;  // marks that change
    int pulseDial = 0;
    int tone = 0;
};

const std::vector<Row> &FirstChoiceRows()
{
    static const std::vector<Row> rows = {
        // Device mode: group 10, items 0 to 7.
        {32770, {Do(10)}, {{32770, true}, {32773, false}}},
        {32771, {Do(26)}, {{32771, true}, {32773, false}}},
        {32772, {Do(42)}, {{32772, true}, {32773, false}}},
        {32773, {Do(58)}, {}},  // already checked: sent again, marks as they were
        {32774, {Do(74)}, {{32774, true}, {32773, false}}},
        {32775, {Do(90)}, {{32775, true}, {32773, false}}},
        {32776, {Do(106)}, {{32776, true}, {32773, false}}},
        {32777, {Do(122)}, {{32777, true}, {32773, false}}},
        // DAA: group 3, items 0 to 5.
        {32794, {Do(3)}, {}},
        {32795, {Do(19)}, {{32795, true}, {32794, false}}},
        {32796, {Do(35)}, {{32796, true}, {32794, false}}},
        {32797, {Do(51)}, {{32797, true}, {32794, false}}},
        {32798, {Do(67)}, {{32798, true}, {32794, false}}},
        {32799, {Do(83)}, {{32799, true}, {32794, false}}},
        // Ringer frequency: group 4, items 4 to 7.
        {32790, {Do(68)}, {{32790, true}, {32792, false}}},
        {32791, {Do(84)}, {{32791, true}, {32792, false}}},
        {32792, {Do(100)}, {}},
        {32793, {Do(116)}, {{32793, true}, {32792, false}}},
        // Make/break: group 13, items 0 to 3.
        {32803, {Do(13)}, {}},
        {32804, {Do(29)}, {{32804, true}, {32803, false}}},
        {32805, {Do(45)}, {{32805, true}, {32803, false}}},
        {32806, {Do(61)}, {{32806, true}, {32803, false}}},
        // Auxiliary audio: group 14, items 4 to 6.
        {32783, {Do(78)}, {}},
        {32784, {Do(94)}, {{32784, true}, {32783, false}}},
        {32785, {Do(110)}, {{32785, true}, {32783, false}}},
        // Dialling method: nothing sent, the pulse-dial flag set.
        {32800, {}, {}, 0},
        {32801, {}, {{32801, true}, {32800, false}}, 1},
        // Tone selection with "Generate Tone" clear: only the mark moves.
        {32811, {}, {}},
        {32812, {}, {{32812, true}, {32811, false}}, 0, 1},
        {32813, {}, {{32813, true}, {32811, false}}, 0, 2},
        {32814, {}, {{32814, true}, {32811, false}}, 0, 3},
        {32815, {}, {{32815, true}, {32811, false}}, 0, 4},
        {32816, {}, {{32816, true}, {32811, false}}, 0, 5},
        {32817, {}, {{32817, true}, {32811, false}}, 0, 6},
        {32818, {}, {{32818, true}, {32811, false}}, 0, 7},
        // Switches (their second choice is in SwitchesGoBothWays).
        {32786, {Do(30)}, {{32786, true}}},
        {32787, {Do(91)}, {{32787, true}}},
        {32788, {Do(59)}, {{32788, true}}},
        {32837, {Do(2)}, {{32837, true}}},
        {32789, {Do(5)}, {{32789, false}}},   // checked by the open
        {32835, {Do(11)}, {{32835, false}}},  // checked by the template
        {32844, {Do(138, 1)}, {{32844, true}}},
        {32838, {Do(54)}, {{32838, true}}},
        {32840,
         {"ScSetHardwareRegs(ptr, 66, 129, 1) bytes=01",
          "ScGetDevType(0, 0)",
          "ScSetHardwareRegs(ptr, 66, 130, 1) bytes=01"},
         {{32840, true}}},
        {32810, {Do(20)}, {{32810, true}}},
        {32829, {Do(12)}, {{32829, true}}},  // starts "Dialtone", the selected tone
        {32828, {Do(126, 1)}, {{32828, true}}},
        {32832, {Do(46)}, {{32832, true}}},
        {32825, {std::string("ScGenerateTones(ptr, 4) bytes=") + kToneRecordsHex}, {{32825, true}}},
        // "Driver Enabled" while enabled: close and shut down.
        {32826, {"ScClose(0)", "ScShutdown(0)"}, {{32826, false}}},
        // The library's set-up dialogs, owned by the main window.
        {32833, {"ScDistinctiveRingDlg(ptr)"}, {}},
        {32841, {"ScInternationalHardwareDlg(ptr)"}, {}},
        {32834, {"ScInternationalTonesDlg(ptr)"}, {}},
        {32842, {"ScHardwareChipsDlg(ptr)"}, {}},
        // "ReConnect": the reboot operation with the command-line text.
        {32836, {"ScE2Rom(3, null, \"\")"}, {}},
        {32809, {}, {}},  // "About ...": log lines only
    };
    return rows;
}

TEST_F(DispatchTest, EachItemSendsItsCallsAndMovesItsMarks)
{
    for (const Row &row : FirstChoiceRows()) {
        SCOPED_TRACE(row.id);
        CreateClean();
        const Marks before = AllMarks();
        Choose(row.id);
        EXPECT_THAT(Described(), ElementsAreArray(row.calls));
        EXPECT_EQ(AllMarks(), With(before, row.marks));
        EXPECT_EQ(Dialog().Dispatcher().PulseDial(), row.pulseDial != 0);
        EXPECT_EQ(Dialog().Dispatcher().SelectedTone(), row.tone);
        Destroy();
    }
}

TEST_F(DispatchTest, SwitchesGoBothWays)
{
    struct Case {
        uint16_t id;
        std::vector<std::string> on;   // mark set, then these calls
        std::vector<std::string> off;  // mark cleared, then these calls
    };
    const Case cases[] = {
        {32786, {Do(30)}, {Do(14)}},
        {32787, {Do(91)}, {Do(75)}},
        {32788, {Do(59)}, {Do(43)}},
        {32837, {Do(2)}, {Do(18)}},
        {32789, {Do(21)}, {Do(5)}},
        {32835, {Do(27)}, {Do(11)}},
        {32844, {Do(138, 1)}, {Do(138, 0)}},
        {32838, {Do(54)}, {Do(38)}},
        {32840,
         {"ScSetHardwareRegs(ptr, 66, 129, 1) bytes=01",
          "ScGetDevType(0, 0)",
          "ScSetHardwareRegs(ptr, 66, 130, 1) bytes=01"},
         {"ScSetHardwareRegs(ptr, 66, 129, 1) bytes=00", "ScSetHardwareRegs(ptr, 66, 130, 1) bytes=00"}},
        {32810, {Do(20)}, {Do(4)}},
        {32829, {Do(12)}, {Do(124)}},
        {32828, {Do(126, 1)}, {Do(126, 0)}},
        {32832, {Do(46)}, {Do(62)}},
        {32825, {std::string("ScGenerateTones(ptr, 4) bytes=") + kToneRecordsHex}, {"ScGenerateTones(null, 0)"}},
    };
    CreateClean();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.id);
        const bool startsChecked = Checked(c.id);
        for (int round = 0; round < 2; ++round) {
            const bool wasChecked = Checked(c.id);
            const Marks before = AllMarks();
            stub::ClearCalls();
            Choose(c.id);
            EXPECT_THAT(Described(), ElementsAreArray(wasChecked ? c.off : c.on));
            EXPECT_EQ(AllMarks(), With(before, {{c.id, !wasChecked}}));
        }
        EXPECT_EQ(Checked(c.id), startsChecked);
    }
}

TEST_F(DispatchTest, ANotificationOtherThanZeroIsOnlyRouted)
{
    CreateClean();
    const Marks before = AllMarks();
    for (uint16_t notification : {uint16_t{kSelectionChange}, uint16_t{0x0300}, uint16_t{0xFFFF}}) {
        for (uint16_t id : kAllMenuIds) {
            SCOPED_TRACE(id);
            EXPECT_FALSE(Command(id, notification));
        }
    }
    EXPECT_THAT(stub::Calls(), IsEmpty());
    EXPECT_EQ(AllMarks(), before);
    EXPECT_FALSE(Dialog().Dispatcher().PulseDial());
    EXPECT_EQ(Dialog().Dispatcher().SelectedTone(), 0);
    EXPECT_EQ(Lines().size(), 4);  // the open's four lines: no About or ReConnect lines

    // A handler bound to the notification still gets it.
    int routed = 0;
    Dialog().Messages().Bind(32770, kSelectionChange, [&routed] { ++routed; });
    EXPECT_TRUE(Command(32770, kSelectionChange));
    EXPECT_EQ(routed, 1);
    EXPECT_THAT(stub::Calls(), IsEmpty());
    EXPECT_EQ(AllMarks(), before);
}

TEST_F(DispatchTest, EveryCommandEndsInTheRouting)
{
    CreateClean();
    // Items whose handlers other parts bind: the dispatcher neither acts on
    // them nor keeps them from their handlers.
    const uint16_t passed[] = {32807, 32830, 32831, 32839, 32827, 32843};
    const Marks before = AllMarks();
    for (uint16_t id : passed) {
        SCOPED_TRACE(id);
        int routed = 0;
        Dialog().Messages().Bind(id, kClicked, [&routed] { ++routed; });
        Choose(id);
        EXPECT_EQ(routed, 1);
        Dialog().Messages().Bind(id, kClicked, [] {});
    }
    EXPECT_THAT(stub::Calls(), IsEmpty());
    EXPECT_EQ(AllMarks(), before);

    // The menu commands' own items are bound in the same routing: the
    // routing takes the command, and a handler bound in an item's place
    // takes it instead.
    EXPECT_TRUE(Command(32775));
    EXPECT_THAT(Described(), ElementsAre(Do(90)));
    int routed = 0;
    Dialog().Messages().Bind(32775, kClicked, [&routed] { ++routed; });
    stub::ClearCalls();
    EXPECT_TRUE(Command(32775));
    EXPECT_EQ(routed, 1);
    EXPECT_THAT(stub::Calls(), IsEmpty());
}

// Records each mark change with the number of library calls made before it.
class MarkSpy {
public:
    explicit MarkSpy(res::MainMenu &menu)
    {
        for (uint16_t id : kAllMenuIds) {
            QAction *action = menu.Item(id);
            QObject::connect(action, &QAction::toggled, &context_, [this, id](bool checked) {
                events_.emplace_back(id, checked, stub::Calls().size());
            });
        }
    }
    const std::vector<std::tuple<uint16_t, bool, size_t>> &Events() const { return events_; }

private:
    QObject context_;
    std::vector<std::tuple<uint16_t, bool, size_t>> events_;
};

TEST_F(DispatchTest, CodeFirstThenMarksClearedLowestFirstThenTheChoice)
{
    using E = std::tuple<uint16_t, bool, size_t>;
    CreateClean();
    // A second mark in the group shows the order in which marks are cleared.
    res::MainMenu::Check(Dialog().Menu().SubMenu({1}), 32770, true);
    {
        MarkSpy spy(Dialog().Menu());
        Command(32775);
        EXPECT_THAT(spy.Events(), ElementsAre(E{32770, false, 1}, E{32773, false, 1}, E{32775, true, 1}));
    }
    {
        // The checked item again: the whole sequence once more.
        stub::ClearCalls();
        MarkSpy spy(Dialog().Menu());
        Command(32775);
        EXPECT_THAT(spy.Events(), ElementsAre(E{32775, false, 1}, E{32775, true, 1}));
        EXPECT_THAT(Described(), ElementsAre(Do(90)));
    }
    {
        stub::ClearCalls();
        MarkSpy spy(Dialog().Menu());
        Command(32801);
        Command(32801);
        EXPECT_THAT(spy.Events(),
                    ElementsAre(E{32800, false, 0}, E{32801, true, 0}, E{32801, false, 0}, E{32801, true, 0}));
        EXPECT_TRUE(Dialog().Dispatcher().PulseDial());
        Command(32800);
        EXPECT_FALSE(Dialog().Dispatcher().PulseDial());
        EXPECT_THAT(stub::Calls(), IsEmpty());
    }
}

TEST_F(DispatchTest, SwitchMarkChangesBeforeTheCallWhateverItReturns)
{
    using E = std::tuple<uint16_t, bool, size_t>;
    stub::Configure().results["ScDoCommand"] = 5;
    stub::Configure().results["ScSetHardwareRegs"] = -1;
    stub::Configure().results["ScGenerateTones"] = 7;
    CreateClean();
    MarkSpy spy(Dialog().Menu());
    Command(32810);  // on
    Command(32810);  // off
    Command(32840);
    Command(32825);
    EXPECT_THAT(spy.Events(), ElementsAre(E{32810, true, 0}, E{32810, false, 1}, E{32840, true, 2}, E{32825, true, 5}));
    EXPECT_THAT(Described(),
                ElementsAre(Do(20),
                            Do(4),
                            "ScSetHardwareRegs(ptr, 66, 129, 1) bytes=01",
                            "ScGetDevType(0, 0)",
                            "ScSetHardwareRegs(ptr, 66, 130, 1) bytes=01",
                            std::string("ScGenerateTones(ptr, 4) bytes=") + kToneRecordsHex));
}

TEST_F(DispatchTest, DriverOffAndOnLeavesMarksAndSendsNoCode)
{
    CreateClean();
    for (uint16_t id : {32775, 32797, 32793, 32806, 32785, 32801, 32813, 32829, 32786, 32840, 32825, 32789})
        Choose(static_cast<uint16_t>(id));
    const Marks before = AllMarks();
    stub::ClearCalls();

    Choose(32826);
    EXPECT_THAT(Described(), ElementsAre("ScClose(0)", "ScShutdown(0)"));
    EXPECT_EQ(AllMarks(), With(before, {{32826, false}}));
    EXPECT_EQ(Dialog().Session().DriverEnabled(), 0);

    Choose(32826);
    EXPECT_EQ(Dialog().Session().DriverEnabled(), 1);
    // The open checks the keypad beep again; every other mark stays, and no
    // setting is sent again.
    EXPECT_EQ(AllMarks(), With(before, {{32789, true}}));
    EXPECT_EQ(stub::CountOf("ScInitialize"), 1);
    for (const char *name : {"ScDoCommand", "ScSetHardwareRegs", "ScGenerateTones", "ScGetDevType"})
        EXPECT_EQ(stub::CountOf(name), 0) << name;
    EXPECT_TRUE(Dialog().Dispatcher().PulseDial());
    EXPECT_EQ(Dialog().Dispatcher().SelectedTone(), 0);  // the open goes back to the first tone
}

TEST_F(DispatchTest, ExitEndsTheDialogWithZeroAndTheDeviceClosesOnce)
{
    CreateClean();
    QTimer::singleShot(0, &Dialog(), [this] { Choose(32808); });
    // Should "E&xit" not end the run, this ends it with another result.
    QTimer::singleShot(5000, &Dialog(), [this] { Dialog().done(99); });
    EXPECT_EQ(Dialog().exec(), 0);
    EXPECT_THAT(stub::Calls(), IsEmpty());
    Destroy();
    EXPECT_EQ(stub::CountOf("ScClose"), 1);
    EXPECT_EQ(stub::CountOf("ScShutdown"), 1);
}

}  // namespace
}  // namespace tvx::test
