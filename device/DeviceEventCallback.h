// The callback the library calls once for every device event.
#pragma once

#include "device/DeviceEventText.h"

#include <cstdint>

namespace tvx {

// Any thread: formats the event in the callback's own text buffer and hands
// the line(s) to the event relay for the session given as context. Never
// touches a widget; on the UI thread the line goes into the log at once.
// Returns 0.
int32_t OnDeviceEvent(int32_t event, int32_t param, void *context, const void *payload, int32_t side, int32_t reserved);

// Any thread: the text OnDeviceEvent shows for an event, formatted in the
// callback's own 256-byte buffer, without posting it. The buffer is never
// cleared: an event the library leaves unnamed repeats the last line
// formatted there.
DeviceEventText FormatDeviceEvent(int32_t event, int32_t param, const void *payload, int32_t side);

}  // namespace tvx
