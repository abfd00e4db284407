// The lines the device session writes into the event log. Pure: no Qt.
#pragma once

#include <cstdint>
#include <string>

namespace tvx {

// "ScInitialize() returned error code" / "ScOpen() returned error code" followed straight by the code.
std::string OpenErrorLine(const char *what, int32_t code);
// "Device SN: %s", "Device Name: %s" with a text that the library left in a buffer
// of `size` bytes; only the part up to the first zero byte, or the whole
// buffer if it has none, is shown.
std::string SerialNumberLine(const char *text, size_t size);
std::string DeviceNameLine(const char *text, size_t size);
// "Device firmware version: 4.%0.2d.%0.2d" from the low 16 bits of the raw revision.
std::string FirmwareLine(int32_t rawRevision);
// "tvxUSB DLL version " followed straight by the version number.
std::string LibraryVersionLine(int32_t version);

// A library text as a std::string, bounded by the buffer even without a terminator.
std::string BoundedText(const char *text, size_t size);

}  // namespace tvx
