// Numeric ids of the main menu's items and the positions of its pop-ups.
//
// Every menu action carries its id as its object name; the command
// dispatcher and the tests find items by these numbers. Pop-ups are found by
// position in the menu bar (separators count), so the positions below are
// part of the menu's layout.
//
// Everything here is constexpr data, usable from any thread.
#ifndef TVX_COMMANDS_LOGIC_MENUIDS_H
#define TVX_COMMANDS_LOGIC_MENUIDS_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace tvx {

// ---- "&File" (pop-up 0) ----
inline constexpr uint16_t kIdEraseDevice = 32830;     // "Eraze Device"
inline constexpr uint16_t kIdEraseDeviceTvx = 32831;  // "Eraze Device tvx"
inline constexpr uint16_t kIdRebootDevice = 32839;    // "ReBoot Device"
inline constexpr uint16_t kIdExit = 32808;            // "E&xit"

// ---- "Device &Mode" (pop-up 1), in menu order ----
inline constexpr uint16_t kIdModePhoneAudioStream = 32770;
inline constexpr uint16_t kIdModePhoneAudioStreamLineDirect = 32771;
inline constexpr uint16_t kIdModeNone = 32772;
inline constexpr uint16_t kIdModePhoneLine = 32773;  // "Phone -Line (Default)"
inline constexpr uint16_t kIdModePhoneAudioStreamLineHold = 32774;
inline constexpr uint16_t kIdModeLineAudioStream = 32775;
inline constexpr uint16_t kIdModePhoneAudioStreamLine = 32776;
inline constexpr uint16_t kIdModeLineAudioStreamPhoneMonitor = 32777;

// ---- "&Audio" (pop-up 2) ----
inline constexpr uint16_t kIdUseHeadSet = 32786;
inline constexpr uint16_t kIdMuteLine = 32787;
inline constexpr uint16_t kIdMutePhone = 32788;
inline constexpr uint16_t kIdSilentPcAudioStream = 32837;
inline constexpr uint16_t kIdKeypadBeep = 32789;  // "USB Phone - Keypad Beep"
inline constexpr uint16_t kIdEchoSuppression = 32835;
inline constexpr uint16_t kIdAuxCodec = 32783;              // 2.7.0 "CODEC"
inline constexpr uint16_t kIdAuxWaveOut = 32784;            // 2.7.1 "Wave Out"
inline constexpr uint16_t kIdAuxWaveOutMixedCodec = 32785;  // 2.7.2
inline constexpr uint16_t kIdWiretapping = 32844;
inline constexpr uint16_t kIdDaaBoost = 32838;
inline constexpr uint16_t kIdCodecBoost = 32840;

// ---- "&DAA Config." (pop-up 3), in menu order ----
inline constexpr uint16_t kIdDaaNormal = 32794;  // "Normal (US/Canada)"
inline constexpr uint16_t kIdDaaComplex = 32795;
inline constexpr uint16_t kIdDaaSpecialPulse = 32796;
inline constexpr uint16_t kIdDaaSpecialPulseComplex = 32797;
inline constexpr uint16_t kIdDaaCtr21 = 32798;
inline constexpr uint16_t kIdDaaCtr21Complex = 32799;

// ---- "&Ringer" (pop-up 4) ----
inline constexpr uint16_t kIdRinger17Hz = 32790;  // 4.0.0
inline constexpr uint16_t kIdRinger20Hz = 32791;
inline constexpr uint16_t kIdRinger25Hz = 32792;  // "25Hz (Default)"
inline constexpr uint16_t kIdRinger50Hz = 32793;
inline constexpr uint16_t kIdLoadMelody = 32807;
inline constexpr uint16_t kIdRing = 32810;

// ---- "D&ialing" (pop-up 5) ----
inline constexpr uint16_t kIdTonesDial = 32800;
inline constexpr uint16_t kIdPulseDial = 32801;
inline constexpr uint16_t kIdMakeBreak39_61At10 = 32803;  // 5.3.0 "39/61 @ 10 PPS US and Canada"
inline constexpr uint16_t kIdMakeBreak33_67At10 = 32804;  // "33/67 @ 10 PPS UK and HK"
inline constexpr uint16_t kIdMakeBreak39_61At20 = 32805;  // "39/61 @ 20 PPS"
inline constexpr uint16_t kIdMakeBreak33_67At20 = 32806;  // "33/67 @ 20 PPS Japan"

// ---- "&Tone Generator" (pop-up 6) ----
inline constexpr uint16_t kIdToneDialtone = 32811;
inline constexpr uint16_t kIdToneRingBack = 32812;
inline constexpr uint16_t kIdToneBusy = 32813;
inline constexpr uint16_t kIdToneReorder = 32814;
inline constexpr uint16_t kIdToneProceeding = 32815;
inline constexpr uint16_t kIdToneInfiniteBeep = 32816;
inline constexpr uint16_t kIdToneBeep = 32817;
inline constexpr uint16_t kIdToneReceiverOffHook = 32818;
inline constexpr uint16_t kIdGenerateTone = 32829;

// ---- "Mis&c." (pop-up 7) ----
inline constexpr uint16_t kIdGenerateCallerId = 32827;  // "Generate Caller ID ..."
inline constexpr uint16_t kIdCidcw = 32828;
inline constexpr uint16_t kIdUsbPhoneOffHook = 32832;   // "USB Phone - Off H&ook"
inline constexpr uint16_t kIdGenerateTonesApi = 32825;  // "ScGenerateTones() API"
inline constexpr uint16_t kIdLedsTest = 32843;
inline constexpr uint16_t kIdDriverEnabled = 32826;
inline constexpr uint16_t kIdReconnect = 32836;

// ---- "Setup" (pop-up 8) ----
inline constexpr uint16_t kIdDistinctiveRing = 32833;
inline constexpr uint16_t kIdInternationalHardware = 32841;
inline constexpr uint16_t kIdInternationalTones = 32834;
inline constexpr uint16_t kIdHardwareChips = 32842;

// ---- "&Help" (pop-up 9) ----
inline constexpr uint16_t kIdAbout = 32809;

// Every item id of the menu, in menu order (for checks and tests).
inline constexpr std::array<uint16_t, 63> kAllMenuIds = {
    kIdEraseDevice,
    kIdEraseDeviceTvx,
    kIdRebootDevice,
    kIdExit,
    kIdModePhoneAudioStream,
    kIdModePhoneAudioStreamLineDirect,
    kIdModeNone,
    kIdModePhoneLine,
    kIdModePhoneAudioStreamLineHold,
    kIdModeLineAudioStream,
    kIdModePhoneAudioStreamLine,
    kIdModeLineAudioStreamPhoneMonitor,
    kIdUseHeadSet,
    kIdMuteLine,
    kIdMutePhone,
    kIdSilentPcAudioStream,
    kIdKeypadBeep,
    kIdEchoSuppression,
    kIdAuxCodec,
    kIdAuxWaveOut,
    kIdAuxWaveOutMixedCodec,
    kIdWiretapping,
    kIdDaaBoost,
    kIdCodecBoost,
    kIdDaaNormal,
    kIdDaaComplex,
    kIdDaaSpecialPulse,
    kIdDaaSpecialPulseComplex,
    kIdDaaCtr21,
    kIdDaaCtr21Complex,
    kIdRinger17Hz,
    kIdRinger20Hz,
    kIdRinger25Hz,
    kIdRinger50Hz,
    kIdLoadMelody,
    kIdRing,
    kIdTonesDial,
    kIdPulseDial,
    kIdMakeBreak39_61At10,
    kIdMakeBreak33_67At10,
    kIdMakeBreak39_61At20,
    kIdMakeBreak33_67At20,
    kIdToneDialtone,
    kIdToneRingBack,
    kIdToneBusy,
    kIdToneReorder,
    kIdToneProceeding,
    kIdToneInfiniteBeep,
    kIdToneBeep,
    kIdToneReceiverOffHook,
    kIdGenerateTone,
    kIdGenerateCallerId,
    kIdCidcw,
    kIdUsbPhoneOffHook,
    kIdGenerateTonesApi,
    kIdLedsTest,
    kIdDriverEnabled,
    kIdReconnect,
    kIdDistinctiveRing,
    kIdInternationalHardware,
    kIdInternationalTones,
    kIdHardwareChips,
    kIdAbout,
};

namespace menu_ids_detail {
constexpr bool AllDistinct()
{
    for (std::size_t i = 0; i < kAllMenuIds.size(); ++i)
        for (std::size_t j = i + 1; j < kAllMenuIds.size(); ++j)
            if (kAllMenuIds[i] == kAllMenuIds[j])
                return false;
    return true;
}
}  // namespace menu_ids_detail
static_assert(menu_ids_detail::AllDistinct(), "menu ids must be distinct");

// Position of a pop-up: its place in the menu bar, and for a nested pop-up
// its place inside that pop-up (separators count). Written {4} or {4, 0}.
struct PopupPath {
    uint8_t depth = 0;             // 1 for a top pop-up, 2 for a nested one
    std::array<uint8_t, 2> pos{};  // pos[0] in the bar, pos[1] inside it

    constexpr PopupPath(int top) : depth(1), pos{static_cast<uint8_t>(top), 0} {}
    constexpr PopupPath(int top, int sub) : depth(2), pos{static_cast<uint8_t>(top), static_cast<uint8_t>(sub)} {}
    constexpr bool operator==(const PopupPath &) const = default;
};

inline constexpr PopupPath kPopupFile{0};
inline constexpr PopupPath kPopupDeviceMode{1};
inline constexpr PopupPath kPopupAudio{2};
inline constexpr PopupPath kPopupAuxAudio{2, 7};
inline constexpr PopupPath kPopupDaa{3};
inline constexpr PopupPath kPopupRinger{4};
inline constexpr PopupPath kPopupRingerFrequency{4, 0};
inline constexpr PopupPath kPopupDialing{5};
inline constexpr PopupPath kPopupMakeBreak{5, 3};
inline constexpr PopupPath kPopupToneGenerator{6};
inline constexpr PopupPath kPopupMisc{7};
inline constexpr PopupPath kPopupSetup{8};
inline constexpr PopupPath kPopupHelp{9};

}  // namespace tvx

#endif  // TVX_COMMANDS_LOGIC_MENUIDS_H
