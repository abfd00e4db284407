#include "simulator/benchwindow/logic/SocketPath.h"

#include <cstdlib>

#include <unistd.h>

namespace tvxsim::bench {

std::string SocketPathFor(const char *runtimeDir, const char *tmpDir, uid_t uid)
{
    if (runtimeDir && *runtimeDir)
        return std::string(runtimeDir) + "/tvxusb/control";
    const std::string base = tmpDir && *tmpDir ? tmpDir : "/tmp";
    return base + "/tvxusb-" + std::to_string(uid) + "/control";
}

std::string SocketPath() { return SocketPathFor(std::getenv("XDG_RUNTIME_DIR"), std::getenv("TMPDIR"), getuid()); }

}  // namespace tvxsim::bench
