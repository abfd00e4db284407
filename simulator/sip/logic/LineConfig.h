// The SIP line's configuration (line.conf): one `key = value` a line,
// `#` comments, the keys below. A bad file or key gives one error naming
// the key and the reason; without a file there is no SIP line.
//
//   account        sip:user@domain[:port]          (required)
//   registrar      sip:host[:port][;transport=udp|tcp]   (none: no registration)
//   proxy          the same                         (none: calls go to the account's domain)
//   listen         address[:port]                   (127.0.0.1:5060; port 0: any)
//   peers          hosts besides registrar and proxy that may call the line
//   codecs         pcmu pcma, in the order offered  (pcmu pcma)
//   dtmf           rfc4733 | info | inband          (rfc4733)
//   flash          info | hold                      (hold)
//   expires        seconds, 60 to 86400             (3600)
//   local-numbers  numbers that stay on the simulated exchange
//   password-file  a file of the user's own, mode 0600 (relative: beside line.conf)
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "simulator/sip/logic/HostPort.h"

namespace tvxsim::sip {

enum class G711Law : uint8_t {
    Mu,  // PCMU, static payload type 0
    A,   // PCMA, static payload type 8
};

enum class DtmfMethod : uint8_t {
    Rfc4733,  // telephone-events on their own payload type
    Info,     // SIP INFO application/dtmf-relay
    Inband,   // the tones in the audio only
};

enum class FlashMethod : uint8_t {
    Info,  // INFO application/hook-flash to the far end
    Hold,  // the exchange's own register recall (hold, call waiting)
};

enum class SipTransport : uint8_t {
    Udp,
    Tcp,
};

// The account, `sip:user@domain[:port]`.
struct SipAccount {
    std::string user;               // as written (already percent-encoded where needed)
    HostPort domain;                // the domain, where calls go without a proxy
    std::string Uri() const;        // "sip:user@domain[:port]"
    std::string DomainUri() const;  // "sip:domain[:port]"
    bool operator==(const SipAccount &) const = default;
};

// A registrar or an outbound proxy, `sip:host[:port][;transport=udp|tcp]`.
struct SipServer {
    HostPort address;
    SipTransport transport = SipTransport::Udp;
    std::string Uri() const;  // "sip:host[:port][;transport=tcp]"
    bool operator==(const SipServer &) const = default;
};

inline constexpr uint16_t kDefaultSipPort = 5060;
inline constexpr uint32_t kMinExpires = 60;
inline constexpr uint32_t kMaxExpires = 86400;
inline constexpr size_t kMaxPeers = 32;
inline constexpr size_t kMaxLocalNumbers = 64;
inline constexpr size_t kMaxLocalNumberLength = 32;
inline constexpr size_t kMaxConfigBytes = 65536;
inline constexpr size_t kMaxConfigLine = 4096;

struct LineConfig {
    SipAccount account;
    std::optional<SipServer> registrar;
    std::optional<SipServer> proxy;
    HostPort listen{"127.0.0.1", kDefaultSipPort};
    std::vector<std::string> peers;  // hosts as written: addresses or names
    std::vector<G711Law> codecs{G711Law::Mu, G711Law::A};
    DtmfMethod dtmf = DtmfMethod::Rfc4733;
    FlashMethod flash = FlashMethod::Hold;
    uint32_t expires = 3600;
    std::vector<std::string> localNumbers;  // DTMF keys, upper case
    std::string passwordFile;               // as written; empty: none

    bool operator==(const LineConfig &) const = default;
};

struct ConfigError {
    int line = 0;     // 1-based; 0: the file as a whole
    std::string key;  // empty when the line has no key
    std::string reason;
    bool operator==(const ConfigError &) const = default;
};

struct ConfigResult {
    LineConfig config;                                  // valid only without an error
    std::optional<ConfigError> error;                   // the first fault found
    std::vector<std::pair<std::string, int>> keyLines;  // each key given and its line

    // The line a key was given on; 0 when it was not.
    int LineOf(std::string_view key) const;
};

ConfigResult ParseLineConfig(std::string_view text);

// "<file>:<line>: <key>: <reason>" (without the key when there is none).
std::string FormatConfigError(std::string_view file, const ConfigError &error);

// Where the configuration is: $TVXUSB_LINE, else $XDG_CONFIG_HOME/tvxusb/line.conf
// (an absolute one), else $HOME/.config/tvxusb/line.conf. Null or empty
// arguments are unset variables. nullopt: no place at all.
struct ConfigPlace {
    std::string path;
    bool named = false;  // named by TVXUSB_LINE: a missing file is an error, not "no line"
};
std::optional<ConfigPlace> LineConfigPlace(const char *tvxusbLine, const char *xdgConfigHome, const char *home);

// The password file's path: as written when absolute, else beside the
// configuration file.
std::string PasswordFilePath(std::string_view configPath, std::string_view passwordFile);

}  // namespace tvxsim::sip
