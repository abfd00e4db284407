#include "app/FontWarmUp.h"

#include <fontconfig/fontconfig.h>

namespace tvx {

// Reading the configuration files is most of the font database's first
// start; the toolkit's own FcInit() then finds them read.
FontWarmUp::FontWarmUp() : thread_([] { FcInit(); }) {}

FontWarmUp::~FontWarmUp() { Wait(); }

void FontWarmUp::Wait()
{
    if (thread_.joinable())
        thread_.join();
}

}  // namespace tvx
