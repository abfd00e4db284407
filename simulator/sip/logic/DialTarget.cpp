#include "simulator/sip/logic/DialTarget.h"

#include "simulator/sip/logic/InfoBody.h"

namespace tvxsim::sip {

std::optional<std::string> DialUri(std::string_view number, const SipAccount &account)
{
    if (number.empty() || number.size() > kMaxDialledKeys)
        return std::nullopt;
    std::string user;
    for (char c : number) {
        const char key = EventKey(KeyEvent(c));
        if (key == 0)
            return std::nullopt;
        if (key == '#')
            user += "%23";
        else
            user.push_back(key);
    }
    return "sip:" + user + "@" + FormatHostPort(account.domain);
}

}  // namespace tvxsim::sip
