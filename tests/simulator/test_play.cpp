// Recordings in the engine, without files: a reader that hands out a table
// of samples stands for a sound file. PlaySource adds them into a block,
// saturating, in pieces of any size, and ends with its reader; the play
// actions put them where their target says, through the engine's opener.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <vector>

#include "simulator/engine/PlaySource.h"
#include "tests/simulator/SignalProbe.h"

using namespace tvxsim;

namespace {

// Hands out `samples`, then nothing; remembers the largest piece asked for.
class TableReader : public SampleReader {
public:
    explicit TableReader(std::vector<int16_t> samples, size_t *largest = nullptr)
        : samples_(std::move(samples)), largest_(largest)
    {
    }
    size_t Read(std::span<int16_t> out) override
    {
        if (largest_ != nullptr)
            *largest_ = std::max(*largest_, out.size());
        const size_t n = std::min(out.size(), samples_.size() - pos_);
        std::copy_n(samples_.begin() + static_cast<std::ptrdiff_t>(pos_), n, out.begin());
        pos_ += n;
        return n;
    }

private:
    std::vector<int16_t> samples_;
    size_t pos_ = 0;
    size_t *largest_;
};

struct MixCase {
    const char *what;
    std::vector<int16_t> recording;
    std::vector<int16_t> before;  // the block before the recording is added
    std::vector<int16_t> after;
    bool goesOn;  // MixInto's answer
};
void PrintTo(const MixCase &c, std::ostream *os) { *os << c.what; }

class PlaySourceMixes : public ::testing::TestWithParam<MixCase> {};

TEST_P(PlaySourceMixes, AddsTheRecordingSaturated)
{
    const MixCase &c = GetParam();
    PlaySource source(std::make_unique<TableReader>(c.recording));
    std::vector<int16_t> block = c.before;
    EXPECT_EQ(source.MixInto(block), c.goesOn);
    EXPECT_EQ(block, c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, PlaySourceMixes,
    ::testing::Values(
        MixCase{"added to what is there", {100, -200, 300}, {1, 2, 3}, {101, -198, 303}, true},
        MixCase{"saturated at both ends", {30000, -30000, 32767}, {5000, -5000, 1}, {32767, -32768, 32767}, true},
        MixCase{"ends inside the block", {7, 8}, {1, 1, 1, 1}, {8, 9, 1, 1}, false},
        MixCase{"ends with the block: goes on until it gives nothing", {7, 8}, {0, 0}, {7, 8}, true},
        MixCase{"an empty recording ends at once", {}, {4, 4}, {4, 4}, false}));

// Pieces of any length, the engine's segments of one sample included, play
// the recording in order; the reader is never asked for more than a block.
TEST(PlaySource, PlaysInPiecesOfAnyLength)
{
    std::vector<int16_t> recording(1000);
    std::iota(recording.begin(), recording.end(), int16_t{-500});
    size_t largest = 0;
    PlaySource source(std::make_unique<TableReader>(recording, &largest));
    std::vector<int16_t> played;
    bool goesOn = true;
    for (size_t piece = 1; goesOn; piece = piece * 3 % 401 + 1) {
        std::vector<int16_t> block(piece, 0);
        goesOn = source.MixInto(block);
        played.insert(played.end(), block.begin(), block.end());
    }
    ASSERT_GE(played.size(), recording.size());
    EXPECT_TRUE(std::equal(recording.begin(), recording.end(), played.begin()));
    EXPECT_TRUE(std::all_of(played.begin() + 1000, played.end(), [](int16_t s) { return s == 0; }));
    EXPECT_LE(largest, static_cast<size_t>(kBlockSamples));
    std::vector<int16_t> after(10, 3);
    EXPECT_FALSE(source.MixInto(after));
    EXPECT_EQ(after, std::vector<int16_t>(10, 3)) << "an ended recording adds nothing";
}

struct RouteCase {
    const char *what;
    std::string scenario;                           // plays "tone" (1000 Hz, -9 dBm0, 2 s) or "bad" (cannot open)
    std::vector<int16_t> simtest::Capture::*point;  // where to listen
    bool heard;                                     // from 1.2 to 1.8 s
};
void PrintTo(const RouteCase &c, std::ostream *os) { *os << c.what; }

class PlayActions : public ::testing::TestWithParam<RouteCase> {};

TEST_P(PlayActions, PlayWhereTheirTargetSays)
{
    const RouteCase &c = GetParam();
    std::vector<int16_t> tone(static_cast<size_t>(MsToSamples(2000)));
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<int16_t>(std::lround(8000.0 * std::sin(2.0 * 3.14159265358979 * 1000.0 * i / 8000.0)));
    std::vector<std::pair<std::string, double>> opened;
    simtest::Rig rig;
    rig.engine.SetPlayOpener([&](const ScenarioAction &action) {
        opened.emplace_back(action.file, action.gainDb);
        PlayOpening opening;
        if (action.file == "tone")
            opening.source = std::make_unique<PlaySource>(std::make_unique<TableReader>(tone));
        else
            opening.error = "cannot play";
        return opening;
    });
    rig.Load(c.scenario);
    rig.RunMs(2000);
    const double level = simtest::LevelAt(simtest::Slice(rig.audio.*c.point, 1200, 600), 1000);
    if (c.heard)
        EXPECT_NEAR(level, -9.1, 1.5);
    else
        EXPECT_LT(level, -50.0);
    // Each play action opened its file once, with its gain, when it fell due.
    size_t plays = 0;
    for (size_t at = 0; (at = c.scenario.find(" play ", at)) != std::string::npos; ++at)
        ++plays;
    EXPECT_EQ(opened.size(), plays);
    for (const auto &[file, gain] : opened)
        EXPECT_EQ(gain, file == "tone" ? -6.0 : 0.0) << file;
}

INSTANTIATE_TEST_SUITE_P(
    Targets, PlayActions,
    ::testing::Values(
        RouteCase{"far play during a call: line receive",
                  "0 far ring\n500 phone offhook\n1000 far play \"tone\" -6\n",
                  &simtest::Capture::lineRx,
                  true},
        RouteCase{"far play on an idle line: not heard", "0 far play \"tone\" -6\n", &simtest::Capture::lineRx, false},
        RouteCase{"line play on hook: line receive", "1000 line play \"tone\" -6\n", &simtest::Capture::lineRx, true},
        RouteCase{"phone play: the microphone", "1000 phone play \"tone\" -6\n", &simtest::Capture::mic, true},
        RouteCase{"phone play: not PC in in the factory mode",
                  "1000 phone play \"tone\" -6\n",
                  &simtest::Capture::pcIn,
                  false},
        RouteCase{"pc play: PC out", "1000 pc play \"tone\" -6\n", &simtest::Capture::pcOut, true},
        RouteCase{"pc play: not the microphone", "1000 pc play \"tone\" -6\n", &simtest::Capture::mic, false},
        RouteCase{"a recording that cannot open plays nothing; the next one plays",
                  "1000 pc play \"bad\"\n1000 pc play \"tone\" -6\n",
                  &simtest::Capture::pcOut,
                  true},
        RouteCase{"only a recording that cannot open", "1000 pc play \"bad\"\n", &simtest::Capture::pcOut, false}),
    [](const auto &info) { return std::to_string(info.index); });

// Without an opener (an engine that nobody gave sound files) a play action plays nothing.
TEST(PlayActions, WithoutAnOpenerPlayNothing)
{
    simtest::Rig rig;
    rig.Load("0 line play \"tone\"\n0 pc play \"tone\"\n");
    rig.RunMs(500);
    EXPECT_LT(simtest::Dbm0OfMeanSquare(simtest::MeanSquare(rig.audio.lineRx)), -80.0);
    EXPECT_LT(simtest::Dbm0OfMeanSquare(simtest::MeanSquare(rig.audio.pcOut)), -80.0);
}

}  // namespace
