#include "simulator/engine/GoertzelBank.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>

namespace tvxsim {
namespace {

constexpr float kTopHz = 3999.0f;
constexpr float kSameHz = 0.5f;
constexpr float kPartnerClearance = 2.0f * kSampleRate / GoertzelBank::kWindow;  // two bins

// Four lanes side by side, so that one instruction steps them all.
typedef float Lanes __attribute__((vector_size(16)));
constexpr int kLanes = 4;
constexpr int kHalfHop = GoertzelBank::kHop / 2;
static_assert(kHalfHop % kLanes == 0, "half a hop is whole steps of the lanes");

Lanes LoadLanes(const float *p)
{
    Lanes v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// sum x[n] e^{-iw(n - c)} over one hop, c its middle, from the hop folded
// about its middle (the sums x[c + m'] + x[c - m'] and the differences
// x[c + m'] - x[c - m'], m' = m + 1/2) and the filter's cos(w m') and
// sin(w m'): half the products of the hop as it is.
void HopDft(const float *folded, const float *cosines, const float *sines, float &outRe, float &outIm)
{
    const float *sums = folded, *differences = folded + kHalfHop;
    Lanes re0{}, re1{}, im0{}, im1{};
    for (int m = 0; m < kHalfHop; m += kLanes) {
        Lanes &re = m % (2 * kLanes) == 0 ? re0 : re1;
        Lanes &im = m % (2 * kLanes) == 0 ? im0 : im1;
        re += LoadLanes(sums + m) * LoadLanes(cosines + m);
        im += LoadLanes(differences + m) * LoadLanes(sines + m);
    }
    const Lanes re = re0 + re1, im = im0 + im1;
    outRe = (re[0] + re[1]) + (re[2] + re[3]);
    outIm = -((im[0] + im[1]) + (im[2] + im[3]));
}

}  // namespace

int GoertzelBank::FilterFor(float hz)
{
    for (size_t i = 0; i < filters_.size(); ++i)
        if (std::fabs(filters_[i].hz - hz) < kSameHz)
            return static_cast<int>(i);
    Filter f{};
    const double w = 2.0 * std::numbers::pi * hz / kSampleRate;
    f.hz = hz;
    // Each table steps one angle at a time by a rotation in double precision
    // (a few hundred banks are configured as the device opens; two sines per
    // table instead of one per entry), exact to far below a float's step.
    const std::complex<double> hopTurn = std::polar(1.0, -w * kHop);
    std::complex<double> turn = 1.0;
    for (size_t j = 0; j < f.turnRe.size(); ++j, turn *= hopTurn) {
        f.turnRe[j] = static_cast<float>(turn.real());
        f.turnIm[j] = static_cast<float>(turn.imag());
    }
    f.hopSerial.fill(-1);
    filters_.push_back(f);
    levels_.push_back({});
    const size_t at = tables_.size();
    constexpr size_t kHalf = kHalfHop;
    tables_.resize(at + 2 * kHalf);
    const std::complex<double> step = std::polar(1.0, w);
    std::complex<double> angle = std::polar(1.0, w / 2);
    for (size_t m = 0; m < kHalf; ++m, angle *= step) {
        tables_[at + m] = static_cast<float>(angle.real());
        tables_[at + kHalf + m] = static_cast<float>(angle.imag());
    }
    return static_cast<int>(filters_.size() - 1);
}

void GoertzelBank::Configure(std::span<const Tone> tones, bool guards)
{
    filters_.clear();
    levels_.clear();
    tables_.clear();
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
    Reset();
}

void GoertzelBank::Reset()
{
    // The hops' serials go on counting, so that no filter takes a DFT of a
    // hop before the reset for one of the new window (which begins four hops on).
    filled_ = 0;
    hopEnergy_ = 0;
    windowHops_ = 0;
    energy_.fill(0);
    windowEnergy_ = 0;
}

void GoertzelBank::Feed(std::span<const int16_t> samples)
{
    int64_t energy = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        const int32_t x = samples[i];
        energy += x * x;
        filling_[static_cast<size_t>(filled_) + i] = samples[i];
    }
    hopEnergy_ += energy;
    filled_ += static_cast<int>(samples.size());
}

void GoertzelBank::FinishHop()
{
    // The new hop takes the slot of the oldest, whose window has been decided.
    const size_t slot = static_cast<size_t>(serial_) % kWindowHops;
    std::array<float, kHop> &folded = folded_[slot];
    for (int m = 0; m < kHalfHop; ++m) {
        const auto later = static_cast<float>(filling_[static_cast<size_t>(kHalfHop + m)]);
        const auto earlier = static_cast<float>(filling_[static_cast<size_t>(kHalfHop - 1 - m)]);
        folded[static_cast<size_t>(m)] = later + earlier;
        folded[static_cast<size_t>(kHalfHop + m)] = later - earlier;
    }
    energy_[slot] = hopEnergy_;
    hopEnergy_ = 0;
    windowEnergy_ = 0;
    for (int64_t e : energy_)
        windowEnergy_ += e;
    ++serial_;
    ++windowHops_;
    filled_ = 0;
}

double GoertzelBank::WorkOutLevel(int k) const
{
    Filter &f = filters_[static_cast<size_t>(k)];
    const float *cosines = tables_.data() + static_cast<size_t>(k) * kHop;
    float re = 0, im = 0;
    for (int j = 0; j < kWindowHops; ++j) {
        const int64_t serial = serial_ - kWindowHops + j;  // the window's j-th hop
        const size_t slot = static_cast<size_t>(serial) % kWindowHops;
        if (f.hopSerial[slot] != serial) {
            if (energy_[slot] == 0)
                f.hopRe[slot] = f.hopIm[slot] = 0;
            else
                HopDft(folded_[slot].data(), cosines, cosines + kHalfHop, f.hopRe[slot], f.hopIm[slot]);
            f.hopSerial[slot] = serial;
        }
        // sum += turn * hop
        const auto place = static_cast<size_t>(j);
        re += f.turnRe[place] * f.hopRe[slot] - f.turnIm[place] * f.hopIm[slot];
        im += f.turnRe[place] * f.hopIm[slot] + f.turnIm[place] * f.hopRe[slot];
    }
    // A sine of peak A gives |X| = A N / 2, so its mean square A^2/2 is 2 |X|^2 / N^2.
    Level &l = levels_[static_cast<size_t>(k)];
    l.meanSquare =
        2.0 * (static_cast<double>(re) * re + static_cast<double>(im) * im) / (static_cast<double>(kWindow) * kWindow);
    l.serial = serial_;
    return l.meanSquare;
}

float GoertzelBank::WindowDbm0() const { return MeanSquareToDbm0(WindowMeanSquare()); }

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
    const double total = WindowMeanSquare();
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
    if (MeanSquareBound() < minMeanSquare)
        return false;  // too quiet for any frequency
    // The frequencies' own filters first; the guards only for a tone that has passed them.
    for (const Component &c : tones_[index])
        if (c.nominal >= 0 && MeanSquareOf(c) < minMeanSquare)
            return false;
    if (Purity(index) < kMinPurity)
        return false;
    for (const Component &c : tones_[index]) {
        if (c.nominal < 0)
            continue;
        const double own = FilterMeanSquare(c.nominal);
        if ((c.below >= 0 && own <= FilterMeanSquare(c.below)) || (c.above >= 0 && own <= FilterMeanSquare(c.above)))
            return false;
    }
    return true;
}

}  // namespace tvxsim
