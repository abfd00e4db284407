// SIP INFO bodies that carry digits and hook flashes:
// application/dtmf-relay ("Signal=5" and "Duration=160" lines),
// application/dtmf (the key alone) and application/hook-flash
// ("signal=hf"). Keys 0-9, *, #, A-D, or their event numbers 0 to 15;
// event 16 is a flash.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tvxsim::sip {

inline constexpr int32_t kInfoDefaultDurationMs = 160;
inline constexpr int32_t kInfoMinDurationMs = 40;
inline constexpr int32_t kInfoMaxDurationMs = 5000;

struct InfoEvent {
    bool flash = false;                           // a hook flash; otherwise a digit
    char digit = 0;                               // 0-9, *, #, A-D
    int32_t durationMs = kInfoDefaultDurationMs;  // within kInfoMinDurationMs..kInfoMaxDurationMs
    bool operator==(const InfoEvent &) const = default;
};

// The event of an INFO with this Content-Type and body; nullopt when it
// carries none this line knows.
std::optional<InfoEvent> ParseInfoBody(std::string_view contentType, std::string_view body);

inline constexpr std::string_view kDtmfRelayType = "application/dtmf-relay";
inline constexpr std::string_view kHookFlashType = "application/hook-flash";

std::string DtmfRelayBody(char digit, int32_t durationMs);
std::string HookFlashBody();

// A key's RFC 4733 event number (0-9, * 10, # 11, A-D 12-15), -1 for none;
// and back (0 for none).
int KeyEvent(char key);
char EventKey(int event);

}  // namespace tvxsim::sip
