#include "bus.h"

#include "sse.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace rux::sse {
namespace {

// A live receiver acknowledges as soon as it has read the message, before handling it, so the wait
// is short unless the receiver is stuck; a stuck one costs the sender at most this.
constexpr int kReceiptTimeoutMs = SSE_RECEIPT_WAIT_MS;

bool WriteAll(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::send(fd, p, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

std::string BusDirectory() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/rux-sse";
    return "/tmp/rux-sse-" + std::to_string(::getuid());
}

std::string ToolSocketPath(const std::string& tool) {
    return BusDirectory() + "/" + tool;
}

bool IsValidToolName(const std::string& tool) {
    if (tool.empty() || tool.size() > 64 || tool == "." || tool == "..") return false;
    for (char c : tool)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
              c == '-' || c == '.'))
            return false;
    return true;
}

bool SendToTool(const std::string& tool, const CBusMessage& message) {
    if (!IsValidToolName(tool) || message.fileName.size() > kMaxWireText ||
        message.lineData.size() > kMaxWireText)
        return false;
    const std::string path = ToolSocketPath(tool);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);

    // Non-blocking, so that a receiver whose backlog is full fails the send at once.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    bool delivered = false;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0) {
        const uint32_t head[4] = {kWireMagic, static_cast<uint32_t>(message.number),
                                  static_cast<uint32_t>(message.fileName.size()),
                                  static_cast<uint32_t>(message.lineData.size())};
        if (WriteAll(fd, head, sizeof head) &&
            WriteAll(fd, message.fileName.data(), message.fileName.size()) &&
            WriteAll(fd, message.lineData.data(), message.lineData.size())) {
            pollfd p{fd, POLLIN, 0};
            char receipt = 0;
            const auto deadline =
                std::chrono::steady_clock::now() + std::chrono::milliseconds(kReceiptTimeoutMs);
            int r;
            do {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now());
                r = ::poll(&p, 1, static_cast<int>(std::max<int64_t>(0, left.count())));
            } while (r < 0 && errno == EINTR);
            delivered = r == 1 && ::recv(fd, &receipt, 1, 0) == 1 && receipt == 1;
        }
    }
    ::close(fd);
    return delivered;
}

} // namespace rux::sse
