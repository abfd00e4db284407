// The sound-file reader behind the play actions: files that sox and lame
// make, in every format the reader promises, read back at 8 kHz with their
// first channel, their level and no aliasing; gains and saturation on a WAV
// written here byte by byte; files cut short before and while playing; and
// paths that are no sound file at all.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "simulator/logic/EventNames.h"
#include "simulator/media/PlayFile.h"
#include "simulator/media/PlayPrefetch.h"
#include "simulator/media/SoundFileReader.h"
#include "tests/simulator/SignalProbe.h"
#include "tests/simulator/SimTestSupport.h"
#include "tests/simulator/SoundFiles.h"

using namespace tvxsim;
using namespace simtest;

namespace {

constexpr double kHalfScale = 16384.0;  // a sine at sox's "vol 0.5"

// Every sample the reader gives, taken `piece` at a time.
std::vector<int16_t> ReadAll(SoundFileReader &reader, size_t piece = kBlockSamples)
{
    std::vector<int16_t> all;
    std::vector<int16_t> buf(piece);
    for (;;) {
        const size_t got = reader.Read(buf);
        all.insert(all.end(), buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(got));
        if (got < piece)
            return all;
    }
}

std::unique_ptr<SoundFileReader> OpenOk(const std::string &path, double gainDb = 0)
{
    std::string error;
    auto reader = SoundFileReader::Open(path, gainDb, error);
    EXPECT_NE(reader, nullptr) << path << ": " << error;
    return reader;
}

// Level of the sine at `hz` in dB against a sine of amplitude `peak`, between 100 ms from either end.
double DbAt(const std::vector<int16_t> &s, double hz, double peak)
{
    if (s.size() < 2000)
        return -200.0;
    const std::span<const int16_t> middle(s.data() + 800, s.size() - 1600);
    return 10.0 * std::log10(std::max(MeanSquareAt(middle, hz), 1e-12) / (peak * peak / 2.0));
}

class SoundFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() { folder_ = new TempFolder("sound"); }
    static void TearDownTestSuite()
    {
        delete folder_;
        folder_ = nullptr;
    }
    void SetUp() override
    {
        if (!HaveTool("sox"))
            GTEST_SKIP() << "sox is not installed (scripts/install-deps.sh installs it)";
    }
    // Runs `command` with %1 and %2 standing for the paths of `name` and of a scratch file.
    static std::string Make(const std::string &name, std::string command)
    {
        const std::string path = folder_->File(name);
        for (const auto &[mark, value] : {std::pair{"%1", path}, std::pair{"%2", path + ".tmp.wav"}})
            for (size_t at; (at = command.find(mark)) != std::string::npos;)
                command.replace(at, 2, "'" + value + "'");
        EXPECT_TRUE(Succeeds(command)) << command << "\n" << Output(command);
        return path;
    }
    static TempFolder *folder_;
};
TempFolder *SoundFiles::folder_ = nullptr;

struct FormatCase {
    const char *name;     // the file's name
    const char *command;  // makes it (%1 the file, %2 a scratch file)
    const char *tool;     // a tool beside sox that it needs, or null
    int rate;             // the file's own rate
    int channels;
    double levelDb;   // how close the first channel's 1000 Hz comes to its level
    size_t lengthTo;  // how close the length comes to 1 s at 8 kHz, samples
};
void PrintTo(const FormatCase &c, std::ostream *os) { *os << c.name; }

class ReaderFormats : public SoundFiles, public ::testing::WithParamInterface<FormatCase> {};

// The first channel's 1000 Hz at half scale, 1 s long, at 8 kHz; nothing of
// the second channel's 440 Hz, nor the alias at 2000 Hz of a 6000 Hz tone
// (which the resampler must take out, not fold into the band).
TEST_P(ReaderFormats, FirstChannelAt8kHzWithItsLevel)
{
    const FormatCase &c = GetParam();
    if (c.tool != nullptr && !HaveTool(c.tool))
        GTEST_SKIP() << c.tool << " is not installed (scripts/install-deps.sh installs it)";
    auto reader = OpenOk(Make(c.name, c.command));
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->FileRate(), c.rate);
    EXPECT_EQ(reader->FileChannels(), c.channels);
    const std::vector<int16_t> s = ReadAll(*reader);
    EXPECT_NEAR(static_cast<double>(s.size()), 8000.0, static_cast<double>(c.lengthTo));
    EXPECT_NEAR(DbAt(s, 1000, kHalfScale), 0.0, c.levelDb);
    EXPECT_LT(DbAt(s, 440, kHalfScale), -40.0) << "the second channel leaks in";
    EXPECT_LT(DbAt(s, 2000, kHalfScale), -50.0) << "6000 Hz folded into the band";
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReaderFormats,
    ::testing::Values(
        FormatCase{"pcm44.wav", "sox -n -r 44100 -b 16 -c 1 %1 synth 1 sine 1000 vol 0.5", nullptr, 44100, 1, 0.1, 4},
        FormatCase{"pcm48.wav", "sox -n -r 48000 -b 16 -c 1 %1 synth 1 sine 1000 vol 0.5", nullptr, 48000, 1, 0.1, 4},
        FormatCase{"stereo.wav",
                   "sox -n -r 48000 -b 16 -c 2 %1 synth 1 sine 1000 sine 440 vol 0.5",
                   nullptr,
                   48000,
                   2,
                   0.1,
                   4},
        FormatCase{
            "alias.wav",
            "sox -n -r 44100 -c 1 %2 synth 1 sine 6000 vol 0.3 && sox -n -r 44100 -c 1 %1.a.wav synth 1 sine 1000 "
            "vol 0.5 && sox -m -v 1 %1.a.wav -v 1 %2 -b 16 %1",
            nullptr,
            44100,
            1,
            0.1,
            4},
        FormatCase{"float.wav",
                   "sox -n -r 44100 -e floating-point -b 32 -c 1 %1 synth 1 sine 1000 vol 0.5",
                   nullptr,
                   44100,
                   1,
                   0.1,
                   4},
        FormatCase{
            "u8.wav", "sox -n -r 11025 -e unsigned -b 8 -c 1 %1 synth 1 sine 1000 vol 0.5", nullptr, 11025, 1, 0.3, 4},
        FormatCase{
            "ima.wav", "sox -n -r 22050 -e ima-adpcm -c 1 %1 synth 1 sine 1000 vol 0.5", nullptr, 22050, 1, 0.5, 400},
        FormatCase{"pcm96.flac", "sox -n -r 96000 -b 24 -c 1 %1 synth 1 sine 1000 vol 0.5", nullptr, 96000, 1, 0.1, 4},
        FormatCase{
            "stereo.ogg", "sox -n -r 44100 -c 2 %1 synth 1 sine 1000 sine 440 vol 0.5", nullptr, 44100, 2, 0.5, 40},
        FormatCase{"stereo.mp3",
                   "sox -n -r 44100 -b 16 -c 2 %2 synth 1 sine 1000 sine 440 vol 0.5 && lame --quiet -m s -b 128 %2 %1",
                   "lame",
                   44100,
                   2,
                   0.5,
                   1200}),
    [](const auto &info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), '.', '_');
        return name;
    });

// Reading in any size of piece gives the same samples: what the resampler
// has not taken yet, and what it made but was not asked for, are kept.
TEST_F(SoundFiles, AnyPieceSizeGivesTheSameSamples)
{
    const std::string path = Make("pieces.wav", "sox -n -r 44100 -b 16 -c 2 %1 synth 0.7 sine 1000 sine 440 vol 0.5");
    auto whole = OpenOk(path);
    ASSERT_NE(whole, nullptr);
    const std::vector<int16_t> reference = ReadAll(*whole, 8000);
    for (size_t piece : {1, 7, 160, 1023, 4096, 20000}) {
        auto reader = OpenOk(path);
        ASSERT_NE(reader, nullptr);
        EXPECT_EQ(ReadAll(*reader, piece), reference) << "pieces of " << piece;
    }
}

// The gain moves the level by its decibels, from -60 to +20 dB.
TEST_F(SoundFiles, GainMovesTheLevel)
{
    const std::string path = Make("quarter.wav", "sox -n -r 48000 -b 16 -c 1 %1 synth 1 sine 1000 vol 0.25");
    struct GainCase {
        double gainDb;
        double tolerance;
    };
    for (const GainCase g : {GainCase{-60, 0.5}, {-20, 0.1}, {-6, 0.1}, {0, 0.1}, {6, 0.1}, {12, 0.1}}) {
        auto reader = OpenOk(path, g.gainDb);
        ASSERT_NE(reader, nullptr);
        EXPECT_NEAR(DbAt(ReadAll(*reader), 1000, kHalfScale / 2), g.gainDb, g.tolerance) << g.gainDb << " dB";
    }
}

// An 8 kHz 16-bit file comes out sample for sample at 0 dB; a gain scales
// each sample and saturates at the ends of the range, never wraps.
TEST_F(SoundFiles, GainScalesAndSaturatesEachSample)
{
    const std::vector<int16_t> samples = {0,
                                          1,
                                          -1,
                                          2,
                                          -2,
                                          999,
                                          -999,
                                          12345,
                                          -12345,
                                          16383,
                                          -16384,
                                          16384,
                                          -16385,
                                          20000,
                                          -20000,
                                          32767,
                                          -32768,
                                          3276,
                                          -3277};
    const std::string path = folder_->File("exact.wav");
    WriteWav16(path, 8000, 1, samples);
    for (const double gainDb : {0.0, 20.0 * std::log10(2.0), -20.0 * std::log10(2.0), 20.0, 40.0, -60.0}) {
        auto reader = OpenOk(path, gainDb);
        ASSERT_NE(reader, nullptr);
        const std::vector<int16_t> out = ReadAll(*reader);
        ASSERT_EQ(out.size(), samples.size()) << gainDb << " dB";
        const double gain = std::pow(10.0, std::clamp(gainDb, -60.0, 20.0) / 20.0);
        for (size_t i = 0; i < samples.size(); ++i) {
            const double want = std::clamp(std::round(samples[i] * gain), -32768.0, 32767.0);
            if (gainDb == 0.0)
                EXPECT_EQ(out[i], samples[i]) << "sample " << i;
            else
                EXPECT_NEAR(out[i], want, 1.0) << "sample " << i << " at " << gainDb << " dB";
        }
    }
}

// A file cut short before it plays ends where its sound ends: the samples
// up to the cut are those of the whole file, and then nothing more.
TEST_F(SoundFiles, FileCutShortEndsWhereItsSoundEnds)
{
    struct CutCase {
        const char *name;
        const char *command;
        long keepBytes;     // of the file, from its start
        size_t minSamples;  // what is left plays at least this long
        size_t maxSamples;
    };
    for (const CutCase c :
         {CutCase{"cut.wav", "sox -n -r 8000 -b 16 -c 1 %1 synth 1 sine 1000 vol 0.5", 44 + 8000, 4000, 4000},
          {"cut44.wav", "sox -n -r 44100 -b 16 -c 1 %1 synth 1 sine 1000 vol 0.5", 44 + 44100, 3900, 4100},
          {"cut.flac", "sox -n -r 44100 -b 16 -c 1 %1 synth 2 sine 1000 vol 0.5", 20000, 1000, 15000},
          {"cut.ogg", "sox -n -r 44100 -c 1 %1 synth 10 sine 1000 vol 0.5", 10000, 2000, 60000},
          {"header.wav", "sox -n -r 44100 -b 16 -c 1 %1 synth 1 sine 1000 vol 0.5", 44, 0, 0}}) {
        const std::string path = Make(c.name, c.command);
        auto whole = OpenOk(path);
        ASSERT_NE(whole, nullptr);
        const std::vector<int16_t> all = ReadAll(*whole);
        ASSERT_EQ(::truncate(path.c_str(), c.keepBytes), 0);
        std::string error;
        auto reader = SoundFileReader::Open(path, 0, error);
        ASSERT_NE(reader, nullptr) << c.name << ": " << error;
        const std::vector<int16_t> cut = ReadAll(*reader);
        EXPECT_GE(cut.size(), c.minSamples) << c.name;
        EXPECT_LE(cut.size(), c.maxSamples) << c.name;
        // What plays is the start of the whole file, but for the last 100 ms,
        // where the resampler's filter and the last frame of a block code see the cut.
        const size_t same = cut.size() > 800 ? cut.size() - 800 : 0;
        const auto diff = std::mismatch(cut.begin(), cut.begin() + static_cast<std::ptrdiff_t>(same), all.begin());
        EXPECT_EQ(diff.first - cut.begin(), static_cast<std::ptrdiff_t>(same)) << c.name;
    }
}

// A file cut short while it plays ends then; one removed or replaced while
// it plays plays on to its end (the open file is the one that plays).
TEST_F(SoundFiles, FileChangedWhilePlaying)
{
    enum class Change {
        Truncate,
        Remove,
        Replace
    };
    struct ChangeCase {
        Change change;
        size_t minSamples;
        size_t maxSamples;
    };
    const std::string other = Make("other.wav", "sox -n -r 44100 -b 16 -c 1 %1 synth 0.1 sine 440");
    for (const ChangeCase c :
         {ChangeCase{Change::Truncate, 7950, 8050}, {Change::Remove, 15990, 16010}, {Change::Replace, 15990, 16010}}) {
        const std::string path = Make("playing.wav", "sox -n -r 44100 -b 16 -c 1 %1 synth 2 sine 1000 vol 0.5");
        auto reader = OpenOk(path);
        ASSERT_NE(reader, nullptr);
        std::vector<int16_t> first(4000);
        ASSERT_EQ(reader->Read(first), first.size());
        if (c.change == Change::Truncate)
            ASSERT_EQ(::truncate(path.c_str(), 44 + 2 * 44100), 0);  // the first second stays
        else if (c.change == Change::Remove)
            ASSERT_EQ(::unlink(path.c_str()), 0);
        else
            ASSERT_TRUE(Succeeds("cp '" + other + "' '" + path + ".new' && mv '" + path + ".new' '" + path + "'"));
        const size_t total = first.size() + ReadAll(*reader).size();
        EXPECT_GE(total, c.minSamples) << static_cast<int>(c.change);
        EXPECT_LE(total, c.maxSamples) << static_cast<int>(c.change);
        EXPECT_EQ(reader->Read(first), 0u) << "an ended file gives nothing more";
    }
}

// What is not a sound file to play gives one reason and no reader; a FIFO
// is never waited on.
TEST_F(SoundFiles, WhatCannotBePlayedGivesItsReason)
{
    const std::string text = folder_->File("notes.wav");
    std::ofstream(text) << "these are not samples, whatever the name says\n";
    const std::string empty = folder_->File("empty.flac");
    std::ofstream(empty).flush();
    const std::string fifo = folder_->File("fifo.wav");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string rate = folder_->File("rate.wav");
    WriteWav16(rate, 500, 1, std::vector<int16_t>(100, 0));
    struct BadCase {
        std::string path;
        const char *reason;
    };
    for (const BadCase &c : {BadCase{folder_->File("missing.wav"), "No such file or directory"},
                             {folder_->path, "a directory"},
                             {fifo, "a FIFO"},
                             {"/dev/null", "not a regular file"},
                             {text, "not a sound file that can be decoded"},
                             {empty, "not a sound file that can be decoded"},
                             {rate, "a sample rate of 500 Hz"}}) {
        std::string error;
        EXPECT_EQ(SoundFileReader::Open(c.path, 0, error), nullptr) << c.path;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.path << ": " << error;
        // The play actions' wording names the file.
        const PlayOpening opening = OpenPlayFile(c.path, 0);
        EXPECT_EQ(opening.source, nullptr);
        EXPECT_EQ(opening.error, "cannot play \"" + c.path + "\": " + error);
    }
}

}  // namespace

namespace {

struct CheckCase {
    const char *what;
    std::string text;             // "@" stands for the folder of the scenario
    std::vector<int> keptLines;   // the actions left, by line
    std::vector<int> errorLines;  // the errors listed, in order
    int64_t badLines;
    std::vector<std::string> files;  // the files of the play actions left, "@" for the folder
};
void PrintTo(const CheckCase &c, std::ostream *os) { *os << c.what; }

std::string Bad(int lines, const std::string &item)
{
    std::string text;
    for (int i = 0; i < lines; ++i)
        text += item + "\n";
    return text;
}

class PlayFilesOfAScenario : public ::testing::TestWithParam<CheckCase> {};

// The load check of the library and tvxsim: relative names are taken from
// the scenario's folder; a recording that cannot be played is a malformed
// line among the parser's, in line order, within the same limit and count;
// everything else stays.
TEST_P(PlayFilesOfAScenario, MakesUnplayableRecordingsMalformedLines)
{
    const CheckCase &c = GetParam();
    const TempFolder folder("check");
    WriteWav16(folder.File("ok.wav"), 8000, 1, {1, 2, 3});
    ASSERT_TRUE(Succeeds("mkdir '" + folder.File("sub") + "'"));
    const auto expand = [&folder](std::string s) {
        for (size_t at; (at = s.find('@')) != std::string::npos;)
            s.replace(at, 1, folder.path);
        return s;
    };
    Scenario sc = ParseScenario(expand(c.text));
    CheckPlayFiles(sc, folder.File("calls.scn"));
    std::vector<int> kept;
    std::vector<std::string> files;
    for (const ScenarioAction &a : sc.actions) {
        kept.push_back(a.line);
        if (a.verb == ActionVerb::Play)
            files.push_back(a.file);
    }
    EXPECT_EQ(kept, c.keptLines);
    std::vector<int> errorLines;
    for (const ScenarioError &e : sc.errors)
        errorLines.push_back(e.line);
    EXPECT_EQ(errorLines, c.errorLines);
    EXPECT_EQ(sc.badLines, c.badLines);
    std::vector<std::string> want;
    for (const std::string &f : c.files)
        want.push_back(expand(f));
    EXPECT_EQ(files, want);
    for (const ScenarioError &e : sc.errors) {
        if (e.message.find("missing.wav") != std::string::npos) {
            EXPECT_EQ(e.message, expand("cannot play \"@/missing.wav\": No such file or directory"));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, PlayFilesOfAScenario,
                         ::testing::Values(CheckCase{"mixed",
                                                     "0 far play \"ok.wav\"\n"
                                                     "10 bogus words\n"
                                                     "20 line play \"missing.wav\" -6\n"
                                                     "30 phone play \"@/ok.wav\" 3\n"
                                                     "40 pc play \"sub\"\n"
                                                     "50 far dtmf \"1\"\n"
                                                     "60 far play \"sub/../ok.wav\"\n",
                                                     {1, 4, 6, 7},
                                                     {2, 3, 5},
                                                     3,
                                                     {"@/ok.wav", "@/ok.wav", "@/sub/../ok.wav"}},
                                           CheckCase{
                                               "over the limit: the first twenty lines listed, all counted",
                                               Bad(5, "0 far play \"missing.wav\"") + Bad(10, "0 junk") +
                                                   Bad(10, "0 line play \"missing.wav\""),
                                               {},
                                               {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20},
                                               25,
                                               {}},
                                           CheckCase{"nothing to play", "0 far ring\n", {1}, {}, 0, {}}),
                         [](const auto &info) { return std::to_string(info.index); });

// A scenario's recordings opened ahead: each play action, taken in the
// engine's order, gets its own file already open, or the reason it has none;
// one taken before its file was opened does not shift the ones after it.
struct PrefetchCase {
    const char *what;
    std::string scenario;              // @ is the folder, which holds a.wav and b.wav
    int64_t modelMs;                   // the model's time told before the takes
    size_t opened;                     // how many are then opened and waiting
    std::vector<std::string> takes;    // the files taken, in order
    std::vector<std::string> reasons;  // each take's reason, "" for an open recording
};
void PrintTo(const PrefetchCase &c, std::ostream *os) { *os << c.what; }

class Prefetch : public ::testing::TestWithParam<PrefetchCase> {};

TEST_P(Prefetch, HandsEachPlayItsOwnRecording)
{
    const PrefetchCase &c = GetParam();
    const TempFolder folder("prefetch");
    WriteWav16(folder.File("a.wav"), 8000, 1, std::vector<int16_t>(800, 100));
    WriteWav16(folder.File("b.wav"), 8000, 1, std::vector<int16_t>(800, 200));
    std::string text = c.scenario;
    for (size_t at; (at = text.find('@')) != std::string::npos;)
        text.replace(at, 1, folder.path);
    const Scenario sc = ParseScenario(text);
    PlayPrefetch prefetch(sc.actions);
    prefetch.Start();
    prefetch.Advance(c.modelMs);
    for (int i = 0; i < 500 && prefetch.Waiting() < c.opened; ++i)
        ::usleep(10'000);
    ASSERT_EQ(prefetch.Waiting(), c.opened);
    std::vector<ScenarioAction> plays;
    for (const ScenarioAction &a : sc.actions)
        if (a.verb == ActionVerb::Play)
            plays.push_back(a);
    std::stable_sort(plays.begin(), plays.end(), [](const auto &a, const auto &b) { return a.timeMs < b.timeMs; });
    ASSERT_EQ(plays.size(), c.takes.size());
    for (size_t i = 0; i < plays.size(); ++i) {
        if (i > 0 && c.reasons[i - 1].find("in time") != std::string::npos) {
            prefetch.Advance(plays[i].timeMs);  // the one missed is skipped, the next one opens
            for (int k = 0; k < 500 && prefetch.Waiting() == 0; ++k)
                ::usleep(10'000);
        }
        EXPECT_EQ(plays[i].file, folder.File(c.takes[i]));
        PlayOpening opening = prefetch.Take(plays[i]);
        std::string reason = opening.error;
        for (size_t at; (at = reason.find(folder.path)) != std::string::npos;)
            reason.replace(at, folder.path.size(), "@");
        EXPECT_EQ(reason, c.reasons[i]) << i;
        EXPECT_EQ(opening.source != nullptr, c.reasons[i].empty()) << i;
        if (opening.source) {
            std::vector<int16_t> block(kBlockSamples, 0);
            opening.source->MixInto(block);
            EXPECT_EQ(block[0], c.takes[i] == "a.wav" ? 100 : 200) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Plays, Prefetch,
                         ::testing::Values(PrefetchCase{"both within the lead, taken by time",
                                                        "900 far play \"@/b.wav\"\n100 pc play \"@/a.wav\"\n",
                                                        0,
                                                        2,
                                                        {"a.wav", "b.wav"},
                                                        {"", ""}},
                                           PrefetchCase{"equal times keep the file's order",
                                                        "500 far play \"@/b.wav\"\n500 pc play \"@/a.wav\"\n",
                                                        0,
                                                        2,
                                                        {"b.wav", "a.wav"},
                                                        {"", ""}},
                                           PrefetchCase{"one taken before it opened, the next still its own",
                                                        "10000 far play \"@/a.wav\"\n20000 far play \"@/b.wav\"\n",
                                                        0,
                                                        0,
                                                        {"a.wav", "b.wav"},
                                                        {"cannot play \"@/a.wav\": not opened in time", ""}},
                                           PrefetchCase{"a file gone since the scenario was read",
                                                        "0 far play \"@/gone.wav\"\n100 far play \"@/b.wav\"\n",
                                                        0,
                                                        2,
                                                        {"gone.wav", "b.wav"},
                                                        {"cannot play \"@/gone.wav\": No such file or directory", ""}}),
                         [](const auto &info) { return std::to_string(info.index); });

}  // namespace

namespace {

// Through the library: a scenario's recording, opened ahead by the session's
// prefetch, plays when its line falls due (a key into the handset's
// microphone is heard by the phone's receiver).
class LibraryPlay : public simtest::SimulatorTest {};

TEST_F(LibraryPlay, AScenarioRecordingPlaysWhenItFallsDue)
{
    const TempFolder folder("libplay");
    std::vector<int16_t> key(static_cast<size_t>(MsToSamples(400)), 0);
    tvxsim::DtmfSource("5", 200, 100).MixInto(key);
    WriteWav16(folder.File("key.wav"), 8000, 1, key);
    simtest::UseScenario("libplay", "300 phone play \"" + folder.File("key.wav") + "\"\n");
    OpenWith(rec);
    ASSERT_TRUE(rec.WaitFor([](const std::vector<simtest::Received> &events) {
        return std::any_of(events.begin(), events.end(), [](const simtest::Received &r) {
            return r.code == tvxsim::kEvDtmfDetected && r.param == 5 && r.side == TVX_SIDE_PHONE;
        });
    }));
}

}  // namespace
