// Caller-ID generator: interlocks of the controls and packing of the record.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "dialogs/logic/CidGenInterlocks.h"
#include "dialogs/logic/CidGenRecordPacking.h"
#include "tests/support/CidRecordBytes.h"

namespace tvx {
namespace {

using Bytes = std::array<std::uint8_t, 116>;

Bytes RecordBytes(const CidGenRecord &record)
{
    static_assert(sizeof record == 116);
    Bytes bytes{};
    std::memcpy(bytes.data(), &record, bytes.size());
    return bytes;
}

// The expected record, field by field.
struct Expected {
    std::uint8_t msgType;
    std::string name;
    std::string number;
    std::string dateTime;
    std::uint8_t indicatorLit;
    std::uint8_t sendFlags;
    std::uint8_t callFlags;
    std::uint8_t levelLow;
    std::uint8_t levelHigh;

    // Laid out by the shared helper; the level is given as its two stored bytes.
    Bytes ToBytes() const
    {
        const test::ExpectedCid expected{msgType,
                                         name,
                                         number,
                                         dateTime,
                                         indicatorLit,
                                         sendFlags,
                                         callFlags,
                                         static_cast<std::uint16_t>(levelLow | (levelHigh << 8))};
        return expected.Bytes();
    }
};

using Action = test::CidAction;
using StateCheck = test::CidStateCheck;
using test::Click;
using test::Date;
using test::Level;
using test::Name;
using test::Select;

// The dialog as the user sees it: the model plus the texts and the trackbar.
struct Dialog {
    CidGenInterlocks model;
    std::string name{kCidDefaultName};
    std::string number{kCidDefaultNumber};
    std::string dateTime{kCidDefaultDateTime};
    int level = kCidSignalLevelDefault;

    Dialog() { model.InitDialog(); }

    // A user can click only an enabled, visible box; the click toggles it
    // and then runs the handler bound to that box, if any.
    void ClickBox(int id)
    {
        const auto state = model.State(id);
        ASSERT_TRUE(state.has_value()) << id;
        ASSERT_TRUE(state->enabled && state->visible) << "box " << id << " cannot be clicked";
        ASSERT_TRUE(model.SetChecked(id, !state->checked)) << id;
        switch (id) {
        case kCidIdOutOfArea:
            model.OutOfArea();
            break;
        case kCidIdPrivate:
            model.Private();
            break;
        case kCidIdCallWaiting:
            model.CallWaiting();
            break;
        case kCidIdSendVisualIndicator:
            model.SendVisualIndicator();
            break;
        default:
            break;
        }
    }

    void Do(const Action &action)
    {
        switch (action.kind) {
        case Action::Select:
            model.SelchangeMessageType(action.value);
            break;
        case Action::Click:
            ClickBox(action.value);
            break;
        case Action::Name:
            name = action.text;
            break;
        case Action::Number:
            number = action.text;
            break;
        case Action::Date:
            dateTime = action.text;
            break;
        case Action::Level:
            level = action.value;
            break;
        }
    }

    Bytes Generate() const { return RecordBytes(PackCidGenRecord(model.Inputs(name, number, dateTime, level))); }
};

void ExpectStates(const CidGenInterlocks &model, const std::vector<StateCheck> &checks)
{
    for (const StateCheck &check : checks) {
        const auto state = model.State(check.id);
        ASSERT_TRUE(state.has_value()) << check.id;
        EXPECT_EQ(state->checked, check.checked) << "checked of " << check.id;
        EXPECT_EQ(state->enabled, check.enabled) << "enabled of " << check.id;
        EXPECT_EQ(state->visible, check.visible) << "visible of " << check.id;
    }
}

const std::string kName50(50, 'N');
const std::string kNumber = std::string(kCidDefaultNumber);
const std::string kName = std::string(kCidDefaultName);

struct GenerateCase {
    const char *what;
    std::vector<Action> actions;
    Expected record;
    std::vector<StateCheck> states;
};

TEST(CidGenerator, UserActionsGiveRecordBytes)
{
    const std::vector<GenerateCase> cases = {
        {"defaults at once",
         {},
         {0, kName, kNumber, "04292230", 0x00, 0x40, 0x00, 0x80, 0x3E},
         {{kCidIdNameEdit, false, false, true}}},
        {"MDMF", {Select(kCidMdmf)}, {1, kName, kNumber, "04292230", 0x00, 0x47, 0x00, 0x80, 0x3E}, {}},
        {"MDMF with visual indicator, lit",
         {Select(kCidMdmf), Click(kCidIdSendVisualIndicator), Click(kCidIdLitIndicator)},
         {1, kName, kNumber, "04292230", 0xFF, 0x08, 0x00, 0x80, 0x3E},
         {}},
        {"MDMF visual indicator checked then unchecked",
         {Select(kCidMdmf),
          Click(kCidIdSendVisualIndicator),
          Click(kCidIdLitIndicator),
          Click(kCidIdSendVisualIndicator)},
         {1, kName, kNumber, "04292230", 0xFF, 0x47, 0x00, 0x80, 0x3E},
         {}},
        {"MDMF private after out of area",
         {Select(kCidMdmf), Click(kCidIdOutOfArea), Click(kCidIdPrivate)},
         {1, kName, kNumber, "04292230", 0x00, 0x67, 0x00, 0x80, 0x3E},
         {{kCidIdOutOfArea, false, true, true},
          {kCidIdPrivate, true, true, true},
          {kCidIdSendNumber, true, false, true},
          {kCidIdSendName, true, false, true},
          {kCidIdNumberEdit, false, false, true},
          {kCidIdNameEdit, false, false, true}}},
        {"MDMF out of area alone",
         {Select(kCidMdmf), Click(kCidIdOutOfArea)},
         {1, kName, kNumber, "04292230", 0x00, 0x57, 0x00, 0x80, 0x3E},
         {}},
        {"DTMF-# private",
         {Select(kCidDtmfHash), Click(kCidIdPrivate)},
         {3, kName, kNumber, "04292230", 0x00, 0x60, 0x00, 0x80, 0x3E},
         {{kCidIdNumberEdit, false, false, true}}},
        {"DTMF-C out of area",
         {Select(kCidDtmfC), Click(kCidIdOutOfArea)},
         {2, kName, kNumber, "04292230", 0x00, 0x50, 0x00, 0x80, 0x3E},
         {{kCidIdNumberEdit, false, false, true}}},
        {"MDMF private then SDMF",
         {Select(kCidMdmf), Click(kCidIdPrivate), Select(kCidSdmf)},
         {0, kName, kNumber, "04292230", 0x00, 0x40, 0x00, 0x80, 0x3E},
         {{kCidIdPrivate, false, false, true}, {kCidIdNumberEdit, false, true, true}}},
        {"call waiting then wait for ACK",
         {Click(kCidIdCallWaiting), Click(kCidIdWaitForAck)},
         {0, kName, kNumber, "04292230", 0x00, 0x40, 0x03, 0x80, 0x3E},
         {{kCidIdUseRinger, true, false, false}, {kCidIdWaitForAck, true, true, true}}},
        {"call waiting on and off keeps wait for ACK's bit",
         {Click(kCidIdCallWaiting), Click(kCidIdWaitForAck), Click(kCidIdCallWaiting)},
         {0, kName, kNumber, "04292230", 0x00, 0x40, 0x02, 0x80, 0x3E},
         {{kCidIdUseRinger, true, true, true}, {kCidIdWaitForAck, true, true, false}}},
        {"ringer unchecked",
         {Click(kCidIdUseRinger)},
         {0, kName, kNumber, "04292230", 0x00, 0x00, 0x00, 0x80, 0x3E},
         {}},
        {"50-character name",
         {Name(kName50)},
         {0, kName50.substr(0, 49), kNumber, "04292230", 0x00, 0x40, 0x00, 0x80, 0x3E},
         {}},
        {"4-character date", {Date("0429")}, {0, kName, kNumber, "0429", 0x00, 0x40, 0x00, 0x80, 0x3E}, {}},
        {"empty texts",
         {Name(""), Action{Action::Number, 0, ""}, Date("")},
         {0, "", "", "", 0x00, 0x40, 0x00, 0x80, 0x3E},
         {}},
        {"date sent as typed", {Date("ab cd!?z")}, {0, kName, kNumber, "ab cd!?z", 0x00, 0x40, 0x00, 0x80, 0x3E}, {}},
        {"lowest signal level", {Level(0)}, {0, kName, kNumber, "04292230", 0x00, 0x40, 0x00, 0x00, 0x00}, {}},
        {"highest signal level", {Level(32766)}, {0, kName, kNumber, "04292230", 0x00, 0x40, 0x00, 0xFE, 0x7F}, {}},
    };

    for (const GenerateCase &c : cases) {
        SCOPED_TRACE(c.what);
        Dialog dialog;
        for (const Action &action : c.actions) {
            dialog.Do(action);
            if (testing::Test::HasFatalFailure())
                return;
        }
        EXPECT_EQ(dialog.Generate(), c.record.ToBytes());
        ExpectStates(dialog.model, c.states);
    }
}

TEST(CidGenerator, InitDialogStates)
{
    const std::vector<StateCheck> expected = {
        {kCidIdMessageType, false, true, true},
        {kCidIdSendNumber, false, false, true},
        {kCidIdNumberEdit, false, true, true},
        {kCidIdSendName, false, false, true},
        {kCidIdNameEdit, false, false, true},
        {kCidIdSendDateTime, false, false, true},
        {kCidIdDateEdit, false, true, true},
        {kCidIdSendVisualIndicator, false, false, true},
        {kCidIdLitIndicator, false, false, true},
        {kCidIdGenerate, false, true, true},
        {kCidIdOutOfArea, false, false, true},
        {kCidIdPrivate, false, false, true},
        {kCidIdSignalLevel, false, true, true},
        {kCidIdUseRinger, true, true, true},
        {kCidIdCallWaiting, false, true, true},
        {kCidIdWaitForAck, false, true, false},
    };
    ASSERT_EQ(expected.size(), kCidGenControls.size());

    CidGenInterlocks fresh;
    EXPECT_EQ(fresh.MessageType(), -1);
    EXPECT_FALSE(fresh.State(kCidIdWaitForAck)->visible);
    fresh.InitDialog();
    EXPECT_EQ(fresh.MessageType(), kCidSdmf);
    ExpectStates(fresh, expected);

    // A used model starts again from the same defaults.
    Dialog used;
    for (const Action &action :
         {Select(kCidMdmf), Click(kCidIdOutOfArea), Click(kCidIdCallWaiting), Click(kCidIdLitIndicator)}) {
        used.Do(action);
    }
    used.model.InitDialog();
    EXPECT_EQ(used.model.MessageType(), kCidSdmf);
    ExpectStates(used.model, expected);
}

// Checked/enabled of the ten controls the message type sets; 1077 and the
// edits keep their check state (false for edits).
struct TypeTableRow {
    int id;
    std::array<bool, 4> checked;  // SDMF, MDMF, DTMF-C, DTMF-#
    std::array<bool, 4> enabled;
};

TEST(CidGenerator, MessageTypeTable)
{
    const std::array<TypeTableRow, 9> rows{{
        {kCidIdSendDateTime, {false, true, false, false}, {false, true, false, false}},
        {kCidIdDateEdit, {false, false, false, false}, {true, true, false, false}},
        {kCidIdSendNumber, {false, true, false, false}, {false, true, false, false}},
        {kCidIdNumberEdit, {false, false, false, false}, {true, true, true, true}},
        {kCidIdSendName, {false, true, false, false}, {false, true, false, false}},
        {kCidIdNameEdit, {false, false, false, false}, {false, true, false, false}},
        {kCidIdSendVisualIndicator, {false, false, false, false}, {false, true, false, false}},
        {kCidIdOutOfArea, {false, false, false, false}, {false, true, true, true}},
        {kCidIdPrivate, {false, false, false, false}, {false, true, true, true}},
    }};

    // Start once from the opened dialog and once from an MDMF dialog with
    // every box checked that can be, plus "Call Waiting".
    for (int from = 0; from < 2; ++from) {
        for (int index = 0; index < 4; ++index) {
            SCOPED_TRACE(testing::Message() << "from " << from << " index " << index);
            Dialog dialog;
            if (from == 1) {
                dialog.Do(Select(kCidMdmf));
                for (int id : {kCidIdLitIndicator, kCidIdOutOfArea, kCidIdCallWaiting, kCidIdWaitForAck}) {
                    dialog.Do(Click(id));
                }
                ASSERT_FALSE(testing::Test::HasFatalFailure());
            }
            dialog.model.SetChecked(kCidIdUseRinger, false);
            const bool litBefore = dialog.model.IsChecked(kCidIdLitIndicator);
            const CidControlState callWaitingBefore = *dialog.model.State(kCidIdCallWaiting);
            const CidControlState ackBefore = *dialog.model.State(kCidIdWaitForAck);

            dialog.model.SelchangeMessageType(index);

            EXPECT_EQ(dialog.model.MessageType(), index);
            for (const TypeTableRow &row : rows) {
                const auto state = dialog.model.State(row.id);
                EXPECT_EQ(state->checked, row.checked[index]) << row.id;
                EXPECT_EQ(state->enabled, row.enabled[index]) << row.id;
            }
            const auto lit = dialog.model.State(kCidIdLitIndicator);
            EXPECT_EQ(lit->checked, litBefore);
            EXPECT_EQ(lit->enabled, index == kCidMdmf);
            EXPECT_TRUE(dialog.model.IsChecked(kCidIdUseRinger));
            const auto callWaiting = dialog.model.State(kCidIdCallWaiting);
            const auto ack = dialog.model.State(kCidIdWaitForAck);
            EXPECT_EQ(callWaiting->checked, callWaitingBefore.checked);
            EXPECT_EQ(ack->checked, ackBefore.checked);
            EXPECT_EQ(ack->visible, ackBefore.visible);
        }
    }
}

TEST(CidGenerator, SelectionOutsideTheListOnlyChecksRinger)
{
    for (int index : {-1, 4, 1000}) {
        SCOPED_TRACE(index);
        Dialog dialog;
        dialog.Do(Select(kCidMdmf));
        dialog.Do(Click(kCidIdOutOfArea));
        dialog.Do(Click(kCidIdUseRinger));
        std::vector<StateCheck> before;
        for (const CidControl &control : kCidGenControls) {
            const auto s = *dialog.model.State(control.id);
            before.push_back({control.id, control.id == kCidIdUseRinger ? true : s.checked, s.enabled, s.visible});
        }
        dialog.model.SelchangeMessageType(index);
        ExpectStates(dialog.model, before);
    }
}

struct ExclusiveCase {
    const char *what;
    std::vector<Action> actions;
    std::vector<StateCheck> states;
};

TEST(CidGenerator, OutOfAreaAndPrivateInterlocks)
{
    const std::vector<ExclusiveCase> cases = {
        {"MDMF out of area locks the caller's identity",
         {Select(kCidMdmf), Click(kCidIdOutOfArea)},
         {{kCidIdOutOfArea, true, true, true},
          {kCidIdPrivate, false, true, true},
          {kCidIdSendNumber, true, false, true},
          {kCidIdNumberEdit, false, false, true},
          {kCidIdSendName, true, false, true},
          {kCidIdNameEdit, false, false, true}}},
        {"MDMF private mirrors it",
         {Select(kCidMdmf), Click(kCidIdSendName), Click(kCidIdPrivate)},
         {{kCidIdOutOfArea, false, true, true},
          {kCidIdPrivate, true, true, true},
          {kCidIdSendNumber, true, false, true},
          {kCidIdNumberEdit, false, false, true},
          {kCidIdSendName, false, false, true},
          {kCidIdNameEdit, false, false, true}}},
        {"MDMF out of area off again unlocks",
         {Select(kCidMdmf), Click(kCidIdOutOfArea), Click(kCidIdOutOfArea)},
         {{kCidIdOutOfArea, false, true, true},
          {kCidIdSendNumber, true, true, true},
          {kCidIdNumberEdit, false, true, true},
          {kCidIdSendName, true, true, true},
          {kCidIdNameEdit, false, true, true}}},
        {"MDMF private after out of area, then private off",
         {Select(kCidMdmf), Click(kCidIdOutOfArea), Click(kCidIdPrivate), Click(kCidIdPrivate)},
         {{kCidIdOutOfArea, false, true, true},
          {kCidIdPrivate, false, true, true},
          {kCidIdSendNumber, true, true, true},
          {kCidIdNameEdit, false, true, true}}},
        {"DTMF-C out of area disables only the number edit",
         {Select(kCidDtmfC), Click(kCidIdOutOfArea)},
         {{kCidIdOutOfArea, true, true, true},
          {kCidIdPrivate, false, true, true},
          {kCidIdNumberEdit, false, false, true},
          {kCidIdSendNumber, false, false, true},
          {kCidIdSendName, false, false, true},
          {kCidIdNameEdit, false, false, true}}},
        {"DTMF-C out of area off enables the number edit",
         {Select(kCidDtmfC), Click(kCidIdOutOfArea), Click(kCidIdOutOfArea)},
         {{kCidIdOutOfArea, false, true, true}, {kCidIdNumberEdit, false, true, true}}},
        {"DTMF-# out of area after private",
         {Select(kCidDtmfHash), Click(kCidIdPrivate), Click(kCidIdOutOfArea)},
         {{kCidIdOutOfArea, true, true, true},
          {kCidIdPrivate, false, true, true},
          {kCidIdNumberEdit, false, false, true}}},
        {"DTMF-# private off enables the number edit",
         {Select(kCidDtmfHash), Click(kCidIdPrivate), Click(kCidIdPrivate)},
         {{kCidIdPrivate, false, true, true}, {kCidIdNumberEdit, false, true, true}}},
        {"MDMF out of area, then DTMF-C",
         {Select(kCidMdmf), Click(kCidIdOutOfArea), Select(kCidDtmfC)},
         {{kCidIdOutOfArea, false, true, true}, {kCidIdNumberEdit, false, true, true}}},
    };
    for (const ExclusiveCase &c : cases) {
        SCOPED_TRACE(c.what);
        Dialog dialog;
        for (const Action &action : c.actions) {
            dialog.Do(action);
            if (testing::Test::HasFatalFailure())
                return;
        }
        ExpectStates(dialog.model, c.states);
    }
}

TEST(CidGenerator, VisualIndicatorAndCallWaiting)
{
    const std::vector<ExclusiveCase> cases = {
        {"visual indicator clears date, name, number and ringer",
         {Select(kCidMdmf), Click(kCidIdSendVisualIndicator)},
         {{kCidIdSendDateTime, false, true, true},
          {kCidIdSendName, false, true, true},
          {kCidIdSendNumber, false, true, true},
          {kCidIdUseRinger, false, true, true},
          {kCidIdLitIndicator, false, true, true}}},
        {"unchecking it checks all four, whatever they were",
         {Select(kCidMdmf),
          Click(kCidIdSendNumber),
          Click(kCidIdUseRinger),
          Click(kCidIdSendVisualIndicator),
          Click(kCidIdSendVisualIndicator)},
         {{kCidIdSendDateTime, true, true, true},
          {kCidIdSendName, true, true, true},
          {kCidIdSendNumber, true, true, true},
          {kCidIdUseRinger, true, true, true}}},
        {"visual indicator under call waiting leaves the hidden ringer hidden",
         {Select(kCidMdmf), Click(kCidIdCallWaiting), Click(kCidIdSendVisualIndicator)},
         {{kCidIdUseRinger, false, false, false}, {kCidIdWaitForAck, false, true, true}}},
        {"visual indicator keeps locked boxes disabled",
         {Select(kCidMdmf), Click(kCidIdOutOfArea), Click(kCidIdSendVisualIndicator), Click(kCidIdSendVisualIndicator)},
         {{kCidIdSendNumber, true, false, true}, {kCidIdSendName, true, false, true}}},
        {"call waiting shows an unchecked wait for ACK in the ringer's place",
         {Click(kCidIdCallWaiting)},
         {{kCidIdUseRinger, true, false, false}, {kCidIdWaitForAck, false, true, true}}},
        {"call waiting again unchecks wait for ACK",
         {Click(kCidIdCallWaiting), Click(kCidIdWaitForAck), Click(kCidIdCallWaiting), Click(kCidIdCallWaiting)},
         {{kCidIdUseRinger, true, false, false}, {kCidIdWaitForAck, false, true, true}}},
        {"call waiting off shows the ringer, hides ACK keeping its state",
         {Click(kCidIdCallWaiting), Click(kCidIdWaitForAck), Click(kCidIdCallWaiting)},
         {{kCidIdUseRinger, true, true, true}, {kCidIdWaitForAck, true, true, false}}},
    };
    for (const ExclusiveCase &c : cases) {
        SCOPED_TRACE(c.what);
        Dialog dialog;
        for (const Action &action : c.actions) {
            dialog.Do(action);
            if (testing::Test::HasFatalFailure())
                return;
        }
        ExpectStates(dialog.model, c.states);
    }
}

TEST(CidGenerator, SetCheckedAcceptsOnlyCheckBoxes)
{
    struct Row {
        int id;
        bool accepted;
    };
    const std::array<Row, 7> rows{{{kCidIdMessageType, false},
                                   {kCidIdNumberEdit, false},
                                   {kCidIdGenerate, false},
                                   {kCidIdSignalLevel, false},
                                   {1000, false},
                                   {kCidIdLitIndicator, true},
                                   {kCidIdWaitForAck, true}}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.id);
        CidGenInterlocks model;
        model.InitDialog();
        EXPECT_EQ(model.SetChecked(row.id, true), row.accepted);
        EXPECT_EQ(model.IsChecked(row.id), row.accepted);
    }
    CidGenInterlocks model;
    EXPECT_FALSE(model.State(1000).has_value());
}

// Packing alone: inputs that the dialog's limits would not let through.
struct PackCase {
    const char *what;
    CidGenInputs inputs;
    Expected record;
};

TEST(CidGenRecordPacking, InputsGiveRecordBytes)
{
    static const std::string k60(60, 'x');
    static const std::string kDigits49 = std::string(49, '9');
    static const std::string kWithZero("12\0"
                                       "34",
                                       5);

    auto make = [](auto &&fill) {
        CidGenInputs inputs;
        fill(inputs);
        return inputs;
    };
    const std::vector<PackCase> cases = {
        {"all clear", {}, {0, "", "", "", 0x00, 0x00, 0x00, 0x00, 0x00}},
        {"send name", make([](CidGenInputs &i) { i.sendName = true; }), {0, "", "", "", 0, 0x01, 0, 0, 0}},
        {"send number", make([](CidGenInputs &i) { i.sendNumber = true; }), {0, "", "", "", 0, 0x02, 0, 0, 0}},
        {"send date", make([](CidGenInputs &i) { i.sendDateTime = true; }), {0, "", "", "", 0, 0x04, 0, 0, 0}},
        {"send indicator",
         make([](CidGenInputs &i) { i.sendVisualIndicator = true; }),
         {0, "", "", "", 0, 0x08, 0, 0, 0}},
        {"out of area", make([](CidGenInputs &i) { i.outOfArea = true; }), {0, "", "", "", 0, 0x10, 0, 0, 0}},
        {"private", make([](CidGenInputs &i) { i.privateNumber = true; }), {0, "", "", "", 0, 0x20, 0, 0, 0}},
        {"ringer", make([](CidGenInputs &i) { i.useRinger = true; }), {0, "", "", "", 0, 0x40, 0, 0, 0}},
        {"call waiting", make([](CidGenInputs &i) { i.callWaiting = true; }), {0, "", "", "", 0, 0, 0x01, 0, 0}},
        {"wait for ACK", make([](CidGenInputs &i) { i.waitForAck = true; }), {0, "", "", "", 0, 0, 0x02, 0, 0}},
        {"lit", make([](CidGenInputs &i) { i.indicatorLit = true; }), {0, "", "", "", 0xFF, 0, 0, 0, 0}},
        {"DTMF-#", make([](CidGenInputs &i) { i.msgType = 3; }), {3, "", "", "", 0, 0, 0, 0, 0}},
        {"no selection", make([](CidGenInputs &i) { i.msgType = -1; }), {0xFF, "", "", "", 0, 0, 0, 0, 0}},
        {"49-character number kept whole",
         make([](CidGenInputs &i) { i.number = kDigits49; }),
         {0, "", kDigits49, "", 0, 0, 0, 0, 0}},
        {"60-character texts cut to 49 and 8",
         make([](CidGenInputs &i) {
             i.name = k60;
             i.number = k60;
             i.dateTime = k60;
         }),
         {0, k60.substr(0, 49), k60.substr(0, 49), k60.substr(0, 8), 0, 0, 0, 0, 0}},
        {"texts end at a zero byte",
         make([](CidGenInputs &i) {
             i.name = kWithZero;
             i.number = kWithZero;
             i.dateTime = kWithZero;
         }),
         {0, "12", "12", "12", 0, 0, 0, 0, 0}},
        {"level 16000 little-endian",
         make([](CidGenInputs &i) { i.signalLevel = 16000; }),
         {0, "", "", "", 0, 0, 0, 0x80, 0x3E}},
        {"level 258", make([](CidGenInputs &i) { i.signalLevel = 258; }), {0, "", "", "", 0, 0, 0, 0x02, 0x01}},
        {"level below the range",
         make([](CidGenInputs &i) { i.signalLevel = -5; }),
         {0, "", "", "", 0, 0, 0, 0x00, 0x00}},
        {"level above the range",
         make([](CidGenInputs &i) { i.signalLevel = 70000; }),
         {0, "", "", "", 0, 0, 0, 0xFE, 0x7F}},
    };
    for (const PackCase &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(RecordBytes(PackCidGenRecord(c.inputs)), c.record.ToBytes());
    }
}

}  // namespace
}  // namespace tvx
