#include "simulator/engine/Recorder.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace tvxsim {

bool Recorder::Open(const std::string &folder, std::string &error)
{
    Close();
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        error = folder + " is not a folder";
        return false;
    }
    for (size_t i = 0; i < files_.size(); ++i) {
        const std::string path = folder + "/" + kFiles[i];
        if (!files_[i].Open(path)) {
            error = path + ": " + std::strerror(errno);
            Close();
            return false;
        }
    }
    blocks_ = 0;
    return true;
}

void Recorder::Close()
{
    for (WavWriter &w : files_)
        w.Close();
}

void Recorder::OnBlock(const BlockAudio &b)
{
    const std::array<std::span<const int16_t>, 6> points = {b.lineTx, b.lineRx, b.earpiece, b.mic, b.pcIn, b.pcOut};
    for (size_t i = 0; i < files_.size(); ++i)
        files_[i].Write(points[i]);
    if (++blocks_ >= kBlocksPerFlush) {
        blocks_ = 0;
        for (WavWriter &w : files_)
            w.Flush();
    }
}

}  // namespace tvxsim
