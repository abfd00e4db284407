// The tool's one door to the adapter library: typed wrappers over the C
// interface, with the fixed arguments the tool always passes filled in.
// UI thread only, except TranslateEvent (see there).
#pragma once

#include "device/tvxusb.h"

#include <cstdint>
#include <string>

namespace tvx::adapter {

// Fourth argument of ScDoCommand for every call except waiting for dial tone.
constexpr int32_t kCommandArg4 = 0xFFFF;

// ScInitialize(callback, context, 0, 0, 0, 0, 17, version, spectrumWindow).
int32_t Initialize(ScEventCallback callback, void *context, int32_t *version, void *spectrumWindow);
int32_t Open();      // ScOpen(0, 0)
int32_t Close();     // ScClose(0)
int32_t Shutdown();  // ScShutdown(0)
int32_t GetDeviceSerialNumber(char (&text)[TVX_TEXT_SIZE]);
int32_t GetDeviceName(char (&text)[TVX_TEXT_SIZE]);
int32_t GetRawDeviceRevision();  // ScGetRawDeviceRevision(0)
// ScMonitorTones(1, set, count): report these tones.
int32_t MonitorTones(const ToneMonitorEntry *set, int32_t count);
// Any thread (the event callback's): the library's name for an event,
// written over text or leaving it as it stands.
int32_t TranslateEvent(char (&text)[TVX_TEXT_SIZE], int32_t event, int32_t param);

int32_t DoCommand(int32_t code, int32_t param, int32_t arg4 = kCommandArg4);
int32_t SetThreshold(int32_t selector, uint32_t value);
int32_t GetThreshold(int32_t selector, uint32_t *value);
int32_t GetIndexFreq(uint16_t column, float *hertz);
int32_t GetLocalCountry(char (&text)[TVX_TEXT_SIZE]);
int32_t GetDestinationCountry(char (&text)[TVX_TEXT_SIZE]);
int32_t SetLocalCountry(const char *text);
int32_t SetDestinationCountry(const char *text);
int32_t GenerateTones(const ToneGenRecord *records, int32_t count);
int32_t SetHardwareReg(int32_t block, int32_t reg, uint8_t value);
int32_t GetDevType();
int32_t DistinctiveRingDlg(void *owner);
int32_t InternationalTonesDlg(void *owner);
int32_t InternationalHardwareDlg(void *owner);
int32_t HardwareChipsDlg(void *owner);
int32_t GenerateCallerId(const CidGenRecord &record);
int32_t TestLeds(uint8_t mask);
int32_t UploadMelody(const uint8_t *bytes, int32_t count);

// The tool's command-line text, passed unchanged to every ScE2Rom call.
// Set once at start, before any dialog exists.
void SetCommandLineText(std::string text);
const std::string &CommandLineText();
// ScE2Rom(operation, data, command-line text); data may be null.
int32_t E2Rom(int32_t operation, const char *data);

}  // namespace tvx::adapter
