#include "simulator/engine/GoertzelBank.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tvxsim {
namespace {

constexpr float kTopHz = 3999.0f;
constexpr float kSameHz = 0.5f;
constexpr float kPartnerClearance = 2.0f * kSampleRate / GoertzelBank::kWindow;  // two bins

}  // namespace

int GoertzelBank::FilterFor(float hz)
{
    for (size_t i = 0; i < filters_.size(); ++i)
        if (std::fabs(filters_[i].hz - hz) < kSameHz)
            return static_cast<int>(i);
    Filter f{};
    const float w = 2.0f * std::numbers::pi_v<float> * hz / static_cast<float>(kSampleRate);
    f.hz = hz;
    f.coef = 2.0f * std::cos(w);
    f.cosW = std::cos(w);
    f.sinW = std::sin(w);
    f.endTurn = std::polar(1.0f, -w * static_cast<float>(kHop - 1));
    f.hopTurn = std::polar(1.0f, -w * static_cast<float>(kHop));
    f.phasor = 1.0f;
    filters_.push_back(f);
    return static_cast<int>(filters_.size() - 1);
}

void GoertzelBank::Configure(std::span<const Tone> tones, bool guards)
{
    filters_.clear();
    tones_.clear();
    for (const Tone &t : tones) {
        std::array<Component, 2> comps{};
        std::array<float, 2> hz{};
        int n = 0;
        for (int32_t f : {t.f1, t.f2}) {
            if (f <= 0 || static_cast<float>(f) > kTopHz || (n == 1 && static_cast<float>(f) == hz[0]))
                continue;
            hz[static_cast<size_t>(n++)] = static_cast<float>(f);
        }
        for (int i = 0; i < n; ++i) {
            const float f = hz[static_cast<size_t>(i)];
            const float below = f * (1.0f - kGuardRatio);
            const float above = std::min(kTopHz, f * (1.0f + kGuardRatio));
            // A guard next to the other frequency of a close pair would hear that one instead.
            const auto clear = [&](float guard) {
                return guards && (n < 2 || std::fabs(guard - hz[static_cast<size_t>(1 - i)]) >= kPartnerClearance);
            };
            Component &c = comps[static_cast<size_t>(i)];
            c.nominal = FilterFor(f);
            c.below = clear(below) ? FilterFor(below) : -1;
            c.above = clear(above) ? FilterFor(above) : -1;
        }
        tones_.push_back(comps);
    }
    const size_t groups = (filters_.size() + kLanes - 1) / kLanes;
    s1_.assign(groups, Lanes{});
    s2_.assign(groups, Lanes{});
    coef_.assign(groups, Lanes{});
    for (size_t i = 0; i < filters_.size(); ++i)
        coef_[i / kLanes][i % kLanes] = filters_[i].coef;
    power_.assign(filters_.size(), 0.0);
    Reset();
}

void GoertzelBank::Reset()
{
    std::fill(s1_.begin(), s1_.end(), Lanes{});
    std::fill(s2_.begin(), s2_.end(), Lanes{});
    std::fill(power_.begin(), power_.end(), 0.0);
    windowEnergy_ = 0;
    for (Filter &f : filters_) {
        f.hops.fill({});
        f.phasor = 1.0f;
    }
    energy_.fill(0.0);
    hopEnergy_ = 0;
    filled_ = 0;
    hops_ = 0;
    slot_ = 0;
}

void GoertzelBank::Feed(std::span<const int16_t> samples)
{
    const size_t groups = s1_.size();
    Lanes *s1 = s1_.data();
    Lanes *s2 = s2_.data();
    const Lanes *coef = coef_.data();
    double energy = 0;
    for (int16_t sample : samples) {
        const float x = static_cast<float>(sample);
        energy += static_cast<double>(x) * x;
        for (size_t g = 0; g < groups; ++g) {
            const Lanes s0 = x + coef[g] * s1[g] - s2[g];
            s2[g] = s1[g];
            s1[g] = s0;
        }
    }
    hopEnergy_ += energy;
}

void GoertzelBank::FinishHop()
{
    for (size_t k = 0; k < filters_.size(); ++k) {
        Filter &f = filters_[k];
        const float a = s1_[k / kLanes][k % kLanes];
        const float b = s2_[k / kLanes][k % kLanes];
        const std::complex<float> y(a - f.cosW * b, f.sinW * b);
        f.hops[static_cast<size_t>(slot_)] = f.phasor * f.endTurn * y;
        f.phasor *= f.hopTurn;
        f.phasor *= 1.5f - 0.5f * std::norm(f.phasor);  // back to |p| = 1 (one Newton step)
        std::complex<float> sum{};
        for (const std::complex<float> &h : f.hops)
            sum += h;
        power_[k] = std::norm(std::complex<double>(sum));
    }
    std::fill(s1_.begin(), s1_.end(), Lanes{});
    std::fill(s2_.begin(), s2_.end(), Lanes{});
    energy_[static_cast<size_t>(slot_)] = hopEnergy_;
    hopEnergy_ = 0;
    windowEnergy_ = 0;
    for (double e : energy_)
        windowEnergy_ += e;
    slot_ = (slot_ + 1) % kWindowHops;
    ++hops_;
}

double GoertzelBank::MeanSquareOf(const Component &c) const
{
    // A sine of peak A gives |X| = A N / 2, so its mean square A^2/2 is 2 |X|^2 / N^2.
    return 2.0 * ComponentPower(c.nominal) / (static_cast<double>(kWindow) * kWindow);
}

float GoertzelBank::WindowDbm0() const { return MeanSquareToDbm0(WindowMeanSquare()); }

double GoertzelBank::MeanSquare(size_t index) const
{
    if (index >= tones_.size() || tones_[index][0].nominal < 0)
        return 0.0;
    return MeanSquareOf(tones_[index][0]);
}

float GoertzelBank::ComponentDbm0(size_t index, int component) const
{
    if (index >= tones_.size() || component < 0 || component > 1)
        return -200.0f;
    const Component &c = tones_[index][static_cast<size_t>(component)];
    return c.nominal < 0 ? -200.0f : MeanSquareToDbm0(MeanSquareOf(c));
}

float GoertzelBank::Purity(size_t index) const
{
    if (index >= tones_.size())
        return 0.0f;
    const double total = windowEnergy_ / kWindow;
    if (total <= 0)
        return 0.0f;
    double tone = 0;
    for (const Component &c : tones_[index])
        if (c.nominal >= 0)
            tone += MeanSquareOf(c);
    return static_cast<float>(std::min(1.0, tone / total));
}

bool GoertzelBank::TonePresent(size_t index, float minDbm0)
{
    if (index >= tones_.size() || tones_[index][0].nominal < 0)
        return false;
    if (minDbm0 != lastMinDbm0_) {
        lastMinDbm0_ = minDbm0;
        lastMinMeanSquare_ = static_cast<double>(Dbm0ToPeak(minDbm0)) * Dbm0ToPeak(minDbm0) / 2.0;
    }
    const double minMeanSquare = lastMinMeanSquare_;
    for (const Component &c : tones_[index]) {
        if (c.nominal < 0)
            continue;
        const double own = ComponentPower(c.nominal);
        if ((c.below >= 0 && own <= ComponentPower(c.below)) || (c.above >= 0 && own <= ComponentPower(c.above)))
            return false;
        if (MeanSquareOf(c) < minMeanSquare)
            return false;
    }
    return Purity(index) >= kMinPurity;
}

}  // namespace tvxsim
