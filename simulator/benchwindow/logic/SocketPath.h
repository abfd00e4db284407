// Where the simulated adapter's control socket lies, by the library's rule:
// $XDG_RUNTIME_DIR/tvxusb/control, else <$TMPDIR or /tmp>/tvxusb-<uid>/control.
// Pure POSIX, no Qt.
#pragma once

#include <string>

#include <sys/types.h>

namespace tvxsim::bench {

// The path for these values of XDG_RUNTIME_DIR and TMPDIR (null or empty: unset).
std::string SocketPathFor(const char *runtimeDir, const char *tmpDir, uid_t uid);

// The path for this process's environment and user.
std::string SocketPath();

}  // namespace tvxsim::bench
