#include "simulator/sip/PasswordFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tvxsim::sip {

namespace {

FileFacts FactsOf(const struct stat &st)
{
    return FileFacts{S_ISREG(st.st_mode), static_cast<uint32_t>(st.st_uid), static_cast<uint32_t>(st.st_mode & 07777)};
}

}  // namespace

void SecretText::Set(std::string_view text)
{
    Wipe();
    size_ = std::min(text.size(), kMaxPasswordBytes);
    std::copy_n(text.data(), size_, text_.data());
    text_[size_] = '\0';
}

void SecretText::Wipe()
{
    explicit_bzero(text_.data(), text_.size());
    size_ = 0;
}

std::string CheckPasswordFile(const std::string &path)
{
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0)
        return std::strerror(errno);
    return PasswordFileFault(FactsOf(st), static_cast<uint32_t>(getuid()));
}

bool ReadPasswordFile(const std::string &path, SecretText &out, std::string &why)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = errno == ELOOP ? "not a regular file" : std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        why = std::strerror(errno);
        close(fd);
        return false;
    }
    why = PasswordFileFault(FactsOf(st), static_cast<uint32_t>(getuid()));
    if (!why.empty()) {
        close(fd);
        return false;
    }
    std::array<char, kMaxPasswordBytes + 2> text{};
    const ssize_t n = read(fd, text.data(), text.size());
    close(fd);
    if (n < 0) {
        why = std::strerror(errno);
        explicit_bzero(text.data(), text.size());
        return false;
    }
    const std::string_view password = PasswordInFileText(std::string_view(text.data(), static_cast<size_t>(n)));
    out.Set(password);
    explicit_bzero(text.data(), text.size());
    if (out.Empty()) {
        why = "no password on its first line (or longer than 255 bytes)";
        return false;
    }
    return true;
}

}  // namespace tvxsim::sip
