#include "device/DeviceEventCallback.h"

#include "device/EventRelay.h"
#include "device/logic/CallerIdDecoder.h"
#include "device/tvxusb.h"

#include <cstdio>

namespace tvx {

namespace {

// Side suffixes of events 64 and 95.
const char *SideFormat(int32_t side)
{
    switch (side) {
    case TVX_SIDE_PHONE:
        return "%s [Phone]";
    case TVX_SIDE_LINE:
        return "%s [Line ]";
    default:
        return "%s [Common]";
    }
}

// The library's text for an event. The buffer is per thread and is not
// cleared first: an event the library leaves unnamed repeats the last text.
const char *LibraryText(int32_t event, int32_t param)
{
    thread_local char text[TVX_TEXT_SIZE] = "";
    ScTranslateEventToString(text, event, param);
    text[TVX_TEXT_SIZE - 1] = '\0';
    return text;
}

QString Latin1(const char *text) { return QString::fromLatin1(text); }

}  // namespace

DeviceEventText FormatDeviceEvent(int32_t event, int32_t param, const void *payload, int32_t side)
{
    char line[TVX_TEXT_SIZE];
    switch (event) {
    case TVX_EVENT_TONE_MONITORED: {
        const auto *tone = static_cast<const ToneMonitorEntry *>(payload);
        const char *name = tone && tone->name ? tone->name : "";
        std::snprintf(line, sizeof line, "Tone Monitored: %s ", name);
        return {{}, Latin1(line)};
    }
    case TVX_EVENT_CALLER_ID:
    case TVX_EVENT_CW_CALLER_ID:
        DecodeCallerId(payload, param, line);
        return {event == TVX_EVENT_CALLER_ID ? QStringLiteral("Caller ID") : QStringLiteral("Call Waiting Caller ID"),
                Latin1(line)};
    case TVX_EVENT_SIDED_64:
    case TVX_EVENT_SIDED_95:
        std::snprintf(line, sizeof line, SideFormat(side), LibraryText(event, param));
        return {{}, Latin1(line)};
    default:
        return {{}, Latin1(LibraryText(event, param))};
    }
}

int32_t OnDeviceEvent(int32_t event, int32_t param, void *context, const void *payload, int32_t side, int32_t)
{
    EventRelay::Instance().Post(context, FormatDeviceEvent(event, param, payload, side));
    return 0;
}

}  // namespace tvx
