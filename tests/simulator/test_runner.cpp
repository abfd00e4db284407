// tvxsim: the shipped scenarios run offline and print their events; bad
// files, directories, FIFOs and devices are refused at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "simulator/logic/EventNames.h"
#include "simulator/logic/Scenario.h"
#include "simulator/media/SoundFileReader.h"
#include "simulator/runner/Runner.h"
#include "tests/simulator/SignalProbe.h"
#include "tests/simulator/SoundFiles.h"

using namespace tvxsim;
using simtest::HaveTool;
using simtest::TempFolder;

namespace {

struct RunResult {
    int rc;
    std::string out;
    std::string err;
};

RunResult RunTool(const std::vector<std::string> &args)
{
    RunOptions options;
    std::string error;
    RunResult r{ParseRunArguments(args, options, error), "", error};
    if (r.rc != kRunOk)
        return r;
    std::ostringstream out;
    std::ostringstream err;
    r.rc = RunScenario(options, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

std::string Shipped(const char *name) { return std::string(TVXSIM_SCENARIO_DIR) + "/" + name; }

// Every expected line appears in the output, in this order.
void ExpectInOrder(const std::string &out, const std::vector<std::string> &lines)
{
    size_t at = 0;
    for (const std::string &line : lines) {
        const size_t found = out.find(line + "\n", at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << "\n" << out;
        at = found + line.size();
    }
}

struct ShippedCase {
    const char *file;
    bool signalsOnly;  // no raw event lines
    std::vector<std::string> args;
    std::vector<std::string> lines;
};
void PrintTo(const ShippedCase &c, std::ostream *os) { *os << c.file; }

class ShippedScenario : public ::testing::TestWithParam<ShippedCase> {};

// The shipped calls are signals: their rings, hooks, digits and caller IDs
// are heard by the model, not written as raw events.
TEST_P(ShippedScenario, RunsAndPrintsTheEventsTheModelHears)
{
    const ShippedCase &c = GetParam();
    std::vector<std::string> args = {Shipped(c.file)};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const RunResult r = RunTool(args);
    EXPECT_EQ(r.rc, kRunOk) << r.err;
    EXPECT_EQ(r.err, "");
    ExpectInOrder(r.out, c.lines);
    if (c.signalsOnly) {
        EXPECT_TRUE(LoadScenarioFile(Shipped(c.file)).events.empty());
    }
}

const std::string kIvorBytes =
    "80 1E 01 08 30 34 32 39 32 32 33 30 02 07 37 39 36 34 37 31 30 07 09 49 76 6F 72 20 4B 65 6C 6C";

INSTANTIATE_TEST_SUITE_P(
    Files, ShippedScenario,
    ::testing::Values(
        ShippedCase{"incoming-call.scn",
                    true,
                    {},
                    {"1000 18 Line ring detected, ring 1",
                     "3180 225 Caller ID received, 32 bytes: " + kIvorBytes,
                     "4000 18 Line ring detected, ring 2",
                     "7800 64 Off Hook [Phone]",
                     "7800 64 Off Hook [Line ]",
                     "11535 48 DTMF digit detected: 5 [Line ]",
                     "11755 229 Tone monitored: 5",
                     "12035 48 DTMF digit detected: # [Line ]",
                     "12255 229 Tone monitored: 11",
                     "16500 95 On Hook [Phone]",
                     "16500 95 On Hook [Line ]"}},
        ShippedCase{"incoming-call.scn",
                    true,
                    {"--local-country", "1", "--until", "8000"},
                    {"1000 18 Line ring detected, ring 1",
                     "4180 225 Caller ID received, 32 bytes: " + kIvorBytes,
                     "7000 18 Line ring detected, ring 2",
                     "7800 64 Off Hook [Line ]"}},
        ShippedCase{
            "call-waiting.scn",
            true,
            {},
            {"3500 64 Off Hook [Line ]",
             "6440 224 Call waiting alert detected, not acknowledged (CIDCW off)",
             "12440 224 Call waiting alert detected, acknowledged",
             "12940 228 Call waiting caller ID received, 32 bytes: 80 1E 01 08 30 35 30 31 31 32 30 30 02 07 35 "
             "35 35 30 31 32 33 07 09 41 6E 6E 20 4F 74 68 65 72",
             "16440 224 Call waiting alert detected, acknowledged",
             "16820 228 Call waiting caller ID received, 17 bytes: 04 0F 30 35 30 31 31 32 30 31 35 35 35 30 "
             "31 32 34"}},
        ShippedCase{"caller-id-formats.scn",
                    true,
                    {},
                    {"3060 225 Caller ID received, 17 bytes: 04 0F 30 34 32 39 32 32 33 30 37 39 36 34 37 31 30",
                     "8000 21 Line polarity reversed",
                     "8980 225 Caller ID received, 32 bytes: 80 1E 01 08 30 34 32 39 32 32 33 31 02 07 37 39 36 34 37 "
                     "31 30 07 09 49 76 6F 72 20 4B 65 6C 6C",
                     "13000 21 Line polarity normal",
                     "15820 225 Caller ID received, 11 bytes: 04 09 30 34 32 39 32 32 33 32 50",
                     "24060 225 Caller ID received, 18 bytes: 80 10 01 08 30 34 32 39 32 32 33 33 04 01 4F 08 01 4F"}},
        ShippedCase{"outgoing-call.scn",
                    true,
                    {},
                    {"1000 64 Off Hook [Line ]",
                     "14255 229 Tone monitored: 1",
                     "14755 229 Tone monitored: 2",
                     "15255 229 Tone monitored: 3",
                     "21000 95 On Hook [Line ]"}},
        ShippedCase{
            "flood.scn", false, {"--until", "1"}, {"0 112 Voice detected", "0 48 DTMF digit detected: 5 [Line ]"}}),
    [](const auto &info) { return "case" + std::to_string(info.index); });

TEST(Runner, UntilEndsTheRunAndLocalCountryChangesThePlan)
{
    const RunResult uk = RunTool({Shipped("incoming-call.scn"), "--until", "5000"});
    EXPECT_NE(uk.out.find("4000 18 Line ring detected, ring 2\n"), std::string::npos);
    EXPECT_EQ(uk.out.find("7800 64"), std::string::npos);
    const RunResult us = RunTool({Shipped("incoming-call.scn"), "--local-country", "1", "--until", "6900"});
    EXPECT_EQ(us.out.find("ring 2\n"), std::string::npos) << "the North American cadence rings every 6 s";
}

struct BadCase {
    const char *what;
    std::function<std::string(const std::string &dir)> make;  // returns the path
    const char *message;
};
void PrintTo(const BadCase &c, std::ostream *os) { *os << c.what; }

class BadScenarioFile : public ::testing::TestWithParam<BadCase> {};

// Refused at once with one clear line and a non-zero exit; a FIFO does not block.
TEST_P(BadScenarioFile, IsRefusedWithAClearLine)
{
    const std::string dir = ::testing::TempDir() + "tvxsim_bad_" + std::to_string(::getpid());
    ::mkdir(dir.c_str(), 0700);
    const std::string path = GetParam().make(dir);
    const RunResult r = RunTool({path});
    EXPECT_EQ(r.rc, kRunBadScenario);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
    if (path.rfind(dir, 0) == 0)
        std::remove(path.c_str());
    ::rmdir(dir.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadScenarioFile,
    ::testing::Values(
        BadCase{"directory",
                [](const std::string &dir) {
                    ::mkdir((dir + "/d").c_str(), 0700);
                    return dir + "/d";
                },
                ":0: not a regular file"},
        BadCase{"fifo",
                [](const std::string &dir) {
                    ::mkfifo((dir + "/f").c_str(), 0600);
                    return dir + "/f";
                },
                ":0: not a regular file"},
        BadCase{"device", [](const std::string &) { return std::string("/dev/null"); }, ":0: not a regular file"},
        BadCase{"missing", [](const std::string &dir) { return dir + "/none.scn"; }, ":0: cannot read the file"},
        BadCase{"too large",
                [](const std::string &dir) {
                    const std::string p = dir + "/big.scn";
                    std::ofstream(p) << "";
                    ::truncate(p.c_str(), static_cast<off_t>(kScenarioMaxFileBytes) + 1);
                    return p;
                },
                ":0: file larger than 16777216 bytes"},
        BadCase{"junk",
                [](const std::string &dir) {
                    const std::string p = dir + "/junk.scn";
                    std::ofstream f(p);
                    for (int i = 0; i < 100; ++i)
                        f << "@@ junk\n";
                    return p;
                },
                ":20: unknown directive '@@'\ntvxsim: "}),
    [](const auto &info) {
        return std::string(info.param.what == std::string("too large") ? "large" : info.param.what);
    });

TEST(Runner, JunkReportsTwentyLinesAndTheCount)
{
    const std::string path = ::testing::TempDir() + "tvxsim_junk_" + std::to_string(::getpid()) + ".scn";
    {
        std::ofstream f(path);
        for (int i = 0; i < 100; ++i)
            f << "@@ junk\n";
    }
    const RunResult r = RunTool({path});
    std::remove(path.c_str());
    EXPECT_EQ(r.rc, kRunBadScenario);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 21);
    EXPECT_NE(r.err.find(": 100 malformed lines in all\n"), std::string::npos) << r.err;
}

struct ArgsCase {
    std::vector<std::string> args;
    int rc;
};
void PrintTo(const ArgsCase &c, std::ostream *os)
{
    for (const std::string &a : c.args)
        *os << a << ' ';
}

class RunnerArguments : public ::testing::TestWithParam<ArgsCase> {};

TEST_P(RunnerArguments, AreCheckedBeforeAnythingRuns)
{
    RunOptions options;
    std::string error;
    EXPECT_EQ(ParseRunArguments(GetParam().args, options, error), GetParam().rc) << error;
    EXPECT_EQ(error.empty(), GetParam().rc == kRunOk);
}

INSTANTIATE_TEST_SUITE_P(Table, RunnerArguments,
                         ::testing::Values(ArgsCase{{"a.scn"}, kRunOk},
                                           ArgsCase{{"a.scn", "--until", "100", "--local-country", "1"}, kRunOk},
                                           ArgsCase{{"--record", "/tmp", "a.scn"}, kRunOk}, ArgsCase{{}, kRunUsage},
                                           ArgsCase{{"a.scn", "b.scn"}, kRunUsage},
                                           ArgsCase{{"a.scn", "--until"}, kRunUsage},
                                           ArgsCase{{"a.scn", "--until", "-1"}, kRunUsage},
                                           ArgsCase{{"a.scn", "--until", "86400001"}, kRunUsage},
                                           ArgsCase{{"a.scn", "--local-country", "+44"}, kRunUsage},
                                           ArgsCase{{"a.scn", "--fast"}, kRunUsage}));

// The digits of the runner's event 48 lines, in order.
std::string DetectedDigits(const std::string &out)
{
    static const std::string kMark = " 48 DTMF digit detected: ";
    std::string digits;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        if (const size_t at = line.find(kMark); at != std::string::npos && line.size() > at + kMark.size())
            digits += line[at + kMark.size()];
    return digits;
}

struct PlayedDigitsCase {
    const char *name;  // the recording's file name (its type)
    const char *keys;
    int rate;
    int onMs;
    int offMs;
    const char *format;   // sox's output options
    const char *encoder;  // a tool that turns the WAV into the file, or null
    int gainDb;
};
void PrintTo(const PlayedDigitsCase &c, std::ostream *os) { *os << c.name << " " << c.keys; }

class PlayedDigits : public ::testing::TestWithParam<PlayedDigitsCase> {};

// A recording of keyed digits, played by the far party during a call, is
// read by the adapter's receiver (event 48) as exactly the digits keyed.
TEST_P(PlayedDigits, FarPlayDuringACallIsReadAsTheKeyedDigits)
{
    const PlayedDigitsCase &c = GetParam();
    if (!HaveTool("sox") || (c.encoder != nullptr && !HaveTool(c.encoder)))
        GTEST_SKIP() << "sox or " << (c.encoder ? c.encoder : "") << " is not installed (scripts/install-deps.sh)";
    const TempFolder folder("played");
    const std::string wav = folder.File(c.encoder ? "keys.wav" : c.name);
    ASSERT_TRUE(simtest::MakeDtmfRecording(wav, c.keys, c.rate, c.onMs, c.offMs, c.format));
    if (c.encoder != nullptr) {
        ASSERT_TRUE(simtest::Succeeds(std::string(c.encoder) + " --quiet '" + wav + "' '" + folder.File(c.name) + "'"));
    }
    const std::string scenario = folder.File("call.scn");
    std::ofstream(scenario) << "0 far ring\n1000 phone offhook\n2000 far play \"" << c.name << "\" " << c.gainDb
                            << "\n";
    const RunResult r = RunTool({scenario});
    ASSERT_EQ(r.rc, kRunOk) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(DetectedDigits(r.out), c.keys) << r.out;
}

INSTANTIATE_TEST_SUITE_P(
    Recordings, PlayedDigits,
    ::testing::Values(PlayedDigitsCase{"keys44.wav", "159#", 44100, 100, 100, "-b 16", nullptr, 0},
                      PlayedDigitsCase{"keys8.wav", "0123456789*#ABCD", 8000, 70, 70, "-b 16", nullptr, 0},
                      PlayedDigitsCase{
                          "stereo48.wav", "2580", 48000, 100, 100, "-e floating-point -b 32 -c 2", nullptr, 6},
                      PlayedDigitsCase{"keys16.flac", "*0D7", 16000, 100, 100, "-b 16", nullptr, -6},
                      PlayedDigitsCase{"keys22.ogg", "2468", 22050, 120, 100, "", nullptr, 0},
                      PlayedDigitsCase{"keys44.mp3", "3691", 44100, 120, 100, "-b 16", "lame", 0}),
    [](const auto &info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), '.', '_');
        return name;
    });

// The exchange's own playing reaches line receive on hook: the recording
// of line-rx.wav holds the digits, as the signal library's receiver and
// multimon-ng read them.
TEST(Runner, LinePlayOnHookReachesLineReceive)
{
    if (!HaveTool("sox"))
        GTEST_SKIP() << "sox is not installed (scripts/install-deps.sh installs it)";
    const TempFolder folder("lineplay");
    ASSERT_TRUE(simtest::MakeDtmfRecording(folder.File("keys.flac"), "7410", 44100));
    std::ofstream(folder.File("line.scn")) << "500 line play \"keys.flac\"\n";
    const RunResult r = RunTool({folder.File("line.scn"), "--record", folder.path, "--until", "2500"});
    ASSERT_EQ(r.rc, kRunOk) << r.err;
    std::string error;
    auto reader = SoundFileReader::Open(folder.File("line-rx.wav"), 0, error);
    ASSERT_NE(reader, nullptr) << error;
    std::vector<int16_t> lineRx(MsToSamples(2500));
    lineRx.resize(reader->Read(lineRx));
    EXPECT_EQ(simtest::DecodeDtmf(lineRx), "7410");
    if (HaveTool("multimon-ng")) {
        EXPECT_EQ(simtest::MultimonDtmf(folder.File("line-rx.wav")), "7410");
    }
}

// A recording that cannot be played is a malformed line of the scenario:
// reported with its line and reason, and tvxsim refuses the scenario.
TEST(Runner, UnplayableRecordingIsAMalformedLine)
{
    const TempFolder folder("unplayable");
    std::ofstream(folder.File("bad.scn")) << "0 far ring\n100 pc play \"none.wav\" 3\n";
    const RunResult r = RunTool({folder.File("bad.scn")});
    EXPECT_EQ(r.rc, kRunBadScenario);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "tvxsim: " + folder.File("bad.scn") + ":2: cannot play \"" + folder.File("none.wav") +
                  "\": No such file or directory\n");
}

}  // namespace
