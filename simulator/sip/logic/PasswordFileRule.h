// The rule for the line's password file: a regular file of the user's own
// that nobody else may read or write (mode 0600), whose first line is the
// password.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tvxsim::sip {

inline constexpr size_t kMaxPasswordBytes = 255;

// What the file's status says (lstat: a symbolic link is not a regular file).
struct FileFacts {
    bool regular = false;
    uint32_t owner = 0;  // uid
    uint32_t mode = 0;   // permission bits, 07777
};

// Empty when the file may hold the password; otherwise why it may not.
std::string PasswordFileFault(const FileFacts &facts, uint32_t userId);

// The password in the file's text: its first line without the line end.
// Empty when there is none or it is longer than kMaxPasswordBytes.
std::string_view PasswordInFileText(std::string_view text);

}  // namespace tvxsim::sip
