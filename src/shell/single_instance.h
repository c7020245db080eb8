// The lock that lets one editor run per user session.
#pragma once

#include <string>

namespace rux {

// An advisory lock on a file in the user's runtime directory. The kernel drops it when the holding
// process ends in any way, so an editor that crashed never keeps the next one from starting; the file
// itself may stay behind and means nothing.
class CSingleInstanceLock {
public:
    static constexpr const char* kLockName = "RUXApp";

    CSingleInstanceLock() = default;
    ~CSingleInstanceLock() { Release(); }
    CSingleInstanceLock(const CSingleInstanceLock&) = delete;
    CSingleInstanceLock& operator=(const CSingleInstanceLock&) = delete;

    // $XDG_RUNTIME_DIR/RUXApp.lock, else /tmp/RUXApp-<uid>.lock.
    static std::string DefaultPath();

    // True when this process now holds the lock; false when another process holds it (or the file
    // cannot be opened, in which case the editor runs without the guard rather than not at all:
    // see Failed()).
    bool Acquire(const std::string& path = DefaultPath());
    void Release();
    bool IsHeld() const { return m_fd >= 0; }
    // The lock file could not be opened at all.
    bool Failed() const { return m_failed; }

private:
    int m_fd = -1;
    bool m_failed = false;
};

} // namespace rux
