// What the simulated adapter remembers: identity, settings and the values the
// tool reads back. Plain data; the library guards it with its own mutex.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "device/tvxusb.h"

namespace tvxsim {

inline constexpr char kFactorySerial[] = "TVX-PLN-000-00012345-A";
static_assert(sizeof(kFactorySerial) - 1 == TVX_SERIAL_LENGTH, "a serial number has 22 characters");
inline constexpr char kDeviceName[] = "Parlino USB (simulated)";
inline constexpr int32_t kRawRevision = 0x0312;
inline constexpr int32_t kLibraryVersion = 3;
inline constexpr int32_t kDefaultDevType = 3;

inline constexpr int32_t kThresholdSelectors = 32;
struct FactoryThreshold {
    int32_t selector;
    uint32_t value;
};
// Selectors 0 tones detection, 1 silence detection, 16 and 17 voice band low and high.
inline constexpr std::array<FactoryThreshold, 4> kFactoryThresholds = {{{0, 999}, {1, 120}, {16, 85}, {17, 112}}};
inline constexpr char kFactoryLocalCountry[] = "44";
inline constexpr char kFactoryDestinationCountry[] = "1";

inline constexpr size_t kCountryMaxDigits = 9;
inline constexpr int32_t kMaxToneRecords = 64;
inline constexpr int32_t kMaxMonitorTones = 256;
inline constexpr int32_t kMaxRegisterBytes = 256;

struct DeviceState {
    DeviceState() { factoryReset(); }

    // Serial number and settings back to factory values. The device type,
    // the armed tone set and the analysis switch are not settings.
    void factoryReset();

    std::string serial;
    std::array<uint32_t, kThresholdSelectors> thresholds{};
    std::string localCountry;
    std::string destinationCountry;
    std::map<int32_t, int32_t> parameters;   // command code -> value
    std::map<uint32_t, uint8_t> registers;   // block << 16 | register -> value
    std::array<int32_t, 16> selectedItem{};  // last item sent per command group, -1 none
    uint8_t leds = 0;
    std::vector<uint8_t> melody;
    std::vector<ToneGenRecord> toneRecords;  // the running tone set, empty when stopped

    int32_t devType = kDefaultDevType;
    bool analysisOn = false;
    const ToneMonitorEntry *monitorSet = nullptr;  // the caller's rows, valid while initialised
    int32_t monitorCount = 0;
    int32_t monitorMode = 0;
};

// True for 1 to 9 decimal digits, terminated within 256 bytes.
bool isCountryText(const char *text);

inline uint32_t registerKey(int32_t block, int32_t reg)
{
    return (static_cast<uint32_t>(block) & 0xFFFFu) << 16 | (static_cast<uint32_t>(reg) & 0xFFFFu);
}

}  // namespace tvxsim
