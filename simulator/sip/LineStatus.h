// What the SIP line shows in the state lines: the far end, the
// registration and its last reason, the current call's peer and codec,
// its packets lost and jitter. A plain value, taken under a short lock.
#pragma once

#include <cstdint>
#include <string>

#include "simulator/sip/logic/RegistrationBackoff.h"

namespace tvxsim::sip {

struct LineStatus {
    std::string farEnd;  // "sip:user@domain"; empty: no SIP line
    std::string listen;  // where the line listens, "127.0.0.1:5060"; empty until it does
    std::string fault;   // why the line does not run ("cannot listen on ..."); empty while it does
    RegistrationState registration = RegistrationState::None;
    std::string registrationReason;  // the last failure's reason ("403 Forbidden"); empty when none
    std::string peer;                // the current call's far party (its URI); empty without a call
    std::string codec;               // "PCMU", "PCMA"; empty without media
    int64_t packetsLost = 0;         // of the current call's received audio (RFC 3550)
    double jitterMs = 0;             // its interarrival jitter
    int32_t playoutDelayMs = 0;      // the jitter buffer's target now
    int32_t playoutP95Ms = 0;        // the playout delay of 95 % of the frames played (-1 none yet)
    uint64_t playedFrames = 0;       // frames played from their audio
    uint64_t concealedFrames = 0;    // frames concealed (lost, late, or stretched)
    uint64_t lateFrames = 0;         // packets that came after their frame was played
    int64_t rtcpLost = 0;            // our packets the far end reports lost (RTCP)
    double rtcpJitterMs = 0;         // the jitter the far end reports of our packets (RTCP)
    double rttMs = 0;                // round-trip time from RTCP; 0 unknown
    int calls = 0;                   // calls up or being set up
};

// "none", "registering", "registered", "failed".
const char *RegistrationName(RegistrationState state);

}  // namespace tvxsim::sip
