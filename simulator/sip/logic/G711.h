// G.711 frames: 16-bit linear samples to μ-law or A-law bytes and back
// (the signal library's codec).
#pragma once

#include <cstdint>
#include <span>

#include "simulator/sip/logic/LineConfig.h"

namespace tvxsim::sip {

// Encodes min(in, out) samples.
void EncodeG711(G711Law law, std::span<const int16_t> in, std::span<uint8_t> out);
// Decodes min(in, out) bytes.
void DecodeG711(G711Law law, std::span<const uint8_t> in, std::span<int16_t> out);
// The byte of silence (a zero sample).
uint8_t G711Silence(G711Law law);

}  // namespace tvxsim::sip
