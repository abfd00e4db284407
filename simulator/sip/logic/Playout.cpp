#include "simulator/sip/logic/Playout.h"

#include <spandsp.h>

#include <algorithm>
#include <array>

#include "simulator/sip/logic/G711.h"

namespace tvxsim::sip {

struct Playout::Concealer {
    plc_state_t state;
    // The last samples played, oldest first: the concealer's own history.
    std::array<int16_t, PLC_HISTORY_LEN> history{};

    void Played(std::span<const int16_t> frame)
    {
        const size_t n = std::min(frame.size(), history.size());
        std::move(history.begin() + static_cast<ptrdiff_t>(n), history.end(), history.begin());
        std::copy(frame.end() - static_cast<ptrdiff_t>(n), frame.end(), history.end() - static_cast<ptrdiff_t>(n));
    }

    // The first frame concealed after good ones makes the library rotate its
    // history with an overlapping memcpy unless the history starts at its
    // beginning; handing it the same history whole first puts it there.
    void BeforeFillIn()
    {
        if (state.missing_samples == 0)
            plc_rx(&state, history.data(), static_cast<int>(history.size()));
    }
};

Playout::Playout() : plc_(std::make_unique<Concealer>()) { plc_init(&plc_->state); }

Playout::~Playout() = default;

void Playout::Reset(G711Law law)
{
    buffer_.Reset();
    law_ = law;
    plc_init(&plc_->state);
    plc_->history.fill(0);
}

void Playout::Pop(int64_t nowUs, std::span<int16_t, kFrameSamples> out)
{
    std::array<uint8_t, kFrameSamples> bytes{};
    switch (buffer_.Pop(nowUs, bytes)) {
    case JitterBuffer::Play::Frame:
        DecodeG711(law_, bytes, out);
        plc_rx(&plc_->state, out.data(), static_cast<int>(out.size()));
        plc_->Played(out);
        return;
    case JitterBuffer::Play::Missing:
        std::fill(out.begin(), out.end(), int16_t{0});
        plc_->BeforeFillIn();
        plc_fillin(&plc_->state, out.data(), static_cast<int>(out.size()));
        plc_->Played(out);
        return;
    case JitterBuffer::Play::Idle:
        std::fill(out.begin(), out.end(), int16_t{0});
        return;
    }
}

}  // namespace tvxsim::sip
