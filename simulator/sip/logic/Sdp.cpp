#include "simulator/sip/logic/Sdp.h"

#include <algorithm>
#include <array>

#include "simulator/sip/logic/HostPort.h"
#include "simulator/sip/logic/SipText.h"

namespace tvxsim::sip {

namespace {

struct DirectionWord {
    std::string_view word;
    MediaDirection direction;
};
constexpr std::array<DirectionWord, 4> kDirections = {{
    {"sendrecv", MediaDirection::SendRecv},
    {"sendonly", MediaDirection::SendOnly},
    {"recvonly", MediaDirection::RecvOnly},
    {"inactive", MediaDirection::Inactive},
}};

struct StaticType {
    uint8_t payloadType;
    std::string_view encoding;
};
constexpr std::array<StaticType, 2> kStaticTypes = {{
    {0, "PCMU"},
    {8, "PCMA"},
}};

std::optional<MediaDirection> DirectionOf(std::string_view attribute)
{
    for (const DirectionWord &row : kDirections) {
        if (attribute == row.word)
            return row.direction;
    }
    return std::nullopt;
}

struct Connection {
    std::string address;
    bool ipv6 = false;
    bool set = false;
};

// "IN IP4 192.0.2.1" (a multicast "/ttl" is cut off).
bool ParseConnection(std::string_view value, Connection &out)
{
    std::string_view rest = value;
    if (TakeUntil(rest, ' ') != "IN")
        return false;
    const std::string_view type = TakeUntil(rest, ' ');
    std::string_view address = Trim(TakeUntil(rest, ' '));
    address = address.substr(0, address.find('/'));
    const HostKind kind = ClassifyHost(address);
    if (type == "IP4" && (kind == HostKind::Ipv4 || kind == HostKind::Name))
        out.ipv6 = false;
    else if (type == "IP6" && (kind == HostKind::Ipv6 || kind == HostKind::Name))
        out.ipv6 = true;
    else
        return false;
    out.address = std::string(address);
    out.set = true;
    return true;
}

bool ParsePayloadType(std::string_view s, uint8_t &pt)
{
    unsigned long v = 0;
    if (!ParseUnsigned(s, 0, 127, v))
        return false;
    pt = static_cast<uint8_t>(v);
    return true;
}

SdpFormat *FormatOf(SdpAudio &audio, uint8_t pt)
{
    for (SdpFormat &f : audio.formats) {
        if (f.payloadType == pt)
            return &f;
    }
    return nullptr;
}

}  // namespace

std::string_view DirectionName(MediaDirection direction)
{
    for (const DirectionWord &row : kDirections) {
        if (row.direction == direction)
            return row.word;
    }
    return "sendrecv";
}

std::optional<SdpAudio> ParseSdp(std::string_view text)
{
    if (text.size() > kMaxSdpBytes)
        return std::nullopt;
    Connection session;
    Connection media;
    std::optional<MediaDirection> sessionDirection;
    std::optional<MediaDirection> mediaDirection;
    SdpAudio audio;
    enum class Section : uint8_t {
        Session,
        Audio,
        Other
    };
    Section section = Section::Session;  // whose lines these are
    bool haveAudio = false;
    bool sawVersion = false;
    while (!text.empty()) {
        std::string_view line = TakeUntil(text, '\n');
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.size() < 2 || line[1] != '=')
            continue;
        const char type = line[0];
        const std::string_view value = line.substr(2);
        if (type == 'v') {
            sawVersion = value == "0";
            if (!sawVersion)
                return std::nullopt;
            continue;
        }
        if (type == 'm') {
            section = Section::Other;
            if (haveAudio)
                continue;
            std::string_view rest = value;
            const std::string_view kind = TakeUntil(rest, ' ');
            const std::string_view port = TakeUntil(rest, ' ');
            const std::string_view proto = TakeUntil(rest, ' ');
            if (kind != "audio" || (proto != "RTP/AVP" && proto != "RTP/AVPF"))
                continue;
            unsigned long portValue = 0;
            if (!ParseUnsigned(port.substr(0, port.find('/')), 0, 65535, portValue))
                return std::nullopt;
            audio.port = static_cast<uint16_t>(portValue);
            while (!rest.empty()) {
                const std::string_view word = TakeUntil(rest, ' ');
                if (word.empty())
                    continue;
                SdpFormat format;
                if (!ParsePayloadType(word, format.payloadType))
                    return std::nullopt;
                if (FormatOf(audio, format.payloadType) != nullptr)
                    continue;
                if (audio.formats.size() >= kMaxSdpFormats)
                    break;
                for (const StaticType &st : kStaticTypes) {
                    if (st.payloadType == format.payloadType)
                        format.encoding = std::string(st.encoding);
                }
                audio.formats.push_back(format);
            }
            section = Section::Audio;
            haveAudio = true;
            continue;
        }
        if (section == Section::Other)
            continue;
        const bool inAudio = section == Section::Audio;
        if (type == 'c') {
            Connection &c = inAudio ? media : session;
            if (!ParseConnection(value, c))
                return std::nullopt;
            continue;
        }
        if (type != 'a')
            continue;
        const std::string_view attribute = value.substr(0, value.find(':'));
        const std::string_view argument =
            value.find(':') == std::string_view::npos ? std::string_view{} : value.substr(value.find(':') + 1);
        if (const std::optional<MediaDirection> d = DirectionOf(attribute)) {
            (inAudio ? mediaDirection : sessionDirection) = *d;
            continue;
        }
        if (!inAudio)
            continue;
        if (attribute == "rtpmap" || attribute == "fmtp") {
            std::string_view rest = argument;
            uint8_t pt = 0;
            if (!ParsePayloadType(TakeUntil(rest, ' '), pt))
                continue;
            SdpFormat *format = FormatOf(audio, pt);
            if (format == nullptr)
                continue;
            if (attribute == "fmtp") {
                format->fmtp = std::string(Trim(rest).substr(0, 256));
                continue;
            }
            std::string_view map = Trim(rest);
            const std::string_view encoding = TakeUntil(map, '/');
            const std::string_view rate = TakeUntil(map, '/');
            unsigned long rateValue = 0;
            if (encoding.empty() || encoding.size() > 64 || !ParseUnsigned(rate, 1, 1000000, rateValue))
                continue;
            format->encoding = std::string(encoding);
            format->clockRate = static_cast<uint32_t>(rateValue);
        } else if (attribute == "ptime") {
            unsigned long ms = 0;
            if (ParseUnsigned(Trim(argument), 1, 1000, ms))
                audio.ptimeMs = static_cast<uint32_t>(ms);
        }
    }
    if (!sawVersion || !haveAudio)
        return std::nullopt;
    const Connection &c = media.set ? media : session;
    if (!c.set)
        return std::nullopt;
    audio.address = c.address;
    audio.ipv6 = c.ipv6;
    audio.direction = mediaDirection.value_or(sessionDirection.value_or(MediaDirection::SendRecv));
    if (!audio.ipv6 && audio.address == "0.0.0.0") {
        // The old hold: the far end wants nothing sent to it.
        if (audio.direction == MediaDirection::SendRecv)
            audio.direction = MediaDirection::SendOnly;
        else if (audio.direction == MediaDirection::RecvOnly)
            audio.direction = MediaDirection::Inactive;
    }
    return audio;
}

std::string FormatSdp(const SdpAudio &audio, uint64_t sessionId, uint32_t version)
{
    const std::string family = audio.ipv6 ? "IP6 " : "IP4 ";
    std::string out = "v=0\r\n";
    out +=
        "o=- " + std::to_string(sessionId) + " " + std::to_string(version) + " IN " + family + audio.address + "\r\n";
    out += "s=-\r\n";
    out += "c=IN " + family + audio.address + "\r\n";
    out += "t=0 0\r\n";
    out += "m=audio " + std::to_string(audio.port) + " RTP/AVP";
    for (const SdpFormat &f : audio.formats)
        out += " " + std::to_string(f.payloadType);
    out += "\r\n";
    for (const SdpFormat &f : audio.formats) {
        out +=
            "a=rtpmap:" + std::to_string(f.payloadType) + " " + f.encoding + "/" + std::to_string(f.clockRate) + "\r\n";
        if (!f.fmtp.empty())
            out += "a=fmtp:" + std::to_string(f.payloadType) + " " + f.fmtp + "\r\n";
    }
    if (audio.ptimeMs != 0)
        out += "a=ptime:" + std::to_string(audio.ptimeMs) + "\r\n";
    out += "a=" + std::string(DirectionName(audio.direction)) + "\r\n";
    return out;
}

}  // namespace tvxsim::sip
