// A sound file played into the simulation: any file the sound-file library
// reads (PCM, IMA ADPCM and float WAV, FLAC, Ogg, MP3, ...), at any sample
// rate, its first channel when it has several, resampled to 8 kHz by a
// streaming resampler and scaled by a gain, handed out as 16-bit samples
// (saturated, never wrapped). The file is read as it plays, a piece at a
// time, so the memory it takes does not grow with the file's length. A file
// that ends early, is cut short or cannot be decoded further ends the sound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "simulator/engine/SampleReader.h"

struct sf_private_tag;
struct soxr;

namespace tvxsim {

class SoundFileReader final : public SampleReader {
public:
    static constexpr double kMinGainDb = -60.0;
    static constexpr double kMaxGainDb = 20.0;
    static constexpr int kMinRate = 1000;    // Hz, the file's own rate
    static constexpr int kMaxRate = 768000;  // Hz
    // Input samples (all channels) decoded at a time: bounds the buffers for any channel count.
    static constexpr size_t kPieceSamples = 4096;

    // Opens the file at `path` for playing at `gainDb` (limited to the range
    // above). Null when it cannot be played, with the reason in `error`: it
    // does not exist, cannot be read, is not a regular file (a directory, a
    // FIFO, a device: never waited on), or is not sound the library decodes.
    static std::unique_ptr<SoundFileReader> Open(const std::string &path, double gainDb, std::string &error);

    ~SoundFileReader() override;
    SoundFileReader(const SoundFileReader &) = delete;
    SoundFileReader &operator=(const SoundFileReader &) = delete;

    size_t Read(std::span<int16_t> out) override;

    int FileRate() const { return rate_; }
    int FileChannels() const { return channels_; }

private:
    SoundFileReader() = default;
    // Decodes and resamples the next piece into out_. False once nothing more comes.
    bool Refill();
    // Decodes the next frames' first channel into in_. False at the file's end or on an error.
    bool Decode();
    void Finish();

    int fd_ = -1;                       // the open file, owned here
    sf_private_tag *file_ = nullptr;    // the decoder on fd_
    soxr *resampler_ = nullptr;         // null when the file is at 8 kHz already
    int rate_ = 0;                      // the file's sample rate, Hz
    int channels_ = 0;                  // the file's channel count
    bool shorts_ = false;               // the file's samples are 16 bits or fewer: decoded as such
    float scale_ = 1.0f;                // a decoded sample to 16-bit, times the gain
    std::vector<float> frames_;         // one decoded piece, all channels interleaved (files of more bits)
    std::vector<int16_t> shortFrames_;  // the same, files of 16 bits or fewer
    std::vector<float> in_;             // its first channel, scaled
    size_t inPos_ = 0;                  // in_[inPos_, inLen_) not yet taken by the resampler
    size_t inLen_ = 0;
    std::vector<float> out_;  // resampled, at 8 kHz
    size_t outPos_ = 0;       // out_[outPos_, outLen_) not yet handed out
    size_t outLen_ = 0;
    bool inputEnded_ = false;  // the decoder gives no more
    bool finished_ = false;    // nothing more comes at all
};

}  // namespace tvxsim
