// The records, buffer sizes and operation numbers of the adapter library's
// interface, for the logic that builds or reads them outside device/. The
// library's functions are called from device/ only (device/Adapter.h).
// Data only, usable from any thread.
#pragma once

#include "device/tvxusb.h"
