#include "dialogs/logic/CidGenRecordPacking.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace tvx {
namespace {

using FlagMember = bool CidGenInputs::*;

constexpr std::array<std::pair<FlagMember, std::uint8_t>, 7> kSendFlagBits{{
    {&CidGenInputs::sendName, 0x01},
    {&CidGenInputs::sendNumber, 0x02},
    {&CidGenInputs::sendDateTime, 0x04},
    {&CidGenInputs::sendVisualIndicator, 0x08},
    {&CidGenInputs::outOfArea, 0x10},
    {&CidGenInputs::privateNumber, 0x20},
    {&CidGenInputs::useRinger, 0x40},
}};

constexpr std::array<std::pair<FlagMember, std::uint8_t>, 2> kCallFlagBits{{
    {&CidGenInputs::callWaiting, 0x01},
    {&CidGenInputs::waitForAck, 0x02},
}};

// Copies at most maxChars bytes of text (up to its first zero byte) into
// field; returns the number of bytes copied. Bytes not copied are left as
// they are (zero in a freshly cleared record).
template <std::size_t N> std::size_t CopyText(char (&field)[N], std::size_t maxChars, std::string_view text) noexcept
{
    const std::size_t zero = text.find('\0');
    if (zero != std::string_view::npos)
        text = text.substr(0, zero);
    const std::size_t count = std::min({text.size(), maxChars, N});
    if (count > 0)
        std::memcpy(field, text.data(), count);
    return count;
}

template <std::size_t N>
std::uint8_t Flags(const CidGenInputs &inputs, const std::array<std::pair<FlagMember, std::uint8_t>, N> &bits) noexcept
{
    std::uint8_t flags = 0;
    for (const auto &[member, bit] : bits) {
        if (inputs.*member)
            flags = static_cast<std::uint8_t>(flags | bit);
    }
    return flags;
}

}  // namespace

CidGenRecord PackCidGenRecord(const CidGenInputs &inputs) noexcept
{
    CidGenRecord record;
    std::memset(&record, 0, sizeof record);

    record.msgType = static_cast<std::uint8_t>(inputs.msgType & 0xFF);
    record.nameLen = static_cast<std::uint8_t>(CopyText(record.name, kCidTextMaxChars, inputs.name));
    record.numberLen = static_cast<std::uint8_t>(CopyText(record.number, kCidTextMaxChars, inputs.number));
    CopyText(record.dateTime, sizeof record.dateTime, inputs.dateTime);
    record.indicatorLit = inputs.indicatorLit ? 0xFF : 0x00;
    record.sendFlags = Flags(inputs, kSendFlagBits);
    record.callFlags = Flags(inputs, kCallFlagBits);

    const auto level =
        static_cast<std::uint16_t>(std::clamp(inputs.signalLevel, kCidSignalLevelMin, kCidSignalLevelMax));
    const std::uint8_t levelBytes[2] = {static_cast<std::uint8_t>(level & 0xFF), static_cast<std::uint8_t>(level >> 8)};
    std::memcpy(&record.signalLevel, levelBytes, sizeof levelBytes);
    return record;
}

}  // namespace tvx
