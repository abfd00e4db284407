#include "app/CommandLine.h"

namespace tvx {

std::string CommandLineText(int argc, const char *const *argv)
{
    std::string text;
    for (int i = 1; i < argc && argv; ++i) {
        if (!argv[i])
            continue;
        if (!text.empty())
            text += ' ';
        text += argv[i];
    }
    return text;
}

}  // namespace tvx
