// RFC 4733 telephone-events: the payload, the receiver and the sender.
//
// One event is several packets with the same RTP timestamp and a growing
// duration, the last three marked end. The receiver keys events on that
// timestamp (a new timestamp is a new digit, so "11" stays two digits when
// every end packet is lost); an event ends at its end packet, when its
// duration stops growing for kEventSilenceMs, or when a newer one begins.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tvxsim::sip {

inline constexpr size_t kEventPayloadBytes = 4;
inline constexpr int64_t kEventSilenceMs = 200;  // an event whose duration stopped growing this long has ended
inline constexpr uint8_t kEventVolume = 10;      // -10 dBm0, what the sender reports

struct EventPayload {
    uint8_t event = 0;
    bool end = false;
    uint8_t volume = 0;     // 0 to 63, -dBm0
    uint16_t duration = 0;  // in RTP clock units (8 kHz) since the event's timestamp
    bool operator==(const EventPayload &) const = default;
};

std::optional<EventPayload> DecodeEventPayload(std::span<const uint8_t> payload);
std::array<uint8_t, kEventPayloadBytes> EncodeEventPayload(const EventPayload &e);

// What the receiver makes of the packets: a digit begins, a digit ends, or
// a digit arrived complete (only end packets reached us) with its length.
struct EventChange {
    enum class Kind : uint8_t {
        Begin,
        End,
        Complete
    };
    Kind kind = Kind::Begin;
    char digit = 0;
    int32_t durationMs = 0;  // Complete only
    bool operator==(const EventChange &) const = default;
};

struct EventChanges {
    std::array<EventChange, 2> items{};
    size_t count = 0;
    void Add(const EventChange &c)
    {
        if (count < items.size())
            items[count++] = c;
    }
};

class EventReceiver {
public:
    // A packet of the stream's telephone-event type, arrived at `nowMs`.
    EventChanges OnPacket(uint32_t timestamp, const EventPayload &payload, int64_t nowMs);
    // Time passes: an event whose duration stopped growing ends.
    EventChanges OnTick(int64_t nowMs);
    // A new stream (another SSRC): what was going ends, history is forgotten.
    EventChanges Reset();
    bool Active() const { return active_; }

private:
    bool Finished(uint32_t timestamp) const;
    void Remember(uint32_t timestamp);

    bool active_ = false;                 // a digit has begun and not ended
    bool anySeen_ = false;                // a timestamp has been seen since the last reset
    uint32_t timestamp_ = 0;              // the newest event's timestamp
    char digit_ = 0;                      // the active digit
    uint16_t duration_ = 0;               // the active event's longest duration so far
    int64_t lastGrowthMs_ = 0;            // when that duration last grew (or the event began)
    std::array<uint32_t, 8> finished_{};  // timestamps of events that ended, newest at finishedNext_ - 1
    size_t finishedCount_ = 0;
    size_t finishedNext_ = 0;
};

// The sender: called once per 20 ms frame with the digit held on line
// transmit (0 for none), it gives the packets of that frame. The first
// packet of an event carries the marker bit; the end is sent three times.
struct EventPacket {
    uint32_t timestamp = 0;
    bool marker = false;
    EventPayload payload;
};

struct EventPackets {
    std::array<EventPacket, 4> items{};
    size_t count = 0;
};

class EventSender {
public:
    // `frameTimestamp`: the RTP timestamp of this frame's audio.
    EventPackets Frame(char digit, uint32_t frameTimestamp);
    bool Active() const { return active_; }

private:
    void End(EventPackets &out);

    bool active_ = false;     // an event is being sent
    bool exhausted_ = false;  // the held digit's event reached the longest duration and was ended
    char digit_ = 0;          // the digit of the event (or of the exhausted one)
    uint32_t timestamp_ = 0;  // the event's timestamp
    uint32_t duration_ = 0;   // its duration so far
};

}  // namespace tvxsim::sip
