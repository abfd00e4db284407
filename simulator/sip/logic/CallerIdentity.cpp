#include "simulator/sip/logic/CallerIdentity.h"

#include <algorithm>
#include <optional>
#include <string>

#include "simulator/logic/CallerIdMessage.h"
#include "simulator/sip/logic/CidText.h"
#include "simulator/sip/logic/SipAddress.h"
#include "simulator/sip/logic/SipText.h"

namespace tvxsim::sip {

namespace {

constexpr size_t kMaxIdentities = 8;  // addresses looked at in all P-Asserted-Identity headers
constexpr size_t kMaxPrivacyValues = 16;

bool IsAnonymous(const SipAddress &a)
{
    return EqualsNoCase(Trim(a.display), "anonymous") || EqualsNoCase(a.user, "anonymous") ||
           EqualsNoCase(a.host, "anonymous.invalid");
}

// The number in a user part, or empty when it is none: digits, '+', '*'
// and '#'; a tel URI's visual separators ("-.()") are left out.
std::string UsableNumber(const SipAddress &a)
{
    std::string out;
    for (char c : a.user) {
        if (IsDigit(c) || c == '+' || c == '*' || c == '#')
            out.push_back(c);
        else if (a.scheme == "tel" && (c == '-' || c == '.' || c == '(' || c == ')'))
            continue;
        else
            return {};
    }
    if (out.size() > kCidMaxText)
        out.resize(kCidMaxText);
    return out;
}

}  // namespace

bool PrivacyWithholdsIdentity(const std::vector<std::string_view> &privacy)
{
    size_t looked = 0;
    for (std::string_view header : privacy) {
        std::string_view rest = header;
        while (!rest.empty() && looked < kMaxPrivacyValues) {
            // priv-values are separated by ';'; several headers by ','.
            const size_t cut = rest.find_first_of(";,");
            const std::string_view token = Trim(rest.substr(0, cut));
            rest = cut == std::string_view::npos ? std::string_view{} : rest.substr(cut + 1);
            ++looked;
            if (EqualsNoCase(token, "id"))
                return true;
        }
    }
    return false;
}

CallerIdSpec CallerFromHeaders(const IdentityHeaders &headers)
{
    CallerIdSpec out;
    SipAddress from;
    const bool haveFrom = ParseSipAddress(headers.from, from);

    // The first asserted identity with a usable number, else the first one.
    std::optional<SipAddress> asserted;
    std::string assertedName;  // the first display name among them
    size_t looked = 0;
    for (std::string_view header : headers.assertedIdentities) {
        for (std::string_view value : SplitHeaderValues(header, kMaxIdentities)) {
            if (looked++ >= kMaxIdentities)
                break;
            SipAddress a;
            if (!ParseSipAddress(value, a))
                continue;
            if (assertedName.empty())
                assertedName = std::string(Trim(a.display));
            if (!asserted || (UsableNumber(*asserted).empty() && !UsableNumber(a).empty()))
                asserted = a;
        }
    }

    const SipAddress *identity = asserted ? &*asserted : (haveFrom ? &from : nullptr);
    const bool anonymous = (identity != nullptr && IsAnonymous(*identity)) || (haveFrom && IsAnonymous(from));
    if (PrivacyWithholdsIdentity(headers.privacy) || anonymous) {
        out.absence = kAbsencePrivate;
        return out;
    }
    if (identity == nullptr) {
        out.absence = kAbsenceOutOfArea;
        return out;
    }
    // The name: the asserted identity's, else any asserted one's, else From's.
    std::string display = identity->display;
    if (Trim(display).empty())
        display = assertedName;
    if (Trim(display).empty() && haveFrom)
        display = from.display;
    out.name = FoldToCidText(display);
    out.number = UsableNumber(*identity);
    if (out.number.empty())
        out.absence = kAbsenceOutOfArea;
    return out;
}

}  // namespace tvxsim::sip
