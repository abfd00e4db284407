#include "simulator/audio/AudioBridge.h"

#include "simulator/engine/Audio.h"

namespace tvxsim {

void AudioBridge::OnBlock(const BlockAudio &block)
{
    // A lane whose reader is away fills up and drops the rest; its reader
    // throws the old samples away when it comes back.
    out_[Index(OutLane::PcIn)].ring.Write(block.pcIn);
    out_[Index(OutLane::Earpiece)].ring.Write(block.earpiece);
    // Listen plays what the earpiece sounds: nothing while the handset is on hook.
    static constexpr std::array<int16_t, kBlockSamples> kSilence{};
    out_[Index(OutLane::Listen)].ring.Write(
        block.phoneOffHook ? block.earpiece : std::span<const int16_t>(kSilence).first(block.earpiece.size()));
    out_[Index(OutLane::LineTx)].ring.Write(block.lineTx);
}

void AudioBridge::Read(FeedPoint point, std::span<int16_t> out) { in_[Index(point)].reader.Read(out); }

void AudioBridge::Take(OutLane lane, std::span<int16_t> out) { out_[Index(lane)].reader.Read(out); }

void AudioBridge::Give(FeedPoint lane, std::span<const int16_t> samples) { in_[Index(lane)].ring.Write(samples); }

}  // namespace tvxsim
