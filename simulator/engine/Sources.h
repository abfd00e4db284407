// Sound sources that the far end, the PC and the phone's user play: DTMF
// digits, cadenced tones and speech-like noise, mixed by a SourceMixer.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "simulator/engine/CadencedTone.h"

struct dtmf_tx_state_s;
struct noise_state_s;
struct awgn_state_s;

namespace tvxsim {

class Source {
public:
    virtual ~Source() = default;
    // Adds the next samples into out. False once the source has ended.
    virtual bool MixInto(std::span<int16_t> out) = 0;
};

// Adds what a signal library generator writes (generate(buffer, count)
// returns how many samples it wrote; fewer than asked once it has ended)
// into out. False once it has ended.
template <typename Generate> bool MixGenerated(std::span<int16_t> out, Generate &&generate)
{
    std::array<int16_t, kBlockSamples> buf;
    size_t done = 0;
    while (done < out.size()) {
        const int want = static_cast<int>(std::min(out.size() - done, buf.size()));
        const int got = generate(buf.data(), want);
        MixInto(out.subspan(done, static_cast<size_t>(got)),
                std::span<const int16_t>(buf.data(), static_cast<size_t>(got)));
        done += static_cast<size_t>(got);
        if (got < want)
            return false;
    }
    return true;
}

// DTMF digits (0-9, *, #, A-D) at the ITU-T Q.23 levels: the low group at
// -9 dBm0, the high group 2 dB louder.
class DtmfSource : public Source {
public:
    static constexpr int kLowGroupDbm0 = -9;
    static constexpr int kTwistDb = 2;

    DtmfSource(std::string_view digits, int32_t onMs, int32_t offMs, int lowGroupDbm0 = kLowGroupDbm0);
    ~DtmfSource() override;
    DtmfSource(const DtmfSource &) = delete;
    DtmfSource &operator=(const DtmfSource &) = delete;
    bool MixInto(std::span<int16_t> out) override;

private:
    dtmf_tx_state_s *tx_ = nullptr;
};

class ToneSource : public Source {
public:
    ToneSource(const ToneSpec &tone, SampleTime totalSamples) : tone_(tone, totalSamples) {}
    bool MixInto(std::span<int16_t> out) override { return tone_.MixInto(out); }

private:
    CadencedTone tone_;
};

// Speech-like noise: talk spurts of 0.8 to 2 s with pauses of 0.3 to 0.9 s
// between them, made of syllables of 120 to 300 ms, each a raised-cosine
// burst of the signal library's Hoth noise (the spectrum of room noise and
// speech). `dbm0` is the level while talking.
class SpeechSource : public Source {
public:
    SpeechSource(SampleTime totalSamples, float dbm0, uint32_t seed);
    ~SpeechSource() override;
    SpeechSource(const SpeechSource &) = delete;
    SpeechSource &operator=(const SpeechSource &) = delete;
    bool MixInto(std::span<int16_t> out) override;

private:
    uint32_t Random();
    int32_t Between(int32_t lo, int32_t hi);
    void NextSyllable();

    noise_state_s *noise_ = nullptr;
    SampleTime remaining_;
    uint32_t rng_;
    int32_t spurtLeft_ = 0;    // samples left in the current talk spurt
    int32_t syllableLen_ = 0;  // 0 while pausing
    int32_t syllablePos_ = 0;
    int32_t pauseLeft_ = 0;
    float syllableGain_ = 1.0f;
};

// White noise at `dbm0` (Gaussian, across the whole band) for a time.
class NoiseSource : public Source {
public:
    NoiseSource(SampleTime totalSamples, float dbm0, uint32_t seed);
    ~NoiseSource() override;
    NoiseSource(const NoiseSource &) = delete;
    NoiseSource &operator=(const NoiseSource &) = delete;
    bool MixInto(std::span<int16_t> out) override;

private:
    awgn_state_s *noise_ = nullptr;
    SampleTime remaining_;
};

// Another source, starting `delay` samples later.
class DelayedSource : public Source {
public:
    DelayedSource(std::unique_ptr<Source> source, SampleTime delay) : source_(std::move(source)), delay_(delay) {}
    bool MixInto(std::span<int16_t> out) override;

private:
    std::unique_ptr<Source> source_;
    SampleTime delay_;
};

class SourceMixer {
public:
    void Add(std::unique_ptr<Source> source);
    void Clear() { sources_.clear(); }
    bool Empty() const { return sources_.empty(); }
    // Adds every source into out and drops those that have ended.
    void MixInto(std::span<int16_t> out);

private:
    static constexpr size_t kMaxSources = 16;  // the oldest goes when more are added
    std::vector<std::unique_ptr<Source>> sources_;
};

}  // namespace tvxsim
