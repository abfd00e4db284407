// Recordings in the engine, without files: a reader that hands out a table
// of samples stands for a sound file. PlaySource adds them into a block,
// saturating, in pieces of any size, and ends with its reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <vector>

#include "simulator/engine/PlaySource.h"

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

}  // namespace
