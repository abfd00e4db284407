#include "simulator/logic/Commands.h"

#include <algorithm>
#include <array>

namespace tvxsim {
namespace {

constexpr std::array kCommands = std::to_array<CommandRow>({
    {2, CommandKind::PcSilent, 1},
    {3, CommandKind::DaaConfig, 0},
    {4, CommandKind::PhoneRing, 0},
    {5, CommandKind::KeypadBeep, 0},
    {10, CommandKind::DeviceMode, 0},
    {11, CommandKind::EchoSuppression, 0},
    {12, CommandKind::Tone, 0},
    {13, CommandKind::MakeBreak, 0},
    {14, CommandKind::Headset, 0},
    {18, CommandKind::PcSilent, 0},
    {19, CommandKind::DaaConfig, 1},
    {20, CommandKind::PhoneRing, 1},
    {21, CommandKind::KeypadBeep, 1},
    {26, CommandKind::DeviceMode, 1},
    {27, CommandKind::EchoSuppression, 1},
    {28, CommandKind::Tone, 1},
    {29, CommandKind::MakeBreak, 1},
    {30, CommandKind::Headset, 1},
    {35, CommandKind::DaaConfig, 2},
    {38, CommandKind::DaaBoost, 0},
    {42, CommandKind::DeviceMode, 2},
    {43, CommandKind::MutePhone, 0},
    {44, CommandKind::Tone, 2},
    {45, CommandKind::MakeBreak, 2},
    {46, CommandKind::UsbHook, 1},
    {51, CommandKind::DaaConfig, 3},
    {54, CommandKind::DaaBoost, 1},
    {58, CommandKind::DeviceMode, 3},
    {59, CommandKind::MutePhone, 1},
    {60, CommandKind::Tone, 3},
    {61, CommandKind::MakeBreak, 3},
    {62, CommandKind::UsbHook, 0},
    {67, CommandKind::DaaConfig, 4},
    {68, CommandKind::RingerFrequency, 17},
    {74, CommandKind::DeviceMode, 4},
    {75, CommandKind::MuteLine, 0},
    {76, CommandKind::Tone, 4},
    {78, CommandKind::AuxContent, 4},
    {83, CommandKind::DaaConfig, 5},
    {84, CommandKind::RingerFrequency, 20},
    {90, CommandKind::DeviceMode, 5},
    {91, CommandKind::MuteLine, 1},
    {94, CommandKind::AuxContent, 5},
    {100, CommandKind::RingerFrequency, 25},
    {106, CommandKind::DeviceMode, 6},
    {108, CommandKind::Beep, 0},
    {110, CommandKind::AuxContent, 6},
    {116, CommandKind::RingerFrequency, 50},
    {122, CommandKind::DeviceMode, 7},
    {124, CommandKind::ToneStop, 0},
    {126, CommandKind::CallWaiting, 0},
    {135, CommandKind::Parameter, 135},
    {136, CommandKind::Parameter, 136},
    {138, CommandKind::Wiretap, 0},
    {140, CommandKind::Dial, 0},
    {141, CommandKind::Parameter, 141},
    {142, CommandKind::Parameter, 142},
    {151, CommandKind::Parameter, 151},
    {152, CommandKind::Parameter, 152},
    {167, CommandKind::Parameter, 167},
    {168, CommandKind::Parameter, 168},
    {183, CommandKind::Parameter, 183},
    {199, CommandKind::Parameter, 199},
    {215, CommandKind::Parameter, 215},
    {221, CommandKind::Parameter, 221},
    {237, CommandKind::Parameter, 237},
});

static_assert(std::is_sorted(kCommands.begin(), kCommands.end(),
                             [](const CommandRow &a, const CommandRow &b) { return a.code < b.code; }),
              "command table is kept in code order");

// "39/61 @ 10 PPS", "33/67 @ 10 PPS", "39/61 @ 20 PPS", "33/67 @ 20 PPS": make/break per pulse period.
constexpr std::array<PulseTiming, 4> kPulseTimings = {{{61.0, 39.0}, {67.0, 33.0}, {30.5, 19.5}, {33.5, 16.5}}};

}  // namespace

const CommandRow *FindCommand(int32_t code)
{
    const auto it = std::lower_bound(
        kCommands.begin(), kCommands.end(), code, [](const CommandRow &row, int32_t c) { return row.code < c; });
    return (it != kCommands.end() && it->code == code) ? &*it : nullptr;
}

int32_t CommandCodeOf(CommandKind kind, int32_t value)
{
    const auto it = std::find_if(kCommands.begin(), kCommands.end(), [&](const CommandRow &row) {
        return row.kind == kind && row.value == value;
    });
    return it != kCommands.end() ? it->code : 0;
}

PulseTiming PulseTimingOf(int32_t makeBreakItem)
{
    return kPulseTimings[static_cast<size_t>(std::clamp(makeBreakItem, 0, 3))];
}

int32_t PackSetting(uint32_t key, int64_t value)
{
    const auto low = static_cast<uint32_t>(std::clamp<int64_t>(value, 0, 0xFFFF));
    return static_cast<int32_t>(((key & 0xFFFFu) << 16) | low);
}

}  // namespace tvxsim
