// Outside programs in the signal tests: whether one is installed, what it
// prints, and audio that sox makes (8 kHz, 16-bit, one channel), so that the
// detectors hear signals nobody here generated. The tools come with the
// project's set-up (scripts/install-deps.sh); a test that needs a missing one
// is skipped, never installs it.
#pragma once

#include <array>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "simulator/engine/Audio.h"

namespace simtest {

inline bool HaveTool(const std::string &tool)
{
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}
// The same, asked once per process.
inline bool HaveSox()
{
    static const bool have = HaveTool("sox");
    return have;
}

// What the command prints, its errors included.
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

// `top` added into `base` from sample `at` on (saturating; `base` grows to hold it).
inline void MixAt(std::vector<int16_t> &base, std::span<const int16_t> top, size_t at)
{
    if (base.size() < at + top.size())
        base.resize(at + top.size(), 0);
    tvxsim::MixInto(std::span<int16_t>(base).subspan(at, top.size()), top);
}

}  // namespace simtest
