// One device event as the event log shows it: a line, and for caller-ID
// events a heading that goes in just below it. A value, made on the library's
// thread and handed to the UI thread.
#pragma once

#include <QString>

namespace tvx {

struct DeviceEventText {
    QString heading;  // empty unless the event has two lines
    QString line;
};

}  // namespace tvx
