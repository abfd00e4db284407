// The dial-string interpreter: turns the text of the dial edit into dial
// commands (ScDoCommand with code kDialCommandCode) and pauses.
//
// Each character acts by kDialCharRows in the current mode (tone or pulse);
// "P" and "T" switch the mode until the end of the string, characters not in
// the table (including every character above 127) do nothing.
//
// DialPanel (panel/) runs the calls of InterpretDialString for its edit's
// text, each pause as a timer, so that a string never blocks the UI thread.
#ifndef TVX_PANEL_LOGIC_DIALSTRING_H
#define TVX_PANEL_LOGIC_DIALSTRING_H

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "device/logic/CommandCodes.h"

namespace tvx {

inline constexpr int32_t kDialCommandCode = CommandCode(Command::Dial);  // 140
inline constexpr int kDialPauseMs = 1000;                                // "," and "-"

// What one character does in one mode.
enum class DialOp : uint8_t {
    None,      // nothing
    Send,      // send `code` with fourth argument kDoCommandArg4
    SendWait,  // send `code` with fourth argument kDialWaitArg4 ("W")
    Pause,     // wait kDialPauseMs
    ToPulse,   // switch to pulse mode
    ToTone,    // switch to tone mode
};

struct DialAction {
    DialOp op = DialOp::None;
    int8_t code = 0;  // dial code for Send and SendWait
};

struct DialCharRow {
    char ch;
    DialAction tone;
    DialAction pulse;
};

namespace dial_detail {
constexpr DialAction Snd(int code) { return {DialOp::Send, static_cast<int8_t>(code)}; }
constexpr DialAction Nothing() { return {DialOp::None, 0}; }
constexpr DialAction WaitDialTone() { return {DialOp::SendWait, 28}; }
constexpr DialAction PauseOp() { return {DialOp::Pause, 0}; }
constexpr DialAction Pulse() { return {DialOp::ToPulse, 0}; }
constexpr DialAction Tone() { return {DialOp::ToTone, 0}; }
}  // namespace dial_detail

// Every character that does something, with its action in tone and pulse
// mode. Any character not listed does nothing in either mode.
inline constexpr auto kDialCharRows = [] {
    using namespace dial_detail;
    return std::array<DialCharRow, 30>{{
        {'0', Snd(0), Snd(16)},
        {'1', Snd(1), Snd(17)},
        {'2', Snd(2), Snd(18)},
        {'3', Snd(3), Snd(19)},
        {'4', Snd(4), Snd(20)},
        {'5', Snd(5), Snd(21)},
        {'6', Snd(6), Snd(22)},
        {'7', Snd(7), Snd(23)},
        {'8', Snd(8), Snd(24)},
        {'9', Snd(9), Snd(25)},
        {'*', Snd(10), Nothing()},
        {'#', Snd(11), Nothing()},
        {'A', Snd(12), Nothing()},
        {'a', Snd(12), Nothing()},
        {'B', Snd(13), Nothing()},
        {'b', Snd(13), Nothing()},
        {'C', Snd(14), Nothing()},
        {'c', Snd(14), Nothing()},
        {'D', Snd(15), Nothing()},
        {'d', Snd(15), Nothing()},
        {'!', Snd(26), Snd(26)},
        {'@', Snd(29), Snd(29)},
        {'W', WaitDialTone(), WaitDialTone()},
        {'w', WaitDialTone(), WaitDialTone()},
        {',', PauseOp(), PauseOp()},
        {'-', PauseOp(), PauseOp()},
        {'P', Pulse(), Pulse()},
        {'p', Pulse(), Pulse()},
        {'T', Tone(), Tone()},
        {'t', Tone(), Tone()},
    }};
}();

// The action of character c in the given mode. Pure.
DialAction DialActionFor(unsigned char c, bool pulse);

// Receives the interpreter's calls, in string order.
class DialSink {
public:
    virtual ~DialSink() = default;
    // One dial command: ScDoCommand(kDialCommandCode, dialCode, kDoCommandArg3, arg4).
    virtual void Send(int32_t dialCode, int32_t arg4) = 0;
    // A pause of milliseconds before the next call.
    virtual void Wait(int milliseconds) = 0;
};

// Dials text: starts in pulse mode if pulse, else tone mode, and makes the
// sink's calls character by character. Any length, any bytes; never stops
// early. Runs on the caller's thread; the sink decides how a pause waits.
void RunDialString(std::string_view text, bool pulse, DialSink &sink);

// One recorded call of the interpreter.
struct DialStep {
    enum class Kind : uint8_t {
        Send,
        Wait
    };
    Kind kind;
    int32_t value;  // Send: the dial code; Wait: milliseconds
    int32_t arg4;   // Send: fourth argument of ScDoCommand; Wait: 0
    constexpr bool operator==(const DialStep &) const = default;
};

// The calls RunDialString would make for text, as a list. Pure.
std::vector<DialStep> InterpretDialString(std::string_view text, bool pulse);

}  // namespace tvx

#endif  // TVX_PANEL_LOGIC_DIALSTRING_H
