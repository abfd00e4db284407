#include "simulator/sip/logic/G711.h"

#include <spandsp.h>

#include <algorithm>

namespace tvxsim::sip {

void EncodeG711(G711Law law, std::span<const int16_t> in, std::span<uint8_t> out)
{
    const size_t n = std::min(in.size(), out.size());
    for (size_t i = 0; i < n; ++i)
        out[i] = law == G711Law::Mu ? linear_to_ulaw(in[i]) : linear_to_alaw(in[i]);
}

void DecodeG711(G711Law law, std::span<const uint8_t> in, std::span<int16_t> out)
{
    const size_t n = std::min(in.size(), out.size());
    for (size_t i = 0; i < n; ++i)
        out[i] = law == G711Law::Mu ? ulaw_to_linear(in[i]) : alaw_to_linear(in[i]);
}

uint8_t G711Silence(G711Law law) { return law == G711Law::Mu ? linear_to_ulaw(0) : linear_to_alaw(0); }

}  // namespace tvxsim::sip
