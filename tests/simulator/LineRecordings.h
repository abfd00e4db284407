// Recordings made at test time by programs nobody here wrote, as a real line
// would give them: caller ID modulated by minimodem and spoiled with sox
// (a ring transient, the telephone band, white noise, clipping), tone pairs
// and call-progress tones from sox's synthesiser, and the recorded speech
// and music that Debian's sound packages ship. minimodem also reads the
// caller ID back, as the oracle of what a recording holds.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "simulator/engine/Audio.h"
#include "tests/simulator/SoundFiles.h"

namespace simtest {

// Human speech (spoken digits among it) and music, from Debian's packages
// (scripts/install-deps.sh installs them).
inline constexpr const char *kSpeechFolder = "/usr/share/asterisk/sounds/en_US_f_Allison";
inline constexpr const char *kMusicFolder = "/usr/share/asterisk/moh";

inline std::string Quoted(const std::string &path) { return "'" + path + "'"; }

// Every WAV file under `folder`, in name order, joined by sox into one
// 8 kHz recording at `path`. False when there is none or sox failed.
inline bool JoinRecordings(const std::string &folder, const std::string &path)
{
    const std::string list = path + ".list";
    if (!Succeeds("find " + Quoted(folder) + " -name '*.wav' | sort > " + Quoted(list) + " && test -s " + Quoted(list)))
        return false;
    const bool ok = Succeeds("xargs -d '\\n' sh -c 'sox \"$@\" " + Quoted(path) + "' sox < " + Quoted(list));
    std::remove(list.c_str());
    return ok;
}

// The peak amplitude, 0 to 1, of a sine at `dbm0` on the adapter's scale.
inline double SineAmplitude(double dbm0)
{
    return std::pow(10.0, (dbm0 - static_cast<double>(tvxsim::kFullScaleSineDbm0)) / 20.0);
}

// A stretch of one or two sines (0 Hz: none), each at its own level; both
// frequencies 0 is silence.
struct ToneSegment {
    double lowHz;
    double highHz;
    double lowDbm0;
    double highDbm0;
    int ms;
};

// sox's effects for one segment of a two-channel synthesiser input, mixed down to one channel.
inline std::string SegmentEffects(const ToneSegment &s)
{
    const std::string seconds = std::to_string(s.ms / 1000.0);
    const auto volume = [](double hz, double dbm0) { return hz > 0 ? std::to_string(SineAmplitude(dbm0)) : "0"; };
    return "synth " + seconds + " sine " + std::to_string(s.lowHz) + " sine " + std::to_string(s.highHz) + " remix 1v" +
           volume(s.lowHz, s.lowDbm0) + ",2v" + volume(s.highHz, s.highDbm0);
}

// Tracks of segments, each played from the start and all mixed, written by
// sox at `rate` Hz, 16-bit, one channel; the file's name gives its type.
inline bool MakeToneRecording(const std::string &path, int rate, const std::vector<std::vector<ToneSegment>> &tracks)
{
    std::string mix = "sox -m";
    std::string made;
    for (size_t t = 0; t < tracks.size(); ++t) {
        std::string chains;
        for (const ToneSegment &s : tracks[t])
            chains += (chains.empty() ? "" : " : ") + SegmentEffects(s);
        const std::string track = path + ".track" + std::to_string(t) + ".wav";
        made += (made.empty() ? "" : " && ") +
                ("sox -V1 -r " + std::to_string(rate) + " -c 2 -n -c 1 -b 16 " + Quoted(track) + " " + chains);
        mix += " -v 1 " + Quoted(track);
    }
    if (tracks.size() == 1)
        mix = "sox " + Quoted(path + ".track0.wav");
    const bool ok = !tracks.empty() && Succeeds(made + " && " + mix + " -b 16 " + Quoted(path));
    std::system(("rm -f " + Quoted(path) + ".track*.wav").c_str());
    return ok;
}

// Caller ID as FSK at 1200 baud, 8N1, least significant bit first: 30 bytes
// 0x55 of channel seizure, marks, the message (its checksum in it).
struct FskLine {
    int markHz;     // 1200 Bell 202, 1300 V.23
    int spaceHz;    // 2200 Bell 202, 2100 V.23
    int rate;       // the recording's sample rate
    int ringHz;     // the ring burst before the FSK: 20 or 25 Hz
    double snrDb;   // the FSK's power over the white noise's in the telephone band
    double clipDb;  // how far the FSK is driven past full scale
};

// The bytes in a file of their own, for minimodem to send.
inline bool WriteBytes(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

inline std::string MinimodemModem(int markHz, int spaceHz)
{
    return "-M " + std::to_string(markHz) + " -S " + std::to_string(spaceHz) + " 1200";
}

// The RMS level in dB of full scale that sox measures in `file`; NaN when it cannot.
inline double RmsDb(const std::string &file)
{
    const std::string out = Output("sox " + Quoted(file) + " -n stats");
    const size_t at = out.find("RMS lev dB");
    return at == std::string::npos ? std::nan("") : std::strtod(out.c_str() + at + 10, nullptr);
}

// `message` as a real line gives it, at `path` (a WAV of the line's rate,
// 16-bit, one channel): a click, a ring burst (clipped, so its harmonics
// reach the band), a click, half a second of quiet, the seizure, 150 ms of
// marks from sox (its phase not that of the modem's), the message, quiet;
// white noise at the SNR; the telephone band (300 to 3400 Hz); then driven
// into clipping.
inline bool MakeFskRecording(const std::string &path, const FskLine &line, const std::vector<uint8_t> &message)
{
    const std::string rate = std::to_string(line.rate);
    const std::string modem = MinimodemModem(line.markHz, line.spaceHz);
    const auto part = [&path](const char *name) { return Quoted(path + "." + name); };
    const std::string synth = "sox -V1 -n -r " + rate + " -c 1 -b 16 ";
    bool ok =
        WriteBytes(path + ".seizure", std::vector<uint8_t>(30, 0x55)) && WriteBytes(path + ".message", message) &&
        Succeeds("minimodem --tx -q " + modem + " -R " + rate + " -f " + part("s.wav") + " < " + part("seizure") +
                 " && minimodem --tx -q " + modem + " -R " + rate + " -f " + part("m.wav") + " < " + part("message") +
                 " && " + synth + part("mark.wav") + " synth 0.15 sine " + std::to_string(line.markHz) + " && " +
                 synth + part("click.wav") + " synth 0.003 whitenoise && " + synth + part("ring.wav") +
                 " synth 0.4 sine " + std::to_string(line.ringHz) + " gain 12 && " + synth + part("quiet.wav") +
                 " trim 0 0.5 && sox -V1 " + part("click.wav") + " " + part("ring.wav") + " " + part("click.wav") +
                 " " + part("quiet.wav") + " " + part("s.wav") + " " + part("mark.wav") + " " + part("m.wav") + " " +
                 part("quiet.wav") + " " + part("fsk.wav") + " && sox -V1 -R " + part("fsk.wav") + " " +
                 part("noise.wav") + " synth whitenoise sinc 300-3400");
    // The FSK's RMS is a full-scale sine's (-3 dB); the band's noise is scaled to the SNR below it.
    const double noiseDb = ok ? RmsDb(path + ".noise.wav") : std::nan("");
    ok = ok && std::isfinite(noiseDb) &&
         Succeeds("sox -V1 -m -v 1 " + part("fsk.wav") + " -v " +
                  std::to_string(std::pow(10.0, (-3.01 - line.snrDb - noiseDb) / 20.0)) + " " + part("noise.wav") +
                  " -b 16 " + Quoted(path) + " sinc 300-3400 gain " + std::to_string(line.clipDb));
    std::system(("rm -f " + Quoted(path) + ".*").c_str());
    return ok;
}

// The samples of `file` as sox gives them at 8 kHz, 16-bit, its first channel; empty when sox fails.
inline std::vector<int16_t> SamplesAt8k(const std::string &file) { return SoxSamples(Quoted(file), "remix 1"); }

// The bytes minimodem reads from `file` at 1200 baud, 8N1, between these marks and spaces.
inline std::vector<uint8_t> MinimodemBytes(const std::string &file, int markHz, int spaceHz)
{
    std::vector<uint8_t> out;
    const std::string command =
        "minimodem --rx -q -f " + Quoted(file) + " " + MinimodemModem(markHz, spaceHz) + " 2>/dev/null";
    if (FILE *p = ::popen(command.c_str(), "r")) {
        std::array<uint8_t, 4096> buf;
        size_t n = 0;
        while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
            out.insert(out.end(), buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(n));
        ::pclose(p);
    }
    return out;
}

}  // namespace simtest
