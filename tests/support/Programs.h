// Whether a program the tests call (an outside oracle or peer) is
// installed: on the PATH and executable. No shell, no gtest.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>

namespace tvxtest {

inline bool HaveProgram(const char *name)
{
    const char *path = std::getenv("PATH");
    std::stringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

}  // namespace tvxtest
