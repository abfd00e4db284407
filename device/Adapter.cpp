#include "device/Adapter.h"

#include <utility>

namespace tvx::adapter {

namespace {
std::string &StoredCommandLine()
{
    static std::string text;
    return text;
}
}  // namespace

int32_t Initialize(ScEventCallback callback, void *context, int32_t *version, void *spectrumWindow)
{
    return ScInitialize(callback, context, 0, 0, 0, 0, 17, version, spectrumWindow);
}
int32_t Open() { return ScOpen(0, 0); }
int32_t Close() { return ScClose(0); }
int32_t Shutdown() { return ScShutdown(0); }
int32_t GetDeviceSerialNumber(char (&text)[TVX_TEXT_SIZE]) { return ScGetDeviceSN(text, TVX_TEXT_SIZE); }
int32_t GetDeviceName(char (&text)[TVX_TEXT_SIZE]) { return ScGetDeviceName(text, TVX_TEXT_SIZE); }
int32_t GetRawDeviceRevision() { return ScGetRawDeviceRevision(0); }
int32_t MonitorTones(const ToneMonitorEntry *set, int32_t count) { return ScMonitorTones(1, set, count); }
int32_t TranslateEvent(char (&text)[TVX_TEXT_SIZE], int32_t event, int32_t param)
{
    return ScTranslateEventToString(text, event, param);
}

int32_t DoCommand(int32_t code, int32_t param, int32_t arg4) { return ScDoCommand(code, param, 0, arg4); }
int32_t SetThreshold(int32_t selector, uint32_t value) { return ScSetThreshold(selector, value); }
int32_t GetThreshold(int32_t selector, uint32_t *value) { return ScGetThreshold(selector, value); }
int32_t GetIndexFreq(uint16_t column, float *hertz) { return ScGetIndexFreq(column, hertz); }
int32_t GetLocalCountry(char (&text)[TVX_TEXT_SIZE]) { return ScGetLocalCountry(0, text); }
int32_t GetDestinationCountry(char (&text)[TVX_TEXT_SIZE]) { return ScGetDestinationCountry(0, text); }
int32_t SetLocalCountry(const char *text) { return ScSetLocalCountry(0, text); }
int32_t SetDestinationCountry(const char *text) { return ScSetDestinationCountry(0, text); }
int32_t GenerateTones(const ToneGenRecord *records, int32_t count) { return ScGenerateTones(records, count); }

int32_t SetHardwareReg(int32_t block, int32_t reg, uint8_t value) { return ScSetHardwareRegs(block, reg, &value, 1); }

int32_t GetDevType() { return ScGetDevType(0, 0); }
int32_t DistinctiveRingDlg(void *owner) { return ScDistinctiveRingDlg(owner); }
int32_t InternationalTonesDlg(void *owner) { return ScInternationalTonesDlg(owner); }
int32_t InternationalHardwareDlg(void *owner) { return ScInternationalHardwareDlg(owner); }
int32_t HardwareChipsDlg(void *owner) { return ScHardwareChipsDlg(owner); }
int32_t GenerateCallerId(const CidGenRecord &record) { return ScGenerateETSI_CID(&record); }
int32_t TestLeds(uint8_t mask) { return ScTestLEDs(mask); }
int32_t UploadMelody(const uint8_t *bytes, int32_t count) { return ScUploadMelody(bytes, count); }

void SetCommandLineText(std::string text) { StoredCommandLine() = std::move(text); }
const std::string &CommandLineText() { return StoredCommandLine(); }

int32_t E2Rom(int32_t operation, const char *data) { return ScE2Rom(operation, data, StoredCommandLine().c_str()); }

}  // namespace tvx::adapter
