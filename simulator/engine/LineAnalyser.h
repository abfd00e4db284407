// The telephony analysis: while enabled it takes the line's receive audio
// and every 50 ms publishes the spectrum of the last 64 ms (512 samples,
// Hann window, FFTW) as levels in dBm0 per bin, calibrated so that a sine of
// L dBm0 on a bin shows L.
#pragma once

#include <array>
#include <memory>

#include "simulator/engine/AnalysisFeed.h"
#include "simulator/engine/Engine.h"

namespace tvxsim {

class LineAnalyser : public AudioTap {
public:
    explicit LineAnalyser(std::shared_ptr<AnalysisFeed> feed);
    ~LineAnalyser() override;
    LineAnalyser(const LineAnalyser &) = delete;
    LineAnalyser &operator=(const LineAnalyser &) = delete;

    // Starts (from an empty window) or stops the analysis.
    void SetEnabled(bool on);
    bool Enabled() const { return enabled_; }
    void OnBlock(const BlockAudio &block) override;
    // Analyses samples as if they were the line's.
    void Feed(std::span<const int16_t> samples);

private:
    void MakePlan();
    void Analyse();

    std::shared_ptr<AnalysisFeed> feed_;
    bool enabled_ = false;
    std::array<float, kSpectrumFftSize> window_{};  // the Hann window
    std::array<int16_t, kSpectrumFftSize> history_{};
    size_t next_ = 0;    // where the next sample goes: the oldest one
    size_t filled_ = 0;  // samples in history_, up to the FFT size
    int sinceFrame_ = 0;
    double *in_ = nullptr;
    void *out_ = nullptr;  // fftw_complex[kSpectrumBins]
    void *plan_ = nullptr;
    std::array<float, kSpectrumBins> levels_{};
};

}  // namespace tvxsim
