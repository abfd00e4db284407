// The part of a session description this line reads and writes: the
// audio stream's address and port, its payload formats (rtpmap, fmtp),
// its direction and packet time. Read leniently from a far end, written
// in one fixed form.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvxsim::sip {

enum class MediaDirection : uint8_t {
    SendRecv,
    SendOnly,
    RecvOnly,
    Inactive,
};

struct SdpFormat {
    uint8_t payloadType = 0;
    std::string encoding;  // as named by rtpmap (or the static type's name), e.g. "PCMU", "telephone-event"
    uint32_t clockRate = 8000;
    std::string fmtp;  // the a=fmtp parameters, as written
    bool operator==(const SdpFormat &) const = default;
};

struct SdpAudio {
    std::string address;  // the connection address of the audio stream (media level, else session level)
    bool ipv6 = false;
    uint16_t port = 0;               // 0: the stream is refused
    std::vector<SdpFormat> formats;  // in the m= line's order
    MediaDirection direction = MediaDirection::SendRecv;
    uint32_t ptimeMs = 0;  // 0: not given
    bool operator==(const SdpAudio &) const = default;
};

inline constexpr size_t kMaxSdpBytes = 16384;
inline constexpr size_t kMaxSdpFormats = 32;

// The first audio stream of a description (RTP/AVP or RTP/AVPF); nullopt
// when there is none or the description is malformed. A connection address
// of 0.0.0.0 (the old way to hold) makes a stream that receives nothing.
std::optional<SdpAudio> ParseSdp(std::string_view text);

// A whole description with one audio stream.
std::string FormatSdp(const SdpAudio &audio, uint64_t sessionId, uint32_t version);

std::string_view DirectionName(MediaDirection direction);

}  // namespace tvxsim::sip
