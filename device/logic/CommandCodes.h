// Command codes of ScDoCommand: every code the tool sends, one table row each.
//
// A code is item * 16 + group: the group is the low four bits, the item the
// rest. The table holds the group and item of each row and computes the code,
// so no code is ever typed by hand. The menu commands, the parameter editor,
// the dialler and the analysis readout take their ScDoCommand codes from here.
//
// Everything here is constexpr data and pure functions, usable from any
// thread (in practice the UI thread).
#ifndef TVX_DEVICE_LOGIC_COMMANDCODES_H
#define TVX_DEVICE_LOGIC_COMMANDCODES_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace tvx {

// Third and fourth argument of every ScDoCommand call made from the menu, the
// parameter editor and the dialler (a dialled "W" passes kDialWaitArg4).
inline constexpr int32_t kDoCommandArg3 = 0;
inline constexpr int32_t kDoCommandArg4 = 0xFFFF;
inline constexpr int32_t kDialWaitArg4 = 0;

// What the second argument of ScDoCommand carries for a code.
enum class ParamRule : uint8_t {
    Zero,      // always 0
    OnOff,     // 1 on, 0 off
    Value,     // the parameter value set by the user
    DialCode,  // a dial code (0..29), or 31/30 for the analysis switch
    BeepKind,  // 0 "Infinite Beep", 1 "Beep", 2 "Receiver Off-Hook"
};

// One name per row of kCommandTable, in table order.
enum class Command : uint8_t {
    // group 2: PC audio stream
    PcAudioSilent,
    PcAudioNormal,
    // group 3: DAA configuration, in menu order
    DaaNormal,
    DaaComplex,
    DaaSpecialPulse,
    DaaSpecialPulseComplex,
    DaaCtr21,
    DaaCtr21Complex,
    // group 4: ringing and ringer frequency
    RingingOff,
    RingingOn,
    Ringer17Hz,
    Ringer20Hz,
    Ringer25Hz,
    Ringer50Hz,
    // group 5: keypad beep
    KeypadBeepOff,
    KeypadBeepOn,
    // group 6: DAA boost
    DaaBoostOff,
    DaaBoostOn,
    // group 7: timing parameters
    RingerOffPeriod,
    RingerOnPeriod,
    WaitForDialToneTime,
    WaitForAnswerTime,
    DtmfDialTime,
    PauseTime,
    // group 8: light DTMF detectors
    LiteDtmfDaaOnHook,
    LiteDtmfDaaOffHook,
    LiteDtmfCodec,
    // group 10: device mode, in menu order, and wiretapping
    ModePhoneAudioStream,
    ModePhoneAudioStreamLineDirect,
    ModeNone,
    ModePhoneLine,
    ModePhoneAudioStreamLineHold,
    ModeLineAudioStream,
    ModePhoneAudioStreamLine,
    ModeLineAudioStreamPhoneMonitor,
    Wiretapping,
    // group 11: echo suppression, phone mute, line mute
    EchoSuppressionOff,
    EchoSuppressionOn,
    PhoneMuteOff,
    PhoneMuteOn,
    LineMuteOff,
    LineMuteOn,
    // group 12: tone generator, dialling
    ToneDialtone,
    ToneRingBack,
    ToneBusy,
    ToneReorder,
    ToneProceeding,
    ToneBeep,
    ToneStop,
    Dial,
    // group 13: pulse make/break ratio, in menu order, and hook flash timing
    MakeBreak39_61At10,
    MakeBreak33_67At10,
    MakeBreak39_61At20,
    MakeBreak33_67At20,
    HookFlashTime,
    PreHookFlashGuardTime,
    PostHookFlashGuardTime,
    // group 14: head set, handset hook, auxiliary audio, CIDCW, voice detection
    HeadSetOff,
    HeadSetOn,
    HandsetOffHook,
    HandsetOnHook,
    AuxCodec,
    AuxWaveOut,
    AuxWaveOutMixedCodec,
    Cidcw,
    VoiceDetectionThreshold,
};

inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(Command::VoiceDetectionThreshold) + 1;

// code = item * 16 + group.
constexpr int32_t MakeCommandCode(int group, int item) { return item * 16 + group; }
constexpr int CommandGroupOf(int32_t code) { return code & 0xF; }
constexpr int CommandItemOf(int32_t code) { return code >> 4; }

struct CommandRow {
    Command command;
    uint8_t group;  // 0..15
    uint8_t item;
    ParamRule param;
    const char *meaning;  // short description of what the code asks for
    constexpr int32_t code() const { return MakeCommandCode(group, item); }
};

// The table: one row per code, in the order of enum Command.
inline constexpr std::array<CommandRow, kCommandCount> kCommandTable = {{
    {Command::PcAudioSilent, 2, 0, ParamRule::Zero, "PC audio stream silent"},
    {Command::PcAudioNormal, 2, 1, ParamRule::Zero, "PC audio stream normal"},

    {Command::DaaNormal, 3, 0, ParamRule::Zero, "DAA configuration Normal (US/Canada)"},
    {Command::DaaComplex, 3, 1, ParamRule::Zero, "DAA configuration Complex"},
    {Command::DaaSpecialPulse, 3, 2, ParamRule::Zero, "DAA configuration Special Pulse dialing"},
    {Command::DaaSpecialPulseComplex, 3, 3, ParamRule::Zero, "DAA configuration Special Pulse dialing / Complex"},
    {Command::DaaCtr21, 3, 4, ParamRule::Zero, "DAA configuration CTR21"},
    {Command::DaaCtr21Complex, 3, 5, ParamRule::Zero, "DAA configuration CTR21 / Complex"},

    {Command::RingingOff, 4, 0, ParamRule::Zero, "ringing off"},
    {Command::RingingOn, 4, 1, ParamRule::Zero, "ringing on"},
    {Command::Ringer17Hz, 4, 4, ParamRule::Zero, "ringer frequency 17 Hz"},
    {Command::Ringer20Hz, 4, 5, ParamRule::Zero, "ringer frequency 20 Hz"},
    {Command::Ringer25Hz, 4, 6, ParamRule::Zero, "ringer frequency 25 Hz"},
    {Command::Ringer50Hz, 4, 7, ParamRule::Zero, "ringer frequency 50 Hz"},

    {Command::KeypadBeepOff, 5, 0, ParamRule::Zero, "keypad beep off"},
    {Command::KeypadBeepOn, 5, 1, ParamRule::Zero, "keypad beep on"},

    {Command::DaaBoostOff, 6, 2, ParamRule::Zero, "DAA boost off"},
    {Command::DaaBoostOn, 6, 3, ParamRule::Zero, "DAA boost on"},

    {Command::RingerOffPeriod, 7, 8, ParamRule::Value, "Ringer Off Period"},
    {Command::RingerOnPeriod, 7, 9, ParamRule::Value, "Ringer On Period"},
    {Command::WaitForDialToneTime, 7, 10, ParamRule::Value, "Wait for Dial Tone Time"},
    {Command::WaitForAnswerTime, 7, 11, ParamRule::Value, "Wait for Answer Time"},
    {Command::DtmfDialTime, 7, 12, ParamRule::Value, "DTMF Dial Time"},
    {Command::PauseTime, 7, 13, ParamRule::Value, "Pause Time"},

    {Command::LiteDtmfDaaOnHook, 8, 8, ParamRule::Value, "Lite DTMF DAA, phone on-hook"},
    {Command::LiteDtmfDaaOffHook, 8, 9, ParamRule::Value, "Lite DTMF DAA, phone off-hook"},
    {Command::LiteDtmfCodec, 8, 10, ParamRule::Value, "Lite DTMF CODEC"},

    {Command::ModePhoneAudioStream, 10, 0, ParamRule::Zero, "device mode Phone - Audio Stream"},
    {Command::ModePhoneAudioStreamLineDirect,
     10,
     1,
     ParamRule::Zero,
     "device mode Phone - Audio Stream - Line (Direct)"},
    {Command::ModeNone, 10, 2, ParamRule::Zero, "device mode None"},
    {Command::ModePhoneLine, 10, 3, ParamRule::Zero, "device mode Phone -Line (Default)"},
    {Command::ModePhoneAudioStreamLineHold, 10, 4, ParamRule::Zero, "device mode Phone - Audio Stream, Line Hold"},
    {Command::ModeLineAudioStream, 10, 5, ParamRule::Zero, "device mode Line - Audio Stream"},
    {Command::ModePhoneAudioStreamLine, 10, 6, ParamRule::Zero, "device mode Phone - Audio Stream - Line"},
    {Command::ModeLineAudioStreamPhoneMonitor, 10, 7, ParamRule::Zero, "device mode Line Audio Stream, Phone Monitor"},
    {Command::Wiretapping, 10, 8, ParamRule::OnOff, "wiretapping"},

    {Command::EchoSuppressionOff, 11, 0, ParamRule::Zero, "echo suppression off"},
    {Command::EchoSuppressionOn, 11, 1, ParamRule::Zero, "echo suppression on"},
    {Command::PhoneMuteOff, 11, 2, ParamRule::Zero, "phone mute off"},
    {Command::PhoneMuteOn, 11, 3, ParamRule::Zero, "phone mute on"},
    {Command::LineMuteOff, 11, 4, ParamRule::Zero, "line mute off"},
    {Command::LineMuteOn, 11, 5, ParamRule::Zero, "line mute on"},

    {Command::ToneDialtone, 12, 0, ParamRule::Zero, "start tone Dialtone"},
    {Command::ToneRingBack, 12, 1, ParamRule::Zero, "start tone Ring Back"},
    {Command::ToneBusy, 12, 2, ParamRule::Zero, "start tone Busy"},
    {Command::ToneReorder, 12, 3, ParamRule::Zero, "start tone Reorder"},
    {Command::ToneProceeding, 12, 4, ParamRule::Zero, "start tone Proceeding"},
    {Command::ToneBeep, 12, 6, ParamRule::BeepKind, "start Infinite Beep, Beep or Receiver Off-Hook"},
    {Command::ToneStop, 12, 7, ParamRule::Zero, "stop the generated tone"},
    {Command::Dial, 12, 8, ParamRule::DialCode, "dialling, telephony analysis switch"},

    {Command::MakeBreak39_61At10, 13, 0, ParamRule::Zero, "pulse make/break 39/61 @ 10 PPS US and Canada"},
    {Command::MakeBreak33_67At10, 13, 1, ParamRule::Zero, "pulse make/break 33/67 @ 10 PPS UK and HK"},
    {Command::MakeBreak39_61At20, 13, 2, ParamRule::Zero, "pulse make/break 39/61 @ 20 PPS"},
    {Command::MakeBreak33_67At20, 13, 3, ParamRule::Zero, "pulse make/break 33/67 @ 20 PPS Japan"},
    {Command::HookFlashTime, 13, 8, ParamRule::Value, "Hook Flash Time"},
    {Command::PreHookFlashGuardTime, 13, 13, ParamRule::Value, "Pre Hook Flash Guard Time"},
    {Command::PostHookFlashGuardTime, 13, 14, ParamRule::Value, "Post Hook Flash Guard Time"},

    {Command::HeadSetOff, 14, 0, ParamRule::Zero, "head set off"},
    {Command::HeadSetOn, 14, 1, ParamRule::Zero, "head set on"},
    {Command::HandsetOffHook, 14, 2, ParamRule::Zero, "handset off-hook"},
    {Command::HandsetOnHook, 14, 3, ParamRule::Zero, "handset on-hook"},
    {Command::AuxCodec, 14, 4, ParamRule::Zero, "auxiliary audio content CODEC"},
    {Command::AuxWaveOut, 14, 5, ParamRule::Zero, "auxiliary audio content Wave Out"},
    {Command::AuxWaveOutMixedCodec, 14, 6, ParamRule::Zero, "auxiliary audio content Wave Out Mixed with CODEC"},
    {Command::Cidcw, 14, 7, ParamRule::OnOff, "call-waiting caller ID (CIDCW)"},
    {Command::VoiceDetectionThreshold, 14, 8, ParamRule::Value, "Voice Detection Threshold"},
}};

// The row of a command. Pure.
constexpr const CommandRow &CommandInfo(Command c) { return kCommandTable[static_cast<std::size_t>(c)]; }

// The ScDoCommand code of a command (item * 16 + group). Pure.
constexpr int32_t CommandCode(Command c) { return CommandInfo(c).code(); }

// The command whose code is `code`, or none if the tool never sends it. Pure.
constexpr std::optional<Command> CommandFromCode(int32_t code)
{
    for (const CommandRow &row : kCommandTable)
        if (row.code() == code)
            return row.command;
    return std::nullopt;
}

// One ScDoCommand call: its code and second argument (the third and fourth
// are kDoCommandArg3 and kDoCommandArg4).
struct CommandCall {
    Command command;
    int32_t param = 0;
    constexpr int32_t code() const { return CommandCode(command); }
    constexpr bool operator==(const CommandCall &) const = default;
};

// ---- compile-time checks of the table ----
namespace command_codes_detail {
constexpr bool RowsInEnumOrder()
{
    for (std::size_t i = 0; i < kCommandTable.size(); ++i)
        if (static_cast<std::size_t>(kCommandTable[i].command) != i)
            return false;
    return true;
}
constexpr bool CodesDistinct()
{
    for (std::size_t i = 0; i < kCommandTable.size(); ++i)
        for (std::size_t j = i + 1; j < kCommandTable.size(); ++j)
            if (kCommandTable[i].code() == kCommandTable[j].code())
                return false;
    return true;
}
constexpr bool GroupsValid()
{
    for (const CommandRow &row : kCommandTable) {
        // Groups 0, 1, 9 and 15 are not used; items fit in the code's upper bits.
        if (row.group > 15 || row.group == 0 || row.group == 1 || row.group == 9 || row.group == 15 || row.item > 15)
            return false;
        if (CommandGroupOf(row.code()) != row.group || CommandItemOf(row.code()) != row.item)
            return false;
    }
    return true;
}
}  // namespace command_codes_detail

static_assert(command_codes_detail::RowsInEnumOrder(), "kCommandTable rows follow enum Command");
static_assert(command_codes_detail::CodesDistinct(), "no two commands share a code");
static_assert(command_codes_detail::GroupsValid(), "groups and items within the code scheme");

// Codes the menu and the panel are known to send.
static_assert(CommandCode(Command::Ringer17Hz) == 68);
static_assert(CommandCode(Command::AuxCodec) == 78);
static_assert(CommandCode(Command::AuxWaveOut) == 94);
static_assert(CommandCode(Command::AuxWaveOutMixedCodec) == 110);
static_assert(CommandCode(Command::Dial) == 140);
static_assert(CommandCode(Command::PostHookFlashGuardTime) == 237);
static_assert(CommandCode(Command::ModePhoneLine) == 58);
static_assert(CommandCode(Command::ToneBeep) == 108);
static_assert(CommandCode(Command::ToneStop) == 124);
static_assert(CommandCode(Command::Wiretapping) == 138);
static_assert(CommandCode(Command::Cidcw) == 126);

}  // namespace tvx

#endif  // TVX_DEVICE_LOGIC_COMMANDCODES_H
