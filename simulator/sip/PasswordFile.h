// The line's password file: checked against the rule (a regular file of
// the user's own, mode 0600, not a link) and read into a buffer that is
// wiped when it goes. Plain POSIX: the session checks the file as it reads
// the line's configuration, the line reads it when the keyring has none.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "simulator/sip/logic/PasswordFileRule.h"

namespace tvxsim::sip {

class SecretText {
public:
    SecretText() = default;
    ~SecretText() { Wipe(); }
    SecretText(const SecretText &) = delete;
    SecretText &operator=(const SecretText &) = delete;

    void Set(std::string_view text);
    void Wipe();
    bool Empty() const { return size_ == 0; }
    // Terminated; valid until the next Set or Wipe.
    const char *CStr() const { return text_.data(); }

private:
    std::array<char, kMaxPasswordBytes + 1> text_{};
    size_t size_ = 0;
};

// Reads the password file after checking it against the rule (a regular
// file of the user's own, mode 0600, not a link); false with the reason.
bool ReadPasswordFile(const std::string &path, SecretText &out, std::string &why);

// Checks the password file without reading it; empty when it may be used.
std::string CheckPasswordFile(const std::string &path);

}  // namespace tvxsim::sip
