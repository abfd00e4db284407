// Which side hears which: the device modes as a table, and the switches that
// change the paths or their gains. simulator/README.md shows the same table.
#pragma once

#include <array>
#include <cstdint>

#include "simulator/engine/Audio.h"
#include "simulator/engine/AudioFeed.h"
#include "simulator/logic/DeviceState.h"
#include "simulator/logic/Parameters.h"

namespace tvxsim {

// Where a path's audio comes from.
enum PathSource : uint8_t {
    kFromMic = 1,     // the phone's microphone
    kFromLine = 2,    // the line's receive audio
    kFromPc = 4,      // the PC's audio stream out (what the PC plays)
    kFromLineTx = 8,  // the line's transmit audio (wiretapping only)
};

struct ModeRoute {
    const char *name;
    uint8_t earpiece;  // PathSource bits heard in the phone's earpiece
    uint8_t lineTx;    // sent on the line
    uint8_t pcIn;      // streamed to the PC
    bool phoneOnLine;  // the handset's hook switch works the line
    bool holdsLine;    // the adapter keeps the line off hook on entering the mode
};

inline constexpr std::array kModeRoutes = std::to_array<ModeRoute>({
    {"Phone - Audio Stream", kFromPc, 0, kFromMic, false, false},
    {"Phone - Audio Stream - Line (Direct)", kFromLine, kFromMic, kFromLine | kFromMic, true, false},
    {"None", 0, 0, 0, false, false},
    {"Phone -Line (Default)", kFromLine, kFromMic, 0, true, false},
    {"Phone - Audio Stream, Line Hold", kFromPc, 0, kFromMic, false, true},
    {"Line - Audio Stream", 0, kFromPc, kFromLine, false, false},
    {"Phone - Audio Stream - Line", kFromLine | kFromPc, kFromMic | kFromPc, kFromLine | kFromMic, true, false},
    {"Line Audio Stream, Phone Monitor", kFromLine | kFromPc, kFromPc, kFromLine, false, false},
});

inline constexpr float kEchoLossDb = 12.0f;  // the line's hybrid sends back the transmit audio this much lower
inline constexpr float kDaaBoostDb = 6.0f;   // on the line's receive audio
inline constexpr float kCodecStepDb = 1.5f;  // per step of registers 66:129 (microphone) and 66:130 (earpiece)
inline constexpr int32_t kCodecBoostBlock = 66;
inline constexpr int32_t kCodecMicRegister = 129;
inline constexpr int32_t kCodecEarRegister = 130;
inline constexpr int32_t kCodecMaxSteps = 7;
inline constexpr float kKeypadSidetoneDb = -10.0f;

// Where the live sound of each feed point enters the model, one row per point.
enum class FeedInto : uint8_t {
    PcOut,     // beside what the scenario plays as the PC
    Mic,       // the handset's microphone
    FarParty,  // the far party's voice, heard while the far party is connected
};
inline constexpr size_t kFeedTargets = 3;
struct FeedRoute {
    FeedPoint point;
    FeedInto into;
};
inline constexpr std::array kFeedRoutes = std::to_array<FeedRoute>({
    {FeedPoint::PcOut, FeedInto::PcOut},
    {FeedPoint::Mic, FeedInto::Mic},
    {FeedPoint::Talk, FeedInto::Mic},  // Talk: the desktop's microphone speaks into the handset
    {FeedPoint::FarVoice, FeedInto::FarParty},
});
static_assert(kFeedRoutes.size() == kFeedPoints, "each point is read once a block");

// The paths after the switches.
struct Paths {
    uint8_t earpiece = 0;
    uint8_t lineTx = 0;
    uint8_t pcIn = 0;
    bool phoneOnLine = false;
    bool holdsLine = false;
    bool lineEcho = false;  // the line's receive audio carries the echo of its transmit audio
    float lineRxGain = 1.0f;
    float micGain = 1.0f;
    float earpieceGain = 1.0f;
    bool keypadSidetone = false;
};

Paths RoutePaths(const DeviceState &state);

// A time parameter (hook flash, guards, waits, the ringer) in samples.
SampleTime ParamTime(const DeviceState &state, Param p);

}  // namespace tvxsim
