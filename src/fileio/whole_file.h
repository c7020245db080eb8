// Reading a file whole, or opening one for reading, so that a folder, FIFO or device given where a
// file is expected is refused at once with a reason, and a read error is never a shorter file.
#pragma once

#include <string>

namespace rux {

// What reading a file gave. On failure `bytes` is empty and `reason` says in words why
// ("it is a folder", "No such file or directory", "read error: ...").
struct CFileBytes {
    bool ok = false;
    std::string bytes;
    std::string reason;
    explicit operator bool() const { return ok; }
};

// Opens path for reading, blocking reads, close-on-exec. Only a regular file is opened: anything
// else is refused without waiting on it (a FIFO with no writer included). Returns the descriptor,
// or -1 with errno set and `problem` saying why.
int OpenRegularFile(const std::string& path, std::string& problem);

// All bytes of the regular file at path.
CFileBytes ReadWholeFile(const std::string& path);

} // namespace rux
