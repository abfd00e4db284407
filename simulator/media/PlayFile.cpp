#include "simulator/media/PlayFile.h"

#include "simulator/media/SoundFileReader.h"

namespace tvxsim {

PlayOpening OpenPlayFile(const std::string &file, double gainDb)
{
    PlayOpening opening;
    std::string error;
    if (auto reader = SoundFileReader::Open(file, gainDb, error))
        opening.source = std::make_unique<PlaySource>(std::move(reader));
    else
        opening.error = "cannot play \"" + file + "\": " + error;
    return opening;
}

}  // namespace tvxsim
