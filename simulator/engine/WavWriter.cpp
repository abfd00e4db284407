#include "simulator/engine/WavWriter.h"

#include <algorithm>
#include <array>

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
    samples_ = 0;
    WriteHeader();
    std::fflush(file_);
    return true;
}

void WavWriter::WriteHeader()
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
    std::fseek(file_, 0, SEEK_SET);
    std::fwrite(h.data(), 1, h.size(), file_);
    std::fseek(file_, 0, SEEK_END);
}

void WavWriter::Write(std::span<const int16_t> samples)
{
    if (file_ == nullptr)
        return;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(samples.size(), kMaxSamples - samples_));
    std::array<uint8_t, 2 * kBlockSamples> bytes;
    size_t done = 0;
    while (done < n) {
        const size_t chunk = std::min(n - done, bytes.size() / 2);
        for (size_t i = 0; i < chunk; ++i)
            Put16(&bytes[2 * i], static_cast<uint16_t>(samples[done + i]));
        std::fwrite(bytes.data(), 2, chunk, file_);
        done += chunk;
    }
    samples_ += n;
}

void WavWriter::Flush()
{
    if (file_ == nullptr)
        return;
    WriteHeader();
    std::fflush(file_);
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
