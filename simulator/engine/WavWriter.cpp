#include "simulator/engine/WavWriter.h"

#include <algorithm>
#include <array>
#include <bit>

#include <unistd.h>

#include "simulator/engine/Audio.h"

namespace tvxsim {
namespace {

// The data chunk's size field is 32 bits: stop growing well before it wraps.
constexpr uint64_t kMaxSamples = (uint64_t{0xFFFFFFFF} - WavWriter::kHeaderBytes) / 2;

void Put16(uint8_t *p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t *p, uint32_t v)
{
    Put16(p, v & 0xFFFFu);
    Put16(p + 2, v >> 16);
}

}  // namespace

bool WavWriter::Open(const std::string &path)
{
    Close();
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr)
        return false;
    // A buffer of many blocks: the data reach the system in large writes.
    buffer_.resize(kBufferBytes);
    std::setvbuf(file_, buffer_.data(), _IOFBF, buffer_.size());
    samples_ = 0;
    const std::array<uint8_t, kHeaderBytes> h = Header();
    std::fwrite(h.data(), 1, h.size(), file_);
    std::fflush(file_);
    return true;
}

std::array<uint8_t, WavWriter::kHeaderBytes> WavWriter::Header() const
{
    std::array<uint8_t, kHeaderBytes> h{};
    const auto dataBytes = static_cast<uint32_t>(samples_ * 2);
    std::copy_n("RIFF", 4, h.begin());
    Put32(&h[4], 36 + dataBytes);
    std::copy_n("WAVEfmt ", 8, h.begin() + 8);
    Put32(&h[16], 16);               // fmt chunk size
    Put16(&h[20], 1);                // PCM
    Put16(&h[22], 1);                // mono
    Put32(&h[24], kSampleRate);      // sample rate
    Put32(&h[28], kSampleRate * 2);  // bytes per second
    Put16(&h[32], 2);                // bytes per frame
    Put16(&h[34], 16);               // bits per sample
    std::copy_n("data", 4, h.begin() + 36);
    Put32(&h[40], dataBytes);
    return h;
}

void WavWriter::Write(std::span<const int16_t> samples)
{
    if (file_ == nullptr)
        return;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(samples.size(), kMaxSamples - samples_));
    samples_ += n;
    if constexpr (std::endian::native == std::endian::little) {
        std::fwrite(samples.data(), 2, n, file_);  // already the file's byte order
        return;
    }
    std::array<uint8_t, 2 * kBlockSamples> bytes;
    size_t done = 0;
    while (done < n) {
        const size_t chunk = std::min(n - done, bytes.size() / 2);
        for (size_t i = 0; i < chunk; ++i)
            Put16(&bytes[2 * i], static_cast<uint16_t>(samples[done + i]));
        std::fwrite(bytes.data(), 2, chunk, file_);
        done += chunk;
    }
}

void WavWriter::Flush()
{
    if (file_ == nullptr)
        return;
    std::fflush(file_);
    // The sizes in place, beside the stream, whose position (and the
    // alignment of its later writes) stays at the end. Sizes that could not
    // be written are written again at the next flush.
    const std::array<uint8_t, kHeaderBytes> h = Header();
    const ssize_t written = ::pwrite(::fileno(file_), h.data(), h.size(), 0);
    static_cast<void>(written);
}

void WavWriter::Close()
{
    if (file_ == nullptr)
        return;
    Flush();
    std::fclose(file_);
    file_ = nullptr;
}

}  // namespace tvxsim
