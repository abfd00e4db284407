// The tone generator's tone selection (ids kIdToneDialtone..kIdToneReceiverOffHook)
// and the command that starts each tone.
//
// The selected tone t is 0..7, the position of the chosen item in the id
// range. MenuDispatcher starts the selected tone with ToneStartCommand.
//
// Everything here is constexpr data and pure functions, usable from any thread.
#ifndef TVX_COMMANDS_LOGIC_TONESELECTION_H
#define TVX_COMMANDS_LOGIC_TONESELECTION_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "device/logic/CommandCodes.h"
#include "res/MainMenu136.h"

namespace tvx {

inline constexpr uint16_t kToneFirstId = kIdToneDialtone;
inline constexpr uint16_t kToneLastId = kIdToneReceiverOffHook;
inline constexpr int kToneCount = kToneLastId - kToneFirstId + 1;
inline constexpr PopupPath kTonePopup = kPopupToneGenerator;

// How each tone is started, by tone number.
inline constexpr std::array<CommandCall, 8> kToneStartCalls = {{
    {Command::ToneDialtone, 0},    // 0 "Dialtone"
    {Command::ToneRingBack, 0},    // 1 "Ring Back"
    {Command::ToneBusy, 0},        // 2 "Busy"
    {Command::ToneReorder, 0},     // 3 "Reorder"
    {Command::ToneProceeding, 0},  // 4 "Proceeding"
    {Command::ToneBeep, 0},        // 5 "Infinite Beep"
    {Command::ToneBeep, 1},        // 6 "Beep"
    {Command::ToneBeep, 2},        // 7 "Receiver Off-Hook"
}};

inline constexpr CommandCall kToneStopCall{Command::ToneStop, 0};

// Tone number (0..7) of a menu id, or none if the id is not a tone. Pure.
constexpr std::optional<int> ToneIndexFromId(uint16_t menuId)
{
    if (menuId < kToneFirstId || menuId > kToneLastId)
        return std::nullopt;
    return menuId - kToneFirstId;
}

// The call that starts tone t (0..7), or none for any other t. Pure.
constexpr std::optional<CommandCall> ToneStartCommand(int t)
{
    if (t < 0 || t >= kToneCount)
        return std::nullopt;
    return kToneStartCalls[static_cast<std::size_t>(t)];
}

static_assert(kToneCount == static_cast<int>(kToneStartCalls.size()));
// Tones 0..4 are code t * 16 + 12 with parameter 0; 5..7 are code 108 with t - 5.
static_assert([] {
    for (int t = 0; t < kToneCount; ++t) {
        const CommandCall c = *ToneStartCommand(t);
        if (t < 5 && (c.code() != t * 16 + 12 || c.param != 0))
            return false;
        if (t >= 5 && (c.code() != 108 || c.param != t - 5))
            return false;
    }
    return kToneStopCall.code() == 124;
}());

}  // namespace tvx

#endif  // TVX_COMMANDS_LOGIC_TONESELECTION_H
