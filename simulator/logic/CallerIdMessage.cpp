#include "simulator/logic/CallerIdMessage.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace tvxsim {
namespace {

constexpr uint8_t kParamDate = 0x01;
constexpr uint8_t kParamNumber = 0x02;
constexpr uint8_t kParamNumberAbsent = 0x04;
constexpr uint8_t kParamName = 0x07;
constexpr uint8_t kParamNameAbsent = 0x08;
constexpr uint8_t kParamIndicator = 0x0B;
constexpr uint8_t kIndicatorOnByte = 0x42;
constexpr uint8_t kIndicatorOffByte = 0x6F;

constexpr std::array<int, 12> kMonthDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

std::string Cut(const std::string &text) { return text.substr(0, kCidMaxText); }

void AppendParameter(std::vector<uint8_t> &out, uint8_t type, const std::string &value)
{
    out.push_back(type);
    out.push_back(static_cast<uint8_t>(value.size()));
    out.insert(out.end(), value.begin(), value.end());
}

bool IsDtmfKey(char c) { return (c >= '0' && c <= '9') || c == '*' || c == '#' || (c >= 'A' && c <= 'D'); }

}  // namespace

uint8_t CidChecksum(std::span<const uint8_t> bytes)
{
    unsigned sum = 0;
    for (uint8_t b : bytes)
        sum += b;
    return static_cast<uint8_t>(0x100u - (sum & 0xFFu));
}

std::vector<uint8_t> BuildCallerIdMessage(CidFormat format, const CidContent &c)
{
    std::vector<uint8_t> out;
    if (format == CidFormat::Sdmf) {
        if (c.indicator >= 0) {
            out = {kSdmfMessageWaiting, 3};
            out.insert(out.end(), 3, c.indicator > 0 ? kIndicatorOnByte : kIndicatorOffByte);
        } else {
            std::string date = c.dateTime.substr(0, kCidDateLength);
            date.resize(kCidDateLength, '\0');
            const std::string number = c.absence != 0 ? std::string(1, c.absence) : Cut(c.number);
            AppendParameter(out, kSdmfCallerId, date + number);
        }
    } else {
        out = {c.indicator >= 0 ? kMdmfMessageWaiting : kMdmfCallSetUp, 0};
        if (!c.dateTime.empty())
            AppendParameter(out, kParamDate, c.dateTime.substr(0, kCidDateLength));
        if (c.absence != 0) {
            AppendParameter(out, kParamNumberAbsent, std::string(1, c.absence));
            AppendParameter(out, kParamNameAbsent, std::string(1, c.absence));
        } else {
            if (!c.number.empty())
                AppendParameter(out, kParamNumber, Cut(c.number));
            if (!c.name.empty())
                AppendParameter(out, kParamName, Cut(c.name));
        }
        if (c.indicator >= 0)
            AppendParameter(out, kParamIndicator, std::string(1, c.indicator > 0 ? '\xFF' : '\0'));
        out[1] = static_cast<uint8_t>(out.size() - 2);  // at most 10 + 51 + 51 + 3 bytes
    }
    out.push_back(CidChecksum(out));
    return out;
}

std::string CidDateAfterMinutes(int64_t minutes)
{
    minutes = std::max<int64_t>(minutes, 0) % (365 * 24 * 60);
    int64_t day = minutes / (24 * 60);
    const int64_t minuteOfDay = minutes % (24 * 60);
    int month = 0;
    while (day >= kMonthDays[static_cast<size_t>(month)])
        day -= kMonthDays[static_cast<size_t>(month++)];
    char text[48];
    std::snprintf(text,
                  sizeof text,
                  "%02d%02d%02d%02d",
                  month + 1,
                  static_cast<int>(day) + 1,
                  static_cast<int>(minuteOfDay / 60),
                  static_cast<int>(minuteOfDay % 60));
    return text;
}

std::string BuildDtmfCallerId(const std::string &number, char absence, char start, char end)
{
    if (absence == kAbsenceOutOfArea)
        return std::string("B00") + end;
    if (absence == kAbsencePrivate)
        return std::string("B10") + end;
    std::string out(1, start);
    for (char c : number)
        if (IsDtmfKey(c))
            out.push_back(c);
    out.push_back(end);
    return out;
}

}  // namespace tvxsim
