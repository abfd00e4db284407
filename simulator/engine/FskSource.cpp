#include "simulator/engine/FskSource.h"

#include <algorithm>
#include <array>
#include <spandsp.h>

namespace tvxsim {

size_t FskSource::BitsOf(const FskFraming &framing, size_t bytes)
{
    return static_cast<size_t>(std::max(framing.seizureBits, 0) + std::max(framing.markBits, 0) +
                               std::max(framing.trailingMarks, 0)) +
           10 * bytes;
}

FskSource::FskSource(CidModem modem, const FskFraming &framing, std::span<const uint8_t> message, float dbm0)
{
    bits_.reserve(BitsOf(framing, message.size()));
    for (int32_t i = 0; i < framing.seizureBits; ++i)
        bits_.push_back(static_cast<uint8_t>(i & 1));
    bits_.insert(bits_.end(), static_cast<size_t>(std::max(framing.markBits, 0)), 1);
    for (uint8_t byte : message) {
        bits_.push_back(0);
        for (int k = 0; k < 8; ++k)
            bits_.push_back(static_cast<uint8_t>((byte >> k) & 1));
        bits_.push_back(1);
    }
    bits_.insert(bits_.end(), static_cast<size_t>(std::max(framing.trailingMarks, 0)), 1);
    const int preset = modem == CidModem::Bell202 ? static_cast<int>(FSK_BELL202) : static_cast<int>(FSK_V23CH1);
    tx_ = fsk_tx_init(nullptr, &preset_fsk_specs[preset], NextBit, this);
    fsk_tx_power(tx_, dbm0);
}

FskSource::~FskSource() { fsk_tx_free(tx_); }

int FskSource::NextBit(void *self)
{
    auto *s = static_cast<FskSource *>(self);
    if (s->next_ >= s->bits_.size())
        return SIG_STATUS_END_OF_DATA;
    return s->bits_[s->next_++];
}

bool FskSource::MixInto(std::span<int16_t> out)
{
    return MixGenerated(out, [this](int16_t *buf, int n) { return fsk_tx(tx_, buf, n); });
}

}  // namespace tvxsim
