// Packing of the caller-ID generator's control values into the record that
// ScGenerateETSI_CID takes. Pure logic, no Qt; callable from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "device/logic/LibraryRecords.h"

namespace tvx {

// Everything the "&Generate" click reads from the dialog, as plain values.
// Texts are 8-bit characters (one byte per character, the system's 8-bit
// code page); a text is taken up to its first zero byte, if it has one.
struct CidGenInputs {
    int msgType = 0;                   // selected index of 1089 (0 SDMF .. 3 DTMF-#), stored as one byte
    std::string_view name;             // name edit 1086
    std::string_view number;           // number edit 1085
    std::string_view dateTime;         // date edit 1087
    bool indicatorLit = false;         // 1077 "Lit Visual Indicator"
    bool sendName = false;             // 1091, sendFlags bit 0
    bool sendNumber = false;           // 1090, sendFlags bit 1
    bool sendDateTime = false;         // 1092, sendFlags bit 2
    bool sendVisualIndicator = false;  // 1093, sendFlags bit 3
    bool outOfArea = false;            // 1094, sendFlags bit 4
    bool privateNumber = false;        // 1095, sendFlags bit 5
    bool useRinger = false;            // 1078, sendFlags bit 6
    bool callWaiting = false;          // 1097, callFlags bit 0
    bool waitForAck = false;           // 1098, callFlags bit 1
    int signalLevel = 0;               // trackbar 1096 position
};

// Largest number of text characters kept in `name` and in `number`: each
// 50-byte field keeps a terminating zero.
inline constexpr std::size_t kCidTextMaxChars = sizeof(CidGenRecord::name) - 1;
// Trackbar range of the signal level; PackCidGenRecord clamps to it.
inline constexpr int kCidSignalLevelMin = 0;
inline constexpr int kCidSignalLevelMax = 32766;

// Builds the record from the inputs:
// - every byte starts at 0;
// - msgType = low 8 bits of inputs.msgType (no selection, -1, gives 0xFF);
// - name/number: at most 49 bytes, zero-terminated, nameLen/numberLen = bytes kept;
// - dateTime: at most 8 bytes, no terminator, unused bytes stay 0;
// - indicatorLit 0xFF or 0x00; sendFlags and callFlags as the bits above;
// - signalLevel clamped to 0..32766, stored little-endian whatever the host.
// The state of a box counts whatever its enabled or visible state.
CidGenRecord PackCidGenRecord(const CidGenInputs &inputs) noexcept;

}  // namespace tvx
