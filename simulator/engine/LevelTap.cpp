#include "simulator/engine/LevelTap.h"

#include <algorithm>

namespace tvxsim {
namespace {

double Energy(std::span<const int16_t> samples)
{
    double sum = 0.0;
    for (int16_t s : samples)
        sum += static_cast<double>(s) * s;
    return sum;
}

}  // namespace

void LevelTap::OnBlock(const BlockAudio &block)
{
    // The earpiece's level is what it sounds: nothing while the handset is on hook.
    const std::span<const int16_t> earpiece = block.phoneOffHook ? block.earpiece : std::span<const int16_t>();
    const std::array<std::span<const int16_t>, kAudioPoints> points = {
        block.lineTx, block.lineRx, earpiece, block.mic, block.pcIn, block.pcOut};
    for (size_t p = 0; p < kAudioPoints; ++p)
        energy_[p][next_] = Energy(points[p]);
    next_ = (next_ + 1) % kBlocks;
    filled_ = std::min(filled_ + 1, kBlocks);
}

void LevelTap::Reset()
{
    energy_ = {};
    next_ = 0;
    filled_ = 0;
}

std::array<float, kAudioPoints> LevelTap::Levels() const
{
    std::array<float, kAudioPoints> levels;
    levels.fill(kLevelFloorDbm0);
    if (filled_ == 0)
        return levels;
    for (size_t p = 0; p < kAudioPoints; ++p) {
        double sum = 0.0;
        for (size_t b = 0; b < filled_; ++b)
            sum += energy_[p][b];
        const double meanSquare = sum / static_cast<double>(filled_ * kBlockSamples);
        levels[p] = meanSquare > 0.0 ? std::max(MeanSquareToDbm0(meanSquare), kLevelFloorDbm0) : kLevelFloorDbm0;
    }
    return levels;
}

}  // namespace tvxsim
