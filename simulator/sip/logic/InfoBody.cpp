#include "simulator/sip/logic/InfoBody.h"

#include <algorithm>

#include "simulator/logic/DtmfKeys.h"
#include "simulator/sip/logic/SipText.h"

namespace tvxsim::sip {

namespace {

constexpr int kFlashEvent = 16;
constexpr size_t kMaxInfoBody = 4096;
constexpr size_t kMaxInfoLines = 32;

// A key or an event number: 0..15 a digit, 16 a flash, -1 neither.
int SignalValue(std::string_view s)
{
    s = Trim(s);
    if (s.size() == 1) {
        const int event = KeyEvent(s[0]);
        if (event >= 0)
            return event;
    }
    unsigned long number = 0;
    if (ParseUnsigned(s, 0, kFlashEvent, number))
        return static_cast<int>(number);
    return -1;
}

std::optional<InfoEvent> FromSignal(int signal, int32_t durationMs)
{
    if (signal < 0)
        return std::nullopt;
    InfoEvent e;
    e.flash = signal == kFlashEvent;
    e.digit = e.flash ? 0 : EventKey(signal);
    e.durationMs = std::clamp(durationMs, kInfoMinDurationMs, kInfoMaxDurationMs);
    return e;
}

std::string_view MediaType(std::string_view contentType) { return Trim(contentType.substr(0, contentType.find(';'))); }

}  // namespace

int KeyEvent(char key) { return DtmfKeyIndex(key); }

char EventKey(int event)
{
    const char key = DtmfKeyChar(event);
    return key != '?' ? key : 0;
}

std::optional<InfoEvent> ParseInfoBody(std::string_view contentType, std::string_view body)
{
    if (body.size() > kMaxInfoBody)
        return std::nullopt;
    const std::string_view type = MediaType(contentType);
    if (EqualsNoCase(type, "application/dtmf")) {
        return FromSignal(SignalValue(body), kInfoDefaultDurationMs);
    }
    const bool relay = EqualsNoCase(type, kDtmfRelayType);
    const bool flash = EqualsNoCase(type, kHookFlashType);
    if (!relay && !flash)
        return std::nullopt;
    int signal = -1;
    int64_t durationMs = kInfoDefaultDurationMs;
    size_t lines = 0;
    while (!body.empty() && lines++ < kMaxInfoLines) {
        const std::string_view line = TakeUntil(body, '\n');
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        const std::string_view key = Trim(line.substr(0, eq));
        const std::string_view value = Trim(line.substr(eq + 1));
        if (EqualsNoCase(key, "signal")) {
            signal = flash && EqualsNoCase(value, "hf") ? kFlashEvent : SignalValue(value);
        } else if (EqualsNoCase(key, "duration")) {
            unsigned long ms = 0;
            if (ParseUnsigned(value, 0, 4000000000UL, ms))
                durationMs = static_cast<int64_t>(ms);
        }
    }
    if (flash && signal != kFlashEvent)
        return std::nullopt;
    return FromSignal(signal, static_cast<int32_t>(std::min<int64_t>(durationMs, kInfoMaxDurationMs)));
}

std::string DtmfRelayBody(char digit, int32_t durationMs)
{
    return "Signal=" + std::string(1, EventKey(KeyEvent(digit))) + "\r\nDuration=" + std::to_string(durationMs) +
           "\r\n";
}

std::string HookFlashBody() { return "signal=hf\r\n"; }

}  // namespace tvxsim::sip
