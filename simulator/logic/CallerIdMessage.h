// Caller-ID messages as they go on the wire: SDMF and MDMF messages of
// type, length, parameters and checksum, and DTMF caller ID strings.
//
// SDMF: 0x04 with the date and time "MMDDhhmm" and the number (or "O" out
// of area, "P" private), or 0x06 message waiting (0x42 x3 on, 0x6F x3 off).
// MDMF: 0x80 call set-up, or 0x82 message waiting when a visual indicator
// is sent, with the parameters 0x01 date and time, 0x02 calling number or
// 0x04 reason for its absence, 0x07 name or 0x08 reason for its absence,
// 0x0B visual indicator (0xFF on, 0x00 off). The checksum byte makes the
// sum of all bytes 0 modulo 256.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tvxsim {

enum class CidFormat : uint8_t {
    Sdmf,
    Mdmf,
};

// Bell 202 (mark 1200 Hz, space 2200 Hz) or V.23 (mark 1300 Hz, space 2100 Hz).
enum class CidModem : uint8_t {
    Bell202,
    V23,
};

// The message types, the first byte of every message.
inline constexpr uint8_t kSdmfCallerId = 0x04;
inline constexpr uint8_t kSdmfMessageWaiting = 0x06;
inline constexpr uint8_t kMdmfCallSetUp = 0x80;
inline constexpr uint8_t kMdmfMessageWaiting = 0x82;
inline constexpr std::array<uint8_t, 4> kCidMessageTypes = {
    kSdmfCallerId,
    kSdmfMessageWaiting,
    kMdmfCallSetUp,
    kMdmfMessageWaiting,
};
constexpr bool IsCidMessageType(uint8_t byte)
{
    return std::find(kCidMessageTypes.begin(), kCidMessageTypes.end(), byte) != kCidMessageTypes.end();
}

inline constexpr char kAbsenceOutOfArea = 'O';
inline constexpr char kAbsencePrivate = 'P';
inline constexpr size_t kCidMaxText = 49;  // longest name or number sent
inline constexpr size_t kCidDateLength = 8;

struct CidContent {
    std::string name;      // empty: no name parameter
    std::string number;    // empty: no number parameter (SDMF: no number)
    std::string dateTime;  // "MMDDhhmm"; empty: no date (SDMF sends 8 bytes, zeros for a missing date)
    char absence = 0;      // kAbsenceOutOfArea or kAbsencePrivate: in place of number and name
    int indicator = -1;    // -1 no visual indicator, 0 off, 1 on (a message-waiting message)
};

// The whole message: type, length, parameters and the checksum byte. Texts
// longer than kCidMaxText bytes are cut.
std::vector<uint8_t> BuildCallerIdMessage(CidFormat format, const CidContent &content);

// The checksum byte for these bytes: their sum and it are 0 modulo 256.
uint8_t CidChecksum(std::span<const uint8_t> bytes);

// "MMDDhhmm" of a clock that starts at January 1st, 00:00, `minutes` later
// (a year of 365 days, then round again).
std::string CidDateAfterMinutes(int64_t minutes);

// DTMF caller ID: `start`, the number's DTMF keys (other characters are left
// out), `end`; with an absence reason "B00" (out of area) or "B10"
// (private) and `end` instead.
std::string BuildDtmfCallerId(const std::string &number, char absence, char start, char end);

}  // namespace tvxsim
