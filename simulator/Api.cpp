// The library's C interface: argument checks, then the device state and the
// signal engine under the session's lock. Error codes: logic/SimErrors.h.
//
// Identity getters (serial number, name, revision, device type) and
// ScTranslateEventToString work in any state; ScMonitorTones needs an
// initialised library; every other function needs an open device.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "device/tvxusb.h"
#include "simulator/Gui.h"
#include "simulator/Session.h"
#include "simulator/SetupDialogs.h"
#include "simulator/engine/TonePlan.h"
#include "simulator/logic/AnalysisScale.h"
#include "simulator/logic/CidCheck.h"
#include "simulator/logic/Commands.h"
#include "simulator/logic/DeviceState.h"
#include "simulator/logic/EventNames.h"
#include "simulator/logic/SimErrors.h"

using namespace tvxsim;

namespace {

constexpr int32_t kRebootGapMs = 300;
constexpr int32_t kTopMonitorHz = 3999;

Session &TheSession() { return Session::Instance(); }

// The prologue of every function that needs an open device: the session's
// lock, then body(locked) while the device is open, else the state's error code.
template <class Body> int32_t WhenOpen(Body &&body)
{
    auto s = TheSession().Lock();
    if (int32_t rc = s.RequireOpen())
        return rc;
    return body(s);
}

int32_t CopyText(char *out, int32_t size, const char *text)
{
    if (out == nullptr)
        return kErrNullPointer;
    if (size <= 0)
        return kErrBadArgument;
    const int n = std::snprintf(out, static_cast<size_t>(size), "%s", text);
    return n >= size ? kErrTruncated : kOk;
}

int32_t RunDialog(SetupDialog which, void *owner)
{
    SetupSnapshot snap;
    const int32_t rc = WhenOpen([&](Session::Locked &s) -> int32_t {
        const DeviceState &st = s.State();
        snap.serial = st.serial;
        snap.localCountry = st.localCountry;
        snap.destinationCountry = st.destinationCountry;
        snap.devType = st.devType;
        snap.revision = kRawRevision;
        snap.ringerOffPeriod = st.Parameter(Param::RingerOff);
        snap.ringerOnPeriod = st.Parameter(Param::RingerOn);
        snap.ringerHz = st.ringerHz;
        snap.daaConfig = st.daaConfig;
        snap.daaBoost = st.daaBoost;
        snap.codecBoost129 = st.RegisterValue(66, 129);
        snap.codecBoost130 = st.RegisterValue(66, 130);
        const TonePlan &plan = TonePlanForText(st.localCountry);
        snap.tonePlan = plan.name;
        snap.dialTone = DescribeTone(plan.Tone(ProgressTone::Dial));
        snap.ringBack = DescribeTone(plan.Tone(ProgressTone::RingBack));
        snap.busy = DescribeTone(plan.Tone(ProgressTone::Busy));
        snap.reorder = DescribeTone(plan.Tone(ProgressTone::Reorder));
        return kOk;
    });
    if (rc != kOk)
        return rc;
    return ShowSetupDialog(which, owner, snap);  // the lock is not held while the dialog runs
}

int32_t SetCountry(const char *text, void (Engine::*set)(const std::string &))
{
    return WhenOpen([&](Session::Locked &s) -> int32_t {
        if (text == nullptr)
            return kErrNullPointer;
        if (!IsCountryText(text))
            return kErrBadText;
        (s.GetEngine()->*set)(text);
        s.Wake();
        return kOk;
    });
}

int32_t GetCountry(char *text256, std::string DeviceState::*field)
{
    return WhenOpen(
        [&](Session::Locked &s) -> int32_t { return CopyText(text256, TVX_TEXT_SIZE, (s.State().*field).c_str()); });
}

bool UsableRow(const ToneMonitorEntry &row)
{
    const auto hz = [](int32_t f) { return f >= 0 && f <= kTopMonitorHz; };
    return hz(row.frequency1) && hz(row.frequency2) && row.duration >= 0;
}

}  // namespace

extern "C" {

TVX_API int32_t ScInitialize(ScEventCallback cb, void *context, int32_t, int32_t, int32_t, int32_t, int32_t,
                             int32_t *libraryVersion, void *spectrumWindow)
{
    return TheSession().Initialize(cb, context, libraryVersion, spectrumWindow);
}

TVX_API int32_t ScOpen(int32_t, int32_t) { return TheSession().Open(); }

TVX_API int32_t ScClose(int32_t) { return TheSession().Close(); }

TVX_API int32_t ScShutdown(int32_t) { return TheSession().Shutdown(); }

TVX_API int32_t ScGetDeviceSN(char *text, int32_t size)
{
    std::string serial;
    {
        auto s = TheSession().Lock();
        serial = s.State().serial;
    }
    return CopyText(text, size, serial.c_str());
}

TVX_API int32_t ScGetDeviceName(char *text, int32_t size) { return CopyText(text, size, kDeviceName); }

TVX_API int32_t ScGetRawDeviceRevision(int32_t) { return kRawRevision; }

TVX_API int32_t ScMonitorTones(int32_t mode, const ToneMonitorEntry *set, int32_t count)
{
    auto s = TheSession().Lock();
    if (int32_t rc = s.RequireInitialised())
        return rc;
    if (mode < 0 || mode > 1 || count < 0 || count > kMaxMonitorTones)
        return kErrBadArgument;
    if (set == nullptr && count > 0)
        return kErrNullPointer;
    for (int32_t i = 0; i < count; ++i)
        if (!UsableRow(set[i]))
            return kErrBadArgument;
    const bool armed = mode != 0 && count > 0;
    s.ArmMonitor(armed ? set : nullptr, armed ? count : 0);
    s.Post(kEvToneMonitorArmed, s.State().monitorCount);
    return kOk;
}

TVX_API int32_t ScTranslateEventToString(char *text256, int32_t event, int32_t param)
{
    if (text256 == nullptr)
        return kErrNullPointer;
    const EngineEvent *current = Driver::InFlight();
    if (current != nullptr && current->code == event && current->param == param && !current->detail.empty()) {
        std::snprintf(text256, TVX_TEXT_SIZE, "%s", current->detail.c_str());
        return kOk;
    }
    return FormatEventText(text256, TVX_TEXT_SIZE, event, param) ? kOk : kErrUnknownEvent;
}

TVX_API int32_t ScDoCommand(int32_t code, int32_t param, int32_t, int32_t)
{
    return WhenOpen([&](Session::Locked &s) -> int32_t {
        const int32_t rc = s.GetEngine()->DoCommand(code, param);
        s.SyncAnalysis();
        s.Wake();
        return rc;
    });
}

TVX_API int32_t ScSetThreshold(int32_t selector, uint32_t value)
{
    return WhenOpen([&](Session::Locked &s) -> int32_t {
        const int32_t rc = s.GetEngine()->SetThreshold(selector, value);
        s.Wake();
        return rc;
    });
}

TVX_API int32_t ScGetThreshold(int32_t selector, uint32_t *value)
{
    return WhenOpen([&](Session::Locked &s) -> int32_t {
        if (value == nullptr)
            return kErrNullPointer;
        if (selector < 0 || selector >= kThresholdSelectors)
            return kErrBadArgument;
        *value = s.State().thresholds[static_cast<size_t>(selector)];
        return kOk;
    });
}

TVX_API int32_t ScGetIndexFreq(uint16_t column, float *hertz)
{
    return WhenOpen([&](Session::Locked &s) -> int32_t {
        if (hertz == nullptr)
            return kErrNullPointer;
        SpectrumPainter *painter = s.Painter();
        if (painter == nullptr)
            return kErrNoWindow;
        const int width = painter->MappingWidth();
        if (width <= 0)
            return kErrNoWindow;
        return ColumnToHz(column, width, *hertz) ? kOk : kErrOutOfRange;
    });
}

TVX_API int32_t ScGetLocalCountry(int32_t, char *text256) { return GetCountry(text256, &DeviceState::localCountry); }

TVX_API int32_t ScGetDestinationCountry(int32_t, char *text256)
{
    return GetCountry(text256, &DeviceState::destinationCountry);
}

TVX_API int32_t ScSetLocalCountry(int32_t, const char *text) { return SetCountry(text, &Engine::SetLocalCountry); }

TVX_API int32_t ScSetDestinationCountry(int32_t, const char *text)
{
    return SetCountry(text, &Engine::SetDestinationCountry);
}

TVX_API int32_t ScGenerateTones(const ToneGenRecord *records, int32_t count)
{
    return WhenOpen([&](Session::Locked &s) -> int32_t {
        if (count < 0 || count > kMaxToneRecords)
            return kErrBadArgument;
        if (records == nullptr && count > 0)
            return kErrNullPointer;
        // The caller's array lives only for this call: the engine copies what it needs.
        s.GetEngine()->GenerateTones(std::span<const ToneGenRecord>(records, static_cast<size_t>(count)));
        s.Wake();
        return kOk;
    });
}

TVX_API int32_t ScSetHardwareRegs(int32_t block, int32_t reg, const uint8_t *values, int32_t count)
{
    return WhenOpen([&](Session::Locked &s) -> int32_t {
        if (block < 0 || block >= kRegisterBlocks || reg < 0 || reg >= kRegistersPerBlock || count < 0 ||
            count > kRegistersPerBlock - reg)
            return kErrBadArgument;
        if (values == nullptr && count > 0)
            return kErrNullPointer;
        s.GetEngine()->WriteRegisters(block, reg, std::span<const uint8_t>(values, static_cast<size_t>(count)));
        s.Wake();
        return kOk;
    });
}

TVX_API int32_t ScGetDevType(int32_t, int32_t)
{
    auto s = TheSession().Lock();
    return s.State().devType;
}

TVX_API int32_t ScDistinctiveRingDlg(void *owner) { return RunDialog(SetupDialog::DistinctiveRing, owner); }

TVX_API int32_t ScInternationalTonesDlg(void *owner) { return RunDialog(SetupDialog::InternationalTones, owner); }

TVX_API int32_t ScInternationalHardwareDlg(void *owner) { return RunDialog(SetupDialog::InternationalHardware, owner); }

TVX_API int32_t ScHardwareChipsDlg(void *owner) { return RunDialog(SetupDialog::HardwareChips, owner); }

TVX_API int32_t ScGenerateETSI_CID(const CidGenRecord *record)
{
    return WhenOpen([&](Session::Locked &s) -> int32_t {
        if (record == nullptr)
            return kErrNullPointer;
        if (int32_t rc = CheckCidRecord(*record))
            return rc;
        // The record lives only for this call: the engine takes what it needs now.
        const int32_t rc = s.GetEngine()->GenerateCallerId(*record);
        s.Wake();
        return rc;
    });
}

TVX_API int32_t ScTestLEDs(uint8_t mask)
{
    return WhenOpen([&](Session::Locked &s) -> int32_t {
        s.GetEngine()->SetLeds(mask);
        s.Wake();
        return kOk;
    });
}

TVX_API int32_t ScUploadMelody(const uint8_t *bytes, int32_t count)
{
    return WhenOpen([&](Session::Locked &s) -> int32_t {
        if (count < 0 || count > TVX_MELODY_MAX)
            return kErrBadArgument;
        if (bytes == nullptr && count > 0)
            return kErrNullPointer;
        s.GetEngine()->LoadMelody(std::span<const uint8_t>(bytes, static_cast<size_t>(count)));
        s.Wake();
        return kOk;
    });
}

TVX_API int32_t ScE2Rom(int32_t operation, const char *data, const char *commandLine)
{
    if (commandLine == nullptr)
        return kErrNullPointer;
    return WhenOpen([&](Session::Locked &s) -> int32_t {
        Engine &engine = *s.GetEngine();
        switch (operation) {
        case E2ROM_ERASE:
        case E2ROM_ERASE_TVX:
            engine.Erase(operation == E2ROM_ERASE_TVX);
            s.Wake();
            return kOk;
        case E2ROM_PROGRAM_SN:
            if (data == nullptr)
                return kErrNullPointer;
            if (strnlen(data, TVX_SERIAL_LENGTH + 1) != TVX_SERIAL_LENGTH)
                return kErrBadSerial;
            engine.ProgramSerial(std::string(data, TVX_SERIAL_LENGTH));
            s.Wake();
            return kOk;
        case E2ROM_REBOOT:
            s.Post(kEvDeviceDetached, 0);
            s.GetEngine()->ReportLater(kEvDeviceAttached, 0, kRebootGapMs);
            return kOk;
        default:
            return kErrBadArgument;
        }
    });
}

}  // extern "C"
