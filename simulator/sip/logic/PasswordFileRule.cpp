#include "simulator/sip/logic/PasswordFileRule.h"

#include <array>
#include <cstdio>

namespace tvxsim::sip {

namespace {

constexpr uint32_t kOwnerReadWrite = 0600;

std::string Octal(uint32_t mode)
{
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%04o", static_cast<unsigned>(mode & 07777));
    return text.data();
}

}  // namespace

std::string PasswordFileFault(const FileFacts &facts, uint32_t userId)
{
    if (!facts.regular)
        return "not a regular file";
    if (facts.owner != userId)
        return "owned by uid " + std::to_string(facts.owner) + ", not by you (uid " + std::to_string(userId) + ")";
    if ((facts.mode & 07777) != kOwnerReadWrite)
        return "mode " + Octal(facts.mode) + ": it must be 0600, read and written by you alone";
    return {};
}

std::string_view PasswordInFileText(std::string_view text)
{
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (line.size() > kMaxPasswordBytes)
        return {};
    return line;
}

}  // namespace tvxsim::sip
