// Event codes of the simulated adapter and the texts ScTranslateEventToString gives them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tvxsim {

// Event codes the simulator reports. 64, 95, 225, 228 and 229 are fixed by the
// library interface; the rest are this library's own.
enum SimEvent : int32_t {
    kEvDeviceAttached = 1,
    kEvDeviceDetached = 2,
    kEvRingingStarted = 16,  // ringing the phone (command 20)
    kEvRingingStopped = 17,  // command 4
    kEvLineRing = 18,        // ring signal on the line, param: ring count
    kEvLineRingEnded = 19,
    kEvLineReversal = 21,  // param: 1 reversed, 0 normal again
    kEvToneStarted = 32,   // param: tone number 0..7
    kEvToneStopped = 33,
    kEvToneSetStarted = 34,  // ScGenerateTones, param: record count
    kEvToneSetStopped = 35,
    kEvDialToneDetected = 36,  // the dialler's wait for dial tone ended with dial tone
    kEvNoDialTone = 37,        // ... ended by its time-out
    kEvAnswerDetected = 38,    // the dialler's wait for answer ended with the answer
    kEvNoAnswer = 39,          // ... ended by its time-out
    kEvBusyDetected = 40,      // ... ended with a busy signal
    kEvDtmfDetected = 48,      // param: key 0..15 (0-9, *, #, A-D)
    kEvDialled = 49,           // param: dial code 0..29, as the dialler starts it
    kEvAnalysisOn = 50,
    kEvAnalysisOff = 51,
    kEvToneMonitorArmed = 52,    // param: number of tones
    kEvOffHook = 64,             // with a side
    kEvParameterChanged = 80,    // param: command code << 16 | value (low 16 bits)
    kEvThresholdChanged = 81,    // param: selector << 16 | value (low 16 bits)
    kEvLocalCountry = 82,        // param: country code
    kEvDestinationCountry = 83,  // param: country code
    kEvOnHook = 95,              // with a side
    kEvLeds = 96,                // param: LED mask
    kEvCallerIdGenerated = 97,
    kEvMelodyLoaded = 98,  // param: byte count
    kEvDeviceErased = 99,
    kEvSettingsErased = 100,
    kEvSerialProgrammed = 101,
    kEvRegistersWritten = 102,  // param: block << 8 | first register
    kEvVoiceDetected = 112,
    kEvSilenceDetected = 113,
    kEvCallWaitingAlert = 224,  // the CAS, param: 1 acknowledged (CIDCW on), 0 not
    kEvCallerId = 225,          // payload: message bytes, param: count
    kEvCallerIdDamaged = 226,   // payload: the bytes received, param: count
    kEvCallWaitingCallerIdDamaged = 227,
    kEvCallWaitingCallerId = 228,  // payload: message bytes, param: count
    kEvToneMonitored = 229,        // payload: ToneMonitorEntry
};

// How the parameter shapes an event's text.
enum class TextForm : uint8_t {
    Plain,      // text
    Number,     // text, param in decimal, suffix
    ToneName,   // text and the name of tone param
    DtmfKey,    // text and the key param
    DialCode,   // the dial code's own text
    Setting,    // text, param >> 16, " set to ", param & 0xFFFF
    Leds,       // "LEDs: test on|off, lamps 0xNN"
    Registers,  // text, block:register
    Flag,       // text when param is not 0, suffix when it is
};

struct EventName {
    int32_t code;
    const char *text;
    TextForm form;
    const char *suffix;  // Number: after the number; Flag: the text for 0
};

// The whole table, in code order.
std::span<const EventName> EventNames();

// The row for a code, or nullptr.
const EventName *FindEventName(int32_t code);

// Writes the text for (event, param) into out (size bytes, always terminated
// when size > 0). Unknown codes give "Unknown event <code> (param <param>)".
// Returns false for an unknown code.
bool FormatEventText(char *out, size_t size, int32_t event, int32_t param);

// Names of the tones that commands 12..76 and 108 start (0..7), nullptr outside.
const char *ToneName(int32_t tone);

// Text of a dial code 0..29 ("Dialled digit 5"), written into out.
void FormatDialCode(char *out, size_t size, int32_t code);

}  // namespace tvxsim
