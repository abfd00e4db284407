// Numeric ids of menu 136's items, by name: the menu table (MainMenu136.h)
// and every part that handles an item use these names. Every menu action
// carries its id as its object name.
//
// Everything here is constexpr data, usable from any thread.
#pragma once

#include <cstdint>

namespace tvx {

// ---- "&File" ----
inline constexpr uint16_t kIdEraseDevice = 32830;
inline constexpr uint16_t kIdEraseDeviceTvx = 32831;
inline constexpr uint16_t kIdRebootDevice = 32839;
inline constexpr uint16_t kIdExit = 32808;

// ---- "Device &Mode", in menu order ----
inline constexpr uint16_t kIdModePhoneAudioStream = 32770;
inline constexpr uint16_t kIdModePhoneAudioStreamLineDirect = 32771;
inline constexpr uint16_t kIdModeNone = 32772;
inline constexpr uint16_t kIdModePhoneLine = 32773;
inline constexpr uint16_t kIdModePhoneAudioStreamLineHold = 32774;
inline constexpr uint16_t kIdModeLineAudioStream = 32775;
inline constexpr uint16_t kIdModePhoneAudioStreamLine = 32776;
inline constexpr uint16_t kIdModeLineAudioStreamPhoneMonitor = 32777;

// ---- "&Audio" ----
inline constexpr uint16_t kIdUseHeadSet = 32786;
inline constexpr uint16_t kIdMuteLine = 32787;
inline constexpr uint16_t kIdMutePhone = 32788;
inline constexpr uint16_t kIdSilentPcAudioStream = 32837;
inline constexpr uint16_t kIdKeypadBeep = 32789;
inline constexpr uint16_t kIdEchoSuppression = 32835;
inline constexpr uint16_t kIdAuxCodec = 32783;
inline constexpr uint16_t kIdAuxWaveOut = 32784;
inline constexpr uint16_t kIdAuxWaveOutMixedCodec = 32785;
inline constexpr uint16_t kIdWiretapping = 32844;
inline constexpr uint16_t kIdDaaBoost = 32838;
inline constexpr uint16_t kIdCodecBoost = 32840;

// ---- "&DAA Config.", in menu order ----
inline constexpr uint16_t kIdDaaNormal = 32794;
inline constexpr uint16_t kIdDaaComplex = 32795;
inline constexpr uint16_t kIdDaaSpecialPulse = 32796;
inline constexpr uint16_t kIdDaaSpecialPulseComplex = 32797;
inline constexpr uint16_t kIdDaaCtr21 = 32798;
inline constexpr uint16_t kIdDaaCtr21Complex = 32799;

// ---- "&Ringer" ----
inline constexpr uint16_t kIdRinger17Hz = 32790;
inline constexpr uint16_t kIdRinger20Hz = 32791;
inline constexpr uint16_t kIdRinger25Hz = 32792;
inline constexpr uint16_t kIdRinger50Hz = 32793;
inline constexpr uint16_t kIdLoadMelody = 32807;
inline constexpr uint16_t kIdRing = 32810;

// ---- "D&ialing" ----
inline constexpr uint16_t kIdTonesDial = 32800;
inline constexpr uint16_t kIdPulseDial = 32801;
inline constexpr uint16_t kIdMakeBreak39_61At10 = 32803;
inline constexpr uint16_t kIdMakeBreak33_67At10 = 32804;
inline constexpr uint16_t kIdMakeBreak39_61At20 = 32805;
inline constexpr uint16_t kIdMakeBreak33_67At20 = 32806;

// ---- "&Tone Generator" ----
inline constexpr uint16_t kIdToneDialtone = 32811;
inline constexpr uint16_t kIdToneRingBack = 32812;
inline constexpr uint16_t kIdToneBusy = 32813;
inline constexpr uint16_t kIdToneReorder = 32814;
inline constexpr uint16_t kIdToneProceeding = 32815;
inline constexpr uint16_t kIdToneInfiniteBeep = 32816;
inline constexpr uint16_t kIdToneBeep = 32817;
inline constexpr uint16_t kIdToneReceiverOffHook = 32818;
inline constexpr uint16_t kIdGenerateTone = 32829;

// ---- "Mis&c." ----
inline constexpr uint16_t kIdGenerateCallerId = 32827;
inline constexpr uint16_t kIdCidcw = 32828;
inline constexpr uint16_t kIdUsbPhoneOffHook = 32832;
inline constexpr uint16_t kIdGenerateTonesApi = 32825;
inline constexpr uint16_t kIdLedsTest = 32843;
inline constexpr uint16_t kIdDriverEnabled = 32826;
inline constexpr uint16_t kIdReconnect = 32836;

// ---- "Setup" ----
inline constexpr uint16_t kIdDistinctiveRing = 32833;
inline constexpr uint16_t kIdInternationalHardware = 32841;
inline constexpr uint16_t kIdInternationalTones = 32834;
inline constexpr uint16_t kIdHardwareChips = 32842;

// ---- "&Help" ----
inline constexpr uint16_t kIdAbout = 32809;

}  // namespace tvx
