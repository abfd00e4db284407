// Which events confirm a ScDoCommand code, and which codes set a parameter.
#pragma once

#include <array>
#include <cstdint>

namespace tvxsim {

// Command code = item * 16 + group.
constexpr int32_t commandGroup(int32_t code) { return code & 0xF; }
constexpr int32_t commandItem(int32_t code) { return code >> 4; }

inline constexpr int32_t kDialCommand = 140;  // group 12, item 8
inline constexpr int32_t kDialAnalysisOn = 31;
inline constexpr int32_t kDialAnalysisOff = 30;
inline constexpr int32_t kDialCodeLast = 29;
inline constexpr int32_t kBeepCommand = 108;      // group 12, item 6
inline constexpr int32_t kBeepEndsAfterMs = 250;  // "Beep" (parameter 1) ends by itself

// Parameter codes: group 7 and 8 (items 8 and up), group 13 items 8 and up, group 14 item 8.
bool isParameterCode(int32_t code);

struct Confirmation {
    int32_t event = 0;
    int32_t param = 0;
    int32_t side = 0;
    int32_t delayMs = 0;
};

struct CommandConfirmations {
    std::array<Confirmation, 2> events{};
    int count = 0;
};

// The events that report a command; none for codes a tester needs no echo of.
CommandConfirmations confirmCommand(int32_t code, int32_t param);

// Event parameter for a changed setting: key in the high 16 bits, value in the low 16.
int32_t packSetting(uint32_t key, uint32_t value);

}  // namespace tvxsim
