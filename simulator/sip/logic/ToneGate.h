// Line transmit on its way to RTP when digits go out of band (RFC 4733 or
// INFO): a digit's tone must not reach the far end as audio too, or it
// would count the digit twice.
//
// The exchange's receiver reports a digit about 35 ms into its tone, two
// frames after the tone began. So a frame that holds a DTMF-like pair (one
// row and one column tone carrying most of its energy) is held back, up to
// kMaxHeldFrames; when the digit is reported, the held frames and all
// frames until its end go as silence, marked with the digit; when no digit
// follows (the pair was something else), the held frames go on unchanged.
// Other audio passes at once, without delay.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "simulator/sip/logic/JitterBuffer.h"

namespace tvxsim::sip {

inline constexpr size_t kMaxHeldFrames = 3;

struct GatedFrame {
    std::array<int16_t, kFrameSamples> samples{};
    char digit = 0;      // the digit going out of band during this frame; 0 none
    uint32_t index = 0;  // the frame's number in the call (its RTP timestamp is index x 160 on)
};

class ToneGate {
public:
    // `enabled`: digits go out of band; otherwise every frame passes as it is.
    explicit ToneGate(bool enabled = true) : enabled_(enabled) {}

    void Reset(bool enabled);
    // Digits go out of band from now on (or no longer); the frames keep their numbers.
    void Enable(bool enabled);
    void DigitStart(char digit);
    void DigitEnd();

    // One frame of line transmit; the frames to send now go to `out`
    // (room for kMaxHeldFrames + 1); returns how many.
    size_t Frame(std::span<const int16_t, kFrameSamples> in, std::span<GatedFrame, kMaxHeldFrames + 1> out);

    // Whether a frame holds a DTMF-like pair.
    static bool LooksLikeDtmf(std::span<const int16_t, kFrameSamples> frame);

private:
    bool enabled_ = true;
    char digit_ = 0;  // the digit reported and not yet ended
    std::array<GatedFrame, kMaxHeldFrames> held_{};
    size_t heldCount_ = 0;
    uint32_t nextIndex_ = 0;  // the number of the next frame
};

}  // namespace tvxsim::sip
