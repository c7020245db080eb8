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
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        result.bytes.reserve(static_cast<size_t>(st.st_size));
    char chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            result.reason = std::string("read error: ") + std::strerror(errno);
            result.bytes.clear();
            ::close(fd);
            return result;
        }
        result.bytes.append(chunk, static_cast<size_t>(n));
    }
    ::close(fd);
    result.ok = true;
    return result;
}

} // namespace rux
