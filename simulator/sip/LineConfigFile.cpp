#include "simulator/sip/LineConfigFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "simulator/sip/PasswordFile.h"

namespace tvxsim::sip {

namespace {

LineLoad Fail(const std::string &path, const ConfigError &error)
{
    LineLoad out;
    out.outcome = LineLoad::Outcome::Error;
    out.path = path;
    out.error = "tvxusb: " + FormatConfigError(path, error);
    return out;
}

}  // namespace

LineLoad LoadLineConfig()
{
    const std::optional<ConfigPlace> place =
        LineConfigPlace(std::getenv("TVXUSB_LINE"), std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    if (!place)
        return {};
    return LoadLineConfigAt(*place);
}

LineLoad LoadLineConfigAt(const ConfigPlace &place)
{
    // Never waits on a FIFO; a file that is not there is no line unless named.
    const int fd = open(place.path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT && !place.named)
            return {};
        return Fail(place.path, {0, {}, std::strerror(errno)});
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return Fail(place.path, {0, {}, "not a regular file"});
    }
    if (st.st_size > static_cast<off_t>(kMaxConfigBytes)) {
        close(fd);
        return Fail(place.path, {0, {}, "larger than " + std::to_string(kMaxConfigBytes) + " bytes"});
    }
    std::string text(static_cast<size_t>(st.st_size) + 1, '\0');
    size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = read(fd, text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    close(fd);
    text.resize(got);

    ConfigResult parsed = ParseLineConfig(text);
    if (parsed.error)
        return Fail(place.path, *parsed.error);
    LineLoad out;
    out.outcome = LineLoad::Outcome::Loaded;
    out.config = parsed.config;
    out.path = place.path;
    if (!out.config.passwordFile.empty()) {
        out.passwordPath = PasswordFilePath(place.path, out.config.passwordFile);
        const std::string fault = CheckPasswordFile(out.passwordPath);
        if (!fault.empty()) {
            const int line = parsed.LineOf("password-file");
            return Fail(place.path, {line, "password-file", out.passwordPath + ": " + fault});
        }
    }
    return out;
}

}  // namespace tvxsim::sip
