// Request lines for the control socket, built from what a person entered,
// with quoting that the action parser reads back as it was meant. A text
// that cannot be sent in a request (a double quote, a line break, too long)
// is refused here with a reason, before anything is sent. Pure logic.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "simulator/logic/AdapterState.h"
#include "simulator/logic/CallerIdMessage.h"
#include "simulator/logic/Scenario.h"

namespace tvxsim::bench {

// A request line without its "\n", or why none could be made.
struct Request {
    std::string line;   // empty when refused
    std::string error;  // why it was refused; empty when line holds the request

    bool ok() const { return error.empty(); }
};

// The limits of what a request carries: the scenario language's, which the
// control socket parses.
inline constexpr size_t kMaxKeys = kScenarioMaxDigits;                // digits of phone keys and far dtmf
inline constexpr size_t kMaxNumberDigits = kScenarioMaxNumberDigits;  // digits of a routed number
inline constexpr size_t kMaxCallerText = kCidMaxText;                 // a caller's name or number
inline constexpr long long kMaxDurationMs = kScenarioMaxTimeMs;

// `"text"`, or nothing when the text holds a double quote, a line break or a NUL.
std::optional<std::string> Quote(std::string_view text);

// phone keys "<digits>" / far dtmf "<digits>": 1 to 64 of 0-9 * # A-D.
Request PhoneKeys(std::string_view digits);
Request FarDtmf(std::string_view digits);

// far speech <ms>; line noise <ms> [<dBm0>]
Request FarSpeech(long long ms);
Request LineNoise(long long ms, std::optional<int> dbm0);

// far play "<file>" [<gain-dB>]
Request FarPlay(std::string_view file, std::optional<int> gainDb);

enum class CallFormat {
    Default,
    Sdmf,
    Mdmf
};
enum class CallModem {
    Default,
    Bell202,
    V23
};
enum class CallTiming {
    Default,
    Na,
    Etsi
};
enum class CallAbsence {
    None,
    Private,
    OutOfArea
};

// An incoming call as the far end form holds it.
struct CallForm {
    std::string name;    // printable, at most 49; may be empty (not sent)
    std::string number;  // the same
    CallFormat format = CallFormat::Default;
    CallModem modem = CallModem::Default;
    CallTiming timing = CallTiming::Default;
    CallAbsence absence = CallAbsence::None;
    std::string date;  // "MMDDhhmm", or empty for the exchange's clock
};

// far call ... , or far call-waiting ... when waiting.
Request FarCall(const CallForm &form, bool waiting);

enum class Route {
    Answer,
    Busy,
    NoAnswer
};

// number "<digits>" answer <ms> | busy | no-answer
Request NumberRoute(std::string_view digits, Route route, long long answerMs);

// listen|talk|be-far on|off
Request AudioToggle(SoundSwitch which, bool on);

// line sip on|off: the line on the SIP account of the line configuration, or the simulated exchange
Request LineSip(bool on);

}  // namespace tvxsim::bench
