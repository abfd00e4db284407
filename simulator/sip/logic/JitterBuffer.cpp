#include "simulator/sip/logic/JitterBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tvxsim::sip {

namespace {

constexpr int64_t kUsPerSample = 125;
constexpr int64_t kIdleUs = 200000;           // no packet this long: the stream has paused
constexpr int64_t kAdjustMarginSamples = 40;  // 5 ms either side before a frame is skipped or stretched
constexpr int64_t kTargetMarginUs = 2000;     // added to the measured spread
constexpr int kLateRestart = 10;              // packets in a row too late: the stream moved back

}  // namespace

int32_t JitterStats::DelayPercentileMs(double q) const
{
    uint64_t total = 0;
    for (uint32_t n : delayHistogram)
        total += n;
    if (total == 0)
        return -1;
    const double wanted = std::clamp(q, 0.0, 1.0) * static_cast<double>(total);
    uint64_t seen = 0;
    for (size_t bin = 0; bin < delayHistogram.size(); ++bin) {
        seen += delayHistogram[bin];
        if (static_cast<double>(seen) >= wanted && seen > 0)
            return static_cast<int32_t>((bin + 1) * kDelayBinMs);
    }
    return static_cast<int32_t>(delayHistogram.size() * kDelayBinMs);
}

JitterBuffer::JitterBuffer(int32_t minMs, int32_t maxMs)
    : minMs_(std::max(minMs, 0)), maxMs_(std::max(minMs_, maxMs)), targetUs_(minMs_ * 1000)
{
    stats_.targetMs = minMs_;
}

void JitterBuffer::Reset() { *this = JitterBuffer(minMs_, maxMs_); }

void JitterBuffer::ClearRing() { present_.fill(false); }

void JitterBuffer::Restart(int64_t position)
{
    ClearRing();
    anchored_ = true;
    playing_ = false;
    playPosition_ = position;
    lateRun_ = 0;
}

int64_t JitterBuffer::Extend(uint32_t timestamp)
{
    lastExtended_ += static_cast<int32_t>(timestamp - lastTimestamp_);
    lastTimestamp_ = timestamp;
    return lastExtended_;
}

void JitterBuffer::CountSequence(uint16_t sequence)
{
    ++stats_.received;
    ++sourceReceived_;
    // The number nearest the highest so far: before it, or after it across a wrap.
    const int64_t extended =
        maxSequence_ + static_cast<int16_t>(static_cast<uint16_t>(sequence - static_cast<uint16_t>(maxSequence_)));
    maxSequence_ = std::max(maxSequence_, extended);
    baseSequence_ = std::min(baseSequence_, extended);  // an earlier packet that came later
    const int64_t expected = maxSequence_ - baseSequence_ + 1;
    stats_.lost = lostBefore_ + expected - static_cast<int64_t>(sourceReceived_);
}

void JitterBuffer::NoteTransit(int64_t transitUs)
{
    // RFC 3550 A.8, in timestamp units.
    const int64_t transit = transitUs / kUsPerSample;
    if (haveTransit_) {
        const double d = static_cast<double>(std::llabs(transit - lastTransit_));
        jitter_ += (d - jitter_) / 16.0;
    }
    haveTransit_ = true;
    lastTransit_ = transit;
    stats_.jitterMs = jitter_ / 8.0;

    transits_[transitNext_] = transitUs;
    transitNext_ = (transitNext_ + 1) % transits_.size();
    transitCount_ = std::min(transitCount_ + 1, transits_.size());
    int64_t lo = transits_[0];
    int64_t hi = transits_[0];
    for (size_t i = 1; i < transitCount_; ++i) {
        lo = std::min(lo, transits_[i]);
        hi = std::max(hi, transits_[i]);
    }
    baseTransitUs_ = lo;
    const int64_t target =
        std::clamp<int64_t>(hi - lo + kTargetMarginUs, int64_t{minMs_} * 1000, int64_t{maxMs_} * 1000);
    targetUs_ = static_cast<int32_t>(target);
    stats_.targetMs = targetUs_ / 1000;
}

void JitterBuffer::Push(const RtpAudioPacket &packet)
{
    if (packet.size > kMaxPacketBytes)
        return;
    if (!haveStream_ || packet.ssrc != ssrc_) {
        // A new source: its own sequence numbers and clock.
        lostBefore_ = stats_.lost;
        haveStream_ = true;
        ssrc_ = packet.ssrc;
        lastTimestamp_ = packet.timestamp;
        lastExtended_ = packet.timestamp;
        baseSequence_ = packet.sequence;
        maxSequence_ = packet.sequence;
        sourceReceived_ = 0;
        haveTransit_ = false;
        transitCount_ = 0;
        transitNext_ = 0;
        anchored_ = false;
        playing_ = false;
        ClearRing();
    }
    if (packet.size == 0) {
        // Another payload of the stream (its timestamps are its own): its
        // sequence number is no gap.
        CountSequence(packet.sequence);
        return;
    }
    const int64_t position = Extend(packet.timestamp);
    CountSequence(packet.sequence);
    NoteTransit(packet.arrivalUs - position * kUsPerSample);
    lastArrivalUs_ = packet.arrivalUs;

    const int64_t end = position + packet.size;
    if (!anchored_) {
        Restart(position);
    } else if (!playing_ && position < playPosition_ && playPosition_ - position <= static_cast<int64_t>(kRing / 4)) {
        playPosition_ = position;  // an earlier packet came second: start with it
    }
    if (end <= playPosition_) {
        ++stats_.late;
        if (++lateRun_ < kLateRestart)
            return;
        Restart(position);  // the stream went back in time for good
    }
    lateRun_ = 0;
    if (end > playPosition_ + static_cast<int64_t>(kRing))
        Restart(position);  // the stream jumped ahead
    for (int64_t p = std::max(position, playPosition_); p < end; ++p) {
        const size_t at = static_cast<size_t>(p) & (kRing - 1);
        samples_[at] = packet.payload[static_cast<size_t>(p - position)];
        present_[at] = true;
        arrival_[at] = packet.arrivalUs;
    }
}

JitterBuffer::Play JitterBuffer::Pop(int64_t nowUs, std::span<uint8_t, kFrameSamples> out)
{
    if (!anchored_)
        return Play::Idle;
    if (nowUs - lastArrivalUs_ > kIdleUs) {
        anchored_ = false;
        playing_ = false;
        ClearRing();
        return Play::Idle;
    }
    // The newest position whose playing time has come.
    const int64_t due = (nowUs - targetUs_ - baseTransitUs_) / kUsPerSample;
    if (!playing_) {
        if (due < playPosition_)
            return Play::Idle;
        playing_ = true;
    } else if (due >= playPosition_ + static_cast<int64_t>(kFrameSamples) + kAdjustMarginSamples) {
        // Behind the target: skip a frame.
        for (size_t i = 0; i < kFrameSamples; ++i)
            present_[static_cast<size_t>(playPosition_ + static_cast<int64_t>(i)) & (kRing - 1)] = false;
        playPosition_ += kFrameSamples;
        ++stats_.skipped;
    } else if (due < playPosition_ - kAdjustMarginSamples) {
        // Ahead of the target (it grew): stretch by one concealed frame.
        ++stats_.concealed;
        return Play::Missing;
    }
    bool whole = true;
    int64_t arrival = 0;
    for (size_t i = 0; i < kFrameSamples; ++i) {
        const int64_t p = playPosition_ + static_cast<int64_t>(i);
        const size_t at = static_cast<size_t>(p) & (kRing - 1);
        whole = whole && present_[at];
        out[i] = samples_[at];
        present_[at] = false;
        arrival = std::max(arrival, arrival_[at]);
    }
    playPosition_ += kFrameSamples;
    if (!whole) {
        ++stats_.concealed;
        return Play::Missing;
    }
    ++stats_.played;
    stats_.delayMs = static_cast<int32_t>(std::max<int64_t>(0, nowUs - arrival) / 1000);
    const size_t bin = std::min(static_cast<size_t>(stats_.delayMs / kDelayBinMs), kDelayBins - 1);
    ++stats_.delayHistogram[bin];
    return Play::Frame;
}

}  // namespace tvxsim::sip
