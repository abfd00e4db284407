#include "simulator/logic/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tvxsim {

namespace {

FileRead Fault(FileRead::Fault fault, int error = 0)
{
    FileRead out;
    out.fault = fault;
    out.error = error;
    return out;
}

}  // namespace

FileRead ReadRegularFile(const std::string &path, uint64_t maxBytes)
{
    // Non-blocking, so that a FIFO cannot hold the caller up before it is refused.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Fault(FileRead::Fault::Open, errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Fault(FileRead::Fault::NotRegular);
    }
    if (static_cast<uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        return Fault(FileRead::Fault::TooLarge);
    }
    FileRead out;
    out.text.resize(static_cast<size_t>(st.st_size) + 1);  // one more byte shows a file that grew
    size_t got = 0;
    while (got < out.text.size()) {
        const ssize_t n = ::read(fd, out.text.data() + got, out.text.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            return Fault(FileRead::Fault::Read, err);
        }
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    if (got > maxBytes)
        return Fault(FileRead::Fault::TooLarge);
    out.text.resize(got);
    return out;
}

}  // namespace tvxsim
