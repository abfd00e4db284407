// Menu 136: the main dialog's menu. Positions (separators included) bind:
// commands find their pop-ups by position, and those positions are taken
// from this table below.
#pragma once

#include "res/Menu.h"
#include "res/MenuIds.h"

#include <array>
#include <cstddef>

namespace tvx::res {

namespace menu_rows {
constexpr MenuEntry P(uint8_t depth, const char *text) { return {depth, MenuKind::Popup, 0, text, false}; }
constexpr MenuEntry I(uint8_t depth, uint16_t id, const char *text, bool checked = false)
{
    return {depth, MenuKind::Item, id, text, checked};
}
constexpr MenuEntry S(uint8_t depth) { return {depth, MenuKind::Separator, 0, "", false}; }
}  // namespace menu_rows

inline constexpr bool kChecked = true;

inline constexpr MenuEntry kMainMenu136[] = {
    menu_rows::P(0, "&File"),
    menu_rows::I(1, kIdEraseDevice, "Eraze Device"),
    menu_rows::I(1, kIdEraseDeviceTvx, "Eraze Device tvx"),
    menu_rows::S(1),
    menu_rows::I(1, kIdRebootDevice, "ReBoot Device"),
    menu_rows::S(1),
    menu_rows::I(1, kIdExit, "E&xit"),

    menu_rows::P(0, "Device &Mode"),
    menu_rows::I(1, kIdModePhoneAudioStream, "Phone - Audio Stream"),
    menu_rows::I(1, kIdModePhoneAudioStreamLineDirect, "Phone - Audio Stream - Line (Direct)"),
    menu_rows::I(1, kIdModeNone, "None"),
    menu_rows::I(1, kIdModePhoneLine, "Phone -Line (Default)", kChecked),
    menu_rows::I(1, kIdModePhoneAudioStreamLineHold, "Phone - Audio Stream, Line Hold"),
    menu_rows::I(1, kIdModeLineAudioStream, "Line - Audio Stream"),
    menu_rows::I(1, kIdModePhoneAudioStreamLine, "Phone - Audio Stream - Line"),
    menu_rows::I(1, kIdModeLineAudioStreamPhoneMonitor, "Line Audio Stream, Phone Monitor"),

    menu_rows::P(0, "&Audio"),
    menu_rows::I(1, kIdUseHeadSet, "Use Head Set"),
    menu_rows::I(1, kIdMuteLine, "Mute line"),
    menu_rows::I(1, kIdMutePhone, "Mute Phone"),
    menu_rows::I(1, kIdSilentPcAudioStream, "Silent PC Audio Stream"),
    menu_rows::I(1, kIdKeypadBeep, "USB Phone - Keypad Beep"),
    menu_rows::I(1, kIdEchoSuppression, "Echo Supression", kChecked),
    menu_rows::S(1),
    menu_rows::P(1, "Auxilary Audio Content"),
    menu_rows::I(2, kIdAuxCodec, "CODEC", kChecked),
    menu_rows::I(2, kIdAuxWaveOut, "Wave Out"),
    menu_rows::I(2, kIdAuxWaveOutMixedCodec, "Wave Out Mixed with CODEC"),
    menu_rows::S(1),
    menu_rows::I(1, kIdWiretapping, "Wiretapping"),
    menu_rows::S(1),
    menu_rows::I(1, kIdDaaBoost, "DAA Boost"),
    menu_rows::I(1, kIdCodecBoost, "CODEC Boost"),

    menu_rows::P(0, "&DAA Config."),
    menu_rows::I(1, kIdDaaNormal, "Normal (US/Canada)", kChecked),
    menu_rows::I(1, kIdDaaComplex, "Complex"),
    menu_rows::I(1, kIdDaaSpecialPulse, "Special Pulse dialing"),
    menu_rows::I(1, kIdDaaSpecialPulseComplex, "Special Pulse dialing / Complex"),
    menu_rows::I(1, kIdDaaCtr21, "CTR21"),
    menu_rows::I(1, kIdDaaCtr21Complex, "CTR21 / Complex"),

    menu_rows::P(0, "&Ringer"),
    menu_rows::P(1, "Frequency"),
    menu_rows::I(2, kIdRinger17Hz, "17Hz"),
    menu_rows::I(2, kIdRinger20Hz, "20Hz"),
    menu_rows::I(2, kIdRinger25Hz, "25Hz (Default)", kChecked),
    menu_rows::I(2, kIdRinger50Hz, "50Hz"),
    menu_rows::I(1, kIdLoadMelody, "Load Melody ..."),
    menu_rows::S(1),
    menu_rows::I(1, kIdRing, "Ring"),

    menu_rows::P(0, "D&ialing"),
    menu_rows::I(1, kIdTonesDial, "Tones Dial", kChecked),
    menu_rows::I(1, kIdPulseDial, "Pulse Dial"),
    menu_rows::S(1),
    menu_rows::P(1, "Pulse Dial Make/Break"),
    menu_rows::I(2, kIdMakeBreak39_61At10, "39/61 @ 10 PPS US and Canada", kChecked),
    menu_rows::I(2, kIdMakeBreak33_67At10, "33/67 @ 10 PPS UK and HK"),
    menu_rows::I(2, kIdMakeBreak39_61At20, "39/61 @ 20 PPS"),
    menu_rows::I(2, kIdMakeBreak33_67At20, "33/67 @ 20 PPS Japan"),

    menu_rows::P(0, "&Tone Generator"),
    menu_rows::I(1, kIdToneDialtone, "Dialtone", kChecked),
    menu_rows::I(1, kIdToneRingBack, "Ring Back"),
    menu_rows::I(1, kIdToneBusy, "Busy"),
    menu_rows::I(1, kIdToneReorder, "Reorder"),
    menu_rows::I(1, kIdToneProceeding, "Proceeding"),
    menu_rows::S(1),
    menu_rows::I(1, kIdToneInfiniteBeep, "Infinite Beep"),
    menu_rows::I(1, kIdToneBeep, "Beep"),
    menu_rows::I(1, kIdToneReceiverOffHook, "Receiver Off-Hook"),
    menu_rows::S(1),
    menu_rows::I(1, kIdGenerateTone, "Generate Tone"),

    menu_rows::P(0, "Mis&c."),
    menu_rows::I(1, kIdGenerateCallerId, "Generate Caller ID ..."),
    menu_rows::I(1, kIdCidcw, "CIDCW"),
    menu_rows::I(1, kIdUsbPhoneOffHook, "USB Phone - Off H&ook"),
    menu_rows::I(1, kIdGenerateTonesApi, "ScGenerateTones() API"),
    menu_rows::I(1, kIdLedsTest, "LEDs Test ..."),
    menu_rows::S(1),
    menu_rows::I(1, kIdDriverEnabled, "Driver Enabled", kChecked),
    menu_rows::S(1),
    menu_rows::I(1, kIdReconnect, "ReConnect"),

    menu_rows::P(0, "Setup"),
    menu_rows::I(1, kIdDistinctiveRing, "Distinctive Ring Patterns ..."),
    menu_rows::I(1, kIdInternationalHardware, "International Hardware ..."),
    menu_rows::I(1, kIdInternationalTones, "International Tones ..."),
    menu_rows::S(1),
    menu_rows::I(1, kIdHardwareChips, "Hardware Chips ..."),

    menu_rows::P(0, "&Help"),
    menu_rows::I(1, kIdAbout, "About ..."),
};

}  // namespace tvx::res

namespace tvx {

// The pop-ups the commands name, each found as the one that holds an item.
inline constexpr PopupPath kPopupAudio = PopupHolding(res::kMainMenu136, kIdKeypadBeep);
inline constexpr PopupPath kPopupToneGenerator = PopupHolding(res::kMainMenu136, kIdGenerateTone);
inline constexpr PopupPath kPopupMisc = PopupHolding(res::kMainMenu136, kIdDriverEnabled);

namespace menu_detail {
constexpr std::size_t ItemCount(std::span<const res::MenuEntry> menu)
{
    std::size_t count = 0;
    for (const res::MenuEntry &entry : menu)
        count += entry.kind == res::MenuKind::Item ? 1 : 0;
    return count;
}
}  // namespace menu_detail

// Every item id of the menu, in menu order.
inline constexpr auto kAllMenuIds = [] {
    std::array<uint16_t, menu_detail::ItemCount(res::kMainMenu136)> ids{};
    std::size_t next = 0;
    for (const res::MenuEntry &entry : res::kMainMenu136)
        if (entry.kind == res::MenuKind::Item)
            ids[next++] = entry.id;
    return ids;
}();

static_assert(
    [] {
        for (std::size_t i = 0; i < kAllMenuIds.size(); ++i)
            for (std::size_t j = i + 1; j < kAllMenuIds.size(); ++j)
                if (kAllMenuIds[i] == kAllMenuIds[j])
                    return false;
        return true;
    }(),
    "menu ids are distinct");

}  // namespace tvx
