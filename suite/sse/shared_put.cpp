#include "shared_put.h"

#include "bus.h"
#include "fileio/safe_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rux::sse {
namespace {

// "@" is not allowed in a tool name, so a record never takes the place of a tool's socket (nor do
// the safe writer's scratch files, which carry the record's name).
std::string RecordPath(CPutKind kind) {
    return BusDirectory() + (kind == CPutKind::FileName ? "/@put-file-name" : "/@put-line-data");
}

// Only a folder that this user owns and nobody else may write can be trusted with what steers the
// editor.
bool OwnDirectory(const std::string& dir, bool create) {
    if (create && ::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0;
}

} // namespace

bool WriteSharedPut(CPutKind kind, const std::string& text) {
    if (text.size() > kMaxWireText || !OwnDirectory(BusDirectory(), true)) return false;
    const std::string path = RecordPath(kind);
    // The safe writer keeps the mode of the file it replaces: a record made here is the user's alone.
    if (const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600); fd >= 0)
        ::close(fd);
    return WriteFileSafely(path, text).ok;
}

std::optional<std::string> ReadSharedPut(CPutKind kind) {
    if (!OwnDirectory(BusDirectory(), false)) return std::nullopt;
    const int fd = ::open(RecordPath(kind).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    std::optional<std::string> text;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::getuid() &&
        st.st_size <= static_cast<off_t>(kMaxWireText)) {
        std::string bytes(static_cast<size_t>(st.st_size), '\0');
        size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        // A record is replaced whole, never written in place: a short read means it is damaged.
        if (got == bytes.size()) text = std::move(bytes);
    }
    ::close(fd);
    return text;
}

} // namespace rux::sse
