// The bench window's tables: what the state lines' words read as, the device
// modes, the LED lamps, the switches and the audio points, one row each.
// Pure data, no Qt.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "simulator/logic/AdapterState.h"

namespace tvxsim::bench {

// What a person reads for each word of the call and audio lines (the words
// themselves are the wire's: simulator/logic/AdapterState.h).
struct CallText {
    LineCall call;
    std::string_view text;
};

inline constexpr std::array kCallTexts = std::to_array<CallText>({
    {LineCall::Idle, "idle"},
    {LineCall::DialTone, "dial tone"},
    {LineCall::Dialling, "dialling"},
    {LineCall::Ringing, "the line rings (incoming call)"},
    {LineCall::Ringback, "ring-back (the dialled number rings)"},
    {LineCall::Connected, "connected"},
    {LineCall::Busy, "busy"},
    {LineCall::Reorder, "reorder (number unobtainable)"},
    {LineCall::Calling, "calling (the far line awaits an answer)"},
});

struct AudioText {
    AudioNodes nodes;
    std::string_view text;
};

inline constexpr std::array kAudioTexts = std::to_array<AudioText>({
    {AudioNodes::Off, "off"},
    {AudioNodes::Unavailable, "unavailable"},
    {AudioNodes::Published, "published"},
});

// The fixed words of the scenario line (what became of TVXUSB_SCENARIO's
// file) and what a person reads for each; a prefix row is followed by the
// file and the reason, shown after its text.
struct ScenarioWordRow {
    std::string_view word;
    bool prefix;  // the value starts with the word, else it is the word
    std::string_view shown;
    bool wrong;  // the file went wrong
};

inline constexpr std::array kScenarioWords = std::to_array<ScenarioWordRow>({
    {"none", false, "Scenario: none (TVXUSB_SCENARIO is not set)", false},
    {"ok", false, "Scenario: loaded, every line taken", false},
    {"refused: ", true, "Scenario refused: ", true},
});

// The device modes by command code, named as the tool's menu names them.
struct ModeRow {
    int code;
    std::string_view name;
};

inline constexpr std::array kModeRows = std::to_array<ModeRow>({
    {10, "Phone - Audio Stream"},
    {26, "Phone - Audio Stream - Line (Direct)"},
    {42, "None"},
    {58, "Phone -Line (Default)"},
    {74, "Phone - Audio Stream, Line Hold"},
    {90, "Line - Audio Stream"},
    {106, "Phone - Audio Stream - Line"},
    {122, "Line Audio Stream, Phone Monitor"},
});

// The LEDs in the order the LEDs test lists them: the Power lamp, the six
// plain ones, and the test's own enable bit.
struct LampRow {
    uint8_t bit;  // in the `leds` mask
    std::string_view name;
};

inline constexpr std::array kLampRows = std::to_array<LampRow>({
    {0x01, "Power"},
    {0x02, "LED 2"},
    {0x04, "LED 3"},
    {0x08, "LED 4"},
    {0x10, "LED 5"},
    {0x20, "LED 6"},
    {0x40, "LED 7"},
    {0x80, "Test"},
});

// The switches shown on the adapter, with what each does.
struct SwitchRow {
    StateItem item;
    std::string_view label;
    std::string_view description;
};

inline constexpr std::array kSwitchRows = std::to_array<SwitchRow>({
    {StateItem::MutePhone, "Mute phone", "the microphone reaches neither the line nor the PC"},
    {StateItem::MuteLine, "Mute line", "nothing routed reaches the line"},
    {StateItem::PcSilent, "Silent PC stream", "PC in carries nothing and PC out reaches nothing"},
    {StateItem::EchoSuppression, "Echo suppression", "off: the line's hybrid echoes the transmit audio"},
    {StateItem::DaaBoost, "DAA boost", "+6 dB on line receive"},
    {StateItem::KeypadBeep, "Keypad beep", "keypad tones in the earpiece"},
    {StateItem::Wiretap, "Wiretapping", "PC in carries both directions of the line"},
    {StateItem::Headset, "Head set", "kept, no change to the audio"},
    {StateItem::Cidcw, "CIDCW", "the adapter acknowledges call-waiting caller ID"},
    {StateItem::Analysis, "Analysis", "the telephony analysis of the line"},
});

// Auxiliary audio content by command code.
inline constexpr std::array kAuxRows = std::to_array<ModeRow>({
    {78, "CODEC"},
    {94, "Wave Out"},
    {110, "Wave Out Mixed with CODEC"},
});

// The six audio points with a level meter each.
struct LevelRow {
    StateItem item;
    std::string_view label;
};

inline constexpr std::array kLevelRows = std::to_array<LevelRow>({
    {StateItem::LevelLineTx, "Line transmit"},
    {StateItem::LevelLineRx, "Line receive"},
    {StateItem::LevelEarpiece, "Earpiece"},
    {StateItem::LevelMic, "Microphone"},
    {StateItem::LevelPcIn, "PC in"},
    {StateItem::LevelPcOut, "PC out"},
});

// The meters' range in dBm0 (the level that means silence is the wire's kLevelFloorDbm0).
inline constexpr double kMeterLowDbm0 = -60.0;
inline constexpr double kMeterHighDbm0 = 3.2;

}  // namespace tvxsim::bench
