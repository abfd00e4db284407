// Checks a caller-ID record handed to ScGenerateETSI_CID and describes it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device/tvxusb.h"

namespace tvxsim {

inline constexpr uint8_t kCidMaxMsgType = 3;
inline constexpr uint8_t kCidMaxTextLength = 49;

// kOk, or kErrBadRecord when the type is outside 0..3, a length above 49, or a
// length that differs from its text's (a text must end within its field).
int32_t CheckCidRecord(const CidGenRecord &record);

// "Caller ID generated: MDMF, 7964710, Ivor Kell" (", call waiting" when
// flagged). Empty texts show as "-". For checked records only.
void DescribeCidRecord(const CidGenRecord &record, char *out, size_t size);

}  // namespace tvxsim
