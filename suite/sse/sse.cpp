// Entry points of the shared-message service: a local message bus between the suite's tools.
#include "sse.h"

#include "bus.h"
#include "shared_put.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using rux::sse::CBusMessage;
using rux::sse::CPutKind;

namespace {

// What goes with the next message this process sends. Each put is also kept in the user's shared
// record, which the getters answer from outside a callback.
std::mutex g_nextMutex;
std::string g_nextFileName;
std::string g_nextLineData;

class CToolListener;

// The message whose callback runs on this thread, and the listener that runs it. Inside a callback
// the getters answer from that message only, so a newer message or put cannot change what an older
// message's handler reads.
struct CHandledMessage {
    const CBusMessage* message = nullptr;
    const CToolListener* listener = nullptr;
};
thread_local CHandledMessage t_handled;

// Accepted messages waiting for their callback; beyond this a sender hears "not delivered".
constexpr size_t kMaxPending = 256;

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

// One registered tool: its listening socket, a thread that reads and acknowledges each message, and
// a thread that hands the messages, one at a time and in order, to the tool's callback. A slow
// callback therefore never keeps a sender waiting for its receipt.
class CToolListener {
public:
    CToolListener(std::string path, int fd, ino_t inode, SSEMESSAGEPROC callback, void* context)
        : m_path(std::move(path)), m_fd(fd), m_inode(inode), m_callback(callback), m_context(context) {
        if (::pipe2(m_wake, O_CLOEXEC) != 0) m_wake[0] = m_wake[1] = -1;
        try {
            m_dispatcher = std::thread([this] { Dispatch(); });
            m_reader = std::thread([this] { Read(); });
        } catch (...) {
            Stop();
            throw;
        }
    }
    ~CToolListener() { Stop(); }
    CToolListener(const CToolListener&) = delete;
    CToolListener& operator=(const CToolListener&) = delete;

private:
    void Stop() {
        if (m_reader.joinable()) {
            if (m_wake[1] >= 0) {
                const char c = 0;
                [[maybe_unused]] const ssize_t n = ::write(m_wake[1], &c, 1);
            }
            m_reader.join();
        }
        if (m_dispatcher.joinable()) {
            {
                std::lock_guard lock(m_mutex);
                m_stopping = true;
            }
            m_ready.notify_all();
            m_dispatcher.join();
        }
        // Leave the name alone when another process registered it after us.
        struct stat st {};
        if (::stat(m_path.c_str(), &st) == 0 && st.st_ino == m_inode) ::unlink(m_path.c_str());
        ::close(m_fd);
        for (int w : m_wake)
            if (w >= 0) ::close(w);
    }

    void Read() {
        for (;;) {
            pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
            const int r = ::poll(fds, m_wake[0] >= 0 ? 2 : 1, -1);
            if (r < 0 && errno == EINTR) continue;
            if (r < 0 || (fds[1].revents & POLLIN)) return;
            if (fds[0].revents & POLLIN) {
                const int client = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
                if (client >= 0) {
                    Accept(client);
                    ::close(client);
                }
            }
        }
    }

    void Accept(int client) {
        // A sender that stalls mid-message is dropped rather than blocking the tool.
        timeval timeout{0, 200000};
        ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        uint32_t head[4];
        if (!ReadAll(client, head, sizeof head) || head[0] != rux::sse::kWireMagic ||
            head[2] > rux::sse::kMaxWireText || head[3] > rux::sse::kMaxWireText)
            return;
        CBusMessage message;
        message.number = static_cast<int32_t>(head[1]);
        message.fileName.assign(head[2], '\0');
        message.lineData.assign(head[3], '\0');
        if (!ReadAll(client, message.fileName.data(), message.fileName.size()) ||
            !ReadAll(client, message.lineData.data(), message.lineData.size()))
            return;
        std::unique_lock lock(m_mutex);
        if (m_pending.size() >= kMaxPending) return;
        // The receipt goes out before the message is queued: a sender that gave up waiting has
        // closed its end, the receipt fails, and the message it reported undelivered is dropped.
        const char receipt = 1;
        if (::send(client, &receipt, 1, MSG_NOSIGNAL) != 1) return;
        m_pending.push_back(std::move(message));
        lock.unlock();
        m_ready.notify_one();
    }

    void Dispatch() {
        for (;;) {
            CBusMessage message;
            {
                std::unique_lock lock(m_mutex);
                m_ready.wait(lock, [this] { return m_stopping || !m_pending.empty(); });
                // Stopping, the messages already acknowledged are still handed over.
                if (m_pending.empty()) return;
                message = std::move(m_pending.front());
                m_pending.pop_front();
            }
            if (!m_callback) continue;
            t_handled = {&message, this};
            try {
                m_callback(message.number, message.fileName.c_str(), message.lineData.c_str(), m_context);
            } catch (...) {
                // A throwing tool must not take the listener (and the process) down.
            }
            t_handled = {};
        }
    }

    std::string m_path;
    int m_fd;
    ino_t m_inode;
    SSEMESSAGEPROC m_callback;
    void* m_context;
    int m_wake[2] = {-1, -1};
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<CBusMessage> m_pending;
    bool m_stopping = false;
    std::thread m_dispatcher;
    std::thread m_reader;
};

// Registrations of this process; released before the library is unloaded.
struct CRegistry {
    std::mutex mutex;
    std::map<std::string, std::unique_ptr<CToolListener>> tools;
    ~CRegistry() {
        std::map<std::string, std::unique_ptr<CToolListener>> gone;
        {
            std::lock_guard lock(mutex);
            gone.swap(tools);
        }
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

// Every entry point catches what the code below it throws and answers its failure value: an
// exception must not cross into a C caller.

H2_API int32_t SSEPutFileName(const char* path) try {
    const std::string text = path ? path : "";
    {
        std::lock_guard lock(g_nextMutex);
        g_nextFileName = text;
    }
    return rux::sse::WriteSharedPut(CPutKind::FileName, text) ? 1 : 0;
} catch (...) {
    return 0;
}

H2_API int32_t SSEPutErrorLineData(const char* lineData) try {
    const std::string text = lineData ? lineData : "";
    {
        std::lock_guard lock(g_nextMutex);
        g_nextLineData = text;
    }
    return rux::sse::WriteSharedPut(CPutKind::LineData, text) ? 1 : 0;
} catch (...) {
    return 0;
}

H2_API int32_t SSEGetFileName(char* buffer, int32_t bufferSize) try {
    if (t_handled.message) return CopyOut(t_handled.message->fileName, buffer, bufferSize);
    const std::optional<std::string> shared = rux::sse::ReadSharedPut(CPutKind::FileName);
    CopyOut(shared.value_or(std::string()), buffer, bufferSize);
    return shared ? 1 : 0;
} catch (...) {
    return 0;
}

H2_API int32_t SSEGetErrorLineData(char* buffer, int32_t bufferSize) try {
    const std::string lineData = t_handled.message ? t_handled.message->lineData
                                                   : rux::sse::ReadSharedPut(CPutKind::LineData).value_or(std::string());
    CopyOut(lineData, buffer, bufferSize);
    return lineData.empty() ? 0 : 1;
} catch (...) {
    return 0;
}

H2_API int32_t SSESendMessage(const char* tool, int32_t message) try {
    if (tool == nullptr) return 0;
    CBusMessage m;
    m.number = message;
    {
        std::lock_guard lock(g_nextMutex);
        m.fileName = g_nextFileName;
        m.lineData = g_nextLineData;
        // Line data belongs to one message only; the file name stays until the next put. The shared
        // record keeps both: it says what was last put, not what the next message carries.
        g_nextLineData.clear();
    }
    return rux::sse::SendToTool(tool, m) ? 1 : 0;
} catch (...) {
    return 0;
}

H2_API int32_t SSERegisterTool(const char* name, SSEMESSAGEPROC callback, void* context) try {
    if (name == nullptr || !rux::sse::IsValidToolName(name)) return 0;
    const std::string dir = rux::sse::BusDirectory();
    ::mkdir(dir.c_str(), 0700);
    const std::string path = rux::sse::ToolSocketPath(name);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return 0;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);

    CRegistry& registry = Registry();
    // The old listener is stopped (its threads joined) once the lock is released, as `old` goes out
    // of scope after `lock`: a callback of it that registers or sends cannot dead-lock with us.
    std::unique_ptr<CToolListener> old;
    std::lock_guard lock(registry.mutex);
    if (auto it = registry.tools.find(name); it != registry.tools.end()) {
        // Replacing the tool whose callback is running on this thread would join that very thread.
        if (it->second.get() == t_handled.listener) return 0;
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
} catch (...) {
    return 0;
}

H2_API void SSEUnregisterTool(const char* name) try {
    if (name == nullptr) return;
    std::unique_ptr<CToolListener> gone;
    {
        CRegistry& registry = Registry();
        std::lock_guard lock(registry.mutex);
        auto it = registry.tools.find(name);
        if (it == registry.tools.end() || it->second.get() == t_handled.listener) return;
        gone = std::move(it->second);
        registry.tools.erase(it);
    }
    // Joined here, outside the lock, so a callback that sends to another tool of ours cannot dead-lock.
} catch (...) {
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
