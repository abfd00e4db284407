// Sound files for the simulator's tests: the outside programs that make and
// read them (sox, lame, multimon-ng, minimodem; installed by the project's
// set-up, a test without them is skipped), a folder of the test's own, and a
// 16-bit WAV written byte by byte, without any sound library.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace simtest {

inline bool HaveTool(const char *tool)
{
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// What a shell command prints, standard error included.
inline std::string Output(const std::string &command)
{
    std::string out;
    if (FILE *p = ::popen((command + " 2>&1").c_str(), "r")) {
        std::array<char, 4096> buf;
        size_t n = 0;
        while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
            out.append(buf.data(), n);
        ::pclose(p);
    }
    return out;
}

// Runs a shell command; true when it succeeded.
inline bool Succeeds(const std::string &command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

// A folder in the test's temporary directory, of this process alone, removed with its files.
struct TempFolder {
    std::string path;
    explicit TempFolder(const std::string &name)
        : path(::testing::TempDir() + "tvxsim_" + name + "_" + std::to_string(::getpid()))
    {
        std::system(("rm -rf '" + path + "' && mkdir -p '" + path + "'").c_str());
    }
    ~TempFolder() { std::system(("rm -rf '" + path + "'").c_str()); }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    std::string File(const std::string &name) const { return path + "/" + name; }
};

// A canonical 44-byte-header PCM WAV of 16-bit samples (interleaved when channels > 1).
inline void WriteWav16(const std::string &path, int rate, int channels, const std::vector<int16_t> &samples)
{
    const auto le = [](std::ofstream &f, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            f.put(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    const auto data = static_cast<uint32_t>(samples.size() * 2);
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write("RIFF", 4);
    le(f, 36 + data, 4);
    f.write("WAVEfmt ", 8);
    le(f, 16, 4);
    le(f, 1, 2);  // PCM
    le(f, static_cast<uint32_t>(channels), 2);
    le(f, static_cast<uint32_t>(rate), 4);
    le(f, static_cast<uint32_t>(rate * channels * 2), 4);
    le(f, static_cast<uint32_t>(channels * 2), 2);
    le(f, 16, 2);
    f.write("data", 4);
    le(f, data, 4);
    for (int16_t s : samples)
        le(f, static_cast<uint16_t>(s), 2);
}

}  // namespace simtest
