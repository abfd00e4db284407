#include "simulator/engine/WavWriter.h"

#include <algorithm>
#include <array>

#include "simulator/engine/Audio.h"

namespace tvxsim {
namespace {

// The data chunk's size field is 32 bits: stop growing well before it wraps.
constexpr uint64_t kMaxSamples = (uint64_t{0xFFFFFFFF} - WavWriter::kHeaderBytes) / 2;

void put16(uint8_t *p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void put32(uint8_t *p, uint32_t v)
{
    put16(p, v & 0xFFFFu);
    put16(p + 2, v >> 16);
}

}  // namespace

bool WavWriter::open(const std::string &path)
{
    close();
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr)
        return false;
    samples_ = 0;
    writeHeader();
    std::fflush(file_);
    return true;
}

void WavWriter::writeHeader()
{
    std::array<uint8_t, kHeaderBytes> h{};
    const auto dataBytes = static_cast<uint32_t>(samples_ * 2);
    std::copy_n("RIFF", 4, h.begin());
    put32(&h[4], 36 + dataBytes);
    std::copy_n("WAVEfmt ", 8, h.begin() + 8);
    put32(&h[16], 16);               // fmt chunk size
    put16(&h[20], 1);                // PCM
    put16(&h[22], 1);                // mono
    put32(&h[24], kSampleRate);      // sample rate
    put32(&h[28], kSampleRate * 2);  // bytes per second
    put16(&h[32], 2);                // bytes per frame
    put16(&h[34], 16);               // bits per sample
    std::copy_n("data", 4, h.begin() + 36);
    put32(&h[40], dataBytes);
    std::fseek(file_, 0, SEEK_SET);
    std::fwrite(h.data(), 1, h.size(), file_);
    std::fseek(file_, 0, SEEK_END);
}

void WavWriter::write(std::span<const int16_t> samples)
{
    if (file_ == nullptr)
        return;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(samples.size(), kMaxSamples - samples_));
    std::array<uint8_t, 2 * kBlockSamples> bytes;
    size_t done = 0;
    while (done < n) {
        const size_t chunk = std::min(n - done, bytes.size() / 2);
        for (size_t i = 0; i < chunk; ++i)
            put16(&bytes[2 * i], static_cast<uint16_t>(samples[done + i]));
        std::fwrite(bytes.data(), 2, chunk, file_);
        done += chunk;
    }
    samples_ += n;
}

void WavWriter::flush()
{
    if (file_ == nullptr)
        return;
    writeHeader();
    std::fflush(file_);
}

void WavWriter::close()
{
    if (file_ == nullptr)
        return;
    flush();
    std::fclose(file_);
    file_ = nullptr;
}

}  // namespace tvxsim
