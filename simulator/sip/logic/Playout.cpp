#include "simulator/sip/logic/Playout.h"

#include <spandsp.h>

#include <algorithm>
#include <array>

#include "simulator/sip/logic/G711.h"

namespace tvxsim::sip {

struct Playout::Concealer {
    plc_state_t state;
};

Playout::Playout() : plc_(std::make_unique<Concealer>()) { plc_init(&plc_->state); }

Playout::~Playout() = default;

void Playout::Reset(G711Law law)
{
    buffer_.Reset();
    law_ = law;
    plc_init(&plc_->state);
}

void Playout::Pop(int64_t nowUs, std::span<int16_t, kFrameSamples> out)
{
    std::array<uint8_t, kFrameSamples> bytes{};
    switch (buffer_.Pop(nowUs, bytes)) {
    case JitterBuffer::Play::Frame:
        DecodeG711(law_, bytes, out);
        plc_rx(&plc_->state, out.data(), static_cast<int>(out.size()));
        return;
    case JitterBuffer::Play::Missing:
        std::fill(out.begin(), out.end(), int16_t{0});
        plc_fillin(&plc_->state, out.data(), static_cast<int>(out.size()));
        return;
    case JitterBuffer::Play::Idle:
        std::fill(out.begin(), out.end(), int16_t{0});
        return;
    }
}

}  // namespace tvxsim::sip
