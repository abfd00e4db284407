#include "simulator/benchwindow/logic/Requests.h"

#include <algorithm>

namespace tvxsim::bench {
namespace {

Request Refuse(std::string reason) { return {{}, std::move(reason)}; }

// The finished line, or a refusal when it does not fit a request.
Request Finish(std::string line)
{
    if (line.size() + 1 > kMaxRequestBytes)
        return Refuse("the request would be longer than " + std::to_string(kMaxRequestBytes) + " bytes");
    return {std::move(line), {}};
}

bool IsKey(char c)
{
    return (c >= '0' && c <= '9') || c == '*' || c == '#' || (c >= 'A' && c <= 'D') || (c >= 'a' && c <= 'd');
}

bool ValidKeys(std::string_view digits, size_t maxLength)
{
    return !digits.empty() && digits.size() <= maxLength && std::all_of(digits.begin(), digits.end(), IsKey);
}

Request Keys(const char *verb, std::string_view digits)
{
    if (!ValidKeys(digits, kMaxKeys))
        return Refuse("keys are 1 to 64 of 0-9, *, #, A-D");
    return Finish(std::string(verb) + " \"" + std::string(digits) + "\"");
}

bool ValidDuration(long long ms) { return ms >= 1 && ms <= kMaxDurationMs; }

// A caller's name or number: printable ASCII without a double quote.
bool ValidCallerText(std::string_view text)
{
    return text.size() <= kMaxCallerText &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E && c != '"'; });
}

// "MMDDhhmm" of a real month, day, hour and minute.
bool ValidDate(std::string_view date)
{
    if (date.size() != 8 || !std::all_of(date.begin(), date.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const auto two = [date](size_t at) { return (date[at] - '0') * 10 + (date[at + 1] - '0'); };
    return two(0) >= 1 && two(0) <= 12 && two(2) >= 1 && two(2) <= 31 && two(4) <= 23 && two(6) <= 59;
}

}  // namespace

std::optional<std::string> Quote(std::string_view text)
{
    if (std::any_of(text.begin(), text.end(), [](char c) { return c == '"' || c == '\n' || c == '\r' || c == '\0'; }))
        return std::nullopt;
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    quoted += text;
    quoted += '"';
    return quoted;
}

Request PhoneKeys(std::string_view digits) { return Keys("phone keys", digits); }

Request FarDtmf(std::string_view digits) { return Keys("far dtmf", digits); }

Request FarSpeech(long long ms)
{
    if (!ValidDuration(ms))
        return Refuse("speech lasts 1 ms to a day");
    return Finish("far speech " + std::to_string(ms));
}

Request LineNoise(long long ms, std::optional<int> dbm0)
{
    if (!ValidDuration(ms))
        return Refuse("noise lasts 1 ms to a day");
    if (dbm0 && (*dbm0 < kScenarioMinDbm0 || *dbm0 > kScenarioMaxDbm0))
        return Refuse("the noise level is -80 to +3 dBm0");
    std::string line = "line noise " + std::to_string(ms);
    if (dbm0)
        line += " " + std::to_string(*dbm0);
    return Finish(std::move(line));
}

Request FarPlay(std::string_view file, std::optional<int> gainDb)
{
    if (file.empty())
        return Refuse("no file chosen");
    const std::optional<std::string> quoted = Quote(file);
    if (!quoted)
        return Refuse("a file name with a double quote or a line break cannot be sent");
    if (gainDb && (*gainDb < kScenarioMinPlayGainDb || *gainDb > kScenarioMaxPlayGainDb))
        return Refuse("the gain is -60 to +20 dB");
    std::string line = "far play " + *quoted;
    if (gainDb)
        line += " " + std::to_string(*gainDb);
    return Finish(std::move(line));
}

Request FarCall(const CallForm &form, bool waiting)
{
    if (!ValidCallerText(form.name))
        return Refuse("the name is at most 49 characters of printable ASCII (caller ID carries no other), without a "
                      "double quote");
    if (!ValidCallerText(form.number))
        return Refuse("the number is at most 49 characters of printable ASCII (caller ID carries no other), without a "
                      "double quote");
    if (!form.date.empty() && !ValidDate(form.date))
        return Refuse("the date is MMDDhhmm (month, day, hour, minute), or empty");
    std::string line = waiting ? "far call-waiting" : "far call";
    line += " \"" + form.name + "\" \"" + form.number + "\"";
    switch (form.format) {
    case CallFormat::Default:
        break;
    case CallFormat::Sdmf:
        line += " sdmf";
        break;
    case CallFormat::Mdmf:
        line += " mdmf";
        break;
    }
    switch (form.modem) {
    case CallModem::Default:
        break;
    case CallModem::Bell202:
        line += " bell202";
        break;
    case CallModem::V23:
        line += " v23";
        break;
    }
    switch (form.timing) {
    case CallTiming::Default:
        break;
    case CallTiming::Na:
        line += " na";
        break;
    case CallTiming::Etsi:
        line += " etsi";
        break;
    }
    switch (form.absence) {
    case CallAbsence::None:
        break;
    case CallAbsence::Private:
        line += " private";
        break;
    case CallAbsence::OutOfArea:
        line += " out-of-area";
        break;
    }
    if (!form.date.empty())
        line += " date " + form.date;
    return Finish(std::move(line));
}

Request NumberRoute(std::string_view digits, Route route, long long answerMs)
{
    if (!ValidKeys(digits, kMaxNumberDigits))
        return Refuse("a routed number is 1 to 32 of 0-9, *, #, A-D");
    std::string line = "number \"" + std::string(digits) + "\"";
    switch (route) {
    case Route::Answer:
        if (answerMs < 0 || answerMs > kMaxDurationMs)
            return Refuse("the answer comes 0 ms to a day after ring-back starts");
        line += " answer " + std::to_string(answerMs);
        break;
    case Route::Busy:
        line += " busy";
        break;
    case Route::NoAnswer:
        line += " no-answer";
        break;
    }
    return Finish(std::move(line));
}

Request AudioToggle(SoundSwitch which, bool on)
{
    return Finish(std::string(SoundSwitchName(which)) + (on ? " on" : " off"));
}

Request LineSip(bool on) { return Finish(on ? "line sip on" : "line sip off"); }

}  // namespace tvxsim::bench
