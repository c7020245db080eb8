#include "fileio/whole_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rux {

int OpenRegularFile(const std::string& path, std::string& problem) {
    problem.clear();
    // Not blocking, so that a FIFO is refused at once instead of waiting for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        problem = std::strerror(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool folder = S_ISDIR(st.st_mode);
        problem = folder                 ? "it is a folder"
                  : S_ISFIFO(st.st_mode) ? "it is a FIFO, not a file"
                  : S_ISSOCK(st.st_mode) ? "it is a socket, not a file"
                                         : "it is a device, not a file";
        ::close(fd);
        errno = folder ? EISDIR : EINVAL;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

CFileBytes ReadWholeFile(const std::string& path) {
    CFileBytes result;
    const int fd = OpenRegularFile(path, result.reason);
    if (fd < 0)
        return result;
    // Read straight into the result, sized from the file: one read normally takes it all, and the
    // byte to spare leaves room for the read that finds the end without growing the string.
    struct stat st {};
    const size_t expected = ::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0;
    std::string& bytes = result.bytes;
    bytes.resize(expected + 1 < 4096 ? 4096 : expected + 1);
    size_t used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(2 * bytes.size());
        const ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            result.reason = std::string("read error: ") + std::strerror(errno);
            bytes.clear();
            ::close(fd);
            return result;
        }
        used += static_cast<size_t>(n);
    }
    bytes.resize(used);
    ::close(fd);
    result.ok = true;
    return result;
}

} // namespace rux
