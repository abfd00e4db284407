// A caller-ID data signal: the message bytes on an FSK modem at 1200 bit/s,
// Bell 202 (mark 1200 Hz, space 2200 Hz) or V.23 (mark 1300 Hz, space
// 2100 Hz), made by the signal library's FSK transmitter. The bits: a
// channel seizure of alternating 0 and 1, a run of marks, each byte as a
// start bit 0, eight data bits least significant first and a stop bit 1,
// then a few marks.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "simulator/engine/Sources.h"
#include "simulator/logic/CallerIdMessage.h"

struct fsk_tx_state_s;

namespace tvxsim {

struct FskFraming {
    int32_t seizureBits = 300;  // alternating 0 and 1; 0 for none
    int32_t markBits = 180;
    int32_t trailingMarks = 10;
};

// On hook: 300 bits of channel seizure and 180 marks; off hook (after a
// call-waiting alert): no seizure and 80 marks.
inline constexpr FskFraming kOnHookFraming{300, 180, 10};
inline constexpr FskFraming kOffHookFraming{0, 80, 10};
inline constexpr int32_t kFskBitRate = 1200;

class FskSource : public Source {
public:
    FskSource(CidModem modem, const FskFraming &framing, std::span<const uint8_t> message, float dbm0);
    ~FskSource() override;
    FskSource(const FskSource &) = delete;
    FskSource &operator=(const FskSource &) = delete;
    bool MixInto(std::span<int16_t> out) override;

    // Samples from the first bit to the last.
    SampleTime Length() const { return LengthOf(bits_.size()); }
    static SampleTime LengthOf(size_t bits) { return static_cast<SampleTime>(bits) * kSampleRate / kFskBitRate; }
    // The bit count of a message of `bytes` bytes with this framing.
    static size_t BitsOf(const FskFraming &framing, size_t bytes);

private:
    static int NextBit(void *self);

    fsk_tx_state_s *tx_ = nullptr;
    std::vector<uint8_t> bits_;
    size_t next_ = 0;
};

}  // namespace tvxsim
