// Entry points of the shared-message service: a local message bus between the suite's tools.
#include "sse.h"

#include "bus.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using rux::sse::CBusMessage;

namespace {

// What goes with the next message this process sends, and what came with the last one it received
// (answered to callers outside a callback, e.g. at start-up).
std::mutex g_dataMutex;
std::string g_lastFileName;
std::string g_lastLineData;
bool g_haveLast = false;

// The message whose callback runs on this thread: the getters answer from it, so a newer message
// arriving for another tool meanwhile cannot change what this callback reads.
struct CCurrentMessage {
    const std::string* fileName = nullptr;
    const std::string* lineData = nullptr;
};
thread_local CCurrentMessage t_current;
std::string g_nextFileName;
std::string g_nextLineData;

bool ReadAll(int fd, void* data, size_t size) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = ::recv(fd, p, size, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// One registered tool: its listening socket and the thread that answers it.
class CToolListener {
public:
    CToolListener(std::string path, int fd, ino_t inode, SSEMESSAGEPROC callback, void* context)
        : m_path(std::move(path)), m_fd(fd), m_inode(inode), m_callback(callback), m_context(context) {
        if (::pipe2(m_wake, O_CLOEXEC) != 0) m_wake[0] = m_wake[1] = -1;
        m_thread = std::thread([this] { Run(); });
    }
    ~CToolListener() {
        if (m_wake[1] >= 0) {
            const char c = 0;
            [[maybe_unused]] const ssize_t n = ::write(m_wake[1], &c, 1);
        }
        m_thread.join();
        // Leave the name alone when another process registered it after us.
        struct stat st {};
        if (::stat(m_path.c_str(), &st) == 0 && st.st_ino == m_inode) ::unlink(m_path.c_str());
        ::close(m_fd);
        for (int w : m_wake)
            if (w >= 0) ::close(w);
    }
    CToolListener(const CToolListener&) = delete;
    CToolListener& operator=(const CToolListener&) = delete;

private:
    void Run() {
        for (;;) {
            pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
            const int r = ::poll(fds, m_wake[0] >= 0 ? 2 : 1, -1);
            if (r < 0 && errno == EINTR) continue;
            if (r < 0 || (fds[1].revents & POLLIN)) return;
            if (fds[0].revents & POLLIN) {
                const int client = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
                if (client >= 0) {
                    Serve(client);
                    ::close(client);
                }
            }
        }
    }

    void Serve(int client) {
        // A sender that stalls mid-message is dropped rather than blocking the tool.
        timeval timeout{0, 200000};
        ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        uint32_t head[4];
        if (!ReadAll(client, head, sizeof head) || head[0] != rux::sse::kWireMagic ||
            head[2] > rux::sse::kMaxWireText || head[3] > rux::sse::kMaxWireText)
            return;
        std::string file(head[2], '\0');
        std::string line(head[3], '\0');
        if (!ReadAll(client, file.data(), file.size()) || !ReadAll(client, line.data(), line.size())) return;
        {
            std::lock_guard lock(g_dataMutex);
            g_lastFileName = file;
            g_lastLineData = line;
            g_haveLast = true;
        }
        // The receipt says "read", not "handled": the sender is usually the editor's UI thread and
        // must not wait for the tool's callback.
        const char receipt = 1;
        [[maybe_unused]] const ssize_t n = ::send(client, &receipt, 1, MSG_NOSIGNAL);
        if (!m_callback) return;
        t_current = {&file, &line};
        try {
            m_callback(static_cast<int32_t>(head[1]), m_context);
        } catch (...) {
            // A throwing tool must not take the listener (and the process) down.
        }
        t_current = {};
    }

    std::string m_path;
    int m_fd;
    ino_t m_inode;
    SSEMESSAGEPROC m_callback;
    void* m_context;
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
};

// Registrations of this process; released before the library is unloaded.
struct CRegistry {
    std::mutex mutex;
    std::map<std::string, std::unique_ptr<CToolListener>> tools;
    ~CRegistry() {
        std::lock_guard lock(mutex);
        tools.clear();
    }
};

CRegistry& Registry() {
    static CRegistry registry;
    return registry;
}

int32_t CopyOut(const std::string& text, char* buffer, int32_t size) {
    if (buffer == nullptr || size <= 0) return 0;
    const size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return 1;
}

} // namespace

static int32_t SSEPutFileNameImpl(const char* path) {
    std::lock_guard lock(g_dataMutex);
    g_nextFileName = path ? path : "";
    return 1;
}

static int32_t SSEPutErrorLineDataImpl(const char* lineData) {
    std::lock_guard lock(g_dataMutex);
    g_nextLineData = lineData ? lineData : "";
    return 1;
}

static int32_t SSEGetFileNameImpl(char* buffer, int32_t bufferSize) {
    if (t_current.fileName) return CopyOut(*t_current.fileName, buffer, bufferSize);
    std::lock_guard lock(g_dataMutex);
    if (!g_haveLast) {
        CopyOut({}, buffer, bufferSize);
        return 0;
    }
    return CopyOut(g_lastFileName, buffer, bufferSize);
}

static int32_t SSEGetErrorLineDataImpl(char* buffer, int32_t bufferSize) {
    if (t_current.lineData) {
        CopyOut(*t_current.lineData, buffer, bufferSize);
        return t_current.lineData->empty() ? 0 : 1;
    }
    std::lock_guard lock(g_dataMutex);
    CopyOut(g_haveLast ? g_lastLineData : std::string(), buffer, bufferSize);
    return g_haveLast && !g_lastLineData.empty() ? 1 : 0;
}

static int32_t SSESendMessageImpl(const char* tool, int32_t message) {
    if (tool == nullptr) return 0;
    CBusMessage m;
    m.number = message;
    {
        std::lock_guard lock(g_dataMutex);
        m.fileName = g_nextFileName;
        m.lineData = g_nextLineData;
        // Line data belongs to one message only; the file name stays until the next put.
        g_nextLineData.clear();
    }
    return rux::sse::SendToTool(tool, m) ? 1 : 0;
}

static int32_t SSERegisterToolImpl(const char* name, SSEMESSAGEPROC callback, void* context) {
    if (name == nullptr || !rux::sse::IsValidToolName(name)) return 0;
    const std::string dir = rux::sse::BusDirectory();
    ::mkdir(dir.c_str(), 0700);
    const std::string path = rux::sse::ToolSocketPath(name);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return 0;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);

    CRegistry& registry = Registry();
    // The old listener is stopped (its thread joined) only after the lock is released below, so a
    // callback of it that registers or sends cannot dead-lock with us.
    std::unique_ptr<CToolListener> old;
    std::lock_guard lock(registry.mutex);
    if (auto it = registry.tools.find(name); it != registry.tools.end()) {
        old = std::move(it->second);
        registry.tools.erase(it);
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    // The newest registration of a name wins, also over one left behind by a process that died.
    ::unlink(path.c_str());
    struct stat st {};
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 16) != 0 ||
        ::stat(path.c_str(), &st) != 0) {
        ::close(fd);
        return 0;
    }
    registry.tools[name] = std::make_unique<CToolListener>(path, fd, st.st_ino, callback, context);
    return 1;
}

static void SSEUnregisterToolImpl(const char* name) {
    if (name == nullptr) return;
    std::unique_ptr<CToolListener> gone;
    {
        CRegistry& registry = Registry();
        std::lock_guard lock(registry.mutex);
        auto it = registry.tools.find(name);
        if (it == registry.tools.end()) return;
        gone = std::move(it->second);
        registry.tools.erase(it);
    }
    // Joined outside the lock, so a callback that sends to another tool of ours cannot dead-lock.
}

H2_API void SSEThemeChanged(const char* windowClass) {
    // No tool on this bus keeps a theme yet, so there is nobody to tell.
    (void)windowClass;
}

H2_API int32_t SSE_WarningStopBuild(void) {
    return 0;
}
H2_API int32_t SSEOpenWatchWindow(const char*, const char*) {
    return 0;
}
H2_API int32_t SSEAddVarToWW(const char*) {
    return 0;
}
H2_API int32_t SSEOpenLibManager(const char*) {
    return 0;
}

H2_API int32_t SSEPutFileName(const char* path) {
    try {
        return SSEPutFileNameImpl(path);
    } catch (...) {
        return 0;
    }
}

H2_API int32_t SSEPutErrorLineData(const char* lineData) {
    try {
        return SSEPutErrorLineDataImpl(lineData);
    } catch (...) {
        return 0;
    }
}

H2_API int32_t SSEGetFileName(char* buffer, int32_t bufferSize) {
    try {
        return SSEGetFileNameImpl(buffer, bufferSize);
    } catch (...) {
        return 0;
    }
}

H2_API int32_t SSEGetErrorLineData(char* buffer, int32_t bufferSize) {
    try {
        return SSEGetErrorLineDataImpl(buffer, bufferSize);
    } catch (...) {
        return 0;
    }
}

H2_API int32_t SSESendMessage(const char* tool, int32_t message) {
    try {
        return SSESendMessageImpl(tool, message);
    } catch (...) {
        return 0;
    }
}

H2_API int32_t SSERegisterTool(const char* name, SSEMESSAGEPROC callback, void* context) {
    try {
        return SSERegisterToolImpl(name, callback, context);
    } catch (...) {
        return 0;
    }
}

H2_API void SSEUnregisterTool(const char* name) {
    try {
        SSEUnregisterToolImpl(name);
    } catch (...) {
    }
}
