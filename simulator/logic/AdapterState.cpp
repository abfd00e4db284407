#include "simulator/logic/AdapterState.h"

#include <algorithm>
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

std::string Level(const AdapterState &s, AudioPoint p) { return FormatLevel(s.levels[static_cast<size_t>(p)]); }

std::string Sound(const AdapterState &s, SoundSwitch which) { return OnOff(s.sound[static_cast<size_t>(which)]); }

// Milliseconds with one decimal ("12.3"), never negative.
std::string Tenths(double ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", std::isfinite(ms) ? std::clamp(ms, 0.0, 1e9) : 0.0);
    return text;
}

std::string ValueOf(const AdapterState &s, StateItem item)
{
    switch (item) {
    case StateItem::Time:
        return std::to_string(s.timeMs);
    case StateItem::Phone:
        return Hook(s.phoneOffHook);
    case StateItem::Line:
        return Hook(s.lineOffHook);
    case StateItem::Call:
        return LineCallName(s.call);
    case StateItem::Ringing:
        return OnOff(s.ringing);
    case StateItem::Bell:
        return OnOff(s.bell);
    case StateItem::RingerHz:
        return std::to_string(s.ringerHz);
    case StateItem::Melody:
        return OnOff(s.melody);
    case StateItem::Leds: {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(s.leds));
        return hex;
    }
    case StateItem::Display:
        return Printable(s.display);
    case StateItem::Mode:
        return std::to_string(s.modeCode);
    case StateItem::MutePhone:
        return OnOff(s.mutePhone);
    case StateItem::MuteLine:
        return OnOff(s.muteLine);
    case StateItem::PcSilent:
        return OnOff(s.pcSilent);
    case StateItem::EchoSuppression:
        return OnOff(s.echoSuppression);
    case StateItem::DaaBoost:
        return OnOff(s.daaBoost);
    case StateItem::KeypadBeep:
        return OnOff(s.keypadBeep);
    case StateItem::Wiretap:
        return OnOff(s.wiretap);
    case StateItem::Headset:
        return OnOff(s.headset);
    case StateItem::Cidcw:
        return OnOff(s.cidcw);
    case StateItem::Aux:
        return std::to_string(s.auxCode);
    case StateItem::Analysis:
        return OnOff(s.analysis);
    case StateItem::LevelLineTx:
        return Level(s, AudioPoint::LineTx);
    case StateItem::LevelLineRx:
        return Level(s, AudioPoint::LineRx);
    case StateItem::LevelEarpiece:
        return Level(s, AudioPoint::Earpiece);
    case StateItem::LevelMic:
        return Level(s, AudioPoint::Mic);
    case StateItem::LevelPcIn:
        return Level(s, AudioPoint::PcIn);
    case StateItem::LevelPcOut:
        return Level(s, AudioPoint::PcOut);
    case StateItem::Audio:
        return AudioNodesName(s.audio);
    case StateItem::Listen:
        return Sound(s, SoundSwitch::Listen);
    case StateItem::Talk:
        return Sound(s, SoundSwitch::Talk);
    case StateItem::BeFar:
        return Sound(s, SoundSwitch::BeFar);
    case StateItem::Scenario:
        return Printable(s.scenario);
    case StateItem::FarEnd:
        return Printable(s.farEnd);
    case StateItem::Registration:
        return Printable(s.registration);
    case StateItem::LineReason:
        return Printable(s.lineReason);
    case StateItem::Peer:
        return Printable(s.peer);
    case StateItem::Codec:
        return Printable(s.codec);
    case StateItem::PacketsLost:
        return std::to_string(s.packetsLost);
    case StateItem::Jitter:
        return Tenths(s.jitterMs);
    case StateItem::Count:
        break;
    }
    return {};
}

constexpr std::array<const char *, 9> kCallNames = {
    "idle", "dial-tone", "dialling", "ringing", "ringback", "connected", "busy", "reorder", "calling"};
constexpr std::array<const char *, 3> kAudioNames = {"off", "unavailable", "published"};
constexpr std::array<const char *, kSoundSwitches> kSoundNames = {"listen", "talk", "be-far"};

// The index of `word` in `names`, or nothing.
template <size_t N> std::optional<size_t> IndexOf(const std::array<const char *, N> &names, std::string_view word)
{
    for (size_t i = 0; i < N; ++i)
        if (word == names[i])
            return i;
    return std::nullopt;
}

}  // namespace

std::string_view StateLineName(size_t i) { return i < kStateLineRows.size() ? kStateLineRows[i].name : ""; }

StateLineKind StateLineKindOf(size_t i)
{
    return i < kStateLineRows.size() ? kStateLineRows[i].kind : StateLineKind::Steady;
}

const StateLineRow *FindStateLine(std::string_view name)
{
    for (const StateLineRow &row : kStateLineRows)
        if (row.name == name)
            return &row;
    return nullptr;
}

StateValues StateValuesOf(const AdapterState &state)
{
    StateValues values;
    for (size_t i = 0; i < kStateLineRows.size(); ++i)
        values[i] = ValueOf(state, kStateLineRows[i].item);
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

std::optional<LineCall> LineCallOfWord(std::string_view word)
{
    const std::optional<size_t> i = IndexOf(kCallNames, word);
    return i ? std::optional(static_cast<LineCall>(*i)) : std::nullopt;
}

const char *AudioNodesName(AudioNodes nodes)
{
    const auto i = static_cast<size_t>(nodes);
    return i < kAudioNames.size() ? kAudioNames[i] : "off";
}

std::optional<AudioNodes> AudioNodesOfWord(std::string_view word)
{
    const std::optional<size_t> i = IndexOf(kAudioNames, word);
    return i ? std::optional(static_cast<AudioNodes>(*i)) : std::nullopt;
}

const char *SoundSwitchName(SoundSwitch which)
{
    const auto i = static_cast<size_t>(which);
    return i < kSoundNames.size() ? kSoundNames[i] : "listen";
}

}  // namespace tvxsim
