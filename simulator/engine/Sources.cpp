#include "simulator/engine/Sources.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <spandsp.h>

namespace tvxsim {
namespace {

constexpr int32_t kMaxDtmfMs = 60 * 1000;
// Hoth noise at the talk level; the syllable envelope (a raised-cosine
// bump, mean square about 0.3, times a gain of 0.6 to 1) is made up for by
// this factor.
constexpr float kEnvelopeMakeUp = 1.9f;

}  // namespace

DtmfSource::DtmfSource(std::string_view digits, int32_t onMs, int32_t offMs, int lowGroupDbm0)
{
    tx_ = dtmf_tx_init(nullptr);
    dtmf_tx_set_level(tx_, lowGroupDbm0, kTwistDb);
    dtmf_tx_set_timing(tx_, std::clamp(onMs, 1, kMaxDtmfMs), std::clamp(offMs, 0, kMaxDtmfMs));
    const size_t n = std::min<size_t>(digits.size(), MAX_DTMF_DIGITS - 1);
    dtmf_tx_put(tx_, digits.data(), static_cast<int>(n));
}

DtmfSource::~DtmfSource() { dtmf_tx_free(tx_); }

bool DtmfSource::MixInto(std::span<int16_t> out)
{
    return MixGenerated(out, [this](int16_t *buf, int n) { return dtmf_tx(tx_, buf, n); });
}

SpeechSource::SpeechSource(SampleTime totalSamples, float dbm0, uint32_t seed)
    : remaining_(totalSamples), rng_(seed * 2654435761u + 1u)
{
    noise_ = noise_init_dbm0(nullptr, static_cast<int>(seed & 0x7FFFFFFF), dbm0, NOISE_CLASS_HOTH, 7);
    spurtLeft_ = Between(800, 2000) * kSamplesPerMs;
    NextSyllable();
}

SpeechSource::~SpeechSource() { noise_free(noise_); }

uint32_t SpeechSource::Random()
{
    rng_ ^= rng_ << 13;
    rng_ ^= rng_ >> 17;
    rng_ ^= rng_ << 5;
    return rng_;
}

int32_t SpeechSource::Between(int32_t lo, int32_t hi)
{
    return lo + static_cast<int32_t>(Random() % static_cast<uint32_t>(hi - lo + 1));
}

void SpeechSource::NextSyllable()
{
    if (spurtLeft_ <= 0) {
        syllableLen_ = 0;
        pauseLeft_ = Between(300, 900) * kSamplesPerMs;
        spurtLeft_ = Between(800, 2000) * kSamplesPerMs;
        return;
    }
    syllableLen_ = Between(120, 300) * kSamplesPerMs;
    syllablePos_ = 0;
    syllableGain_ = 0.6f + 0.4f * static_cast<float>(Random() % 1000) / 1000.0f;
}

bool SpeechSource::MixInto(std::span<int16_t> out)
{
    size_t n = out.size();
    if (remaining_ >= 0)
        n = static_cast<size_t>(std::min<SampleTime>(remaining_, static_cast<SampleTime>(n)));
    for (size_t i = 0; i < n; ++i) {
        if (syllableLen_ == 0) {
            if (--pauseLeft_ <= 0)
                NextSyllable();
            continue;
        }
        const float phase = static_cast<float>(syllablePos_) / static_cast<float>(syllableLen_);
        const float bump = 4.0f * phase * (1.0f - phase);  // close to sin(pi phase), cheaper
        const float envelope = bump * bump * syllableGain_ * kEnvelopeMakeUp;
        out[i] = Saturate(static_cast<float>(out[i]) + envelope * static_cast<float>(noise(noise_)));
        --spurtLeft_;
        if (++syllablePos_ >= syllableLen_)
            NextSyllable();
    }
    if (remaining_ >= 0) {
        remaining_ -= static_cast<SampleTime>(n);
        return remaining_ > 0;
    }
    return true;
}

NoiseSource::NoiseSource(SampleTime totalSamples, float dbm0, uint32_t seed) : remaining_(totalSamples)
{
    noise_ = awgn_init_dbm0(nullptr, static_cast<int>(seed & 0x7FFFFFFF), dbm0);
}

NoiseSource::~NoiseSource() { awgn_free(noise_); }

bool NoiseSource::MixInto(std::span<int16_t> out)
{
    const auto n = static_cast<size_t>(std::clamp<SampleTime>(remaining_, 0, static_cast<SampleTime>(out.size())));
    for (size_t i = 0; i < n; ++i)
        out[i] = Saturate(static_cast<int32_t>(out[i]) + awgn(noise_));
    remaining_ -= static_cast<SampleTime>(n);
    return remaining_ > 0;
}

bool DelayedSource::MixInto(std::span<int16_t> out)
{
    const auto wait = static_cast<size_t>(std::clamp<SampleTime>(delay_, 0, static_cast<SampleTime>(out.size())));
    delay_ -= static_cast<SampleTime>(wait);
    return wait == out.size() || source_->MixInto(out.subspan(wait));
}

void SourceMixer::Add(std::unique_ptr<Source> source)
{
    if (sources_.size() >= kMaxSources)
        sources_.erase(sources_.begin());
    sources_.push_back(std::move(source));
}

void SourceMixer::MixInto(std::span<int16_t> out)
{
    std::erase_if(sources_, [out](const std::unique_ptr<Source> &s) { return !s->MixInto(out); });
}

}  // namespace tvxsim
