#include "simulator/logic/AdapterState.h"

#include <cmath>
#include <cstdio>

namespace tvxsim {
namespace {

const char *OnOff(bool on) { return on ? "on" : "off"; }
const char *Hook(bool offHook) { return offHook ? "offhook" : "onhook"; }

// A line's value stays on its line: control bytes become '?'.
std::string Printable(std::string text)
{
    for (char &c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return text;
}

struct StateRow {
    std::string_view name;
    StateLineKind kind;
    std::string (*value)(const AdapterState &);
};

template <AudioPoint P> std::string Level(const AdapterState &s)
{
    return FormatLevel(s.levels[static_cast<size_t>(P)]);
}

constexpr StateLineKind kSteady = StateLineKind::Steady;
constexpr StateLineKind kPeriodic = StateLineKind::Periodic;

constexpr std::array<StateRow, kStateLines> kRows = {{
    {"time", kPeriodic, [](const AdapterState &s) { return std::to_string(s.timeMs); }},
    {"phone", kSteady, [](const AdapterState &s) { return std::string(Hook(s.phoneOffHook)); }},
    {"line", kSteady, [](const AdapterState &s) { return std::string(Hook(s.lineOffHook)); }},
    {"call", kSteady, [](const AdapterState &s) { return std::string(LineCallName(s.call)); }},
    {"ringing", kSteady, [](const AdapterState &s) { return std::string(OnOff(s.ringing)); }},
    {"ringer-hz", kSteady, [](const AdapterState &s) { return std::to_string(s.ringerHz); }},
    {"melody", kSteady, [](const AdapterState &s) { return std::string(OnOff(s.melody)); }},
    {"leds",
     kSteady,
     [](const AdapterState &s) {
         char hex[8];
         std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(s.leds));
         return std::string(hex);
     }},
    {"display", kSteady, [](const AdapterState &s) { return Printable(s.display); }},
    {"mode", kSteady, [](const AdapterState &s) { return std::to_string(s.modeCode); }},
    {"mute-phone", kSteady, [](const AdapterState &s) { return std::string(OnOff(s.mutePhone)); }},
    {"mute-line", kSteady, [](const AdapterState &s) { return std::string(OnOff(s.muteLine)); }},
    {"pc-silent", kSteady, [](const AdapterState &s) { return std::string(OnOff(s.pcSilent)); }},
    {"echo-suppression", kSteady, [](const AdapterState &s) { return std::string(OnOff(s.echoSuppression)); }},
    {"daa-boost", kSteady, [](const AdapterState &s) { return std::string(OnOff(s.daaBoost)); }},
    {"keypad-beep", kSteady, [](const AdapterState &s) { return std::string(OnOff(s.keypadBeep)); }},
    {"wiretap", kSteady, [](const AdapterState &s) { return std::string(OnOff(s.wiretap)); }},
    {"headset", kSteady, [](const AdapterState &s) { return std::string(OnOff(s.headset)); }},
    {"cidcw", kSteady, [](const AdapterState &s) { return std::string(OnOff(s.cidcw)); }},
    {"aux", kSteady, [](const AdapterState &s) { return std::to_string(s.auxCode); }},
    {"analysis", kSteady, [](const AdapterState &s) { return std::string(OnOff(s.analysis)); }},
    {"level-line-tx", kPeriodic, Level<AudioPoint::LineTx>},
    {"level-line-rx", kPeriodic, Level<AudioPoint::LineRx>},
    {"level-earpiece", kPeriodic, Level<AudioPoint::Earpiece>},
    {"level-mic", kPeriodic, Level<AudioPoint::Mic>},
    {"level-pc-in", kPeriodic, Level<AudioPoint::PcIn>},
    {"level-pc-out", kPeriodic, Level<AudioPoint::PcOut>},
    {"audio", kSteady, [](const AdapterState &s) { return std::string(AudioNodesName(s.audio)); }},
    {"listen", kSteady, [](const AdapterState &s) { return std::string(OnOff(s.listen)); }},
    {"talk", kSteady, [](const AdapterState &s) { return std::string(OnOff(s.talk)); }},
    {"be-far", kSteady, [](const AdapterState &s) { return std::string(OnOff(s.beFar)); }},
}};

constexpr std::array<const char *, 8> kCallNames = {
    "idle", "dial-tone", "dialling", "ringing", "ringback", "connected", "busy", "reorder"};
constexpr std::array<const char *, 3> kAudioNames = {"off", "unavailable", "published"};

}  // namespace

std::string_view StateLineName(size_t i) { return i < kRows.size() ? kRows[i].name : std::string_view(); }

StateLineKind StateLineKindOf(size_t i) { return i < kRows.size() ? kRows[i].kind : StateLineKind::Steady; }

StateValues StateValuesOf(const AdapterState &state)
{
    StateValues values;
    for (size_t i = 0; i < kRows.size(); ++i)
        values[i] = kRows[i].value(state);
    return values;
}

std::string FormatLevel(float dbm0)
{
    // Rounded to one decimal first, so that -99.96 shows as the floor, not -100.0.
    double tenths = std::isfinite(dbm0) ? std::round(static_cast<double>(dbm0) * 10.0) : -999.0;
    if (tenths < -999.0)
        tenths = -999.0;
    if (tenths > 999.0)
        tenths = 999.0;
    if (tenths == 0.0)
        tenths = 0.0;  // never "-0.0"
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", tenths / 10.0);
    return text;
}

const char *LineCallName(LineCall call)
{
    const auto i = static_cast<size_t>(call);
    return i < kCallNames.size() ? kCallNames[i] : "idle";
}

const char *AudioNodesName(AudioNodes nodes)
{
    const auto i = static_cast<size_t>(nodes);
    return i < kAudioNames.size() ? kAudioNames[i] : "off";
}

}  // namespace tvxsim
