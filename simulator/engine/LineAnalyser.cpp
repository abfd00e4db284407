#include "simulator/engine/LineAnalyser.h"

#include <algorithm>
#include <cmath>
#include <fftw3.h>
#include <mutex>
#include <numbers>

namespace tvxsim {
namespace {

// FFTW's planner is not thread-safe: plans are made and destroyed one at a time.
std::mutex &PlannerMutex()
{
    static std::mutex mutex;
    return mutex;
}

constexpr double kFullScale = 32767.0;
constexpr float kSilentDbm0 = -200.0f;

}  // namespace

LineAnalyser::LineAnalyser(std::shared_ptr<AnalysisFeed> feed) : feed_(std::move(feed))
{
    for (size_t n = 0; n < window_.size(); ++n)
        window_[n] = static_cast<float>(
            0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(n) / kSpectrumFftSize));
}

LineAnalyser::~LineAnalyser()
{
    if (!plan_)
        return;
    std::lock_guard lock(PlannerMutex());
    fftw_destroy_plan(static_cast<fftw_plan>(plan_));
    fftw_free(out_);
    fftw_free(in_);
}

// The plan is made with the first frame, not with the session: the
// planner's first start costs milliseconds that opening the device (on the
// tool's UI thread) should not pay for an analysis that may never run.
void LineAnalyser::MakePlan()
{
    std::lock_guard lock(PlannerMutex());
    in_ = fftw_alloc_real(kSpectrumFftSize);
    auto *out = fftw_alloc_complex(kSpectrumBins);
    out_ = out;
    plan_ = fftw_plan_dft_r2c_1d(kSpectrumFftSize, in_, out, FFTW_ESTIMATE);
}

void LineAnalyser::SetEnabled(bool on)
{
    if (on && !enabled_) {
        filled_ = 0;
        next_ = 0;
        sinceFrame_ = 0;
    }
    enabled_ = on;
}

void LineAnalyser::OnBlock(const BlockAudio &block)
{
    if (enabled_)
        Feed(block.lineRx);
}

void LineAnalyser::Feed(std::span<const int16_t> samples)
{
    for (int16_t s : samples) {
        history_[next_] = s;
        next_ = (next_ + 1) % history_.size();
        filled_ = std::min(filled_ + 1, history_.size());
        if (++sinceFrame_ >= kSpectrumHop && filled_ == history_.size()) {
            sinceFrame_ = 0;
            Analyse();
        }
    }
}

void LineAnalyser::Analyse()
{
    if (!plan_)
        MakePlan();
    for (size_t n = 0; n < history_.size(); ++n)  // oldest first
        in_[n] = static_cast<double>(history_[(next_ + n) % history_.size()]) * window_[n];
    fftw_execute(static_cast<fftw_plan>(plan_));
    const auto *out = static_cast<const fftw_complex *>(out_);
    // A sine of amplitude A on a bin gives |X| = A N / 4 through the Hann window.
    for (size_t k = 0; k < levels_.size(); ++k) {
        const double amplitude = 4.0 * std::hypot(out[k][0], out[k][1]) / kSpectrumFftSize;
        levels_[k] = amplitude > 0.0 ? static_cast<float>(20.0 * std::log10(amplitude / kFullScale) +
                                                          static_cast<double>(kFullScaleSineDbm0))
                                     : kSilentDbm0;
    }
    feed_->Publish(levels_);
}

}  // namespace tvxsim
