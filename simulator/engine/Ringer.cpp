#include "simulator/engine/Ringer.h"

#include <algorithm>
#include <spandsp.h>

namespace tvxsim {
namespace {

constexpr int32_t kMaxSectionMs = 3600 * 1000;

}  // namespace

void Ringer::Start(int32_t hz, const std::array<int32_t, 4> &cadenceMs, int32_t cycles)
{
    hz_ = std::clamp(hz, 1, 1000);
    for (size_t i = 0; i < sections_.size(); ++i)
        sections_[i] = MsToSamples(std::clamp(cadenceMs[i], 0, kMaxSectionMs));
    for (size_t i = 1; i < sections_.size(); ++i)
        if (sections_[i - 1] == 0)
            sections_[i] = 0;
    section_ = 0;
    position_ = 0;
    cycles_ = 0;
    maxCycles_ = cycles;
    phase_ = 0;
    phaseRate_ = dds_phase_rate(static_cast<float>(hz_));
    extra_ = 0;
    active_ = sections_[0] > 0 && cycles != 0;
}

bool Ringer::LastSection() const
{
    const auto next = static_cast<size_t>(section_ + 1);
    return next >= sections_.size() || sections_[next] == 0;
}

SampleTime Ringer::SectionLength() const
{
    const SampleTime base = sections_[static_cast<size_t>(section_)];
    return section_ % 2 == 1 && LastSection() ? base + extra_ : base;
}

void Ringer::Process(std::span<int16_t> out)
{
    size_t i = 0;
    while (i < out.size()) {
        if (!active_) {
            std::fill(out.begin() + static_cast<ptrdiff_t>(i), out.end(), int16_t{0});
            return;
        }
        const SampleTime length = SectionLength();
        const SampleTime left = length - position_;
        const size_t n = static_cast<size_t>(std::min<SampleTime>(left, static_cast<SampleTime>(out.size() - i)));
        const bool on = section_ % 2 == 0;
        for (size_t k = 0; k < n; ++k)
            out[i + k] = on ? dds_mod(&phase_, phaseRate_, kPeak, 0) : int16_t{0};
        i += n;
        position_ += static_cast<SampleTime>(n);
        if (position_ < length)
            continue;
        position_ = 0;
        if (section_ % 2 == 1 && LastSection())
            extra_ = 0;
        if (++section_ >= static_cast<int>(sections_.size()) || sections_[static_cast<size_t>(section_)] == 0) {
            section_ = 0;
            ++cycles_;
            if (maxCycles_ >= 0 && cycles_ >= maxCycles_)
                active_ = false;
        }
    }
}

}  // namespace tvxsim
