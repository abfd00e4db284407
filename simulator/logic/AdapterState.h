// The adapter's state as the control socket shows it, and the words of the
// socket's wire that both of its ends use: the server (the library) writes
// the lines, the bench window reads them. A plain snapshot and its lines,
// "<name> <value>", in a fixed order (one row each in kStateLineRows). The
// time and the levels change all the time; a watcher gets them at most ten
// times a second, the rest as they change.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
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
    Calling,  // a number goes out over the far line, its answer awaited
};

// The sound-server nodes.
enum class AudioNodes : uint8_t {
    Off,          // switched off (TVXUSB_AUDIO=0), or this build has no sound-server side
    Unavailable,  // no server reachable now
    Published,
};

// The sound-server switches, from the request to the server's nodes.
enum class SoundSwitch : uint8_t {
    Listen,  // the handset's earpiece to the desktop's speakers
    Talk,    // the desktop's microphone into the handset's microphone
    BeFar,   // the desktop's microphone as the far party, line transmit to the speakers
};
inline constexpr size_t kSoundSwitches = 3;

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

// A request line is at most this long with its "\n".
inline constexpr size_t kMaxRequestBytes = 4096;
// The clients a device serves at once; one more is sent kTooManyClients and closed.
inline constexpr size_t kMaxControlClients = 16;
inline constexpr char kTooManyClients[] = "error too many clients (16)";

struct AdapterState {
    int64_t timeMs = 0;  // the model's time since ScOpen
    bool phoneOffHook = false;
    bool lineOffHook = false;
    LineCall call = LineCall::Idle;
    bool ringing = false;   // the phone's ringer: its cadence runs
    bool bell = false;      // the phone's bell sounds now (the ringing voltage reaches it)
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
    std::array<bool, kSoundSwitches> sound{};  // by SoundSwitch
    std::string scenario = "none";             // what became of TVXUSB_SCENARIO's file (ScenarioSummary), or "none"
    // The line's far end: the simulated exchange, or a SIP line.
    std::string farEnd = "exchange";    // "exchange", or the SIP account ("sip:user@domain")
    std::string registration = "none";  // the SIP line's: none, registering, registered, failed
    std::string lineReason;             // why the SIP line does not run or last failed to register; empty: none
    std::string peer;                   // the SIP call's far party (its URI); empty without a call
    std::string codec;                  // the SIP call's codec (PCMU, PCMA); empty without one
    int64_t packetsLost = 0;            // of the SIP call's received audio
    double jitterMs = 0;                // its interarrival jitter
};

// Every state line, in the order the adapter sends them.
enum class StateItem : uint8_t {
    Time,
    Phone,
    Line,
    Call,
    Ringing,
    Bell,
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
    Scenario,
    FarEnd,
    Registration,
    LineReason,
    Peer,
    Codec,
    PacketsLost,
    Jitter,
    Count
};
inline constexpr size_t kStateLines = static_cast<size_t>(StateItem::Count);

// Whether a line changes all the time (time, levels) or only now and then.
enum class StateLineKind : uint8_t {
    Steady,
    Periodic,
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

struct StateLineRow {
    std::string_view name;  // as on the wire
    StateItem item;
    StateLineKind kind;
    ValueKind value;
};

inline constexpr std::array kStateLineRows = std::to_array<StateLineRow>({
    {"time", StateItem::Time, StateLineKind::Periodic, ValueKind::Millis},
    {"phone", StateItem::Phone, StateLineKind::Steady, ValueKind::Hook},
    {"line", StateItem::Line, StateLineKind::Steady, ValueKind::Hook},
    {"call", StateItem::Call, StateLineKind::Steady, ValueKind::Word},
    {"ringing", StateItem::Ringing, StateLineKind::Steady, ValueKind::OnOff},
    {"bell", StateItem::Bell, StateLineKind::Steady, ValueKind::OnOff},
    {"ringer-hz", StateItem::RingerHz, StateLineKind::Steady, ValueKind::Number},
    {"melody", StateItem::Melody, StateLineKind::Steady, ValueKind::OnOff},
    {"leds", StateItem::Leds, StateLineKind::Steady, ValueKind::Mask},
    {"display", StateItem::Display, StateLineKind::Steady, ValueKind::Text},
    {"mode", StateItem::Mode, StateLineKind::Steady, ValueKind::Number},
    {"mute-phone", StateItem::MutePhone, StateLineKind::Steady, ValueKind::OnOff},
    {"mute-line", StateItem::MuteLine, StateLineKind::Steady, ValueKind::OnOff},
    {"pc-silent", StateItem::PcSilent, StateLineKind::Steady, ValueKind::OnOff},
    {"echo-suppression", StateItem::EchoSuppression, StateLineKind::Steady, ValueKind::OnOff},
    {"daa-boost", StateItem::DaaBoost, StateLineKind::Steady, ValueKind::OnOff},
    {"keypad-beep", StateItem::KeypadBeep, StateLineKind::Steady, ValueKind::OnOff},
    {"wiretap", StateItem::Wiretap, StateLineKind::Steady, ValueKind::OnOff},
    {"headset", StateItem::Headset, StateLineKind::Steady, ValueKind::OnOff},
    {"cidcw", StateItem::Cidcw, StateLineKind::Steady, ValueKind::OnOff},
    {"aux", StateItem::Aux, StateLineKind::Steady, ValueKind::Number},
    {"analysis", StateItem::Analysis, StateLineKind::Steady, ValueKind::OnOff},
    {"level-line-tx", StateItem::LevelLineTx, StateLineKind::Periodic, ValueKind::Level},
    {"level-line-rx", StateItem::LevelLineRx, StateLineKind::Periodic, ValueKind::Level},
    {"level-earpiece", StateItem::LevelEarpiece, StateLineKind::Periodic, ValueKind::Level},
    {"level-mic", StateItem::LevelMic, StateLineKind::Periodic, ValueKind::Level},
    {"level-pc-in", StateItem::LevelPcIn, StateLineKind::Periodic, ValueKind::Level},
    {"level-pc-out", StateItem::LevelPcOut, StateLineKind::Periodic, ValueKind::Level},
    {"audio", StateItem::Audio, StateLineKind::Steady, ValueKind::Word},
    {"listen", StateItem::Listen, StateLineKind::Steady, ValueKind::OnOff},
    {"talk", StateItem::Talk, StateLineKind::Steady, ValueKind::OnOff},
    {"be-far", StateItem::BeFar, StateLineKind::Steady, ValueKind::OnOff},
    {"scenario", StateItem::Scenario, StateLineKind::Steady, ValueKind::Text},
    {"far-end", StateItem::FarEnd, StateLineKind::Steady, ValueKind::Text},
    {"registration", StateItem::Registration, StateLineKind::Steady, ValueKind::Text},
    {"line-reason", StateItem::LineReason, StateLineKind::Steady, ValueKind::Text},
    {"peer", StateItem::Peer, StateLineKind::Steady, ValueKind::Text},
    {"codec", StateItem::Codec, StateLineKind::Steady, ValueKind::Text},
    {"packets-lost", StateItem::PacketsLost, StateLineKind::Periodic, ValueKind::Number},
    {"jitter", StateItem::Jitter, StateLineKind::Periodic, ValueKind::Level},
});
static_assert(kStateLineRows.size() == kStateLines);
static_assert(
    [] {
        for (size_t i = 0; i < kStateLineRows.size(); ++i)
            if (static_cast<size_t>(kStateLineRows[i].item) != i)
                return false;
        return true;
    }(),
    "the rows are in StateItem order");

// The name of line i (0 <= i < kStateLines) and its kind.
std::string_view StateLineName(size_t i);
StateLineKind StateLineKindOf(size_t i);
// The row of a line's name, or nullptr for a name that is not a state line.
const StateLineRow *FindStateLine(std::string_view name);

// The value of every line, in order.
using StateValues = std::array<std::string, kStateLines>;
StateValues StateValuesOf(const AdapterState &state);

// A level as the lines show it: one decimal, never below -99.9.
std::string FormatLevel(float dbm0);

// The words of the call and audio lines and of the sound switches, and back
// (nothing for a word that is none of them).
const char *LineCallName(LineCall call);
std::optional<LineCall> LineCallOfWord(std::string_view word);
const char *AudioNodesName(AudioNodes nodes);
std::optional<AudioNodes> AudioNodesOfWord(std::string_view word);
const char *SoundSwitchName(SoundSwitch which);  // "listen", "talk", "be-far": the request and the state line

}  // namespace tvxsim
