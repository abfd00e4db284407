// The menu's fourteen on/off switches, whose state is their own check mark.
// "Driver Enabled" is not in this table: its state is the driver-enabled flag.
//
// MenuDispatcher flips a switch's mark and runs the action SwitchActionFor
// picks for the mark it had.
//
// Everything here is constexpr data and pure functions, usable from any thread.
#ifndef TVX_COMMANDS_LOGIC_SWITCHES_H
#define TVX_COMMANDS_LOGIC_SWITCHES_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "device/logic/CommandCodes.h"
#include "res/MainMenu136.h"

namespace tvx {

enum class SwitchActionKind : uint8_t {
    DoCommand,         // one ScDoCommand call: `call`
    CodecBoost,        // the CODEC boost register writes for `on`
    GenerateTone,      // start the selected tone (only as an `on` action)
    GenerateTonesApi,  // ScGenerateTones with the four records (`on`) or none (off)
};

struct SwitchAction {
    SwitchActionKind kind;
    bool on;                          // the column the action belongs to
    std::optional<CommandCall> call;  // set for DoCommand only
    constexpr bool operator==(const SwitchAction &) const = default;
};

// Helpers that build table cells.
constexpr SwitchAction OnDo(Command c, int32_t param = 0)
{
    return {SwitchActionKind::DoCommand, true, CommandCall{c, param}};
}
constexpr SwitchAction OffDo(Command c, int32_t param = 0)
{
    return {SwitchActionKind::DoCommand, false, CommandCall{c, param}};
}
constexpr SwitchAction OnSpecial(SwitchActionKind k) { return {k, true, std::nullopt}; }
constexpr SwitchAction OffSpecial(SwitchActionKind k) { return {k, false, std::nullopt}; }

struct Switch {
    uint16_t id;
    SwitchAction on;   // after the mark has been set
    SwitchAction off;  // after the mark has been cleared
    PopupPath popup;   // the pop-up holding the item, from the menu table
};

namespace switches_detail {
consteval Switch Row(uint16_t id, SwitchAction on, SwitchAction off)
{
    return {id, on, off, PopupHolding(res::kMainMenu136, id)};
}
}  // namespace switches_detail

inline constexpr std::array<Switch, 14> kSwitches = [] {
    using switches_detail::Row;
    return std::array<Switch, 14>{{
        Row(kIdUseHeadSet, OnDo(Command::HeadSetOn), OffDo(Command::HeadSetOff)),
        Row(kIdMuteLine, OnDo(Command::LineMuteOn), OffDo(Command::LineMuteOff)),
        Row(kIdMutePhone, OnDo(Command::PhoneMuteOn), OffDo(Command::PhoneMuteOff)),
        Row(kIdSilentPcAudioStream, OnDo(Command::PcAudioSilent), OffDo(Command::PcAudioNormal)),
        Row(kIdKeypadBeep, OnDo(Command::KeypadBeepOn), OffDo(Command::KeypadBeepOff)),
        Row(kIdEchoSuppression, OnDo(Command::EchoSuppressionOn), OffDo(Command::EchoSuppressionOff)),
        Row(kIdWiretapping, OnDo(Command::Wiretapping, 1), OffDo(Command::Wiretapping, 0)),
        Row(kIdDaaBoost, OnDo(Command::DaaBoostOn), OffDo(Command::DaaBoostOff)),
        Row(kIdCodecBoost, OnSpecial(SwitchActionKind::CodecBoost), OffSpecial(SwitchActionKind::CodecBoost)),
        Row(kIdRing, OnDo(Command::RingingOn), OffDo(Command::RingingOff)),
        Row(kIdGenerateTone, OnSpecial(SwitchActionKind::GenerateTone), OffDo(Command::ToneStop)),
        Row(kIdCidcw, OnDo(Command::Cidcw, 1), OffDo(Command::Cidcw, 0)),
        Row(kIdUsbPhoneOffHook, OnDo(Command::HandsetOffHook), OffDo(Command::HandsetOnHook)),
        Row(kIdGenerateTonesApi,
            OnSpecial(SwitchActionKind::GenerateTonesApi),
            OffSpecial(SwitchActionKind::GenerateTonesApi)),
    }};
}();

// The switch with this menu id, or nullptr. Pure.
constexpr const Switch *FindSwitch(uint16_t menuId)
{
    for (const Switch &s : kSwitches)
        if (s.id == menuId)
            return &s;
    return nullptr;
}

// The action to run given the mark as it stood before the click. Pure.
constexpr const SwitchAction &SwitchActionFor(const Switch &s, bool checkedBefore)
{
    return checkedBefore ? s.off : s.on;
}

namespace switches_detail {
constexpr bool ColumnsConsistent()
{
    for (const Switch &s : kSwitches) {
        if (!s.on.on || s.off.on)
            return false;
        if ((s.on.kind == SwitchActionKind::DoCommand) != s.on.call.has_value())
            return false;
        if ((s.off.kind == SwitchActionKind::DoCommand) != s.off.call.has_value())
            return false;
        if (s.off.kind == SwitchActionKind::GenerateTone)
            return false;
    }
    return true;
}
constexpr bool IdsDistinct()
{
    for (std::size_t i = 0; i < kSwitches.size(); ++i)
        for (std::size_t j = i + 1; j < kSwitches.size(); ++j)
            if (kSwitches[i].id == kSwitches[j].id)
                return false;
    return true;
}
}  // namespace switches_detail
static_assert(switches_detail::ColumnsConsistent(), "switch actions match their columns");
static_assert(switches_detail::IdsDistinct(), "one row per switch");

}  // namespace tvx

#endif  // TVX_COMMANDS_LOGIC_SWITCHES_H
