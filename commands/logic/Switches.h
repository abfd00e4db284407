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

#include "commands/logic/CommandCodes.h"
#include "commands/logic/MenuIds.h"

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
    PopupPath popup;
    SwitchAction on;   // after the mark has been set
    SwitchAction off;  // after the mark has been cleared
};

inline constexpr std::array<Switch, 14> kSwitches = {{
    {kIdUseHeadSet, kPopupAudio, OnDo(Command::HeadSetOn), OffDo(Command::HeadSetOff)},
    {kIdMuteLine, kPopupAudio, OnDo(Command::LineMuteOn), OffDo(Command::LineMuteOff)},
    {kIdMutePhone, kPopupAudio, OnDo(Command::PhoneMuteOn), OffDo(Command::PhoneMuteOff)},
    {kIdSilentPcAudioStream, kPopupAudio, OnDo(Command::PcAudioSilent), OffDo(Command::PcAudioNormal)},
    {kIdKeypadBeep, kPopupAudio, OnDo(Command::KeypadBeepOn), OffDo(Command::KeypadBeepOff)},
    {kIdEchoSuppression, kPopupAudio, OnDo(Command::EchoSuppressionOn), OffDo(Command::EchoSuppressionOff)},
    {kIdWiretapping, kPopupAudio, OnDo(Command::Wiretapping, 1), OffDo(Command::Wiretapping, 0)},
    {kIdDaaBoost, kPopupAudio, OnDo(Command::DaaBoostOn), OffDo(Command::DaaBoostOff)},
    {kIdCodecBoost, kPopupAudio, OnSpecial(SwitchActionKind::CodecBoost), OffSpecial(SwitchActionKind::CodecBoost)},
    {kIdRing, kPopupRinger, OnDo(Command::RingingOn), OffDo(Command::RingingOff)},
    {kIdGenerateTone, kPopupToneGenerator, OnSpecial(SwitchActionKind::GenerateTone), OffDo(Command::ToneStop)},
    {kIdCidcw, kPopupMisc, OnDo(Command::Cidcw, 1), OffDo(Command::Cidcw, 0)},
    {kIdUsbPhoneOffHook, kPopupMisc, OnDo(Command::HandsetOffHook), OffDo(Command::HandsetOnHook)},
    {kIdGenerateTonesApi,
     kPopupMisc,
     OnSpecial(SwitchActionKind::GenerateTonesApi),
     OffSpecial(SwitchActionKind::GenerateTonesApi)},
}};

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
