// The ScDoCommand codes the adapter takes (code = item * 16 + group), each
// with what it does. A code that is not in the table is refused.
#pragma once

#include <cstdint>

namespace tvxsim {

constexpr int32_t CommandGroup(int32_t code) { return code & 0xF; }
constexpr int32_t CommandItem(int32_t code) { return code >> 4; }

enum class CommandKind : uint8_t {
    PcSilent,         // value 1 silent, 0 normal
    DaaConfig,        // value: item 0..5
    PhoneRing,        // value 1 ring, 0 stop
    RingerFrequency,  // value: Hz
    KeypadBeep,       // value 1 on, 0 off
    DaaBoost,         // value 1 on, 0 off
    Parameter,        // the parameter's code; the value is the command's parameter
    DeviceMode,       // value: item 0..7
    Wiretap,          // the command's parameter: non-zero on
    EchoSuppression,  // value 1 on, 0 off
    MutePhone,        // value 1 on, 0 off
    MuteLine,         // value 1 on, 0 off
    Tone,             // value: generator tone 0..4
    Beep,             // the command's parameter 0..2: tones 5..7
    ToneStop,
    Dial,         // the command's parameter: dial code 0..29, 30/31 analysis off/on
    MakeBreak,    // value: item 0..3
    Headset,      // value 1 on, 0 off
    UsbHook,      // value 1 off hook, 0 on hook
    AuxContent,   // value: item 4..6
    CallWaiting,  // the command's parameter: non-zero on
};

struct CommandRow {
    int32_t code;
    CommandKind kind;
    int32_t value;
};

// The row of a code, or nullptr for a code the adapter does not take.
const CommandRow *FindCommand(int32_t code);
// The code of the first row of `kind` with `value` (a device mode's item,
// say), or 0 when there is none.
int32_t CommandCodeOf(CommandKind kind, int32_t value);

inline constexpr int32_t kDialCommand = 140;
inline constexpr int32_t kDialCodeLast = 29;
inline constexpr int32_t kDialAnalysisOff = 30;
inline constexpr int32_t kDialAnalysisOn = 31;
inline constexpr int32_t kBeepParamLast = 2;

// Pulse dialling of make/break items 0..3: break and make in ms (per pulse).
struct PulseTiming {
    double breakMs;
    double makeMs;
};
PulseTiming PulseTimingOf(int32_t makeBreakItem);

// Event parameter for a changed setting: key in the high 16 bits, value in
// the low 16 (clamped to 0..65535).
int32_t PackSetting(uint32_t key, int64_t value);

}  // namespace tvxsim
