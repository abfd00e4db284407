// Sound files for the simulator's tests: the outside programs that make and
// read them (sox, lame, multimon-ng, minimodem; installed by the project's
// set-up, a test without them is skipped), audio that sox makes straight
// into a test, a folder of the test's own, and a 16-bit WAV written byte by
// byte, without any sound library.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include <unistd.h>

#include "simulator/engine/Audio.h"
#include "tests/support/Programs.h"

namespace simtest {

inline bool HaveTool(const char *tool) { return tvxtest::HaveProgram(tool); }

// The same for sox, asked once per process.
inline bool HaveSox()
{
    static const bool have = HaveTool("sox");
    return have;
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

// The samples sox writes for `input` (a file, or -n for its synthesiser)
// followed by `effects`, as 8 kHz 16-bit mono; empty when sox fails.
inline std::vector<int16_t> SoxSamples(const std::string &input, const std::string &effects)
{
    const std::string command =
        "sox -V1 " + input + " -t raw -e signed-integer -b 16 -c 1 -r 8000 - " + effects + " 2>/dev/null";
    std::vector<int16_t> out;
    if (FILE *p = ::popen(command.c_str(), "r")) {
        std::array<int16_t, 4096> buf;
        size_t n = 0;
        while ((n = std::fread(buf.data(), sizeof(int16_t), buf.size(), p)) > 0)
            out.insert(out.end(), buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(n));
        if (::pclose(p) != 0)
            out.clear();
    }
    return out;
}

// Sines from sox's synthesiser, each at its level (its peak set by sox's
// gain -n), all from one run of sox: one effects chain after the other.
// Empty when sox fails.
struct SoxSineSpec {
    double hz;
    double dbm0;
    int64_t ms;
};
inline std::vector<std::vector<int16_t>> SoxSines(std::span<const SoxSineSpec> specs)
{
    std::string chains;
    for (const SoxSineSpec &s : specs) {
        const double dbfs = s.dbm0 - static_cast<double>(tvxsim::kFullScaleSineDbm0);
        chains += (chains.empty() ? "synth " : " : synth ") + std::to_string(static_cast<double>(s.ms) / 1000.0) +
                  " sine " + std::to_string(s.hz) + " gain -n " + std::to_string(dbfs);
    }
    const std::vector<int16_t> all = SoxSamples("-n", chains);
    std::vector<std::vector<int16_t>> out;
    size_t at = 0;
    for (const SoxSineSpec &s : specs) {
        const auto n = static_cast<size_t>(tvxsim::MsToSamples(s.ms));
        if (at + n > all.size())
            return {};
        out.emplace_back(all.begin() + static_cast<std::ptrdiff_t>(at),
                         all.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
    }
    return out;
}

// The digits multimon-ng's DTMF decoder reads from a WAV file.
inline std::string MultimonDtmf(const std::string &wav)
{
    std::string digits;
    const std::string out = Output("multimon-ng -q -c -a DTMF -t wav '" + wav + "'");
    for (size_t at = 0; (at = out.find("DTMF: ", at)) != std::string::npos; at += 6)
        if (at + 6 < out.size() && (at == 0 || out[at - 1] == '\n'))
            digits += out[at + 6];
    return digits;
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

// The keys' frequency pairs (ITU-T Q.23), one row per key.
struct DtmfKeyRow {
    char key;
    int low;
    int high;
};
inline constexpr std::array<DtmfKeyRow, 16> kDtmfKeyRows = {{
    {'1', 697, 1209},
    {'2', 697, 1336},
    {'3', 697, 1477},
    {'A', 697, 1633},
    {'4', 770, 1209},
    {'5', 770, 1336},
    {'6', 770, 1477},
    {'B', 770, 1633},
    {'7', 852, 1209},
    {'8', 852, 1336},
    {'9', 852, 1477},
    {'C', 852, 1633},
    {'*', 941, 1209},
    {'0', 941, 1336},
    {'#', 941, 1477},
    {'D', 941, 1633},
}};

// Makes with sox a recording of `keys` at `rate` Hz: twice `offMs` of silence, then
// each key's pair for `onMs` with `offMs` of silence after it, each tone
// about -12 dBm0. `format` is sox's output options (e.g. "-b 16", "-e
// floating-point -b 32"); the file's name gives its type. False if sox failed.
inline bool MakeDtmfRecording(const std::string &path, const std::string &keys, int rate, int onMs = 100,
                              int offMs = 100, const std::string &format = "-b 16")
{
    const std::string head = "sox -n -r " + std::to_string(rate) + " -c 1 -b 16 ";
    const std::string gap = path + ".gap.wav";
    std::string command = head + "'" + gap + "' trim 0 " + std::to_string(offMs / 1000.0);
    std::string parts = "'" + gap + "' '" + gap + "'";
    for (size_t i = 0; i < keys.size(); ++i) {
        const DtmfKeyRow *row = nullptr;
        for (const DtmfKeyRow &r : kDtmfKeyRows)
            if (r.key == keys[i])
                row = &r;
        if (row == nullptr)
            return false;
        const std::string part = path + "." + std::to_string(i) + ".wav";
        const std::string on = std::to_string(onMs / 1000.0);
        command += " && " + head + "'" + part + "' synth " + on + " sine " + std::to_string(row->low) + " synth " + on +
                   " sine mix " + std::to_string(row->high) + " vol 0.5";
        parts += " '" + part + "' '" + gap + "'";
    }
    command += " && sox " + parts + " " + format + " '" + path + "'";
    const bool ok = std::system((command + " >/dev/null 2>&1").c_str()) == 0;
    std::system(("rm -f '" + path + "'.*.wav").c_str());
    return ok;
}

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
