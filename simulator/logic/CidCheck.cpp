#include "simulator/logic/CidCheck.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "simulator/logic/SimErrors.h"

namespace tvxsim {
namespace {

constexpr std::array<const char *, 4> kMsgTypeNames = {"SDMF", "MDMF", "DTMF-C", "DTMF-#"};
static_assert(kMsgTypeNames.size() == kCidMaxMsgType + 1);

bool TextMatches(const char *field, size_t fieldSize, uint8_t length)
{
    if (length > kCidMaxTextLength)
        return false;
    return strnlen(field, fieldSize) == length;  // fieldSize means no terminator
}

}  // namespace

int32_t CheckCidRecord(const CidGenRecord &r)
{
    if (r.msgType > kCidMaxMsgType)
        return kErrBadRecord;
    if (!TextMatches(r.name, sizeof r.name, r.nameLen))
        return kErrBadRecord;
    if (!TextMatches(r.number, sizeof r.number, r.numberLen))
        return kErrBadRecord;
    return kOk;
}

void DescribeCidRecord(const CidGenRecord &r, char *out, size_t size)
{
    if (out == nullptr || size == 0)
        return;
    const char *type = r.msgType <= kCidMaxMsgType ? kMsgTypeNames[r.msgType] : "?";
    const int numberLen = static_cast<int>(strnlen(r.number, sizeof r.number));
    const int nameLen = static_cast<int>(strnlen(r.name, sizeof r.name));
    std::snprintf(out,
                  size,
                  "Caller ID generated: %s, %.*s, %.*s%s",
                  type,
                  numberLen ? numberLen : 1,
                  numberLen ? r.number : "-",
                  nameLen ? nameLen : 1,
                  nameLen ? r.name : "-",
                  (r.callFlags & 0x01u) ? ", call waiting" : "");
}

}  // namespace tvxsim
