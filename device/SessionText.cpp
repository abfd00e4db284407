#include "device/SessionText.h"

#include <cstdio>
#include <cstring>

namespace tvx {

namespace {

constexpr size_t kLineSize = 256;

template <class... Args> std::string Format(const char *format, Args... args)
{
    char line[kLineSize];
    std::snprintf(line, sizeof line, format, args...);
    return line;
}

}  // namespace

std::string BoundedText(const char *text, size_t size)
{
    if (!text)
        return {};
    const void *end = std::memchr(text, '\0', size);
    return std::string(text, end ? static_cast<const char *>(end) - text : size);
}

std::string OpenErrorLine(const char *what, int32_t code) { return Format("%s%d", what, static_cast<int>(code)); }

std::string SerialNumberLine(const char *text, size_t size)
{
    return Format("Device SN: %s", BoundedText(text, size).c_str());
}

std::string DeviceNameLine(const char *text, size_t size)
{
    return Format("Device Name: %s", BoundedText(text, size).c_str());
}

std::string FirmwareLine(int32_t rawRevision)
{
    const unsigned revision = static_cast<uint32_t>(rawRevision) & 0xFFFFu;
    return Format("Device firmware version: 4.%0.2d.%0.2d",
                  static_cast<int>((revision >> 8) + 50),
                  static_cast<int>(revision & 0xFFu));
}

std::string LibraryVersionLine(int32_t version)
{
    return Format("%s%d", "tvxUSB DLL version ", static_cast<int>(version));
}

}  // namespace tvx
