#include "simulator/audio/AudioBridge.h"

#include "simulator/engine/Audio.h"

namespace tvxsim {

void AudioBridge::OnBlock(const BlockAudio &block)
{
    // A lane whose reader is away fills up and drops the rest; its reader
    // throws the old samples away when it comes back.
    out_[Index(OutLane::PcIn)].ring.Write(block.pcIn);
    out_[Index(OutLane::Earpiece)].ring.Write(block.earpiece);
    out_[Index(OutLane::Listen)].ring.Write(block.earpiece);
    out_[Index(OutLane::LineTx)].ring.Write(block.lineTx);
}

void AudioBridge::ReadInto(InLane lane, std::span<int16_t> out)
{
    std::array<int16_t, kBlockSamples> buf;
    while (!out.empty()) {
        const std::span<int16_t> part(buf.data(), std::min(out.size(), buf.size()));
        in_[Index(lane)].reader.Read(part);
        MixInto(out.first(part.size()), part);
        out = out.subspan(part.size());
    }
}

void AudioBridge::Read(FeedPoint point, std::span<int16_t> out)
{
    switch (point) {
    case FeedPoint::PcOut:
        ReadInto(InLane::PcOut, out);
        break;
    case FeedPoint::Mic:
        ReadInto(InLane::Mic, out);
        ReadInto(InLane::Talk, out);
        break;
    case FeedPoint::FarVoice:
        ReadInto(InLane::FarVoice, out);
        break;
    }
}

void AudioBridge::Take(OutLane lane, std::span<int16_t> out) { out_[Index(lane)].reader.Read(out); }

void AudioBridge::Give(InLane lane, std::span<const int16_t> samples) { in_[Index(lane)].ring.Write(samples); }

}  // namespace tvxsim
