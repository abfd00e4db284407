// Third-party decoders as outside oracles of the recorded audio:
// multimon-ng decodes the dialled digits from line-tx.wav, sox measures the
// frequencies and levels of the tones toward the phone, and minimodem and
// multimon-ng read the caller ID on the line and toward the phone (a
// frequency check tells Bell 202 from V.23, which neither does). The tools come
// with the project's set-up (scripts/install-deps.sh); without them these
// tests are skipped, never installed.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "simulator/engine/Recorder.h"
#include "simulator/logic/CidCheck.h"
#include "simulator/logic/SimErrors.h"
#include "tests/simulator/SignalProbe.h"
#include "tests/simulator/SimTestSupport.h"
#include "tests/simulator/SoundFiles.h"

using namespace tvxsim;
using namespace simtest;

namespace {

// An engine recording into a folder of its own.
struct RecordingRig {
    Rig rig;
    tvxsim::Recorder recorder;
    std::string folder = ::testing::TempDir() + "tvxsim_oracle_" + std::to_string(::getpid());

    RecordingRig()
    {
        std::system(("mkdir -p '" + folder + "'").c_str());
        std::string error;
        EXPECT_TRUE(recorder.Open(folder, error)) << error;
        rig.engine.AddTap(&recorder);
    }
    ~RecordingRig() { std::system(("rm -rf '" + folder + "'").c_str()); }
    std::string File(const char *name)
    {
        recorder.Close();
        return folder + "/" + name;
    }
};

struct DialCase {
    std::vector<int32_t> codes;
    int32_t dtmfMs;
    const char *digits;
};
void PrintTo(const DialCase &c, std::ostream *os) { *os << c.digits << " at " << c.dtmfMs << " ms"; }

class MultimonDecodes : public ::testing::TestWithParam<DialCase> {};

TEST_P(MultimonDecodes, TheDialledDigitsFromLineTx)
{
    if (!HaveTool("multimon-ng"))
        GTEST_SKIP() << "multimon-ng is not installed (scripts/install-deps.sh installs it)";
    const DialCase &c = GetParam();
    RecordingRig r;
    ASSERT_EQ(r.rig.engine.DoCommand(199, c.dtmfMs), kOk);
    for (int32_t code : c.codes)
        ASSERT_EQ(r.rig.engine.DoCommand(140, code), kOk);
    r.rig.RunMs(static_cast<int64_t>(c.codes.size()) * 2 * c.dtmfMs + 1500);
    EXPECT_EQ(MultimonDtmf(r.File("line-tx.wav")), c.digits);
}

INSTANTIATE_TEST_SUITE_P(Strings, MultimonDecodes,
                         ::testing::Values(DialCase{{5, 5, 5, 1, 2, 3, 4}, 95, "5551234"},
                                           DialCase{{10, 0, 11, 12, 13, 14, 15, 9}, 95, "*0#ABCD9"},
                                           DialCase{{1, 2, 3}, 60, "123"}));

struct SoxCase {
    const char *country;
    int32_t code;
    std::vector<double> hz;  // the strongest peaks, strongest first not required
    double dbm0;             // the tone's level, per frequency
    const char *trim;        // a stretch of the first burst: "<start s> <length s>"
};
void PrintTo(const SoxCase &c, std::ostream *os) { *os << c.country << " code " << c.code; }

class SoxMeasures : public ::testing::TestWithParam<SoxCase> {};

// The first burst of the tone, from the earpiece recording: sox's spectrum has its
// peaks at the plan's frequencies, and its RMS level is the plan's level.
TEST_P(SoxMeasures, TheGeneratedTonesFrequenciesAndLevel)
{
    if (!HaveTool("sox"))
        GTEST_SKIP() << "sox is not installed (scripts/install-deps.sh installs it)";
    const SoxCase &c = GetParam();
    RecordingRig r;
    r.rig.engine.SetLocalCountry(c.country);
    ASSERT_EQ(r.rig.engine.DoCommand(c.code, 0), kOk);
    r.rig.RunMs(1200);
    const std::string wav = r.File("phone-earpiece.wav");

    // "Hz magnitude" pairs of a 4096-point spectrum: take the local maxima.
    std::vector<std::pair<double, double>> bins;
    std::istringstream spectrum(Output("sox '" + wav + "' -n trim " + c.trim + " stat -freq"));
    for (std::string line; std::getline(spectrum, line);) {
        double hz = 0, magnitude = 0;
        if (std::sscanf(line.c_str(), "%lf %lf", &hz, &magnitude) == 2)
            bins.emplace_back(hz, magnitude);
    }
    std::vector<std::pair<double, double>> peaks;
    for (size_t i = 1; i + 1 < bins.size(); ++i)
        if (bins[i].second > bins[i - 1].second && bins[i].second >= bins[i + 1].second)
            peaks.emplace_back(bins[i].second, bins[i].first);
    std::sort(peaks.rbegin(), peaks.rend());
    ASSERT_GE(peaks.size(), c.hz.size());
    std::vector<double> found;
    for (size_t i = 0; i < c.hz.size(); ++i)
        found.push_back(peaks[i].second);
    std::sort(found.begin(), found.end());
    for (size_t i = 0; i < c.hz.size(); ++i)
        EXPECT_NEAR(found[i], c.hz[i], 4.0) << "peak " << i;

    double rms = 0;
    const std::string stat = Output("sox '" + wav + "' -n trim " + c.trim + " stat");
    const size_t at = stat.find("RMS     amplitude:");
    ASSERT_NE(at, std::string::npos) << stat;
    std::sscanf(stat.c_str() + at + 18, "%lf", &rms);
    // A sine of peak A has an RMS of A / sqrt 2; each of n equal tones carries 1/n of the power.
    const double perTone = 20 * std::log10(rms * std::sqrt(2.0 / static_cast<double>(c.hz.size()))) + 3.14;
    EXPECT_NEAR(perTone, c.dbm0, 0.6);
}

INSTANTIATE_TEST_SUITE_P(
    Plans, SoxMeasures,
    ::testing::Values(SoxCase{"1", 12, {350, 440}, -13, "0.1 0.5"}, SoxCase{"1", 28, {440, 480}, -19, "0.1 0.5"},
                      SoxCase{"1", 44, {480, 620}, -24, "0.05 0.4"}, SoxCase{"44", 28, {400, 450}, -19, "0.05 0.3"},
                      SoxCase{"44", 44, {400}, -19, "0.05 0.3"}, SoxCase{"33", 12, {425}, -13, "0.1 0.5"},
                      SoxCase{"33", 60, {425}, -19, "0.02 0.2"}),
    [](const auto &info) { return "c" + std::string(info.param.country) + "_" + std::to_string(info.param.code); });

struct CidOracleCase {
    const char *what;
    const char *country;
    std::string scenario;
    bool generate;                       // ScGenerateETSI_CID with the dialog's MDMF record, no ring
    const char *file;                    // recorded point
    std::vector<std::string> minimodem;  // lines minimodem prints (empty: not asked)
    std::string multimon;                // what multimon-ng's CLIPFSK prints (empty: not asked)
    int markHz;                          // 1200 Bell 202, 1300 V.23
    int markFromMs;                      // a stretch of marks: 100 ms from there
};
void PrintTo(const CidOracleCase &c, std::ostream *os) { *os << c.what; }

class CallerIdOracles : public ::testing::TestWithParam<CidOracleCase> {};

TEST_P(CallerIdOracles, ReadTheCallerFromTheRecording)
{
    const CidOracleCase &c = GetParam();
    if (!HaveTool("minimodem") || !HaveTool("multimon-ng"))
        GTEST_SKIP() << "minimodem or multimon-ng is not installed (scripts/install-deps.sh installs them)";
    RecordingRig r;
    r.rig.engine.SetLocalCountry(c.country);
    r.rig.Load(c.scenario);
    r.rig.RunMs(1000);
    if (c.generate) {
        CidGenRecord record = MdmfRecord();
        record.sendFlags = 0x07;
        ASSERT_EQ(r.rig.engine.GenerateCallerId(record), kOk);
    }
    r.rig.RunMs(6000);
    const std::string wav = r.File(c.file);
    if (!c.minimodem.empty()) {
        const std::string out = Output("minimodem --rx -q -f '" + wav + "' callerid");
        for (const std::string &line : c.minimodem)
            EXPECT_NE(out.find(line + "\n"), std::string::npos) << line << "\n" << out;
    }
    if (!c.multimon.empty()) {
        // multimon-ng's CLIPFSK reader now and then reads nothing from a file
        // that it reads at other times (the same bytes, run after run), so it
        // is asked up to three times; what it prints is never half right.
        std::string out;
        for (int attempt = 0; attempt < 3 && out.find(c.multimon) == std::string::npos; ++attempt)
            out = Output("multimon-ng -q -c -a CLIPFSK -t wav '" + wav + "'");
        EXPECT_NE(out.find(c.multimon), std::string::npos) << out;
    }
    const std::vector<int16_t> &audio =
        std::string(c.file) == "line-rx.wav" ? r.rig.audio.lineRx : r.rig.audio.earpiece;
    const auto marks = Slice(audio, c.markFromMs, 50);
    const int other = c.markHz == 1200 ? 1300 : 1200;
    EXPECT_GT(LevelAt(marks, c.markHz), -20.0);
    EXPECT_GT(LevelAt(marks, c.markHz), LevelAt(marks, other) + 20.0);
}

const std::vector<std::string> kIvorLines = {"Time:  04/29 22:30", "Phone: 7964710", "Name:  Ivor Kell"};
const std::string kIvorClip = "CS DATE=04292230 CID=7964710 CNT=Ivor Kell";

// Timings: North American, the first ring 0.5 to 1.5 s (factory country),
// seizure to 2.25 s, marks to 2.4 s; ETSI from 0.5 s: alert 0.6 to 0.7 s,
// data from 0.8 s, marks from 1.05 s; generated at 1 s: marks from 1.25 s;
// call waiting: the CAS at 2.35 s, the acknowledgement, marks from 2.59 s.
INSTANTIATE_TEST_SUITE_P(
    Kinds, CallerIdOracles,
    ::testing::Values(
        CidOracleCase{"MDMF Bell 202 on the line",
                      "44",
                      "500 far call \"Ivor Kell\" \"7964710\" mdmf bell202 date 04292230\n",
                      false,
                      "line-rx.wav",
                      kIvorLines,
                      kIvorClip,
                      1200,
                      2270},
        CidOracleCase{"SDMF Bell 202 private on the line",
                      "1",
                      "500 far call \"Ivor Kell\" \"7964710\" sdmf private date 04292230\n",
                      false,
                      "line-rx.wav",
                      {"Time:  04/29 22:30", "Phone: P"},
                      "",
                      1200,
                      3270},
        CidOracleCase{"MDMF V.23 out of area on the line",
                      "44",
                      "500 far call \"Ivor Kell\" \"7964710\" out-of-area date 04292230\n",
                      false,
                      "line-rx.wav",
                      {},
                      "CS DATE=04292230 RACLI=O Unavailable RACNT=O Unavailable",
                      1300,
                      1070},
        CidOracleCase{"call waiting V.23 on the line",
                      "44",
                      "0 far ring\n100 phone offhook\n200 adapter command 126 1\n2000 far call-waiting \"Ivor Kell\" "
                      "\"7964710\" v23 date 04292230\n",
                      false,
                      "line-rx.wav",
                      kIvorLines,
                      kIvorClip,
                      1300,
                      2595},
        CidOracleCase{"generated toward the phone, Bell 202",
                      "1",
                      "",
                      true,
                      "phone-earpiece.wav",
                      kIvorLines,
                      kIvorClip,
                      1200,
                      1270},
        CidOracleCase{
            "generated toward the phone, V.23", "44", "", true, "phone-earpiece.wav", {}, kIvorClip, 1300, 1270}),
    [](const auto &info) { return NameOf(info.param.what); });

}  // namespace
