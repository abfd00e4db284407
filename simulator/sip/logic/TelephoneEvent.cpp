#include "simulator/sip/logic/TelephoneEvent.h"

#include <algorithm>

#include "simulator/sip/logic/InfoBody.h"

namespace tvxsim::sip {

namespace {

constexpr uint32_t kFrameSamples = 160;
constexpr uint32_t kMaxDuration = 0xFFFF;
constexpr int kEndRepeats = 3;

// Whether RTP timestamp a comes after b (serial arithmetic, wrapping).
bool After(uint32_t a, uint32_t b) { return a != b && static_cast<int32_t>(a - b) > 0; }

}  // namespace

std::optional<EventPayload> DecodeEventPayload(std::span<const uint8_t> payload)
{
    if (payload.size() < kEventPayloadBytes)
        return std::nullopt;
    EventPayload e;
    e.event = payload[0];
    e.end = (payload[1] & 0x80) != 0;
    e.volume = payload[1] & 0x3F;
    e.duration = static_cast<uint16_t>((payload[2] << 8) | payload[3]);
    return e;
}

std::array<uint8_t, kEventPayloadBytes> EncodeEventPayload(const EventPayload &e)
{
    return {e.event,
            static_cast<uint8_t>((e.end ? 0x80 : 0) | (e.volume & 0x3F)),
            static_cast<uint8_t>(e.duration >> 8),
            static_cast<uint8_t>(e.duration & 0xFF)};
}

bool EventReceiver::Finished(uint32_t timestamp) const
{
    for (size_t i = 0; i < finishedCount_; ++i) {
        if (finished_[i] == timestamp)
            return true;
    }
    return false;
}

void EventReceiver::Remember(uint32_t timestamp)
{
    finished_[finishedNext_] = timestamp;
    finishedNext_ = (finishedNext_ + 1) % finished_.size();
    finishedCount_ = std::min(finishedCount_ + 1, finished_.size());
}

EventChanges EventReceiver::OnPacket(uint32_t timestamp, const EventPayload &payload, int64_t nowMs)
{
    EventChanges out;
    if (Finished(timestamp))
        return out;  // a late or repeated packet of an event that has ended
    if (active_ && timestamp == timestamp_) {
        if (payload.duration > duration_) {
            duration_ = payload.duration;
            lastGrowthMs_ = nowMs;
        }
        if (payload.end) {
            out.Add({EventChange::Kind::End, digit_, 0});
            active_ = false;
            Remember(timestamp);
        }
        return out;
    }
    if (anySeen_ && !After(timestamp, timestamp_))
        return out;  // an older event than the newest: it comes too late
    const char digit = EventKey(payload.event);
    if (active_) {
        // A newer event begins: the current one has ended.
        out.Add({EventChange::Kind::End, digit_, 0});
        active_ = false;
        Remember(timestamp_);
    }
    anySeen_ = true;
    timestamp_ = timestamp;
    if (digit == 0) {
        Remember(timestamp);  // not a digit (a flash, a tone): nothing to play
        return out;
    }
    if (payload.end) {
        out.Add({EventChange::Kind::Complete, digit, static_cast<int32_t>(payload.duration / 8)});
        Remember(timestamp);
        return out;
    }
    out.Add({EventChange::Kind::Begin, digit, 0});
    active_ = true;
    digit_ = digit;
    duration_ = payload.duration;
    lastGrowthMs_ = nowMs;
    return out;
}

EventChanges EventReceiver::OnTick(int64_t nowMs)
{
    EventChanges out;
    if (active_ && nowMs - lastGrowthMs_ >= kEventSilenceMs) {
        out.Add({EventChange::Kind::End, digit_, 0});
        active_ = false;
        Remember(timestamp_);
    }
    return out;
}

EventChanges EventReceiver::Reset()
{
    EventChanges out;
    if (active_)
        out.Add({EventChange::Kind::End, digit_, 0});
    *this = EventReceiver{};
    return out;
}

void EventSender::End(EventPackets &out)
{
    for (int i = 0; i < kEndRepeats; ++i) {
        EventPacket &p = out.items[out.count++];
        p.timestamp = timestamp_;
        p.marker = false;
        p.payload = {static_cast<uint8_t>(KeyEvent(digit_)),
                     true,
                     kEventVolume,
                     static_cast<uint16_t>(std::min(duration_, kMaxDuration))};
    }
    active_ = false;
}

EventPackets EventSender::Frame(char digit, uint32_t frameTimestamp)
{
    EventPackets out;
    if (KeyEvent(digit) < 0)
        digit = 0;
    if (active_ && digit != digit_)
        End(out);
    if (exhausted_ && digit != digit_)
        exhausted_ = false;
    if (digit == 0 || exhausted_)
        return out;
    if (!active_) {
        active_ = true;
        digit_ = digit;
        timestamp_ = frameTimestamp;
        duration_ = kFrameSamples;
        EventPacket &p = out.items[out.count++];
        p.timestamp = timestamp_;
        p.marker = true;
        p.payload = {static_cast<uint8_t>(KeyEvent(digit)), false, kEventVolume, static_cast<uint16_t>(duration_)};
        return out;
    }
    if (duration_ + kFrameSamples > kMaxDuration) {
        // The longest an event can say: end it, and send nothing more
        // until the digit is let go.
        End(out);
        exhausted_ = true;
        return out;
    }
    duration_ += kFrameSamples;
    EventPacket &p = out.items[out.count++];
    p.timestamp = timestamp_;
    p.marker = false;
    p.payload = {static_cast<uint8_t>(KeyEvent(digit)), false, kEventVolume, static_cast<uint16_t>(duration_)};
    return out;
}

}  // namespace tvxsim::sip
