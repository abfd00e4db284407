// Reading a whole regular file of bounded size: a FIFO, directory or device
// is refused without waiting on it, and a file that grows past the bound
// while it is read is refused too. The callers word the faults themselves.
#pragma once

#include <cstdint>
#include <string>

namespace tvxsim {

struct FileRead {
    enum class Fault : uint8_t {
        None,        // `text` is the whole file
        Open,        // `error` is open()'s errno
        NotRegular,  // a directory, FIFO, device or socket
        TooLarge,    // more than the bound, before or while it was read
        Read,        // `error` is read()'s errno
    };
    Fault fault = Fault::None;
    int error = 0;
    std::string text;
};

FileRead ReadRegularFile(const std::string &path, uint64_t maxBytes);

}  // namespace tvxsim
