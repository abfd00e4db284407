#include "simulator/sip/LineConfigFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "simulator/logic/RegularFile.h"
#include "simulator/sip/PasswordFile.h"

namespace tvxsim::sip {

namespace {

LineLoad Fail(const std::string &path, const ConfigError &error)
{
    LineLoad out;
    out.outcome = LineLoad::Outcome::Error;
    out.path = path;
    out.error = FormatConfigError(path, error);
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
    // A file that is not there is no line unless named.
    const FileRead file = ReadRegularFile(place.path, kMaxConfigBytes);
    switch (file.fault) {
    case FileRead::Fault::None:
        break;
    case FileRead::Fault::Open:
        if (file.error == ENOENT && !place.named)
            return {};
        [[fallthrough]];
    case FileRead::Fault::Read:
        return Fail(place.path, {0, {}, std::strerror(file.error)});
    case FileRead::Fault::NotRegular:
        return Fail(place.path, {0, {}, "not a regular file"});
    case FileRead::Fault::TooLarge:
        return Fail(place.path, {0, {}, "larger than " + std::to_string(kMaxConfigBytes) + " bytes"});
    }

    ConfigResult parsed = ParseLineConfig(file.text);
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
