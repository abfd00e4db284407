// A call's received audio as the engine plays it: the jitter buffer's
// frames decoded from G.711, lost frames filled by the signal library's
// packet-loss concealer, silence while no stream plays.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "simulator/sip/logic/JitterBuffer.h"
#include "simulator/sip/logic/LineConfig.h"

namespace tvxsim::sip {

class Playout {
public:
    Playout();
    ~Playout();
    Playout(const Playout &) = delete;
    Playout &operator=(const Playout &) = delete;

    // A new call: forgets the stream and the concealer's history.
    void Reset(G711Law law);
    void SetLaw(G711Law law) { law_ = law; }
    void Push(const RtpAudioPacket &packet) { buffer_.Push(packet); }
    // One 20 ms frame for the caller's clock `nowUs`.
    void Pop(int64_t nowUs, std::span<int16_t, kFrameSamples> out);
    const JitterStats &Stats() const { return buffer_.Stats(); }

private:
    JitterBuffer buffer_;
    struct Concealer;
    std::unique_ptr<Concealer> plc_;  // the concealer: the history of what was played
    G711Law law_ = G711Law::Mu;
};

}  // namespace tvxsim::sip
