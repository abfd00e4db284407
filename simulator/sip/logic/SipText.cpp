#include "simulator/sip/logic/SipText.h"

namespace tvxsim::sip {

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

std::string_view TakeUntil(std::string_view &s, char separator)
{
    const size_t at = s.find(separator);
    std::string_view head = s.substr(0, at);
    s = at == std::string_view::npos ? std::string_view{} : s.substr(at + 1);
    return head;
}

bool ParseUnsigned(std::string_view s, unsigned long lo, unsigned long hi, unsigned long &value)
{
    if (s.empty() || s.size() > 10)
        return false;
    unsigned long v = 0;
    for (char c : s) {
        if (!IsDigit(c))
            return false;
        v = v * 10 + static_cast<unsigned long>(c - '0');
    }
    if (v < lo || v > hi)
        return false;
    value = v;
    return true;
}

}  // namespace tvxsim::sip
