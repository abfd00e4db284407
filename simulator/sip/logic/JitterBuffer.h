// The receive side's jitter buffer: G.711 payload bytes (one a sample)
// placed by their RTP timestamp and played out one 20 ms frame per call,
// at the pace of the caller's clock.
//
// It adapts its delay between a floor and a ceiling (20 and 120 ms): the
// target is the spread of the packets' transit times over the last two
// seconds (the earliest against the latest), so that a packet as late as
// any of them still arrives in time. A frame is played at the first call at
// or after its expected arrival plus the target; when the target grows a
// frame is concealed in between, when it shrinks (or the clocks drift) a
// frame is skipped. After 200 ms without packets the buffer falls idle
// (silence, nothing counted) and starts again with the next packet.
//
// Statistics as RFC 3550 counts them (packets lost from the sequence
// numbers, the interarrival jitter), and the frames that came late,
// the frames concealed, and each played frame's playout delay (from its
// packet's arrival to its playing).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tvxsim::sip {

inline constexpr size_t kFrameSamples = 160;    // 20 ms at 8 kHz
inline constexpr size_t kMaxPacketBytes = 480;  // up to 60 ms of G.711 in one packet
inline constexpr size_t kDelayBins = 128;       // the playout-delay histogram: 2 ms bins, the last one open
inline constexpr int32_t kDelayBinMs = 2;

struct RtpAudioPacket {
    uint32_t ssrc = 0;
    uint16_t sequence = 0;
    uint32_t timestamp = 0;
    int64_t arrivalUs = 0;  // the caller's clock
    uint16_t size = 0;      // bytes of payload, one a sample; 0: a packet of the stream that is not
                            // audio (a telephone-event), counted in its sequence only
    std::array<uint8_t, kMaxPacketBytes> payload{};
};

struct JitterStats {
    uint64_t received = 0;                              // packets, duplicates included (as RFC 3550 counts them)
    int64_t lost = 0;                                   // expected less received; negative with duplicates
    uint64_t late = 0;                                  // packets that came after their frame was played
    uint64_t concealed = 0;                             // frames played without their audio (lost, late, or stretched)
    uint64_t played = 0;                                // frames played from their audio
    uint64_t skipped = 0;                               // frames skipped to shorten the delay
    double jitterMs = 0;                                // RFC 3550 interarrival jitter
    int32_t targetMs = 0;                               // the delay the buffer aims at now
    int32_t delayMs = 0;                                // playout delay of the last frame played
    std::array<uint32_t, kDelayBins> delayHistogram{};  // each played frame's playout delay

    // The delay below which a share `q` (0..1) of the played frames lie, to
    // the histogram's 2 ms; -1 when none was played.
    int32_t DelayPercentileMs(double q) const;
};

class JitterBuffer {
public:
    explicit JitterBuffer(int32_t minMs = 20, int32_t maxMs = 120);

    void Push(const RtpAudioPacket &packet);

    enum class Play : uint8_t {
        Frame,    // `out` holds the frame's 160 bytes
        Missing,  // a frame of the stream is missing: conceal it
        Idle,     // no stream is playing: silence
    };
    Play Pop(int64_t nowUs, std::span<uint8_t, kFrameSamples> out);

    const JitterStats &Stats() const { return stats_; }
    // Forgets the stream (a new call): statistics too.
    void Reset();

private:
    static constexpr size_t kRing = 4096;   // samples held: 512 ms
    static constexpr size_t kWindow = 100;  // transit times the target is taken from: 2 s of packets

    void Restart(int64_t position);
    void ClearRing();
    void CountSequence(uint16_t sequence);
    void NoteTransit(int64_t transitUs);
    int64_t Extend(uint32_t timestamp);

    int32_t minMs_;
    int32_t maxMs_;
    JitterStats stats_;

    bool haveStream_ = false;  // a packet of the current SSRC has come
    uint32_t ssrc_ = 0;
    uint32_t lastTimestamp_ = 0;  // the last packet's timestamp, for extending
    int64_t lastExtended_ = 0;    // its extended value

    // Sequence numbers (RFC 3550 A.1), extended with their cycles.
    int64_t baseSequence_ = 0;     // the lowest
    int64_t maxSequence_ = 0;      // the highest
    uint64_t sourceReceived_ = 0;  // packets of this source
    int64_t lostBefore_ = 0;       // packets lost of the sources before it
    // Interarrival jitter (RFC 3550 A.8), in timestamp units.
    bool haveTransit_ = false;
    int64_t lastTransit_ = 0;
    double jitter_ = 0;

    std::array<int64_t, kWindow> transits_{};  // the last packets' transit times, µs
    size_t transitCount_ = 0;
    size_t transitNext_ = 0;
    int64_t baseTransitUs_ = 0;  // the earliest transit in the window
    int32_t targetUs_ = 0;       // the target delay

    bool anchored_ = false;      // a packet has placed the playout position
    bool playing_ = false;       // frames are being played
    int64_t playPosition_ = 0;   // the extended timestamp of the next frame to play
    int64_t lastArrivalUs_ = 0;  // when the last packet came
    int lateRun_ = 0;            // packets in a row that came too late
    std::array<uint8_t, kRing> samples_{};
    std::array<bool, kRing> present_{};
    std::array<int64_t, kRing> arrival_{};  // when each sample came
};

}  // namespace tvxsim::sip
