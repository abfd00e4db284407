// The menu's six selection groups: sets of mutually exclusive items of which
// exactly one carries a check mark.
//
// For the five device groups the chosen item's code is the first item's code
// plus 16 per position (item number * 16 + group). The dialling method group
// sends nothing; its check mark is the dialling method.
//
// MenuDispatcher binds every item of the groups, sends the chosen item's
// command (SelectionCommand) and moves the group's check mark, and marks the
// default items at each open.
//
// Everything here is constexpr data and pure functions, usable from any thread.
#ifndef TVX_COMMANDS_LOGIC_SELECTIONGROUPS_H
#define TVX_COMMANDS_LOGIC_SELECTIONGROUPS_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "device/logic/CommandCodes.h"
#include "res/MainMenu136.h"

namespace tvx {

enum class SelectionGroupId : uint8_t {
    DeviceMode,
    Daa,
    RingerFrequency,
    MakeBreak,
    AuxiliaryAudio,
    DiallingMethod,
};

struct SelectionGroup {
    SelectionGroupId id;
    const char *name;
    uint16_t firstId;  // ids firstId..lastId, inclusive, in menu order
    uint16_t lastId;
    std::optional<Command> firstCommand;  // command of firstId; none: no device call
    uint16_t defaultId;                   // made the pop-up's default item at each device open
    PopupPath popup;                      // the pop-up holding the group's items, from the menu table
    constexpr int count() const { return lastId - firstId + 1; }
    constexpr bool contains(uint16_t menuId) const { return menuId >= firstId && menuId <= lastId; }
};

namespace selection_groups_detail {
consteval SelectionGroup Group(SelectionGroupId id, const char *name, uint16_t firstId, uint16_t lastId,
                               std::optional<Command> firstCommand, uint16_t defaultId)
{
    return {id, name, firstId, lastId, firstCommand, defaultId, PopupHolding(res::kMainMenu136, firstId)};
}
}  // namespace selection_groups_detail

// In the order in which an open marks their default items.
inline constexpr std::array<SelectionGroup, 6> kSelectionGroups = [] {
    using selection_groups_detail::Group;
    using enum SelectionGroupId;
    return std::array<SelectionGroup, 6>{{
        Group(DeviceMode,
              "device mode",
              kIdModePhoneAudioStream,
              kIdModeLineAudioStreamPhoneMonitor,
              Command::ModePhoneAudioStream,
              kIdModePhoneLine),
        Group(Daa, "DAA", kIdDaaNormal, kIdDaaCtr21Complex, Command::DaaNormal, kIdDaaNormal),
        Group(RingerFrequency, "ringer frequency", kIdRinger17Hz, kIdRinger50Hz, Command::Ringer17Hz, kIdRinger25Hz),
        Group(MakeBreak,
              "make/break",
              kIdMakeBreak39_61At10,
              kIdMakeBreak33_67At20,
              Command::MakeBreak39_61At10,
              kIdMakeBreak39_61At10),
        Group(AuxiliaryAudio, "auxiliary audio", kIdAuxCodec, kIdAuxWaveOutMixedCodec, Command::AuxCodec, kIdAuxCodec),
        Group(DiallingMethod, "dialling method", kIdTonesDial, kIdPulseDial, std::nullopt, kIdTonesDial),
    }};
}();

// The group whose id range holds menuId, or nullptr. Pure.
constexpr const SelectionGroup *FindSelectionGroup(uint16_t menuId)
{
    for (const SelectionGroup &g : kSelectionGroups)
        if (g.contains(menuId))
            return &g;
    return nullptr;
}

// The command of the item menuId of group g: none for the dialling method
// group or for an id outside g. Pure.
constexpr std::optional<Command> SelectionCommand(const SelectionGroup &g, uint16_t menuId)
{
    if (!g.firstCommand || !g.contains(menuId))
        return std::nullopt;
    return CommandFromCode(CommandCode(*g.firstCommand) + 16 * (menuId - g.firstId));
}

// A resolved menu choice inside a selection group.
struct SelectionChoice {
    const SelectionGroup *group;     // never nullptr
    int index;                       // menuId - group->firstId
    std::optional<Command> command;  // to send with parameter 0; none for dialling method
};

// Group, position and command of menuId, or none if it is in no group. Pure.
constexpr std::optional<SelectionChoice> ResolveSelection(uint16_t menuId)
{
    // A loop rather than FindSelectionGroup: comparing a global's address with
    // nullptr is not a constant expression under the sanitizers.
    for (const SelectionGroup &g : kSelectionGroups)
        if (g.contains(menuId))
            return SelectionChoice{&g, menuId - g.firstId, SelectionCommand(g, menuId)};
    return std::nullopt;
}

// ---- compile-time checks ----
namespace selection_groups_detail {
constexpr bool RangesDisjoint()
{
    for (std::size_t i = 0; i < kSelectionGroups.size(); ++i)
        for (std::size_t j = i + 1; j < kSelectionGroups.size(); ++j)
            if (kSelectionGroups[i].firstId <= kSelectionGroups[j].lastId &&
                kSelectionGroups[j].firstId <= kSelectionGroups[i].lastId)
                return false;
    return true;
}
// Every item of a device group maps to a command of the table.
constexpr bool EveryItemHasCommand()
{
    for (const SelectionGroup &g : kSelectionGroups) {
        if (!g.firstCommand)
            continue;
        for (int id = g.firstId; id <= g.lastId; ++id)
            if (!SelectionCommand(g, static_cast<uint16_t>(id)))
                return false;
    }
    return true;
}

constexpr bool DefaultsInside()
{
    for (const SelectionGroup &g : kSelectionGroups)
        if (!g.contains(g.defaultId))
            return false;
    return true;
}
}  // namespace selection_groups_detail

static_assert(selection_groups_detail::RangesDisjoint(), "selection groups do not overlap");
static_assert(selection_groups_detail::DefaultsInside(), "each default item is one of its group");
static_assert(selection_groups_detail::EveryItemHasCommand(), "each device item has a code");
static_assert(CommandCode(*ResolveSelection(kIdRinger17Hz)->command) == 68);
static_assert(CommandCode(*ResolveSelection(kIdAuxWaveOutMixedCodec)->command) == 110);
static_assert(!ResolveSelection(kIdPulseDial)->command);
static_assert(ResolveSelection(kIdPulseDial)->index == 1);

}  // namespace tvx

#endif  // TVX_COMMANDS_LOGIC_SELECTIONGROUPS_H
