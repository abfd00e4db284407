// The adapter's state as the control socket shows it: a plain snapshot and
// its lines, "<name> <value>", in a fixed order (one row each in the table
// of AdapterState.cpp). The time and the levels change all the time; a
// watcher gets them at most ten times a second, the rest as they change.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tvxsim {

// The line's call as the exchange sees it.
enum class LineCall : uint8_t {
    Idle,
    DialTone,
    Dialling,
    Ringing,   // the line rings for an incoming call
    Ringback,  // a dialled number rings
    Connected,
    Busy,
    Reorder,
};

// The sound-server nodes.
enum class AudioNodes : uint8_t {
    Off,          // switched off (TVXUSB_AUDIO=0), or nothing has registered
    Unavailable,  // no server reachable now
    Published,
};

// The six audio points, in the order of the level lines.
enum class AudioPoint : uint8_t {
    LineTx,
    LineRx,
    Earpiece,
    Mic,
    PcIn,
    PcOut,
};
inline constexpr size_t kAudioPoints = 6;
inline constexpr float kLevelFloorDbm0 = -99.9f;

struct AdapterState {
    int64_t timeMs = 0;  // the model's time since ScOpen
    bool phoneOffHook = false;
    bool lineOffHook = false;
    LineCall call = LineCall::Idle;
    bool ringing = false;   // the phone's ringer
    int32_t ringerHz = 25;  // 17, 20, 25 or 50
    bool melody = false;    // a melody is loaded
    uint8_t leds = 0;
    std::string display;    // the handset's caller-ID display; empty when nothing
    int32_t modeCode = 58;  // the device mode's command code
    bool mutePhone = false;
    bool muteLine = false;
    bool pcSilent = false;
    bool echoSuppression = true;
    bool daaBoost = false;
    bool keypadBeep = true;
    bool wiretap = false;
    bool headset = false;
    bool cidcw = false;
    int32_t auxCode = 78;  // 78, 94 or 110
    bool analysis = false;
    std::array<float, kAudioPoints> levels{
        kLevelFloorDbm0, kLevelFloorDbm0, kLevelFloorDbm0, kLevelFloorDbm0, kLevelFloorDbm0, kLevelFloorDbm0};  // dBm0
    AudioNodes audio = AudioNodes::Off;
    bool listen = false;
    bool talk = false;
    bool beFar = false;
};

inline constexpr size_t kStateLines = 31;

// Whether a line changes all the time (time, levels) or only now and then.
enum class StateLineKind : uint8_t {
    Steady,
    Periodic,
};

// The name of line i (0 <= i < kStateLines) and its kind.
std::string_view StateLineName(size_t i);
StateLineKind StateLineKindOf(size_t i);

// The value of every line, in order.
using StateValues = std::array<std::string, kStateLines>;
StateValues StateValuesOf(const AdapterState &state);

// A level as the lines show it: one decimal, never below -99.9.
std::string FormatLevel(float dbm0);
const char *LineCallName(LineCall call);
const char *AudioNodesName(AudioNodes nodes);

}  // namespace tvxsim
