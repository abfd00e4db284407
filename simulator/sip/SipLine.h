// The far line over SIP: the exchange's door (FarLine) on the engine's
// thread, a thread of its own (SipAgent) behind it. Every FarLine call
// returns at once: commands and line transmit go into bounded rings and
// wake the SIP thread; events and received audio are taken from rings.
// The received audio of each call plays through an adaptive jitter buffer
// at the pace of the engine's blocks; digits leave the audio through the
// digit gate when they go out of band.
//
// The engine's thread calls Speak for each block of a call it sends and
// Hear for each block it plays; DigitStart/DigitEnd come before that
// block's Speak. Status() may be called from any thread. Destroy the line
// only once the engine no longer calls it.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "simulator/sip/ConfiguredLine.h"
#include "simulator/sip/LineBridge.h"
#include "simulator/sip/LineStatus.h"
#include "simulator/sip/logic/LineConfig.h"
#include "simulator/sip/logic/Playout.h"

namespace tvxsim::sip {

class SipAgent;

class SipLine final : public ConfiguredLine {
public:
    // Starts the line's thread; it listens, looks up the password and
    // registers on its own (the status tells how far it got).
    SipLine(const LineConfig &config, std::string passwordPath, LineTimings timings = {});
    ~SipLine() override;
    SipLine(const SipLine &) = delete;
    SipLine &operator=(const SipLine &) = delete;

    // Any thread.
    LineStatus Status() const override;
    // Whether the SIP thread runs its loop (listening).
    bool Up() const { return bridge_.up.load(); }

    const FarLinePlan &Plan() const override { return plan_; }
    bool Next(FarLineEvent &event) override;
    FarCallId Dial(std::string_view number) override;
    void Alert(FarCallId call) override;
    void Answer(FarCallId call) override;
    void Refuse(FarCallId call) override;
    void HangUp(FarCallId call) override;
    void Hold(FarCallId call, bool held) override;
    void Flash(FarCallId call) override;
    void DigitStart(FarCallId call, char digit) override;
    void DigitEnd(FarCallId call) override;
    void Hear(FarCallId call, std::span<int16_t> out) override;
    void Speak(FarCallId call, std::span<const int16_t> lineTx) override;

private:
    // The engine's side of a call slot.
    struct Player {
        FarCallId call = 0;    // the call this side last served
        Playout playout;       // received audio: jitter buffer, decoder, concealer
        ToneGate gate;         // line transmit: digits kept out when out of band
        bool gateOn = true;    // what the gate was last set to
        bool alaw = false;     // the decoder's law
        int64_t anchorUs = 0;  // the block clock: the steady time of block 0
        int64_t blocks = 0;    // blocks heard since the anchor
    };

    void Command(CommandKind kind, FarCallId call, bool held = false);
    // The slot of `call` and its player made ready for it; -1 when the call has none.
    int SlotOf(FarCallId call);

    LineConfig config_;
    FarLinePlan plan_;
    LineBridge bridge_;
    std::array<Player, kCallSlots> players_;
    uint32_t nextDial_ = 1;  // the engine's calls get odd ids
    std::unique_ptr<SipAgent> agent_;
};

}  // namespace tvxsim::sip
