// The bench window's tables: the control socket's state lines, the device
// modes, the LED lamps, the switches and the audio points, one row each.
// Pure data, no Qt.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tvxsim::bench {

// Every state line the adapter reports, in the order it sends them.
enum class Item : uint8_t {
    Time,
    Phone,
    Line,
    Call,
    Ringing,
    RingerHz,
    Melody,
    Leds,
    Display,
    Mode,
    MutePhone,
    MuteLine,
    PcSilent,
    EchoSuppression,
    DaaBoost,
    KeypadBeep,
    Wiretap,
    Headset,
    Cidcw,
    Aux,
    Analysis,
    LevelLineTx,
    LevelLineRx,
    LevelEarpiece,
    LevelMic,
    LevelPcIn,
    LevelPcOut,
    Audio,
    Listen,
    Talk,
    BeFar,
    Count
};

// How a state line's value reads.
enum class ValueKind : uint8_t {
    Millis,  // a whole number of ms
    Hook,    // offhook | onhook
    OnOff,   // on | off
    Word,    // one of a few words (call, audio)
    Number,  // a whole number (ringer-hz, mode, aux)
    Mask,    // 0xNN
    Text,    // anything, possibly empty
    Level,   // dBm0 with one decimal
};

struct StateRow {
    std::string_view name;  // as on the wire
    Item item;
    ValueKind kind;
};

inline constexpr std::array kStateRows = std::to_array<StateRow>({
    {"time", Item::Time, ValueKind::Millis},
    {"phone", Item::Phone, ValueKind::Hook},
    {"line", Item::Line, ValueKind::Hook},
    {"call", Item::Call, ValueKind::Word},
    {"ringing", Item::Ringing, ValueKind::OnOff},
    {"ringer-hz", Item::RingerHz, ValueKind::Number},
    {"melody", Item::Melody, ValueKind::OnOff},
    {"leds", Item::Leds, ValueKind::Mask},
    {"display", Item::Display, ValueKind::Text},
    {"mode", Item::Mode, ValueKind::Number},
    {"mute-phone", Item::MutePhone, ValueKind::OnOff},
    {"mute-line", Item::MuteLine, ValueKind::OnOff},
    {"pc-silent", Item::PcSilent, ValueKind::OnOff},
    {"echo-suppression", Item::EchoSuppression, ValueKind::OnOff},
    {"daa-boost", Item::DaaBoost, ValueKind::OnOff},
    {"keypad-beep", Item::KeypadBeep, ValueKind::OnOff},
    {"wiretap", Item::Wiretap, ValueKind::OnOff},
    {"headset", Item::Headset, ValueKind::OnOff},
    {"cidcw", Item::Cidcw, ValueKind::OnOff},
    {"aux", Item::Aux, ValueKind::Number},
    {"analysis", Item::Analysis, ValueKind::OnOff},
    {"level-line-tx", Item::LevelLineTx, ValueKind::Level},
    {"level-line-rx", Item::LevelLineRx, ValueKind::Level},
    {"level-earpiece", Item::LevelEarpiece, ValueKind::Level},
    {"level-mic", Item::LevelMic, ValueKind::Level},
    {"level-pc-in", Item::LevelPcIn, ValueKind::Level},
    {"level-pc-out", Item::LevelPcOut, ValueKind::Level},
    {"audio", Item::Audio, ValueKind::Word},
    {"listen", Item::Listen, ValueKind::OnOff},
    {"talk", Item::Talk, ValueKind::OnOff},
    {"be-far", Item::BeFar, ValueKind::OnOff},
});
static_assert(kStateRows.size() == static_cast<size_t>(Item::Count));

// A word of a Word item and what a person reads for it.
struct WordRow {
    Item item;
    std::string_view word;
    std::string_view text;
};

inline constexpr std::array kWordRows = std::to_array<WordRow>({
    {Item::Call, "idle", "idle"},
    {Item::Call, "dial-tone", "dial tone"},
    {Item::Call, "dialling", "dialling"},
    {Item::Call, "ringing", "the line rings (incoming call)"},
    {Item::Call, "ringback", "ring-back (the dialled number rings)"},
    {Item::Call, "connected", "connected"},
    {Item::Call, "busy", "busy"},
    {Item::Call, "reorder", "reorder (number unobtainable)"},
    {Item::Audio, "off", "off"},
    {Item::Audio, "unavailable", "unavailable"},
    {Item::Audio, "published", "published"},
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
    Item item;
    std::string_view label;
    std::string_view description;
};

inline constexpr std::array kSwitchRows = std::to_array<SwitchRow>({
    {Item::MutePhone, "Mute phone", "the microphone reaches neither the line nor the PC"},
    {Item::MuteLine, "Mute line", "nothing routed reaches the line"},
    {Item::PcSilent, "Silent PC stream", "PC in carries nothing and PC out reaches nothing"},
    {Item::EchoSuppression, "Echo suppression", "off: the line's hybrid echoes the transmit audio"},
    {Item::DaaBoost, "DAA boost", "+6 dB on line receive"},
    {Item::KeypadBeep, "Keypad beep", "keypad tones in the earpiece"},
    {Item::Wiretap, "Wiretapping", "PC in carries both directions of the line"},
    {Item::Headset, "Head set", "kept, no change to the audio"},
    {Item::Cidcw, "CIDCW", "the adapter acknowledges call-waiting caller ID"},
    {Item::Analysis, "Analysis", "the telephony analysis of the line"},
});

// Auxiliary audio content by command code.
inline constexpr std::array kAuxRows = std::to_array<ModeRow>({
    {78, "CODEC"},
    {94, "Wave Out"},
    {110, "Wave Out Mixed with CODEC"},
});

// The six audio points with a level meter each.
struct LevelRow {
    Item item;
    std::string_view label;
};

inline constexpr std::array kLevelRows = std::to_array<LevelRow>({
    {Item::LevelLineTx, "Line transmit"},
    {Item::LevelLineRx, "Line receive"},
    {Item::LevelEarpiece, "Earpiece"},
    {Item::LevelMic, "Microphone"},
    {Item::LevelPcIn, "PC in"},
    {Item::LevelPcOut, "PC out"},
});

// The level that means silence, and the meters' range in dBm0.
inline constexpr double kLevelFloorDbm0 = -99.9;
inline constexpr double kMeterLowDbm0 = -60.0;
inline constexpr double kMeterHighDbm0 = 3.2;

}  // namespace tvxsim::bench
