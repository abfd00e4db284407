// What the simulated adapter remembers: identity, settings and the values the
// tool reads back. Plain data in bounded tables; the library guards it with
// its own mutex. While the device is open the engine is its one writer (its
// commands and setters, after which it derives what depends on them); the
// session writes only what is no setting: the device type at open, the armed
// tone set, the analysis switch at close.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "device/tvxusb.h"
#include "simulator/logic/Parameters.h"

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
inline constexpr int32_t kRegisterBlocks = 256;
inline constexpr int32_t kRegistersPerBlock = 256;

// Items of the selection groups, as their command codes number them.
inline constexpr int32_t kFactoryDeviceMode = 3;  // "Phone -Line (Default)"
inline constexpr int32_t kFactoryRingerHz = 25;   // "25Hz (Default)"
inline constexpr int32_t kAuxCodec = 4;           // "CODEC"
inline constexpr int32_t kAuxWaveOut = 5;         // "Wave Out"
inline constexpr int32_t kAuxMixed = 6;           // "Wave Out Mixed with CODEC"

struct DeviceState {
    DeviceState() { FactoryReset(); }

    // Serial number and settings back to factory values. The device type,
    // the armed tone set and the analysis switch are not settings.
    void FactoryReset();

    // A parameter's value as the adapter uses it (within its row's range).
    int32_t Parameter(Param p) const;
    // A register's value, or -1 when it was never written.
    int32_t RegisterValue(int32_t block, int32_t reg) const;

    std::string serial;
    std::array<uint32_t, kThresholdSelectors> thresholds{};
    std::string localCountry;
    std::string destinationCountry;
    std::array<int32_t, kParameterCount> parameters{};                      // as last sent, in Param order
    std::array<int16_t, kRegisterBlocks * kRegistersPerBlock> registers{};  // -1 never written

    int32_t deviceMode = kFactoryDeviceMode;
    int32_t daaConfig = 0;
    int32_t ringerHz = kFactoryRingerHz;
    int32_t makeBreak = 0;
    int32_t auxContent = kAuxCodec;
    bool pcSilent = false;
    bool muteLine = false;
    bool mutePhone = false;
    bool echoSuppression = true;
    bool wiretap = false;
    bool daaBoost = false;
    bool keypadBeep = true;
    bool headset = false;
    bool callWaiting = false;

    uint8_t leds = 0;
    std::vector<uint8_t> melody;

    int32_t devType = kDefaultDevType;
    bool analysisOn = false;
    const ToneMonitorEntry *monitorSet = nullptr;  // the caller's rows, valid while initialised
    int32_t monitorCount = 0;
};

// True for 1 to 9 decimal digits, terminated within 256 bytes.
bool IsCountryText(const char *text);

}  // namespace tvxsim
