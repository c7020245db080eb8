// Rewriting a file so that a failed or interrupted write never loses the old content.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace rux {

// How a write went. On failure `error` is the errno of the step that failed and `reason` says in
// words why the file was not written, for a message box or stderr ("rux: cannot write 'x': <reason>").
struct CWriteResult {
    bool ok = false;
    int error = 0;
    std::string reason;
    explicit operator bool() const { return ok; }
};

// Writes the new content to the descriptor it is given; false when a write failed (errno set).
using FileContentWriter = std::function<bool(int fd)>;

// Replaces the content of path with what `write` produces.
// - A target the user may not write, or one that is not a regular file (a folder, FIFO, device or
//   socket), is refused before anything is touched.
// - A symbolic link is written through to the file it names, also when that file does not exist yet.
// - Normally a temporary file in the target's folder is written, synced, given the old file's mode,
//   owner and group, renamed over the target, and the folder is synced.
// - When the folder is not writable, the file has several hard links, or a new file could not keep
//   the old owner or group, the file is rewritten in place; the old content is first copied to a
//   backup beside it (or in the temporary folder when the file's own folder is not writable), and the
//   backup is removed only once the new content is on disk. A failed in-place write puts the old
//   content back; if even that fails the backup is kept and the reason names it.
// - A new file gets the usual permissions (0666 less the umask); the umask is never changed.
CWriteResult WriteFileSafely(const std::string& path, const FileContentWriter& write);
CWriteResult WriteFileSafely(const std::string& path, std::string_view content);

// Why path could not be written at all (the refusals of WriteFileSafely), or an empty result with
// ok set when it can be tried.
CWriteResult CheckWritable(const std::string& path);

// Writes all of data to fd, going on after short writes and interruptions.
bool WriteAll(int fd, const char* data, size_t size);

} // namespace rux
