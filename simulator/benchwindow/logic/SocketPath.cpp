#include "simulator/benchwindow/logic/SocketPath.h"

#include <cstdlib>

#include <unistd.h>

namespace tvxsim::bench {

namespace {

// The folder without the slashes that end it ("/" stays "/").
std::string Folder(const char *path)
{
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

}  // namespace

std::string SocketPathFor(const char *runtimeDir, const char *tmpDir, uid_t uid)
{
    if (runtimeDir && *runtimeDir)
        return Folder(runtimeDir) + "/tvxusb/control";
    const std::string base = Folder(tmpDir && *tmpDir ? tmpDir : "/tmp");
    return base + "/tvxusb-" + std::to_string(uid) + "/control";
}

std::string SocketPath() { return SocketPathFor(std::getenv("XDG_RUNTIME_DIR"), std::getenv("TMPDIR"), getuid()); }

}  // namespace tvxsim::bench
