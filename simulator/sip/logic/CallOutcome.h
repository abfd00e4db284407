// What a response to the line's INVITE means for the call: a provisional
// one rings (180) or brings the far end's early media (183 with a session
// description); 200 answers; 486 and 600 are busy; any other final
// response is a failure with its status line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tvxsim::sip {

enum class CallOutcome : uint8_t {
    None,  // nothing for the exchange (100, or a 1xx without meaning here)
    Ringing,
    EarlyMedia,
    Answered,
    Busy,
    Failed,
};

CallOutcome OutcomeOfResponse(uint16_t status, bool hasSessionDescription);

// "404 Not Found", the reason phrase cut to printable ASCII of 64 bytes at most.
std::string StatusLine(uint16_t status, std::string_view reason);

}  // namespace tvxsim::sip
