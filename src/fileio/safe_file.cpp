#include "fileio/safe_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rux {

namespace {

constexpr int kMaxLinkHops = 40;
// Leaves room for the prefix and suffix of temporary and backup names within a file name's limit.
constexpr size_t kMaxBaseInName = 180;

CWriteResult Failure(int error, std::string reason) {
    CWriteResult result;
    result.error = error;
    result.reason = std::move(reason);
    return result;
}

CWriteResult ErrnoFailure(const char* step) {
    const int error = errno;
    return Failure(error, std::string(step) + ": " + std::strerror(error));
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file's own name, shortened to what a scratch name may carry, between prefix and suffix.
std::string ScratchStem(const char* prefix, const std::string& path, const char* suffix = "") {
    const size_t slash = path.rfind('/');
    const size_t from = slash == std::string::npos ? 0 : slash + 1;
    std::string stem = prefix;
    stem.append(path, from, std::min(path.size() - from, kMaxBaseInName));
    stem += suffix;
    return stem;
}

// Follows symbolic links to the name finally meant, which may not exist yet (a dangling link names
// the file the user wants to create).
CWriteResult ResolveTarget(const std::string& path, std::string& target) {
    std::string current = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0) {
            if (errno != ENOENT) return ErrnoFailure("cannot look at the file");
            target = current;
            CWriteResult ok;
            ok.ok = true;
            return ok;
        }
        if (!S_ISLNK(st.st_mode)) {
            target = current;
            CWriteResult ok;
            ok.ok = true;
            return ok;
        }
        std::string link(4096, '\0');
        const ssize_t length = ::readlink(current.c_str(), link.data(), link.size());
        if (length < 0) return ErrnoFailure("cannot read the symbolic link");
        link.resize(static_cast<size_t>(length));
        current = link.front() == '/' ? link : FolderOf(current) + "/" + link;
    }
    return Failure(ELOOP, "too many levels of symbolic links");
}

const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

bool Accessible(const std::string& path, int how) {
    return ::faccessat(AT_FDCWD, path.c_str(), how, AT_EACCESS) == 0;
}

// What is known about the target once the refusals are passed.
struct CTarget {
    std::string path;   // after following links
    std::string folder; // its folder
    bool exists = false;
    struct stat st {};
};

CWriteResult Inspect(const std::string& path, CTarget& target) {
    if (path.empty()) return Failure(EINVAL, "no file name was given");
    if (CWriteResult r = ResolveTarget(path, target.path); !r) return r;
    target.folder = FolderOf(target.path);
    if (::stat(target.path.c_str(), &target.st) == 0) {
        target.exists = true;
        if (S_ISDIR(target.st.st_mode)) return Failure(EISDIR, "it is a folder");
        if (!S_ISREG(target.st.st_mode))
            return Failure(EINVAL,
                           std::string("it is ") + KindOf(target.st.st_mode) + ", not a regular file");
        if (!Accessible(target.path, W_OK)) {
            if (errno == EROFS) return Failure(EROFS, "the file system is read-only");
            return Failure(EACCES, "you do not have permission to write this file");
        }
    } else if (errno == ENOENT) {
        struct stat folder {};
        if (::stat(target.folder.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode))
            return Failure(ENOENT, "the folder " + target.folder + " does not exist");
        if (!Accessible(target.folder, W_OK | X_OK)) {
            if (errno == EROFS) return Failure(EROFS, "the file system is read-only");
            return Failure(EACCES, "you do not have permission to create files in " + target.folder);
        }
    } else {
        return ErrnoFailure("cannot look at the file");
    }
    CWriteResult ok;
    ok.ok = true;
    return ok;
}

// Creates a new file with a name no one else uses, beside `near` with the given prefix and suffix.
int CreateUnique(const std::string& folder, const std::string& stem, mode_t mode, std::string& made) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        const unsigned n = counter.fetch_add(1) * 2654435761u ^ static_cast<unsigned>(::time(nullptr));
        std::snprintf(suffix, sizeof suffix, ".%d%06x", static_cast<int>(::getpid()), n & 0xffffffu);
        made = folder + "/" + stem + suffix;
        const int fd = ::open(made.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    // Some file systems cannot sync a folder; the rename itself has happened, so this stays quiet.
    (void)::fsync(fd);
    ::close(fd);
}

bool ReadAll(int fd, std::string& data) {
    data.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.append(buffer, static_cast<size_t>(n));
    }
}

enum class EReplace { Done, Failed, InPlace };

// The usual way: a new file beside the old one takes its place in one rename.
EReplace Replace(const CTarget& target, const FileContentWriter& write, CWriteResult& result) {
    // A new file gets 0666 less the umask from the kernel itself; an existing file's mode is copied.
    const mode_t createMode = target.exists ? 0600 : 0666;
    std::string temp;
    const int fd = CreateUnique(target.folder, ScratchStem(".", target.path), createMode, temp);
    if (fd < 0) {
        result = ErrnoFailure("cannot create a temporary file in the folder");
        return EReplace::Failed;
    }
    auto abandon = [&](const char* step) {
        CWriteResult failure = ErrnoFailure(step);
        ::close(fd);
        ::unlink(temp.c_str());
        result = failure;
        return EReplace::Failed;
    };
    if (target.exists) {
        struct stat made {};
        if (::fstat(fd, &made) != 0) return abandon("cannot look at the temporary file");
        if (made.st_uid != target.st.st_uid || made.st_gid != target.st.st_gid) {
            if (::fchown(fd, target.st.st_uid, target.st.st_gid) != 0) {
                // Replacing would hand someone else's file to us: rewrite it where it is instead.
                ::close(fd);
                ::unlink(temp.c_str());
                return EReplace::InPlace;
            }
        }
        // After the owner, since changing the owner clears the set-id bits.
        if (::fchmod(fd, target.st.st_mode & 07777) != 0) return abandon("cannot set the file's permissions");
    }
    errno = 0;
    if (!write(fd)) {
        if (errno == 0) errno = EIO;
        return abandon("cannot write the file");
    }
    if (::fsync(fd) != 0) return abandon("cannot write the file to disk");
    if (::close(fd) != 0) {
        CWriteResult failure = ErrnoFailure("cannot write the file");
        ::unlink(temp.c_str());
        result = failure;
        return EReplace::Failed;
    }
    if (::rename(temp.c_str(), target.path.c_str()) != 0) {
        CWriteResult failure = ErrnoFailure("cannot replace the file");
        ::unlink(temp.c_str());
        result = failure;
        return EReplace::Failed;
    }
    SyncFolder(target.folder);
    result = CWriteResult{};
    result.ok = true;
    return EReplace::Done;
}

// Writes a copy of the old content where it can: beside the file, else in the temporary folder.
bool WriteBackup(const CTarget& target, const std::string& old, std::string& backup) {
    std::string folders[2] = {target.folder, {}};
    const char* tmp = std::getenv("TMPDIR");
    folders[1] = tmp && *tmp ? tmp : "/tmp";
    for (const std::string& folder : folders) {
        const bool beside = &folder == &folders[0];
        const std::string stem =
            beside ? ScratchStem(".", target.path, ".backup") : ScratchStem("rux-backup-", target.path);
        const int fd = CreateUnique(folder, stem, 0600, backup);
        if (fd < 0) continue;
        const bool ok = WriteAll(fd, old.data(), old.size()) && ::fsync(fd) == 0;
        if (::close(fd) == 0 && ok) return true;
        ::unlink(backup.c_str());
    }
    backup.clear();
    return false;
}

// For a file that must stay the same inode (hard links, someone else's file) or whose folder we
// may not write: the same file takes the new content, with a backup until it is on disk.
CWriteResult RewriteInPlace(const CTarget& target, const FileContentWriter& write) {
    const int fd = ::open(target.path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return ErrnoFailure("cannot open the file to rewrite it");
    std::string old;
    if (!ReadAll(fd, old)) {
        CWriteResult failure = ErrnoFailure("cannot read the old content to keep a backup");
        ::close(fd);
        return failure;
    }
    std::string backup;
    if (!WriteBackup(target, old, backup)) {
        CWriteResult failure = ErrnoFailure("cannot keep a backup of the old content");
        ::close(fd);
        return failure;
    }
    errno = 0;
    bool ok = ::ftruncate(fd, 0) == 0 && ::lseek(fd, 0, SEEK_SET) == 0;
    ok = ok && write(fd);
    if (ok && ::fsync(fd) != 0) ok = false;
    if (ok) {
        if (::close(fd) != 0) {
            CWriteResult failure = ErrnoFailure("cannot write the file");
            return Failure(failure.error, failure.reason + "; a copy of the old content is in " + backup);
        }
        ::unlink(backup.c_str());
        CWriteResult done;
        done.ok = true;
        return done;
    }
    if (errno == 0) errno = EIO;
    CWriteResult failure = ErrnoFailure("cannot write the file");
    const bool restored = ::ftruncate(fd, 0) == 0 && ::lseek(fd, 0, SEEK_SET) == 0 &&
                          WriteAll(fd, old.data(), old.size()) && ::fsync(fd) == 0;
    ::close(fd);
    if (restored) {
        ::unlink(backup.c_str());
        failure.reason += "; the old content was put back";
    } else {
        failure.reason += "; a copy of the old content is in " + backup;
    }
    return failure;
}

} // namespace

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

CWriteResult CheckWritable(const std::string& path) {
    CTarget target;
    return Inspect(path, target);
}

CWriteResult WriteFileSafely(const std::string& path, const FileContentWriter& write) {
    CTarget target;
    if (CWriteResult r = Inspect(path, target); !r) return r;
    const bool folderWritable = Accessible(target.folder, W_OK | X_OK);
    if (!target.exists || (folderWritable && target.st.st_nlink == 1)) {
        CWriteResult result;
        if (Replace(target, write, result) != EReplace::InPlace) return result;
    }
    return RewriteInPlace(target, write);
}

CWriteResult WriteFileSafely(const std::string& path, std::string_view content) {
    return WriteFileSafely(path, [content](int fd) { return WriteAll(fd, content.data(), content.size()); });
}

} // namespace rux
