// The callback the library calls once for every device event.
#pragma once

#include "device/DeviceEventText.h"

#include <cstdint>

namespace tvx {

// Library thread (or any thread): formats the event in buffers of its own and
// hands the line(s) to the event relay for the dialog given as context.
// Never touches a widget and never waits for the UI thread. Returns 0.
int32_t OnDeviceEvent(int32_t event, int32_t param, void *context, const void *payload, int32_t side, int32_t reserved);

// The text OnDeviceEvent shows for an event, without posting it.
DeviceEventText FormatDeviceEvent(int32_t event, int32_t param, const void *payload, int32_t side);

}  // namespace tvx
