#include "simulator/logic/EventLine.h"

#include <cstdio>

#include "device/tvxusb.h"
#include "simulator/logic/EventNames.h"

namespace tvxsim {
namespace {

const char *SideSuffix(int32_t side)
{
    if (side == TVX_SIDE_PHONE)
        return " [Phone]";
    if (side == TVX_SIDE_LINE)
        return " [Line ]";
    return " [Common]";
}

}  // namespace

std::string FormatEventLine(const EventLineFields &e)
{
    std::string text;
    if (!e.detail.empty()) {
        text = e.detail;
    } else {
        char buf[TVX_TEXT_SIZE];
        FormatEventText(buf, sizeof buf, e.code, e.param);
        text = buf;
        if (e.code == kEvOffHook || e.code == kEvOnHook)
            text += SideSuffix(e.side);
        // A digit says where it was heard, which the tool's own log does not show.
        else if (e.code == kEvDtmfDetected && (e.side == TVX_SIDE_PHONE || e.side == TVX_SIDE_LINE))
            text += SideSuffix(e.side);
    }
    if (!e.payload.empty()) {
        text += ':';
        for (uint8_t b : e.payload) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02X", b);
            text += hex;
        }
    }
    for (char &c : text)  // one event, one line
        if (c == '\n' || c == '\r')
            c = ' ';
    return std::to_string(e.ms) + ' ' + std::to_string(e.code) + ' ' + text;
}

}  // namespace tvxsim
