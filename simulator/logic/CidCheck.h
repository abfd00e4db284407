// A caller-ID record handed to ScGenerateETSI_CID: its checks, the message
// it asks for, the level of its signal, and the text of event 97.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "device/tvxusb.h"
#include "simulator/logic/CallerIdMessage.h"

namespace tvxsim {

inline constexpr uint8_t kCidMaxMsgType = 3;
inline constexpr uint8_t kCidMaxTextLength = 49;

// msgType values.
inline constexpr uint8_t kCidSdmf = 0;
inline constexpr uint8_t kCidMdmf = 1;
inline constexpr uint8_t kCidDtmfC = 2;
inline constexpr uint8_t kCidDtmfHash = 3;

// sendFlags and callFlags bits.
inline constexpr uint8_t kSendName = 0x01;
inline constexpr uint8_t kSendNumber = 0x02;
inline constexpr uint8_t kSendDate = 0x04;
inline constexpr uint8_t kSendIndicator = 0x08;
inline constexpr uint8_t kSendOutOfArea = 0x10;
inline constexpr uint8_t kSendPrivate = 0x20;
inline constexpr uint8_t kSendUseRinger = 0x40;
inline constexpr uint8_t kCallWaiting = 0x01;
inline constexpr uint8_t kWaitForAck = 0x02;

// DTMF caller ID keys: "A" first, "C" (DTMF-C) or "#" (DTMF-#) last.
inline constexpr char kDtmfCidStart = 'A';

// kOk, or kErrBadRecord when the type is outside 0..3, a length above 49, or a
// length that differs from its text's (a text must end within its field).
int32_t CheckCidRecord(const CidGenRecord &record);

// What the message carries. SDMF: the date and time field as it is and the
// number (or the absence reason); with "Send Visual Indicator" a message-
// waiting message instead. MDMF: date, number and name as their send flags
// say, the absence reason in place of number and name ("Private" wins over
// "Out of Area"), the visual indicator (a message-waiting message) when
// flagged. DTMF: the number or the absence reason.
CidContent CidContentOfRecord(const CidGenRecord &record);

// The DTMF caller ID keys of a DTMF-C or DTMF-# record.
std::string DtmfCallerIdOfRecord(const CidGenRecord &record);

// The signal's level: signalLevel is its amplitude, 32766 giving -6 dBm0
// (the top of the slider) and half of it 6 dB less, so the dialog's 16000 is
// -12.2 dBm0; 0 sends nothing (returns kCidSilentDbm0).
inline constexpr float kCidTopDbm0 = -6.0f;
inline constexpr float kCidSilentDbm0 = -200.0f;
float CidSignalDbm0(uint16_t signalLevel);

// "SDMF", "MDMF", "DTMF-C", "DTMF-#" ("?" outside 0..3).
const char *CidTypeName(uint8_t msgType);

// Event 97's text: "Caller ID generated: MDMF, the phone shows <display>",
// "..., the phone shows nothing" (an empty display), or "..., no
// acknowledgement from the phone, nothing sent".
std::string DescribeCidOutcome(uint8_t msgType, bool acknowledged, const std::string &display);

}  // namespace tvxsim
