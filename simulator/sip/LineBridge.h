// Where the engine's thread and the SIP line's own thread meet: bounded
// single-producer/single-consumer rings and nothing else, so that neither
// ever waits on the other. Commands go from the engine (and wake the SIP
// thread through its message queue); events, and each call's received
// audio, come back; each call's line transmit goes out frame by frame. The
// status is the one thing under a lock, held only to copy it.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

#include "simulator/engine/FarLine.h"
#include "simulator/sip/LineStatus.h"
#include "simulator/sip/SpscRing.h"
#include "simulator/sip/logic/DialTarget.h"
#include "simulator/sip/logic/JitterBuffer.h"
#include "simulator/sip/logic/ToneGate.h"

namespace tvxsim::sip {

// How long a connected call may go without RTP before it counts as hung up.
inline constexpr int64_t kNoRtpTimeoutMs = 30000;

// Times of the line that tests may shorten.
struct LineTimings {
    int64_t noRtpTimeoutMs = kNoRtpTimeoutMs;
};

// Calls the line holds at once, incoming ones still being decided included;
// an INVITE beyond them is refused with 486 at once.
inline constexpr size_t kCallSlots = 8;

enum class CommandKind : uint8_t {
    Dial,
    Alert,
    Answer,
    Refuse,
    HangUp,
    Hold,
    Flash,
    Stop,  // the line is closing
};

struct LineCommand {
    CommandKind kind = CommandKind::HangUp;
    FarCallId call = 0;
    bool held = false;                               // Hold
    std::array<char, kMaxDialledKeys + 1> number{};  // Dial: the dialled keys, terminated
};

// One frame of line transmit of a call, after the digit gate.
struct TxFrame {
    FarCallId call = 0;
    GatedFrame frame;
};

// One packet of a call's received audio.
struct RxPacket {
    FarCallId call = 0;
    RtpAudioPacket packet;
};

struct CallSlot {
    std::atomic<FarCallId> call{0};     // the call in the slot, 0 free (written by the SIP thread)
    std::atomic<bool> outOfBand{true};  // the call's digits leave its audio (events or INFO the far end takes)
    std::atomic<bool> alaw{false};      // the codec agreed: PCMA, else PCMU
    SpscRing<RxPacket, 64> rx;          // received audio, SIP thread to engine (1.3 s)
    SpscRing<TxFrame, 32> tx;           // line transmit, engine to SIP thread (640 ms)
};

struct LineBridge {
    std::array<CallSlot, kCallSlots> slots;
    SpscRing<FarLineEvent, 128> events;        // SIP thread to engine
    SpscRing<LineCommand, 64> commands;        // engine to SIP thread
    std::atomic<bool> up{false};               // the SIP thread runs its loop: calls can be made
    std::atomic<bool> wakePending{false};      // a wake-up is on its way to the SIP thread
    std::function<void()> wake;                // pushes that wake-up (set before the engine's first call)
    std::atomic<uint64_t> droppedCommands{0};  // commands lost to a full ring (the SIP thread stuck)
    std::atomic<uint64_t> droppedFrames{0};    // line transmit frames lost to a full ring
    std::atomic<uint64_t> droppedEvents{0};    // events lost to a full ring (digits, progress)
    std::atomic<uint64_t> droppedPackets{0};   // received packets lost to a full ring

    std::mutex statusLock;  // held only to copy `status` in or out
    LineStatus status;
    FarCallId currentCall = 0;  // the call the status is about (under statusLock)

    // Engine's thread: wakes the SIP thread unless a wake-up is already on its way.
    void Wake()
    {
        if (!wakePending.exchange(true, std::memory_order_acq_rel) && wake)
            wake();
    }
};

}  // namespace tvxsim::sip
