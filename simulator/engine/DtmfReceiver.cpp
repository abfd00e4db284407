#include "simulator/engine/DtmfReceiver.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tvxsim {
namespace {

// After this much silence the receiver holds no digit and no energy: more
// silence changes nothing, so it is skipped.
constexpr int kSettledSilence = 2 * kBlockSamples;
// Rows, then columns.
constexpr std::array<int32_t, 8> kFrequencies = {697, 770, 852, 941, 1209, 1336, 1477, 1633};
// The filters of each frequency, in the bank's order: a guard, a level
// filter, the frequency itself, a level filter, a guard.
constexpr std::array<float, 5> kSlots = {-DtmfReceiver::kGuardSpread,
                                         -DtmfReceiver::kLevelSpread,
                                         0.0f,
                                         DtmfReceiver::kLevelSpread,
                                         DtmfReceiver::kGuardSpread};
constexpr size_t kGuardBelow = 0;
constexpr size_t kGuardAbove = 4;
// Dial tones, after the frequencies' filters: 350 + 440 Hz, and 425 Hz.
constexpr size_t kDialBase = kFrequencies.size() * kSlots.size();
constexpr std::array<int32_t, 3> kDialHz = {350, 440, 425};
// Then the window's DFT bins outside the DTMF band: below it from the first
// bin, above it to the last before half the sample rate (the bins at 0 Hz
// and 4,000 Hz are left to count against the pair).
constexpr int32_t kBinHz = kSampleRate / GoertzelBank::kWindow;
static_assert(DtmfReceiver::kBandLowHz % kBinHz == 0 && DtmfReceiver::kBandHighHz % kBinHz == 0,
              "the band's edges are bins of the window");
struct BinRun {
    int32_t first;  // bin numbers, both included
    int32_t last;
};
constexpr std::array<BinRun, 2> kOutside = {{{1, DtmfReceiver::kBandLowHz / kBinHz - 1},
                                             {DtmfReceiver::kBandHighHz / kBinHz + 1, GoertzelBank::kWindow / 2 - 1}}};
constexpr size_t kOutsideBase = kDialBase + kDialHz.size();
constexpr size_t kOutsideBins = (kOutside[0].last - kOutside[0].first + 1) + (kOutside[1].last - kOutside[1].first + 1);
constexpr int kLoneBins = 3;  // a tone's main lobe: its bin and one either side
// Keys in index order (0-9, *, #, A-D) as row and column.
constexpr std::array<std::pair<int, int>, 16> kKeyPairs = {{{3, 1},
                                                            {0, 0},
                                                            {0, 1},
                                                            {0, 2},
                                                            {1, 0},
                                                            {1, 1},
                                                            {1, 2},
                                                            {2, 0},
                                                            {2, 1},
                                                            {2, 2},
                                                            {3, 0},
                                                            {3, 2},
                                                            {0, 3},
                                                            {1, 3},
                                                            {2, 3},
                                                            {3, 3}}};

double DbToPowerRatio(float db) { return std::pow(10.0, static_cast<double>(db) / 10.0); }

const double kRelativePeak = DbToPowerRatio(DtmfReceiver::kRelativePeakDb);
const double kMaxTwist = DbToPowerRatio(DtmfReceiver::kMaxTwistDb);
const double kMaxReverse = DbToPowerRatio(DtmfReceiver::kMaxReverseDb);

}  // namespace

DtmfReceiver::DtmfReceiver()
{
    std::array<GoertzelBank::Tone, kOutsideBase + kOutsideBins> tones{};
    for (size_t f = 0; f < kFrequencies.size(); ++f)
        for (size_t s = 0; s < kSlots.size(); ++s)
            tones[f * kSlots.size() + s].f1 =
                static_cast<int32_t>(std::lround(static_cast<float>(kFrequencies[f]) * (1.0f + kSlots[s])));
    for (size_t d = 0; d < kDialHz.size(); ++d)
        tones[kDialBase + d].f1 = kDialHz[d];
    size_t next = kOutsideBase;
    for (const BinRun &run : kOutside)
        for (int32_t bin = run.first; bin <= run.last; ++bin)
            tones[next++].f1 = bin * kBinHz;
    bank_.Configure(tones, false);
    SetThreshold(kDefaultThresholdDbm0);
    Reset();
}

void DtmfReceiver::Reset()
{
    bank_.Reset();
    silentSamples_ = 0;
    running_ = reported_ = -1;
    misses_ = 0;
}

void DtmfReceiver::SetThreshold(int dbm0)
{
    const double peak = Dbm0ToPeak(static_cast<float>(dbm0));
    minMeanSquare_ = peak * peak / 2.0;
}

DtmfReceiver::GroupPeak DtmfReceiver::PeakOf(int group) const
{
    std::array<double, 4> level{};
    size_t best = 0;
    for (size_t i = 0; i < level.size(); ++i) {
        const size_t base = (static_cast<size_t>(group) * 4 + i) * kSlots.size();
        level[i] = std::max({bank_.MeanSquare(base + 1), bank_.MeanSquare(base + 2), bank_.MeanSquare(base + 3)});
        if (level[i] > level[best])
            best = i;
    }
    const double own = level[best];
    if (own < minMeanSquare_)
        return {};
    for (size_t i = 0; i < level.size(); ++i)
        if (i != best && own < kRelativePeak * level[i])
            return {};
    // The guards only for a frequency that stands out.
    const size_t base = (static_cast<size_t>(group) * 4 + best) * kSlots.size();
    if (own <= bank_.MeanSquare(base + kGuardBelow) || own <= bank_.MeanSquare(base + kGuardAbove))
        return {};
    return {static_cast<int>(best), own};
}

double DtmfReceiver::LoneToneBeside() const
{
    // A bin's mean square (2 |X|^2 / N^2) counts it and its mirror above half
    // the sample rate: together the bins add up to the window's mean square.
    double outside = 0, lone = 0;
    size_t base = kOutsideBase;
    for (const BinRun &run : kOutside) {
        const auto bins = static_cast<size_t>(run.last - run.first + 1);
        for (size_t b = 0; b < bins; ++b) {
            outside += bank_.MeanSquare(base + b);
            double held = 0;  // by this bin and the next ones of the run
            for (size_t n = b; n < std::min(bins, b + kLoneBins); ++n)
                held += bank_.MeanSquare(base + n);
            lone = std::max(lone, held);
        }
        base += bins;
    }
    return lone >= kLoneShare * outside ? lone : 0.0;
}

int32_t DtmfReceiver::KeyInWindow() const
{
    if (bank_.MeanSquareBound() < minMeanSquare_)
        return -1;  // too quiet for any frequency to reach the threshold
    const GroupPeak row = PeakOf(0);
    if (row.index < 0)
        return -1;
    const GroupPeak column = PeakOf(1);
    if (column.index < 0)
        return -1;
    if (column.meanSquare > kMaxTwist * row.meanSquare || column.meanSquare < kMaxReverse * row.meanSquare)
        return -1;
    const double pair = row.meanSquare + column.meanSquare;
    const double window = bank_.WindowMeanSquare();
    if (pair < kMinPurity * window) {
        // The filters of a tone beside the pair only for a pair that needs them.
        const double dial =
            std::max(bank_.MeanSquare(kDialBase) + bank_.MeanSquare(kDialBase + 1), bank_.MeanSquare(kDialBase + 2));
        if (pair < kMinPurity * (window - dial) &&
            pair < kMinPurity * (window - std::min(LoneToneBeside(), kLoneCap * pair)))
            return -1;
    }
    for (size_t k = 0; k < kKeyPairs.size(); ++k)
        if (kKeyPairs[k].first == row.index && kKeyPairs[k].second == column.index)
            return static_cast<int32_t>(k);
    return -1;
}

void DtmfReceiver::OnHop(SampleTime end)
{
    const int32_t present = KeyInWindow();
    if (present >= 0 && present == running_) {
        misses_ = 0;
    } else if (present >= 0) {
        running_ = present;
        reported_ = -1;
        runStart_ = end - kOnsetLead;
        misses_ = 0;
    } else if (running_ >= 0 && ++misses_ >= kEndMisses) {
        running_ = reported_ = -1;
    }
    if (running_ >= 0 && present == running_ && reported_ != running_ && end - kEndLag - runStart_ >= kMinDigit) {
        if (out_ != nullptr)
            out_->push_back({DtmfKeyChar(running_), end});
        reported_ = running_;
    }
}

void DtmfReceiver::Process(std::span<const int16_t> samples, SampleTime start, std::vector<DtmfDigit> &digits)
{
    if (IsSilent(samples)) {
        if (silentSamples_ >= kSettledSilence) {
            running_ = reported_ = -1;  // settled silence: whatever key there was has ended
            return;
        }
        silentSamples_ += static_cast<int>(samples.size());
    } else {
        silentSamples_ = 0;
    }
    out_ = &digits;
    bank_.Process(samples, start, [this](SampleTime end) { OnHop(end); });
    out_ = nullptr;
}

}  // namespace tvxsim
