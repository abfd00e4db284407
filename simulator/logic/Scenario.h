// Scenario files: what happens on the far end, on the phone and on the PC
// side after ScOpen, the routes of dialled numbers, and raw events.
//
// One item per line, '#' starts a comment (outside quoted text):
//   <ms> <event> [<param>|-] [<side>] [payload...]   a raw event <ms> after ScOpen
//   repeat <count> <every-ms> <ms> <event> ...        the same raw event <count> times
//   <ms> far ring [<count>] | far answer | far hangup
//   <ms> far|pc dtmf "<digits>" [<on-ms> <off-ms>]
//   <ms> far|pc|phone tone <f1> <f2> <dBm0> <on-ms> <off-ms> <total-ms>
//   <ms> far|pc|phone speech <duration-ms> [<dBm0>]
//   <ms> phone offhook | phone onhook | phone flash | phone keys "<digits>"
//   <ms> far call|call-waiting "<name>" "<number>" [sdmf|mdmf] [bell202|v23] [etsi|na]
//        [private|out-of-area] [date MMDDhhmm] [level <dBm0>]
//   <ms> line noise <duration-ms> [<dBm0>]
//   <ms> adapter command <code> [<param>]
//   <ms> far|line|phone|pc play "<file>" [<gain-dB>]
//   number "<digits>" answer <ms> | busy | no-answer
//   devtype <n>                                       device type for ScGetDevType
//   openerror <code>                                  ScOpen fails with <code>
// See simulator/README.md.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "simulator/logic/CallerIdMessage.h"

namespace tvxsim {

struct ScenarioEvent {
    int64_t timeMs = 0;      // after ScOpen
    int64_t count = 1;       // repeat count (1 for a plain event line)
    int64_t intervalMs = 0;  // between repeats
    int32_t code = 0;
    int32_t param = 0;
    int32_t side = 0;
    int32_t toneRow = -1;  // event 229: row of the armed tone set
    std::vector<uint8_t> payload;
    int line = 0;  // where it was written

    bool operator==(const ScenarioEvent &) const = default;
};

enum class ActionTarget : uint8_t {
    Far,
    Phone,
    Pc,
    Line,
    Adapter,
};

enum class ActionVerb : uint8_t {
    Ring,
    Answer,
    Hangup,
    Dtmf,
    Tone,
    Speech,
    OffHook,
    OnHook,
    Flash,
    Keys,
    Call,         // far call: rings the line with caller ID
    CallWaiting,  // far call-waiting: caller ID during a call
    Noise,        // line noise
    Command,      // adapter command: what the tool would send with ScDoCommand
    Play,         // far|line|phone|pc play: a sound file
};

// North American timing (the message between the first and second ring) or
// ETSI's (a line reversal and the dual-tone alert before the first ring).
enum class CidTiming : uint8_t {
    NorthAmerican,
    Etsi,
};

// The caller of far call and far call-waiting. Unset modem and timing
// follow each other (Bell 202 with North American timing, V.23 with ETSI),
// or else the local country (1: North American).
struct CallerIdSpec {
    std::string name;
    std::string number;
    std::string date;  // "MMDDhhmm"; empty: the exchange's clock
    CidFormat format = CidFormat::Mdmf;
    std::optional<CidModem> modem;
    std::optional<CidTiming> timing;
    char absence = 0;  // kAbsencePrivate or kAbsenceOutOfArea
    int32_t dbm0 = -13;

    bool operator==(const CallerIdSpec &) const = default;
};

struct ScenarioAction {
    int64_t timeMs = 0;
    ActionTarget target = ActionTarget::Far;
    ActionVerb verb = ActionVerb::Ring;
    std::string digits;    // dtmf, keys
    int32_t count = -1;    // ring: rings, -1 until answered
    int32_t onMs = 0;      // dtmf, tone
    int32_t offMs = 0;     // dtmf, tone
    int32_t f1 = 0;        // tone
    int32_t f2 = 0;        // tone
    int32_t dbm0 = 0;      // tone, speech, noise
    int64_t lengthMs = 0;  // tone: total; speech, noise: duration
    int32_t code = 0;      // command
    int32_t param = 0;     // command
    CallerIdSpec caller;   // call, call-waiting
    std::string file;      // play: the sound file, as written
    int32_t gainDb = 0;    // play
    int line = 0;

    bool operator==(const ScenarioAction &) const = default;
};

enum class RouteKind : uint8_t {
    Answer,
    Busy,
    NoAnswer,
};

struct NumberRule {
    std::string digits;
    RouteKind kind = RouteKind::Answer;
    int64_t answerMs = 0;
    int line = 0;

    bool operator==(const NumberRule &) const = default;
};

struct ScenarioError {
    int line = 0;
    std::string message;

    bool operator==(const ScenarioError &) const = default;
};

struct Scenario {
    std::vector<ScenarioEvent> events;    // in file order
    std::vector<ScenarioAction> actions;  // in file order
    std::vector<NumberRule> numbers;      // in file order; the last rule for a number counts
    std::optional<int32_t> devType;
    std::optional<int32_t> openError;
    std::vector<ScenarioError> errors;  // the first kScenarioMaxReportedErrors malformed lines
    int64_t badLines = 0;               // every malformed line (skipped), reported or not

    // Number of callbacks the raw events make, repeats counted.
    int64_t TotalEvents() const;
    // The latest time at which anything is scheduled, in ms after ScOpen.
    int64_t LastTimeMs() const;
};

// Limits that keep a bad file from exhausting memory or time.
inline constexpr int64_t kScenarioMaxTimeMs = 24LL * 3600 * 1000;  // a day
inline constexpr int64_t kScenarioMaxRepeat = 100'000'000;
inline constexpr size_t kScenarioMaxPayload = 1024;
inline constexpr size_t kScenarioMaxTotalPayload = 4u * 1024 * 1024;
inline constexpr size_t kScenarioMaxItems = 65536;  // events, actions and numbers together
inline constexpr size_t kScenarioMaxFields = 1100;  // per line
inline constexpr int32_t kScenarioMaxToneRow = 255;
inline constexpr size_t kScenarioMaxFileBytes = 16u * 1024 * 1024;
inline constexpr size_t kScenarioMaxReportedErrors = 20;
inline constexpr size_t kScenarioMaxDigits = 64;
inline constexpr size_t kScenarioMaxNumberDigits = 32;
inline constexpr size_t kScenarioMaxPlayFile = 4096;  // bytes of a play action's file name
inline constexpr int32_t kScenarioMinPlayGainDb = -60;
inline constexpr int32_t kScenarioMaxPlayGainDb = 20;
// Every level of the language (tones, speech, noise, caller ID), in dBm0:
// one range, from far below any detector to just under a full-scale sine.
inline constexpr int32_t kScenarioMinDbm0 = -80;
inline constexpr int32_t kScenarioMaxDbm0 = 3;

// Defaults of optional action fields.
inline constexpr int32_t kScenarioDtmfOnMs = 300;
inline constexpr int32_t kScenarioDtmfOffMs = 200;
inline constexpr int32_t kScenarioSpeechDbm0 = -20;
inline constexpr int32_t kScenarioNoiseDbm0 = -40;
// How long a call's caller ID takes at most, for the end of a run.
inline constexpr int64_t kScenarioCallerIdMs = 4000;

Scenario ParseScenario(std::string_view text);

// What became of a scenario read from `path`, in one line: "ok", "refused:
// <path>: <reason>" for a file that cannot be used, or "<n> lines skipped;
// the first: <path>:<line>: <reason>".
std::string ScenarioSummary(const Scenario &scenario, const std::string &path);

// Reads and parses a regular file. A file that cannot be read, that is not
// a regular file (a directory, a FIFO, a device) or that is too large gives
// one error at line 0 and nothing else.
Scenario LoadScenarioFile(const std::string &path);

}  // namespace tvxsim
