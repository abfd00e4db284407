#include "commands/logic/SelectionGroups.h"

#include <gtest/gtest.h>

#include <vector>

namespace tvx {
namespace {

struct ExpectedGroup {
    SelectionGroupId id;
    PopupPath popup;
    uint16_t firstId;
    uint16_t lastId;
    std::vector<int32_t> codes;  // in id order; empty: no device call
};

// The six selection groups, item by item.
const std::vector<ExpectedGroup> kExpected = {
    {SelectionGroupId::DeviceMode, {1}, 32770, 32777, {10, 26, 42, 58, 74, 90, 106, 122}},
    {SelectionGroupId::Daa, {3}, 32794, 32799, {3, 19, 35, 51, 67, 83}},
    {SelectionGroupId::RingerFrequency, {4, 0}, 32790, 32793, {68, 84, 100, 116}},
    {SelectionGroupId::MakeBreak, {5, 3}, 32803, 32806, {13, 29, 45, 61}},
    {SelectionGroupId::AuxiliaryAudio, {2, 7}, 32783, 32785, {78, 94, 110}},
    {SelectionGroupId::DiallingMethod, {5}, 32800, 32801, {}},
};

TEST(SelectionGroups, EveryIdResolvesToItsGroupAndCode)
{
    ASSERT_EQ(kSelectionGroups.size(), kExpected.size());
    for (const ExpectedGroup &e : kExpected) {
        for (int id = e.firstId; id <= e.lastId; ++id) {
            SCOPED_TRACE(id);
            const auto choice = ResolveSelection(static_cast<uint16_t>(id));
            ASSERT_TRUE(choice.has_value());
            EXPECT_EQ(choice->group->id, e.id);
            EXPECT_EQ(choice->group->popup, e.popup);
            EXPECT_EQ(choice->group->firstId, e.firstId);
            EXPECT_EQ(choice->group->lastId, e.lastId);
            EXPECT_EQ(choice->index, id - e.firstId);
            if (e.codes.empty()) {
                EXPECT_FALSE(choice->command.has_value());
            } else {
                ASSERT_EQ(static_cast<std::size_t>(choice->group->count()), e.codes.size());
                ASSERT_TRUE(choice->command.has_value());
                EXPECT_EQ(CommandCode(*choice->command), e.codes[static_cast<std::size_t>(id - e.firstId)]);
                EXPECT_EQ(CommandInfo(*choice->command).param, ParamRule::Zero);
            }
        }
    }
}

TEST(SelectionGroups, NoOtherIdBelongsToAGroup)
{
    int resolved = 0;
    for (uint32_t id = 0; id <= 0xFFFF; ++id) {
        if (ResolveSelection(static_cast<uint16_t>(id)))
            ++resolved;
    }
    EXPECT_EQ(resolved, 8 + 6 + 4 + 4 + 3 + 2);
    // Neighbours of the ranges and the other menu items are not in any group.
    for (uint16_t id : {32769, 32778, 32782, 32786, 32789, 32802, 32807, 32810, 32811})
        EXPECT_EQ(FindSelectionGroup(id), nullptr) << id;
}

TEST(SelectionGroups, QuotedChoices)
{
    struct Case {
        uint16_t id;
        int32_t code;
    };
    const Case cases[] = {
        {kIdRinger17Hz, 68},
        {kIdAuxCodec, 78},
        {kIdAuxWaveOut, 94},
        {kIdAuxWaveOutMixedCodec, 110},
        {kIdModePhoneLine, 58},
    };
    for (const Case &c : cases) {
        const auto choice = ResolveSelection(c.id);
        ASSERT_TRUE(choice && choice->command) << c.id;
        EXPECT_EQ(CommandCode(*choice->command), c.code) << c.id;
    }
    const auto pulse = ResolveSelection(kIdPulseDial);
    ASSERT_TRUE(pulse.has_value());
    EXPECT_FALSE(pulse->command.has_value());
    EXPECT_EQ(pulse->index, 1);
    EXPECT_EQ(ResolveSelection(kIdTonesDial)->index, 0);
}

TEST(SelectionGroups, CommandOfAnIdOutsideTheGroupIsNone)
{
    const SelectionGroup &daa = *FindSelectionGroup(kIdDaaNormal);
    EXPECT_FALSE(SelectionCommand(daa, kIdRinger17Hz).has_value());
    EXPECT_FALSE(SelectionCommand(daa, kIdDaaCtr21Complex + 1).has_value());
    EXPECT_TRUE(SelectionCommand(daa, kIdDaaCtr21Complex).has_value());
}

}  // namespace
}  // namespace tvx
