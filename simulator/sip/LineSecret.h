// The line's password from the desktop's keyring (Secret Service, looked up
// by the account) where one answers; the line falls back on the password
// file. It is kept in one buffer that is wiped when it goes, never printed.
#pragma once

#include <string>
#include <string_view>

#include "simulator/sip/PasswordFile.h"

namespace tvxsim::sip {

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

}  // namespace tvxsim::sip
