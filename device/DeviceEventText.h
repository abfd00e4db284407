// One device event as the event log shows it: a line, and for caller-ID
// events a heading that goes in just below it. A value, formed on whatever
// thread the library calls from and handed to the UI thread.
#pragma once

#include <string>
#include <string_view>

namespace tvx {

struct DeviceEventText {
    std::string_view heading;  // a fixed text; empty unless the event has two lines
    std::string line;          // 8-bit text
};

}  // namespace tvx
