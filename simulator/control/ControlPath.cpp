#include "simulator/control/ControlPath.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace tvxsim {
namespace {

std::string Variable(const char *name)
{
    const char *value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::string WithoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

}  // namespace

std::string ControlSocketFolder()
{
    const std::string runtime = Variable("XDG_RUNTIME_DIR");
    if (!runtime.empty())
        return WithoutTrailingSlashes(runtime) + "/tvxusb";
    std::string tmp = Variable("TMPDIR");
    if (tmp.empty())
        tmp = "/tmp";
    return WithoutTrailingSlashes(tmp) + "/tvxusb-" + std::to_string(static_cast<unsigned long>(geteuid()));
}

std::string ControlSocketPath() { return ControlSocketFolder() + "/" + kControlSocketName; }

bool CheckControlFolder(const std::string &folder, uid_t uid, std::string &error)
{
    struct stat st {};
    if (lstat(folder.c_str(), &st) != 0) {
        error = folder + ": " + std::strerror(errno);
        return false;
    }
    if (S_ISLNK(st.st_mode)) {
        error = folder + " is a symbolic link";
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        error = folder + " is not a directory";
        return false;
    }
    if (st.st_uid != uid) {
        error = folder + " belongs to another user";
        return false;
    }
    if ((st.st_mode & 077) != 0) {
        error = folder + " is open to other users (mode must be 0700)";
        return false;
    }
    return true;
}

bool PrepareControlFolder(const std::string &folder, std::string &error)
{
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = folder + ": " + std::strerror(errno);
        return false;
    }
    return CheckControlFolder(folder, geteuid(), error);
}

}  // namespace tvxsim
