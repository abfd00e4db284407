// The line's password: from the desktop's keyring (Secret Service, looked
// up by the account) where one answers, else from the password file. It is
// kept in one buffer that is wiped when it goes, and never printed.
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

// Where the password came from, for the state lines (never the password).
enum class SecretSource : uint8_t {
    None,
    Keyring,
    File,
};

// Looks the account's password up in the keyring, waiting at most
// `timeoutMs` (no session bus: at once); false when none was found.
// `why` gets the reason when none was found.
bool LookUpKeyring(std::string_view account, int timeoutMs, SecretText &out, std::string &why);

// Reads the password file after checking it against the rule (a regular
// file of the user's own, mode 0600, not a link); false with the reason.
bool ReadPasswordFile(const std::string &path, SecretText &out, std::string &why);

// Checks the password file without reading it; empty when it may be used.
std::string CheckPasswordFile(const std::string &path);

}  // namespace tvxsim::sip
