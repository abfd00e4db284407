#include "simulator/audio/DriftReader.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tvxsim {
namespace {

// Writes `in` resampled to out.size() samples, first and last samples kept.
void Stretch(std::span<const int16_t> in, std::span<int16_t> out)
{
    if (in.empty()) {
        std::fill(out.begin(), out.end(), int16_t{0});
        return;
    }
    if (out.size() == 1 || in.size() == 1) {
        std::fill(out.begin(), out.end(), in.back());
        return;
    }
    const double step = static_cast<double>(in.size() - 1) / static_cast<double>(out.size() - 1);
    for (size_t i = 0; i < out.size(); ++i) {
        const double x = static_cast<double>(i) * step;
        const size_t k = std::min(static_cast<size_t>(x), in.size() - 2);
        const double frac = x - static_cast<double>(k);
        const double v = in[k] + (in[k + 1] - in[k]) * frac;
        out[i] = static_cast<int16_t>(v >= 0 ? v + 0.5 : v - 0.5);
    }
}

}  // namespace

void DriftReader::Read(std::span<int16_t> out)
{
    while (!out.empty()) {
        const size_t n = std::min(out.size(), kMaxRead);
        ReadPart(out.first(n));
        out = out.subspan(n);
    }
}

void DriftReader::ReadPart(std::span<int16_t> out)
{
    const size_t n = out.size();
    const size_t step = std::min(n, ring_.LastWrite());
    size_t fill = ring_.Fill();
    if (fill > n + kCeiling + target_) {
        // Not read for a while: what waits is old.
        ring_.Discard(fill);
        ++stats_.skips;
        primed_ = false;
        fill = 0;
    }
    if (!primed_) {
        target_ = std::max(target_, step + kMargin + extra_);
        if (fill < n + target_) {
            std::fill(out.begin(), out.end(), int16_t{0});
            return;
        }
        primed_ = true;
        ring_.Discard(fill - (n + target_));  // start at the target, not above it
        fill = n + target_;
        reads_ = 0;
        correction_ = 0;
        leastSlack_ = SIZE_MAX;
        largestStep_ = 0;
    }
    if (fill < n) {
        // Ran dry: silence until the target is held again.
        std::fill(out.begin(), out.end(), int16_t{0});
        ring_.Discard(fill);
        ++stats_.underruns;
        primed_ = false;
        extra_ = std::min(extra_ + kGrowth, kMaxExtra);
        steadyWindows_ = 0;
        return;
    }

    size_t take = n;
    sinceCorrection_ += n;
    const bool mayCorrect = n > 1 && sinceCorrection_ >= kStretchEvery;
    if (mayCorrect && correction_ < 0 && fill > n) {
        take = n + 1;
        ++correction_;
        ++stats_.dropped;
        sinceCorrection_ = 0;
    } else if (mayCorrect && correction_ > 0) {
        take = n - 1;
        --correction_;
        ++stats_.repeated;
        sinceCorrection_ = 0;
    }
    if (take == n) {
        ring_.Read(out);
    } else {
        std::array<int16_t, kMaxRead + 1> in;
        const size_t got = ring_.Read(std::span<int16_t>(in.data(), take));
        Stretch(std::span<const int16_t>(in.data(), got), out);
    }
    leastSlack_ = std::min(leastSlack_, fill - take);
    largestStep_ = std::max(largestStep_, step);
    if (++reads_ >= kWindow)
        Judge();
}

void DriftReader::Judge()
{
    // A window whose least slack was within the added slack (and the
    // tolerance) would have run dry without it: not steady.
    if (leastSlack_ < extra_ + kTolerance)
        steadyWindows_ = 0;
    else if (steadyWindows_ < kSteadyWindows)
        ++steadyWindows_;
    else if (extra_ > 0)
        --extra_;
    target_ = largestStep_ + kMargin + extra_;
    if (leastSlack_ > target_ + kTolerance)
        correction_ = -static_cast<int64_t>(std::min<size_t>(leastSlack_ - target_, kWindow));
    else if (leastSlack_ < target_)
        correction_ = static_cast<int64_t>(std::min<size_t>(target_ - leastSlack_, kWindow));
    else
        correction_ = 0;
    reads_ = 0;
    leastSlack_ = SIZE_MAX;
    largestStep_ = 0;
}

}  // namespace tvxsim
