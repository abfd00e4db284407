#include "simulator/logic/EventNames.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "simulator/logic/DtmfKeys.h"

namespace tvxsim {
namespace {

constexpr std::array kEventNames = std::to_array<EventName>({
    {kEvDeviceAttached, "Device attached", TextForm::Plain, nullptr},
    {kEvDeviceDetached, "Device detached", TextForm::Plain, nullptr},
    {kEvRingingStarted, "Ringing started", TextForm::Plain, nullptr},
    {kEvRingingStopped, "Ringing stopped", TextForm::Plain, nullptr},
    {kEvLineRing, "Line ring detected, ring ", TextForm::Number, ""},
    {kEvLineRingEnded, "Line ring ended", TextForm::Plain, nullptr},
    {kEvLineReversal, "Line polarity reversed", TextForm::Flag, "Line polarity normal"},
    {kEvToneStarted, "Tone generation started: ", TextForm::ToneName, nullptr},
    {kEvToneStopped, "Tone generation stopped", TextForm::Plain, nullptr},
    {kEvToneSetStarted, "Tone set generation started, ", TextForm::Number, " tones"},
    {kEvToneSetStopped, "Tone set generation stopped", TextForm::Plain, nullptr},
    {kEvDialToneDetected, "Dial tone detected", TextForm::Plain, nullptr},
    {kEvNoDialTone, "No dial tone", TextForm::Plain, nullptr},
    {kEvAnswerDetected, "Answer detected", TextForm::Plain, nullptr},
    {kEvNoAnswer, "No answer", TextForm::Plain, nullptr},
    {kEvBusyDetected, "Busy detected", TextForm::Plain, nullptr},
    {kEvDtmfDetected, "DTMF digit detected: ", TextForm::DtmfKey, nullptr},
    {kEvDialled, "Dialled", TextForm::DialCode, nullptr},
    {kEvAnalysisOn, "Telephony analysis on", TextForm::Plain, nullptr},
    {kEvAnalysisOff, "Telephony analysis off", TextForm::Plain, nullptr},
    {kEvToneMonitorArmed, "Tone monitor armed, ", TextForm::Number, " tones"},
    {kEvOffHook, "Off Hook", TextForm::Plain, nullptr},
    {kEvParameterChanged, "Parameter ", TextForm::Setting, nullptr},
    {kEvThresholdChanged, "Threshold ", TextForm::Setting, nullptr},
    {kEvLocalCountry, "Local country set to ", TextForm::Number, ""},
    {kEvDestinationCountry, "Destination country set to ", TextForm::Number, ""},
    {kEvOnHook, "On Hook", TextForm::Plain, nullptr},
    {kEvLeds, "LEDs", TextForm::Leds, nullptr},
    {kEvCallerIdGenerated, "Caller ID generated", TextForm::Plain, nullptr},
    {kEvMelodyLoaded, "Melody loaded, ", TextForm::Number, " bytes"},
    {kEvDeviceErased, "Device erased", TextForm::Plain, nullptr},
    {kEvSettingsErased, "Device settings erased", TextForm::Plain, nullptr},
    {kEvSerialProgrammed, "Serial number programmed", TextForm::Plain, nullptr},
    {kEvRegistersWritten, "Hardware registers written at ", TextForm::Registers, nullptr},
    {kEvVoiceDetected, "Voice detected", TextForm::Plain, nullptr},
    {kEvSilenceDetected, "Silence detected", TextForm::Plain, nullptr},
    {kEvCallWaitingAlert,
     "Call waiting alert detected, acknowledged",
     TextForm::Flag,
     "Call waiting alert detected, not acknowledged (CIDCW off)"},
    {kEvCallerId, "Caller ID received, ", TextForm::Number, " bytes"},
    {kEvCallerIdDamaged, "Caller ID damaged, ", TextForm::Number, " bytes"},
    {kEvCallWaitingCallerIdDamaged, "Call waiting caller ID damaged, ", TextForm::Number, " bytes"},
    {kEvCallWaitingCallerId, "Call waiting caller ID received, ", TextForm::Number, " bytes"},
    {kEvToneMonitored, "Tone monitored", TextForm::Plain, nullptr},
});

static_assert(std::is_sorted(kEventNames.begin(), kEventNames.end(),
                             [](const EventName &a, const EventName &b) { return a.code < b.code; }),
              "event table is kept in code order");

constexpr std::array<const char *, 8> kToneNames = {
    "dial tone",
    "ring back",
    "busy",
    "reorder",
    "proceeding",
    "infinite beep",
    "beep",
    "receiver off-hook",
};

// Dial codes 0..29: tone keys, pulse digits, flash and waits.
struct DialCodeText {
    const char *text;  // nullptr: "Dialled code <n>"
    int32_t digit;     // >= 0: text followed by this key character
};

constexpr std::array<DialCodeText, 30> kDialCodes = [] {
    std::array<DialCodeText, 30> t{};
    for (int32_t i = 0; i < 16; ++i)
        t[i] = {"Dialled digit ", i};
    for (int32_t i = 16; i < 26; ++i)
        t[i] = {"Dialled pulse digit ", i - 16};
    t[26] = {"Dialled hook flash", -1};
    t[27] = {"Dialled pause", -1};
    t[28] = {"Dialled wait for dial tone", -1};
    t[29] = {"Dialled wait for answer", -1};
    return t;
}();

}  // namespace

std::span<const EventName> EventNames() { return kEventNames; }

const EventName *FindEventName(int32_t code)
{
    const auto it = std::lower_bound(
        kEventNames.begin(), kEventNames.end(), code, [](const EventName &row, int32_t c) { return row.code < c; });
    return (it != kEventNames.end() && it->code == code) ? &*it : nullptr;
}

const char *ToneName(int32_t tone)
{
    return (tone >= 0 && tone < static_cast<int32_t>(kToneNames.size())) ? kToneNames[tone] : nullptr;
}

void FormatDialCode(char *out, size_t size, int32_t code)
{
    if (out == nullptr || size == 0)
        return;
    if (code < 0 || code >= static_cast<int32_t>(kDialCodes.size()) || kDialCodes[code].text == nullptr) {
        std::snprintf(out, size, "Dialled code %d", code);
        return;
    }
    const DialCodeText &row = kDialCodes[code];
    if (row.digit >= 0)
        std::snprintf(out, size, "%s%c", row.text, kDtmfKeys[row.digit]);
    else
        std::snprintf(out, size, "%s", row.text);
}

bool FormatEventText(char *out, size_t size, int32_t event, int32_t param)
{
    if (out == nullptr || size == 0)
        return false;
    const EventName *row = FindEventName(event);
    if (row == nullptr) {
        std::snprintf(out, size, "Unknown event %d (param %d)", event, param);
        return false;
    }
    switch (row->form) {
    case TextForm::Plain:
        std::snprintf(out, size, "%s", row->text);
        break;
    case TextForm::Number:
        std::snprintf(out, size, "%s%d%s", row->text, param, row->suffix);
        break;
    case TextForm::ToneName:
        if (const char *name = ToneName(param))
            std::snprintf(out, size, "%s%s", row->text, name);
        else
            std::snprintf(out, size, "%stone %d", row->text, param);
        break;
    case TextForm::DtmfKey:
        if (param >= 0 && param < 16)
            std::snprintf(out, size, "%s%c", row->text, kDtmfKeys[param]);
        else
            std::snprintf(out, size, "%skey %d", row->text, param);
        break;
    case TextForm::DialCode:
        FormatDialCode(out, size, param);
        break;
    case TextForm::Setting: {
        const auto bits = static_cast<uint32_t>(param);
        std::snprintf(out, size, "%s%u set to %u", row->text, bits >> 16, bits & 0xFFFFu);
        break;
    }
    case TextForm::Leds: {
        const auto mask = static_cast<uint32_t>(param) & 0xFFu;
        std::snprintf(out, size, "LEDs: test %s, lamps 0x%02X", (mask & 0x80u) ? "on" : "off", mask & 0x7Fu);
        break;
    }
    case TextForm::Flag:
        std::snprintf(out, size, "%s", param != 0 ? row->text : row->suffix);
        break;
    case TextForm::Registers: {
        const auto bits = static_cast<uint32_t>(param);
        std::snprintf(out, size, "%s%u:%u", row->text, (bits >> 8) & 0xFFFFFFu, bits & 0xFFu);
        break;
    }
    }
    return true;
}

}  // namespace tvxsim
