#include "simulator/engine/PlaySource.h"

#include <algorithm>
#include <array>

namespace tvxsim {

bool PlaySource::MixInto(std::span<int16_t> out)
{
    std::array<int16_t, kBlockSamples> buf;
    size_t done = 0;
    while (reader_ && done < out.size()) {
        const size_t want = std::min(out.size() - done, buf.size());
        const size_t got = std::min(reader_->Read(std::span<int16_t>(buf.data(), want)), want);
        tvxsim::MixInto(out.subspan(done, got), std::span<const int16_t>(buf.data(), got));
        done += got;
        if (got < want)
            reader_.reset();  // ended: the file is closed at once, not when the mixer lets go
    }
    return reader_ != nullptr;
}

}  // namespace tvxsim
