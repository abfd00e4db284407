#include "simulator/sip/logic/LineConfig.h"

#include "device/logic/HexDigit.h"
#include "simulator/logic/DtmfKeys.h"

#include <algorithm>
#include <array>

#include "simulator/sip/logic/SipText.h"

namespace tvxsim::sip {

namespace {

constexpr size_t kMaxUser = 64;
constexpr size_t kMaxPathBytes = 4096;

bool IsHex(char c) { return tvx::HexDigit(static_cast<unsigned char>(c)) >= 0; }

// The user part of a SIP URI: unreserved characters, %HH escapes and the
// user-unreserved marks, without ';', '?' and '/'.
bool IsSipUser(std::string_view user)
{
    if (user.empty() || user.size() > kMaxUser)
        return false;
    for (size_t i = 0; i < user.size(); ++i) {
        const char c = user[i];
        if (c == '%') {
            if (i + 2 >= user.size() || !IsHex(user[i + 1]) || !IsHex(user[i + 2]))
                return false;
            i += 2;
            continue;
        }
        const bool alnum = IsDigit(c) || (LowerAscii(c) >= 'a' && LowerAscii(c) <= 'z');
        if (!alnum && std::string_view("-_.!~*'()&=+$,").find(c) == std::string_view::npos)
            return false;
    }
    return true;
}

// Words separated by spaces, tabs or commas.
std::vector<std::string_view> Words(std::string_view value)
{
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < value.size()) {
        while (i < value.size() && (IsSpace(value[i]) || value[i] == ','))
            ++i;
        const size_t start = i;
        while (i < value.size() && !IsSpace(value[i]) && value[i] != ',')
            ++i;
        if (i > start)
            out.push_back(value.substr(start, i - start));
    }
    return out;
}

std::string Quoted(std::string_view word)
{
    constexpr size_t kShown = 40;
    return "'" + std::string(word.substr(0, kShown)) + (word.size() > kShown ? "...'" : "'");
}

using Apply = std::string (*)(std::string_view value, LineConfig &config);

std::string ApplyAccount(std::string_view value, LineConfig &config)
{
    if (!StartsWithNoCase(value, "sip:"))
        return "must be a sip: URI, sip:user@domain";
    std::string_view rest = value.substr(4);
    const size_t at = rest.find('@');
    if (at == std::string_view::npos)
        return "must name a user, sip:user@domain";
    const std::string_view user = rest.substr(0, at);
    if (!IsSipUser(user))
        return "the user " + Quoted(user) + " is not a SIP user name";
    const std::string_view domain = rest.substr(at + 1);
    if (domain.find_first_of(";?") != std::string_view::npos)
        return "takes no parameters or headers";
    const std::optional<HostPort> hp = ParseHostPort(domain, false);
    if (!hp)
        return "the domain " + Quoted(domain) + " is not a host with an optional port";
    config.account.user = std::string(user);
    config.account.domain = *hp;
    return {};
}

std::string ParseServer(std::string_view value, std::optional<SipServer> &out)
{
    if (!StartsWithNoCase(value, "sip:"))
        return "must be a sip: URI, sip:host[:port][;transport=udp|tcp]";
    std::string_view rest = value.substr(4);
    const std::string_view hostPort = TakeUntil(rest, ';');
    SipServer server;
    const std::optional<HostPort> hp = ParseHostPort(hostPort, false);
    if (!hp)
        return Quoted(hostPort) + " is not a host with an optional port";
    server.address = *hp;
    while (!rest.empty()) {
        const std::string_view param = TakeUntil(rest, ';');
        if (EqualsNoCase(param, "transport=udp"))
            server.transport = SipTransport::Udp;
        else if (EqualsNoCase(param, "transport=tcp"))
            server.transport = SipTransport::Tcp;
        else if (!EqualsNoCase(param, "lr"))
            return "unknown parameter " + Quoted(param) + " (transport=udp or transport=tcp)";
    }
    out = server;
    return {};
}

std::string ApplyRegistrar(std::string_view value, LineConfig &config) { return ParseServer(value, config.registrar); }
std::string ApplyProxy(std::string_view value, LineConfig &config) { return ParseServer(value, config.proxy); }

std::string ApplyListen(std::string_view value, LineConfig &config)
{
    const std::optional<HostPort> hp = ParseHostPort(value, true);
    if (!hp || ClassifyHost(hp->host) == HostKind::Name)
        return "must be an IP address with an optional port, e.g. 127.0.0.1:5060";
    config.listen = *hp;
    if (!config.listen.port)
        config.listen.port = kDefaultSipPort;
    return {};
}

std::string ApplyPeers(std::string_view value, LineConfig &config)
{
    const std::vector<std::string_view> words = Words(value);
    if (words.size() > kMaxPeers)
        return "at most " + std::to_string(kMaxPeers) + " hosts";
    config.peers.clear();
    for (std::string_view word : words) {
        std::string_view host = word;
        if (host.size() > 2 && host.front() == '[' && host.back() == ']')
            host = host.substr(1, host.size() - 2);
        if (ClassifyHost(host) == HostKind::Invalid)
            return Quoted(word) + " is not a host";
        config.peers.emplace_back(host);
    }
    return {};
}

struct CodecWord {
    std::string_view word;
    G711Law law;
};
constexpr std::array<CodecWord, 2> kCodecWords = {{
    {"pcmu", G711Law::Mu},
    {"pcma", G711Law::A},
}};

std::string ApplyCodecs(std::string_view value, LineConfig &config)
{
    std::vector<G711Law> codecs;
    for (std::string_view word : Words(value)) {
        const auto row = std::find_if(
            kCodecWords.begin(), kCodecWords.end(), [&](const CodecWord &c) { return EqualsNoCase(c.word, word); });
        if (row == kCodecWords.end())
            return "unknown codec " + Quoted(word) + " (pcmu, pcma)";
        if (std::find(codecs.begin(), codecs.end(), row->law) != codecs.end())
            return Quoted(word) + " given twice";
        codecs.push_back(row->law);
    }
    if (codecs.empty())
        return "no codec given (pcmu, pcma)";  // only separators: a line with no codec could take no call
    config.codecs = codecs;
    return {};
}

struct DtmfWord {
    std::string_view word;
    DtmfMethod method;
};
constexpr std::array<DtmfWord, 3> kDtmfWords = {{
    {"rfc4733", DtmfMethod::Rfc4733},
    {"info", DtmfMethod::Info},
    {"inband", DtmfMethod::Inband},
}};

std::string ApplyDtmf(std::string_view value, LineConfig &config)
{
    for (const DtmfWord &row : kDtmfWords) {
        if (EqualsNoCase(row.word, value)) {
            config.dtmf = row.method;
            return {};
        }
    }
    return "must be rfc4733, info or inband";
}

std::string ApplyFlash(std::string_view value, LineConfig &config)
{
    if (EqualsNoCase(value, "info"))
        config.flash = FlashMethod::Info;
    else if (EqualsNoCase(value, "hold"))
        config.flash = FlashMethod::Hold;
    else
        return "must be info or hold";
    return {};
}

std::string ApplyExpires(std::string_view value, LineConfig &config)
{
    unsigned long seconds = 0;
    if (!ParseUnsigned(value, kMinExpires, kMaxExpires, seconds))
        return "must be a number of seconds, " + std::to_string(kMinExpires) + " to " + std::to_string(kMaxExpires);
    config.expires = static_cast<uint32_t>(seconds);
    return {};
}

bool IsKey(char c) { return DtmfKeyIndex(c) >= 0; }

std::string ApplyLocalNumbers(std::string_view value, LineConfig &config)
{
    const std::vector<std::string_view> words = Words(value);
    if (words.size() > kMaxLocalNumbers)
        return "at most " + std::to_string(kMaxLocalNumbers) + " numbers";
    config.localNumbers.clear();
    for (std::string_view word : words) {
        if (word.size() > kMaxLocalNumberLength || !std::all_of(word.begin(), word.end(), IsKey))
            return Quoted(word) + " is not a number of 1 to 32 keys 0-9, *, #, A-D";
        std::string number(word);
        for (char &c : number)
            c = DtmfKeyChar(DtmfKeyIndex(c));  // a-d as A-D
        config.localNumbers.push_back(number);
    }
    return {};
}

std::string ApplyPasswordFile(std::string_view value, LineConfig &config)
{
    if (value.size() > kMaxPathBytes)
        return "longer than " + std::to_string(kMaxPathBytes) + " bytes";
    config.passwordFile = std::string(value);
    return {};
}

struct KeyRow {
    std::string_view key;
    Apply apply;
};
constexpr std::array<KeyRow, 11> kKeys = {{
    {"account", ApplyAccount},
    {"registrar", ApplyRegistrar},
    {"proxy", ApplyProxy},
    {"listen", ApplyListen},
    {"peers", ApplyPeers},
    {"codecs", ApplyCodecs},
    {"dtmf", ApplyDtmf},
    {"flash", ApplyFlash},
    {"expires", ApplyExpires},
    {"local-numbers", ApplyLocalNumbers},
    {"password-file", ApplyPasswordFile},
}};

// The line without its comment: '#' at the start or after a space or tab.
std::string_view WithoutComment(std::string_view line)
{
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t'))
            return line.substr(0, i);
    }
    return line;
}

bool HasControl(std::string_view s)
{
    return std::any_of(s.begin(), s.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u < 0x20 && c != '\t') || u == 0x7F;
    });
}

}  // namespace

std::string SipAccount::Uri() const { return "sip:" + user + "@" + FormatHostPort(domain); }
std::string SipAccount::DomainUri() const { return "sip:" + FormatHostPort(domain); }

std::string SipServer::Uri() const
{
    return "sip:" + FormatHostPort(address) + (transport == SipTransport::Tcp ? ";transport=tcp" : "");
}

ConfigResult ParseLineConfig(std::string_view text)
{
    ConfigResult result;
    auto fail = [&](int line, std::string_view key, std::string reason) {
        result.error = ConfigError{line, std::string(key), std::move(reason)};
        return result;
    };
    if (text.size() > kMaxConfigBytes)
        return fail(0, {}, "larger than " + std::to_string(kMaxConfigBytes) + " bytes");
    std::array<bool, kKeys.size()> seen{};
    int number = 0;
    while (!text.empty()) {
        ++number;
        std::string_view line = TakeUntil(text, '\n');
        if (line.size() > kMaxConfigLine)
            return fail(number, {}, "line longer than " + std::to_string(kMaxConfigLine) + " bytes");
        line = Trim(WithoutComment(line));
        if (line.empty())
            continue;
        const size_t eq = line.find('=');
        const std::string_view key = Trim(line.substr(0, eq));
        if (eq == std::string_view::npos)
            return fail(number, key.substr(0, 40), "expected key = value");
        if (key.empty())
            return fail(number, {}, "a value without a key");
        const auto row = std::find_if(kKeys.begin(), kKeys.end(), [&](const KeyRow &r) { return r.key == key; });
        if (row == kKeys.end())
            return fail(number, key.substr(0, 40), "unknown key");
        const std::string_view value = Trim(line.substr(eq + 1));
        if (value.empty())
            return fail(number, key, "empty value");
        if (HasControl(value))
            return fail(number, key, "control characters in the value");
        bool &given = seen[static_cast<size_t>(row - kKeys.begin())];
        if (given)
            return fail(number, key, "given twice");
        given = true;
        result.keyLines.emplace_back(std::string(key), number);
        std::string reason = row->apply(value, result.config);
        if (!reason.empty())
            return fail(number, key, std::move(reason));
    }
    if (!seen[0])
        return fail(0, "account", "missing: the line needs an account, sip:user@domain");
    return result;
}

int ConfigResult::LineOf(std::string_view key) const
{
    for (const auto &[k, line] : keyLines) {
        if (k == key)
            return line;
    }
    return 0;
}

std::string FormatConfigError(std::string_view file, const ConfigError &error)
{
    std::string out = std::string(file) + ":" + std::to_string(error.line) + ": ";
    if (!error.key.empty())
        out += error.key + ": ";
    return out + error.reason;
}

std::optional<ConfigPlace> LineConfigPlace(const char *tvxusbLine, const char *xdgConfigHome, const char *home)
{
    auto set = [](const char *v) { return v != nullptr && *v != '\0'; };
    if (set(tvxusbLine))
        return ConfigPlace{tvxusbLine, true};
    if (set(xdgConfigHome) && xdgConfigHome[0] == '/')
        return ConfigPlace{std::string(xdgConfigHome) + "/tvxusb/line.conf", false};
    if (set(home))
        return ConfigPlace{std::string(home) + "/.config/tvxusb/line.conf", false};
    return std::nullopt;
}

std::string PasswordFilePath(std::string_view configPath, std::string_view passwordFile)
{
    if (!passwordFile.empty() && passwordFile.front() == '/')
        return std::string(passwordFile);
    const size_t slash = configPath.rfind('/');
    if (slash == std::string_view::npos)
        return std::string(passwordFile);
    return std::string(configPath.substr(0, slash + 1)) + std::string(passwordFile);
}

}  // namespace tvxsim::sip
