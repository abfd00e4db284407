#include "simulator/logic/CidCheck.h"

#include <array>
#include <cmath>
#include <cstring>

#include "simulator/logic/SimErrors.h"

namespace tvxsim {
namespace {

constexpr std::array<const char *, 4> kMsgTypeNames = {"SDMF", "MDMF", "DTMF-C", "DTMF-#"};
static_assert(kMsgTypeNames.size() == kCidMaxMsgType + 1);
constexpr float kTopLevel = 32766.0f;

bool TextMatches(const char *field, size_t fieldSize, uint8_t length)
{
    if (length > kCidMaxTextLength)
        return false;
    return strnlen(field, fieldSize) == length;  // fieldSize means no terminator
}

std::string FieldText(const char *field, size_t size) { return std::string(field, strnlen(field, size)); }

char AbsenceOf(const CidGenRecord &r)
{
    if (r.sendFlags & kSendPrivate)
        return kAbsencePrivate;
    return (r.sendFlags & kSendOutOfArea) ? kAbsenceOutOfArea : 0;
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

CidContent CidContentOfRecord(const CidGenRecord &r)
{
    CidContent c;
    c.absence = AbsenceOf(r);
    const std::string number = FieldText(r.number, sizeof r.number);
    if (r.msgType == kCidSdmf) {
        c.number = number;
        c.dateTime.assign(r.dateTime, sizeof r.dateTime);  // 8 bytes, as the dialog filled them
        if (r.sendFlags & kSendIndicator)
            c.indicator = r.indicatorLit != 0 ? 1 : 0;
        return c;
    }
    if (r.msgType != kCidMdmf) {
        c.number = number;
        return c;
    }
    if (r.sendFlags & kSendName)
        c.name = FieldText(r.name, sizeof r.name);
    if (r.sendFlags & kSendNumber)
        c.number = number;
    if (r.sendFlags & kSendDate)
        c.dateTime = FieldText(r.dateTime, sizeof r.dateTime);
    if (r.sendFlags & kSendIndicator)
        c.indicator = r.indicatorLit != 0 ? 1 : 0;
    return c;
}

std::string DtmfCallerIdOfRecord(const CidGenRecord &r)
{
    const CidContent c = CidContentOfRecord(r);
    return BuildDtmfCallerId(c.number, c.absence, kDtmfCidStart, r.msgType == kCidDtmfC ? 'C' : '#');
}

float CidSignalDbm0(uint16_t signalLevel)
{
    if (signalLevel == 0)
        return kCidSilentDbm0;
    return kCidTopDbm0 + 20.0f * std::log10(static_cast<float>(signalLevel) / kTopLevel);
}

const char *CidTypeName(uint8_t msgType) { return msgType <= kCidMaxMsgType ? kMsgTypeNames[msgType] : "?"; }

std::string DescribeCidOutcome(uint8_t msgType, bool acknowledged, const std::string &display)
{
    std::string text = std::string("Caller ID generated: ") + CidTypeName(msgType) + ", ";
    if (!acknowledged)
        return text + "no acknowledgement from the phone, nothing sent";
    return text + "the phone shows " + (display.empty() ? std::string("nothing") : display);
}

}  // namespace tvxsim
