// A mono 8 kHz 16-bit WAV file whose header stays valid while it grows: the
// sizes are rewritten at every Flush(), so a file cut short by a killed
// process still opens with every sample written up to the last flush.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace tvxsim {

class WavWriter {
public:
    static constexpr size_t kHeaderBytes = 44;

    WavWriter() = default;
    ~WavWriter() { Close(); }
    WavWriter(const WavWriter &) = delete;
    WavWriter &operator=(const WavWriter &) = delete;

    // Creates (or truncates) the file and writes an empty header. False with errno set on failure.
    bool Open(const std::string &path);
    bool IsOpen() const { return file_ != nullptr; }
    void Write(std::span<const int16_t> samples);
    // Rewrites the sizes and hands the data to the system.
    void Flush();
    void Close();
    uint64_t SamplesWritten() const { return samples_; }

private:
    static constexpr size_t kBufferBytes = 64 * 1024;

    // The header for the samples written so far.
    std::array<uint8_t, kHeaderBytes> Header() const;

    std::FILE *file_ = nullptr;
    std::vector<char> buffer_;  // the stream's buffer
    uint64_t samples_ = 0;
};

}  // namespace tvxsim
