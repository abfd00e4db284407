// A mono 8 kHz 16-bit WAV file whose header stays valid while it grows: the
// sizes are rewritten at every flush(), so a file cut short by a killed
// process still opens with every sample written up to the last flush.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace tvxsim {

class WavWriter {
public:
    static constexpr size_t kHeaderBytes = 44;

    WavWriter() = default;
    ~WavWriter() { close(); }
    WavWriter(const WavWriter &) = delete;
    WavWriter &operator=(const WavWriter &) = delete;

    // Creates (or truncates) the file and writes an empty header. False with errno set on failure.
    bool open(const std::string &path);
    bool isOpen() const { return file_ != nullptr; }
    void write(std::span<const int16_t> samples);
    // Rewrites the sizes and hands the data to the system.
    void flush();
    void close();
    uint64_t samplesWritten() const { return samples_; }

private:
    void writeHeader();

    std::FILE *file_ = nullptr;
    uint64_t samples_ = 0;
};

}  // namespace tvxsim
