// Where the simulated adapter's control socket lives while a device is open,
// and the checks on its folder. Pure POSIX: the library, tvxsim and the
// bench window all compute the path with the same function.
//
//   $XDG_RUNTIME_DIR/tvxusb/control          when XDG_RUNTIME_DIR is set
//   <tmpdir>/tvxusb-<uid>/control            else ($TMPDIR or /tmp)
//
// The folder must be a directory (not a symlink) owned by the user with no
// group or other permissions; it is made with mode 0700 when missing.
#pragma once

#include <string>

#include <sys/types.h>

namespace tvxsim {

inline constexpr char kControlSocketName[] = "control";

// The folder that holds the control socket (not created).
std::string ControlSocketFolder();
// The socket's path: ControlSocketFolder() + "/control".
std::string ControlSocketPath();

// True when `folder` is a directory (not a symlink) owned by `uid` with no
// group or other permissions; otherwise false with the reason in error.
bool CheckControlFolder(const std::string &folder, uid_t uid, std::string &error);

// Makes `folder` with mode 0700 when it does not exist, then checks it as
// CheckControlFolder does for the effective user.
bool PrepareControlFolder(const std::string &folder, std::string &error);

}  // namespace tvxsim
