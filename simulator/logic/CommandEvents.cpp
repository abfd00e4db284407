#include "simulator/logic/CommandEvents.h"

#include <algorithm>

#include "device/tvxusb.h"
#include "simulator/logic/EventNames.h"

namespace tvxsim {
namespace {

// Codes whose confirmation does not depend on the parameter.
struct FixedConfirmation {
    int32_t code;
    int32_t event;
    int32_t param;
    int32_t side;
};

constexpr std::array kFixed = std::to_array<FixedConfirmation>({
    {4, kEvRingingStopped, 0, 0},
    {12, kEvToneStarted, 0, 0},
    {20, kEvRingingStarted, 0, 0},
    {28, kEvToneStarted, 1, 0},
    {44, kEvToneStarted, 2, 0},
    {46, kEvOffHook, 0, TVX_SIDE_PHONE},
    {60, kEvToneStarted, 3, 0},
    {62, kEvOnHook, 0, TVX_SIDE_PHONE},
    {76, kEvToneStarted, 4, 0},
    {124, kEvToneStopped, 0, 0},
});

// First tone number of command 108 (parameter 0 "infinite beep").
constexpr int32_t kBeepToneBase = 5;

void add(CommandConfirmations &c, Confirmation e)
{
    if (c.count < static_cast<int>(c.events.size()))
        c.events[static_cast<size_t>(c.count++)] = e;
}

}  // namespace

int32_t packSetting(uint32_t key, uint32_t value)
{
    return static_cast<int32_t>(((key & 0xFFFFu) << 16) | std::min<uint32_t>(value, 0xFFFFu));
}

bool isParameterCode(int32_t code)
{
    if (code < 0)
        return false;
    const int32_t group = commandGroup(code);
    const int32_t item = commandItem(code);
    switch (group) {
    case 7:
    case 8:
    case 13:
        return item >= 8;
    case 14:
        return item == 8;
    default:
        return false;
    }
}

CommandConfirmations confirmCommand(int32_t code, int32_t param)
{
    CommandConfirmations c;
    const auto it =
        std::find_if(kFixed.begin(), kFixed.end(), [code](const FixedConfirmation &f) { return f.code == code; });
    if (it != kFixed.end()) {
        add(c, {it->event, it->param, it->side, 0});
        return c;
    }
    if (code == kBeepCommand) {
        add(c, {kEvToneStarted, kBeepToneBase + param, 0, 0});
        if (param == 1)
            add(c, {kEvToneStopped, 0, 0, kBeepEndsAfterMs});
        return c;
    }
    if (code == kDialCommand) {
        if (param == kDialAnalysisOn)
            add(c, {kEvAnalysisOn, 0, 0, 0});
        else if (param == kDialAnalysisOff)
            add(c, {kEvAnalysisOff, 0, 0, 0});
        else if (param >= 0 && param <= kDialCodeLast)
            add(c, {kEvDialled, param, 0, 0});
        return c;
    }
    if (isParameterCode(code)) {
        add(c, {kEvParameterChanged, packSetting(static_cast<uint32_t>(code), static_cast<uint32_t>(param)), 0, 0});
    }
    return c;
}

}  // namespace tvxsim
