#include "simulator/media/SoundFileReader.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sndfile.h>
#include <soxr.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "simulator/engine/Audio.h"

namespace tvxsim {
namespace {

constexpr size_t kOutSamples = 1024;  // resampled samples per piece
// soxr_process calls that neither take input nor give output before the sound
// counts as ended (it takes or gives something every call; this only bounds a fault).
constexpr int kMaxIdleCalls = 64;
// The decoder's full scale (1.0) as 16-bit samples: a 16-bit file's samples come out as they are.
constexpr float kFullScale = 32768.0f;

// Codings of 16 bits or fewer: decoded to 16-bit samples directly, which
// costs about half of decoding to float and loses nothing.
bool AtMost16Bits(int format)
{
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
    case SF_FORMAT_IMA_ADPCM:
    case SF_FORMAT_MS_ADPCM:
        return true;
    default:
        return false;
    }
}

// Why a file that stat describes cannot be played; empty when it is a regular file.
const char *NotPlayable(const struct stat &st)
{
    if (S_ISREG(st.st_mode))
        return nullptr;
    if (S_ISDIR(st.st_mode))
        return "a directory, not a sound file";
    if (S_ISFIFO(st.st_mode))
        return "a FIFO, not a regular file";
    return "not a regular file";
}

}  // namespace

std::unique_ptr<SoundFileReader> SoundFileReader::Open(const std::string &path, double gainDb, std::string &error)
{
    const auto fail = [&error](std::string reason) {
        error = std::move(reason);
        return nullptr;
    };
    // Look before opening: a device or a FIFO is never opened, let alone waited on.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return fail(std::strerror(errno));
    if (const char *why = NotPlayable(st))
        return fail(why);
    std::unique_ptr<SoundFileReader> r(new SoundFileReader);
    r->fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (r->fd_ < 0)
        return fail(std::strerror(errno));
    // The same again on what was opened: the path may have been replaced in between.
    if (::fstat(r->fd_, &st) != 0)
        return fail(std::strerror(errno));
    if (const char *why = NotPlayable(st))
        return fail(why);

    SF_INFO info{};
    r->file_ = sf_open_fd(r->fd_, SFM_READ, &info, SF_FALSE);
    if (r->file_ == nullptr)
        return fail(std::string("not a sound file that can be decoded (") + sf_strerror(nullptr) + ")");
    if (info.channels < 1)
        return fail("a sound file without channels");
    if (info.samplerate < kMinRate || info.samplerate > kMaxRate)
        return fail("a sample rate of " + std::to_string(info.samplerate) + " Hz (" + std::to_string(kMinRate) +
                    " to " + std::to_string(kMaxRate) + " can be played)");
    r->rate_ = info.samplerate;
    r->channels_ = info.channels;
    const double gain = std::clamp(gainDb, kMinGainDb, kMaxGainDb);
    r->shorts_ = AtMost16Bits(info.format);
    r->scale_ = (r->shorts_ ? 1.0f : kFullScale) * static_cast<float>(std::pow(10.0, gain / 20.0));

    const size_t frames = std::max<size_t>(1, kPieceSamples / static_cast<size_t>(r->channels_));
    if (r->shorts_)
        r->shortFrames_.resize(frames * static_cast<size_t>(r->channels_));
    else
        r->frames_.resize(frames * static_cast<size_t>(r->channels_));
    r->in_.resize(frames);
    if (r->rate_ != kSampleRate) {
        const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
        const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
        const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);  // no threads of its own
        soxr_error_t e = nullptr;
        r->resampler_ = soxr_create(r->rate_, kSampleRate, 1, &e, &io, &quality, &runtime);
        if (r->resampler_ == nullptr || e != nullptr)
            return fail(std::string("cannot resample it (") + soxr_strerror(e) + ")");
        r->out_.resize(kOutSamples);
    } else {
        r->out_.resize(frames);
    }
    return r;
}

SoundFileReader::~SoundFileReader() { Finish(); }

void SoundFileReader::Finish()
{
    finished_ = true;
    if (resampler_ != nullptr)
        soxr_delete(resampler_);
    resampler_ = nullptr;
    if (file_ != nullptr)
        sf_close(file_);
    file_ = nullptr;
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool SoundFileReader::Decode()
{
    const auto channels = static_cast<size_t>(channels_);
    const auto want = static_cast<sf_count_t>(in_.size());
    const sf_count_t got =
        shorts_ ? sf_readf_short(file_, shortFrames_.data(), want) : sf_readf_float(file_, frames_.data(), want);
    if (got <= 0)
        return false;
    const auto n = std::min(static_cast<size_t>(got), in_.size());
    if (shorts_) {
        for (size_t i = 0; i < n; ++i)
            in_[i] = static_cast<float>(shortFrames_[i * channels]) * scale_;
    } else {
        for (size_t i = 0; i < n; ++i) {
            const float v = frames_[i * channels] * scale_;
            in_[i] = std::isfinite(v) ? v : 0.0f;  // a float file may hold anything
        }
    }
    inPos_ = 0;
    inLen_ = n;
    return true;
}

bool SoundFileReader::Refill()
{
    outPos_ = outLen_ = 0;
    for (int idle = 0; !finished_ && idle < kMaxIdleCalls;) {
        if (inPos_ == inLen_ && !inputEnded_ && !Decode())
            inputEnded_ = true;
        if (resampler_ == nullptr) {  // already at 8 kHz
            if (inputEnded_)
                break;
            std::copy(in_.begin(), in_.begin() + static_cast<std::ptrdiff_t>(inLen_), out_.begin());
            outLen_ = inLen_;
            inPos_ = inLen_;
            return true;
        }
        size_t taken = 0;
        size_t made = 0;
        // With the input at its end, a null input drains what the resampler still holds.
        const soxr_error_t e =
            inputEnded_
                ? soxr_process(resampler_, nullptr, 0, nullptr, out_.data(), out_.size(), &made)
                : soxr_process(
                      resampler_, in_.data() + inPos_, inLen_ - inPos_, &taken, out_.data(), out_.size(), &made);
        if (e != nullptr)
            break;
        inPos_ += std::min(taken, inLen_ - inPos_);
        if (made > 0) {
            outLen_ = std::min(made, out_.size());
            return true;
        }
        if (inputEnded_)
            break;  // drained
        if (taken == 0)
            ++idle;
    }
    Finish();
    return false;
}

size_t SoundFileReader::Read(std::span<int16_t> out)
{
    size_t done = 0;
    while (done < out.size()) {
        if (outPos_ == outLen_ && !Refill())
            break;
        const size_t n = std::min(out.size() - done, outLen_ - outPos_);
        for (size_t i = 0; i < n; ++i)
            out[done + i] = Saturate(out_[outPos_ + i]);
        outPos_ += n;
        done += n;
    }
    return done;
}

}  // namespace tvxsim
