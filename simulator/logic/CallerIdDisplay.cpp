#include "simulator/logic/CallerIdDisplay.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace tvxsim {
namespace {

struct Fields {
    std::string name;
    std::string number;
    std::string date;
    char nameAbsent = 0;
    char numberAbsent = 0;
    int indicator = -1;
};

std::string AbsenceText(char reason)
{
    if (reason == 'O')
        return "Out of area";
    if (reason == 'P')
        return "Private";
    return "Unavailable";
}

// "MMDDhhmm" shown as "DD/MM hh:mm".
std::string DateText(std::string_view v)
{
    return std::string(v.substr(2, 2)) + "/" + std::string(v.substr(0, 2)) + " " + std::string(v.substr(4, 2)) + ":" +
           std::string(v.substr(6, 2));
}

std::string Text(std::span<const uint8_t> v) { return std::string(v.begin(), v.end()); }

void ReadSdmfCallerId(std::span<const uint8_t> v, Fields &f)
{
    if (v.size() < 8)
        return;
    f.date = DateText(Text(v.first(8)));
    const std::span<const uint8_t> rest = v.subspan(8);
    if (rest.size() == 1 && (rest[0] == 'O' || rest[0] == 'P'))
        f.numberAbsent = static_cast<char>(rest[0]);
    else
        f.number = Text(rest);
}

void ReadMdmfParameters(std::span<const uint8_t> body, Fields &f)
{
    size_t at = 0;
    while (at + 2 <= body.size()) {
        const uint8_t type = body[at];
        const size_t length = std::min<size_t>(body[at + 1], body.size() - at - 2);
        const std::span<const uint8_t> v = body.subspan(at + 2, length);
        switch (type) {
        case 0x01:
            if (v.size() == 8)
                f.date = DateText(Text(v));
            break;
        case 0x02:
        case 0x03:
            f.number = Text(v);
            break;
        case 0x04:
            if (!v.empty())
                f.numberAbsent = static_cast<char>(v[0]);
            break;
        case 0x07:
            f.name = Text(v);
            break;
        case 0x08:
            if (!v.empty())
                f.nameAbsent = static_cast<char>(v[0]);
            break;
        case 0x0B:
            if (!v.empty())
                f.indicator = v[0] != 0 ? 1 : 0;
            break;
        default:
            break;
        }
        at += 2 + length;
    }
}

std::string Join(const std::vector<std::string> &parts)
{
    std::string out;
    for (const std::string &p : parts) {
        if (p.empty())
            continue;
        if (!out.empty())
            out += ", ";
        out += p;
    }
    return out;
}

}  // namespace

std::string PhoneDisplay(std::span<const uint8_t> message)
{
    if (message.size() < 2)
        return {};
    const std::span<const uint8_t> body = message.subspan(2, std::min<size_t>(message[1], message.size() - 2));
    Fields f;
    switch (message[0]) {
    case 0x04:
        ReadSdmfCallerId(body, f);
        break;
    case 0x06:
        if (!body.empty())
            f.indicator = body[0] == 0x42 ? 1 : 0;
        break;
    case 0x80:
    case 0x82:
        ReadMdmfParameters(body, f);
        break;
    default:
        return {};
    }
    const std::string name = f.nameAbsent != 0 ? AbsenceText(f.nameAbsent) : f.name;
    std::string number = f.numberAbsent != 0 ? AbsenceText(f.numberAbsent) : f.number;
    if (number == name)
        number.clear();  // one reason for both
    const std::string lamp = f.indicator < 0 ? "" : (f.indicator > 0 ? "message waiting" : "no message waiting");
    return Join({name, number, f.date, lamp});
}

std::string PhoneDisplayOfDtmf(const std::string &keys)
{
    if (keys == "B00")
        return AbsenceText('O');
    if (keys == "B10")
        return AbsenceText('P');
    return keys;
}

}  // namespace tvxsim
