#include "device/DeviceEventCallback.h"

#include "device/Adapter.h"
#include "device/EventRelay.h"
#include "device/logic/CallerIdDecoder.h"
#include "device/tvxusb.h"

#include <cstdio>
#include <cstring>
#include <mutex>

namespace tvx {

namespace {

static_assert(kCallerIdOutputSize == TVX_TEXT_SIZE, "the decoder writes into the callback's buffer");

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

// The callback's own text buffer, apart from the UI thread's texts. One for
// the process, whichever thread the library calls from, so it is used under
// its lock; recursive, since the library may call back from inside
// ScTranslateEventToString. Never destroyed: the library may still call at exit.
struct CallbackBuffer {
    std::recursive_mutex mutex;
    char text[TVX_TEXT_SIZE] = "";
};

CallbackBuffer &Buffer()
{
    static CallbackBuffer *buffer = new CallbackBuffer;
    return *buffer;
}

// The heading of a two-line event, or empty.
std::string_view HeadingOf(int32_t event)
{
    switch (event) {
    case TVX_EVENT_CALLER_ID:
        return "Caller ID";
    case TVX_EVENT_CW_CALLER_ID:
        return "Call Waiting Caller ID";
    default:
        return {};
    }
}

// Forms the event's line in text, which holds what was formatted last.
void FormatInto(char (&text)[TVX_TEXT_SIZE], int32_t event, int32_t param, const void *payload, int32_t side)
{
    switch (event) {
    case TVX_EVENT_TONE_MONITORED: {
        const auto *tone = static_cast<const ToneMonitorEntry *>(payload);
        std::snprintf(text, sizeof text, "Tone Monitored: %s ", tone && tone->name ? tone->name : "");
        return;
    }
    case TVX_EVENT_CALLER_ID:
    case TVX_EVENT_CW_CALLER_ID:
        DecodeCallerId(payload, param, text);
        return;
    default:
        break;
    }
    // The library writes its text over what stands in the buffer, or leaves
    // it; no size is passed, the buffer is 256 bytes.
    adapter::TranslateEvent(text, event, param);
    text[TVX_TEXT_SIZE - 1] = '\0';
    if (event == TVX_EVENT_SIDED_64 || event == TVX_EVENT_SIDED_95) {
        char library[TVX_TEXT_SIZE];
        std::memcpy(library, text, sizeof library);
        std::snprintf(text, sizeof text, SideFormat(side), library);
    }
}

}  // namespace

DeviceEventText FormatDeviceEvent(int32_t event, int32_t param, const void *payload, int32_t side)
{
    CallbackBuffer &buffer = Buffer();
    std::lock_guard lock(buffer.mutex);
    FormatInto(buffer.text, event, param, payload, side);
    return {HeadingOf(event), std::string(buffer.text)};
}

int32_t OnDeviceEvent(int32_t event, int32_t param, void *context, const void *payload, int32_t side, int32_t)
{
    EventRelay::Instance().Post(context, FormatDeviceEvent(event, param, payload, side));
    return 0;
}

}  // namespace tvx
