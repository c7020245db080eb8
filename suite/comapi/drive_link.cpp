#include "drive_link.h"

#include "ini/ini_lines.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pthread.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

namespace rux::comapi {

using drive::CAnswer;
using drive::CFrame;

namespace {

constexpr std::size_t kMaxQueued = 100000;

std::string ProductDir() {
    if (const char* home = std::getenv("RUXEDIT_HOME"); home != nullptr && *home != '\0') return home;
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ReadLinkConfig), &info) != 0 && info.dli_fname != nullptr)
        return std::filesystem::path(info.dli_fname).parent_path().string();
    return ".";
}

std::string Trim(std::string s) {
    const std::size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

void ApplyAddress(CLinkConfig& c, const std::string& value) {
    const std::string v = Trim(value);
    const std::size_t colon = v.rfind(':');
    if (colon == std::string::npos) {
        if (!v.empty()) c.host = v;
        return;
    }
    if (colon > 0) c.host = v.substr(0, colon);
    const int port = std::atoi(v.c_str() + colon + 1);
    if (port > 0 && port < 65536) c.port = port;
}

H2ANSWER ToRecord(const CAnswer& a) {
    H2ANSWER r{};
    r.Status = a.status;
    r.Kind = a.kind;
    r.SubKind = a.subKind;
    r.Value = a.value;
    std::strncpy(r.Symbol, a.symbol.c_str(), sizeof r.Symbol - 1);
    r.ProgramState = a.programState;
    r.CpuFree = a.cpuFree;
    r.TaskCount = a.taskCount;
    for (int i = 0; i < a.taskCount && i < H2_MAX_TASKS; ++i)
        r.TaskState[i] = a.taskState[static_cast<std::size_t>(i)];
    r.TaskId = a.taskId;
    r.Position = a.position;
    r.EmbeddedSource = a.embeddedSource;
    r.ProgramId = a.programId;
    for (int i = 0; i < H2_BREAKPOINT_SLOTS; ++i)
        r.Breakpoints[i] = a.breakpoints[static_cast<std::size_t>(i)];
    std::strncpy(r.Text, a.text.c_str(), sizeof r.Text - 1);
    return r;
}

} // namespace

CLinkConfig ReadLinkConfig() {
    CLinkConfig c;
    const std::string dir = ProductDir();
    c.driveProgram = (std::filesystem::path(dir) / "ruxdrive").string();
    // The editor's settings file, read by the editor's rules: the first key of a name decides, and an
    // empty value counts as absent.
    std::ifstream in(std::filesystem::path(dir) / "Torvel.ini", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (const auto address = ini::FindValue(text, "Drive", "Address"); address && !address->empty())
        ApplyAddress(c, std::string(*address));
    if (const auto autoStart = ini::FindValue(text, "Drive", "AutoStart"); autoStart && !autoStart->empty())
        c.autoStart = *autoStart != "0";
    if (const char* a = std::getenv("RUXDRIVE_ADDRESS"); a != nullptr && *a != '\0') ApplyAddress(c, a);
    if (const char* s = std::getenv("RUXDRIVE_AUTOSTART"); s != nullptr && *s != '\0') c.autoStart = std::strcmp(s, "0") != 0;
    return c;
}

CDriveLink::CDriveLink(CLinkConfig config) : m_config(std::move(config)) {
    // Wake-ups are counters: one eight-byte write each, and one read takes them all.
    m_wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    m_readerWake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    m_epoll = ::epoll_create1(EPOLL_CLOEXEC);
    // Edge-triggered: every write reports once, so the I/O thread need not read the counter back
    // (one system call less per wake-up); the counter cannot reach its limit in any real lifetime.
    epoll_event wake{};
    wake.events = EPOLLIN | EPOLLET;
    wake.data.u32 = kWakeTag;
    if (m_epoll >= 0 && m_wake >= 0) ::epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_wake, &wake);
    m_thread = std::thread([this] { Thread(); });
    // Named so that a debugger, top -H or a benchmark can tell it from the caller's threads; named
    // here, the name is there as soon as the constructor returns.
    ::pthread_setname_np(m_thread.native_handle(), "ruxcom-io");
    m_threadId = m_thread.get_id();
}

CDriveLink::~CDriveLink() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        WakeReader();
    }
    Wake();
    m_cv.notify_all();
    if (m_thread.joinable()) {
        if (std::this_thread::get_id() == m_thread.get_id())
            m_thread.detach();
        else
            m_thread.join();
    }
    if (m_fd >= 0) ::close(m_fd);
    for (int fd : {m_wake, m_readerWake})
        if (fd >= 0) ::close(fd);
    if (m_epoll >= 0) ::close(m_epoll);
}

void CDriveLink::WatchSocketLocked() {
    if (m_fd < 0 || m_epoll < 0 || !m_connected) return;
    // The I/O thread reads only what nobody else waits for: a loop's or a subscription's answers,
    // or a result no caller reads for itself. With none of those to come the socket is not watched
    // for reading at all, so that a request and its result need no change of interest; the end of
    // the connection still wakes the thread at once.
    const bool read = !m_callerReading && (!m_pending.empty() || !m_standing.empty());
    const uint32_t events = (read ? static_cast<uint32_t>(EPOLLIN) : static_cast<uint32_t>(EPOLLRDHUP | EPOLLET)) |
                            (m_out.empty() ? 0u : static_cast<uint32_t>(EPOLLOUT));
    if (events == m_watched) return;
    epoll_event e{};
    e.events = events;
    e.data.u32 = kSocketTag;
    // A change of interest does not wake the I/O thread; one that finds the socket readable does.
    if (::epoll_ctl(m_epoll, EPOLL_CTL_MOD, m_fd, &e) == 0) m_watched = events;
}

void CDriveLink::Drain(int fd) {
    // One read takes the count of every wake-up since the last.
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(fd, &count, sizeof count);
}

void CDriveLink::Signal(int fd) {
    const uint64_t one = 1;
    if (fd < 0) return;
    [[maybe_unused]] const ssize_t n = ::write(fd, &one, sizeof one);
}

void CDriveLink::WakeReader() {
    if (m_callerReading && std::this_thread::get_id() != m_readerThread) Signal(m_readerWake);
}

void CDriveLink::Wake() {
    Signal(m_wake);
}

void CDriveLink::SendAndWatch() {
    // The caller's thread sends what the socket takes at once: a request does not wait for the
    // I/O thread to wake up. What is left, and every read, stays with the I/O thread.
    while (m_connected && !m_out.empty()) {
        const ssize_t n = ::send(m_fd, m_out.data(), m_out.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n <= 0) break;
        m_out.erase(0, static_cast<std::size_t>(n));
    }
    // The I/O thread hears of what is left when the socket has room for it, and of a request whose
    // result nobody reads for itself when that arrives.
    WatchSocketLocked();
}

void CDriveLink::SetNotify(H2NOTIFYPROC proc) {
    std::lock_guard<std::recursive_mutex> deliver(m_deliverMutex);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_notify = proc;
}

uint32_t CDriveLink::AddClient(H2HWND window, uint32_t message) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const uint32_t id = m_nextClient++;
    m_clients[id] = CClient{window, message, {}, 0};
    return id;
}

bool CDriveLink::RemoveClient(uint32_t client) {
    std::vector<uint32_t> loops;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_clients.erase(client) == 0) return false;
        for (auto it = m_standing.begin(); it != m_standing.end();) {
            if (it->second.client != client) {
                ++it;
                continue;
            }
            if (it->second.type == drive::kReqLoopCreate) loops.push_back(it->first);
            it = m_standing.erase(it);
        }
        for (auto& [id, p] : m_pending)
            if (p.client == client && !p.waited) p.client = 0;
        {
            // Not yet announced, its answers are not announced at all; from a delivery of the batch
            // under way, the rest of that batch skips it.
            std::lock_guard<std::mutex> notices(m_noticeMutex);
            std::erase_if(m_toNotify, [&](const CNotice& n) { return n.client == client; });
            m_removedWhileNotifying.push_back(client);
            m_removals.fetch_add(1);
        }
        for (uint32_t loop : loops) {
            drive::CPayloadWriter w;
            w.U32(loop);
            if (m_connected)
                m_out += drive::EncodeFrame(drive::kReqLoopRelease, m_nextId++, Prefix({}, {}, client) + w.Data());
        }
        SendAndWatch();
    }
    // A delivery in progress finishes before the client is gone for its owner.
    std::lock_guard<std::recursive_mutex> deliver(m_deliverMutex);
    return true;
}

bool CDriveLink::HasClient(uint32_t client) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_clients.count(client) != 0;
}

bool CDriveLink::TakeAnswer(uint32_t client, H2ANSWER& answer) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_clients.find(client);
    if (it == m_clients.end() || it->second.answers.empty()) return false;
    answer = it->second.answers.front();
    it->second.answers.pop_front();
    return true;
}

std::string CDriveLink::Prefix(const std::string& node, const std::string& type, uint32_t client) {
    drive::CPayloadWriter w;
    w.Str(node).Str(type).U32(client);
    return w.Take();
}

bool CDriveLink::ConnectOnce(int timeoutMs) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    if (::getaddrinfo(m_config.host.c_str(), std::to_string(m_config.port).c_str(), &hints, &res) != 0) return false;
    int fd = -1;
    for (addrinfo* ai = res; ai != nullptr && fd < 0; ai = ai->ai_next) {
        fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
        if (fd < 0) continue;
        if (::connect(fd, ai->ai_addr, ai->ai_addrlen) != 0) {
            bool ok = false;
            if (errno == EINPROGRESS) {
                pollfd p{fd, POLLOUT, 0};
                int err = 0;
                socklen_t len = sizeof err;
                ok = ::poll(&p, 1, timeoutMs) == 1 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0;
            }
            if (!ok) {
                ::close(fd);
                fd = -1;
            }
        }
    }
    ::freeaddrinfo(res);
    if (fd < 0) return false;
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    std::lock_guard<std::recursive_mutex> reading(m_readMutex);
    m_decoder = drive::CFrameDecoder(drive::IsReplyType);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fd = fd;
    epoll_event e{};
    e.events = EPOLLIN;
    e.data.u32 = kSocketTag;
    m_watched = m_epoll >= 0 && ::epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &e) == 0 ? static_cast<uint32_t>(EPOLLIN) : 0u;
    m_connected = true;
    m_ioFd.store(fd);
    m_everConnected = true;
    m_out.clear();
    // What stands (loops, task manager clients) is asked for again on the new connection.
    for (auto& [id, s] : m_standing)
        m_out += drive::EncodeFrame(s.type, id, s.payload);
    SendAndWatch();
    return true;
}

bool CDriveLink::StartDrive() {
    if (m_config.driveProgram.empty() || ::access(m_config.driveProgram.c_str(), X_OK) != 0) return false;
    const std::string port = std::to_string(m_config.port);
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        // Detached: its own session and process group, not our child, no terminal.
        ::setsid();
        if (::fork() != 0) ::_exit(0);
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        ::execl(m_config.driveProgram.c_str(), "ruxdrive", "--port", port.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return true;
}

bool CDriveLink::EnsureConnected() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_connected) return true;
        if (m_firstContactDone) return false;  // after the first contact the I/O thread reconnects
    }
    // First contact: connect, and start a drive when nothing listens and that is allowed. A drive
    // is never started after a connection was lost: a drive that died must show as a loss.
    bool ok = ConnectOnce(500);
    if (!ok && m_config.autoStart && StartDrive()) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!ok && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
            ok = ConnectOnce(200);
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_firstContactDone = true;
    }
    Wake();
    return ok;
}

int32_t CDriveLink::Send(uint32_t client, uint8_t type, const std::string& payload, uint32_t* idOut, bool standing,
                         int readMs) {
    if (!EnsureConnected()) {
        std::lock_guard<std::mutex> lock(m_mutex);
        H2ANSWER a{};
        a.Status = H2_ERR_NO_COMMUNICATION;
        if (client != 0) DeliverLocked(client, a);
    } else {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_connected) {
            const uint32_t id = m_nextId++;
            m_pending[id] = CPending{client, false, false, false, {}};
            // Registered before the frame can go out: its first answers may come at once.
            if (standing) {
                drive::CPayloadReader r(payload);
                m_standing[id] = CStanding{client, type, payload, r.Str(), {}};
            }
            // A caller that can spare the time reads its own result: its answers are then queued
            // when it returns, without a hand-off from the I/O thread. A slow drive's result is
            // left to the I/O thread.
            const bool reader = readMs > 0 && ClaimSocketLocked(id);
            m_out += drive::EncodeFrame(type, id, payload);
            if (idOut != nullptr) *idOut = id;
            SendAndWatch();
            if (reader) {
                const bool wakeIo = ReadOwnResult(lock, id, std::chrono::steady_clock::now() + std::chrono::milliseconds(readMs));
                WatchSocketLocked();
                lock.unlock();
                if (wakeIo) Wake();
            }
            return H2_OK;
        }
    }
    Wake();
    return H2_ERR_NO_COMMUNICATION;
}

bool CDriveLink::ClaimSocketLocked(uint32_t id) {
    // Called from a delivery on the I/O thread, waiting would stall the thread that must answer;
    // and one caller at a time reads for itself, others are woken by whoever reads.
    if (std::this_thread::get_id() == m_threadId || m_callerReading || !m_connected) return false;
    m_callerReading = true;
    m_readerThread = std::this_thread::get_id();
    m_readerRequest = id;
    // The I/O thread, asleep on the socket, must not wake for the result this caller reads.
    WatchSocketLocked();
    return true;
}

bool CDriveLink::ReadOwnResult(std::unique_lock<std::mutex>& lock, uint32_t id, std::chrono::steady_clock::time_point until) {
    // A call's entry stays, done, for its caller; a sent request's goes when its result came.
    auto finished = [&] {
        const auto p = m_pending.find(id);
        return p == m_pending.end() || p->second.done;
    };
    const int fd = m_fd;
    while (!finished() && !m_stop && m_connected && m_fd == fd) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() < 0) break;
        lock.unlock();
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_readerWake, POLLIN, 0}};
        const int n = ::poll(fds, 2, static_cast<int>(left.count()) + 1);
        if (n > 0 && (fds[1].revents & POLLIN)) Drain(m_readerWake);
        if (n > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)))
            while (ReadAvailable(fd)) {
            }
        lock.lock();
        // What arrived for others is announced while this caller still waits.
        if (m_noticesQueued.load() && !finished()) {
            lock.unlock();
            Wake();
            lock.lock();
        }
    }
    m_callerReading = false;
    // What the I/O thread left to this caller meanwhile (the end of the connection after the last
    // read, say) it looks at again now.
    const bool missed = std::exchange(m_socketEventMissed, false);
    if (missed) m_lookAgain.store(true);
    // The socket's interest is set again by the caller once its own entry is gone.
    return m_noticesQueued.load() || m_stop || !m_connected || missed;
}

CCallResult CDriveLink::Call(uint32_t client, uint8_t type, const std::string& payload, int timeoutMs, bool standing) {
    CCallResult failed;
    failed.status = H2_ERR_NO_COMMUNICATION;
    if (!EnsureConnected()) return failed;
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_connected) return failed;
    const uint32_t id = m_nextId++;
    const bool canWait = std::this_thread::get_id() != m_threadId;
    const bool reader = canWait && ClaimSocketLocked(id);
    m_pending[id] = CPending{client, canWait, false, false, {}};
    if (standing) {
        drive::CPayloadReader r(payload);
        m_standing[id] = CStanding{client, type, payload, r.Str(), {}};
    }
    m_out += drive::EncodeFrame(type, id, payload);
    SendAndWatch();
    if (!canWait) {
        CCallResult r;
        return r;
    }
    bool done = false;
    bool wakeIo = false;
    if (reader) {
        wakeIo = ReadOwnResult(lock, id, std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs));
        done = m_pending[id].done;
    } else {
        done = m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_pending[id].done || m_stop; });
    }
    CCallResult r = done && !m_stop ? std::move(m_pending[id].result) : failed;
    m_pending.erase(id);
    WatchSocketLocked();
    lock.unlock();
    // The I/O thread announces what this caller read meanwhile; woken after the unlock, it does not
    // wake only to wait for the mutex. With nothing to announce it sleeps on.
    if (wakeIo) Wake();
    return r;
}

int32_t CDriveLink::CreateLoop(uint32_t client, const std::string& node, const std::string& symbol, int32_t period,
                               int32_t& loop) {
    drive::CPayloadWriter w;
    w.Str(symbol).I32(period);
    const std::string payload = Prefix(node, {}, client) + w.Data();
    uint32_t id = 0;
    const int32_t st = Send(client, drive::kReqLoopCreate, payload, &id, true);
    if (st == H2_OK) loop = static_cast<int32_t>(id);
    return st;
}

int32_t CDriveLink::ReleaseLoop(uint32_t client, int32_t loop, std::string& lastText) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_standing.find(static_cast<uint32_t>(loop));
    if (it == m_standing.end() || it->second.client != client || it->second.type != drive::kReqLoopCreate)
        return H2_ERR_NOT_FOUND;
    lastText = it->second.lastText;
    m_standing.erase(it);
    if (m_connected) {
        drive::CPayloadWriter w;
        w.U32(static_cast<uint32_t>(loop));
        m_out += drive::EncodeFrame(drive::kReqLoopRelease, m_nextId++, Prefix({}, {}, client) + w.Data());
        SendAndWatch();
    }
    return H2_OK;
}

void CDriveLink::Forget(uint32_t client, const std::string& node) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::erase_if(m_standing, [&](const auto& s) {
        return s.second.client == client && s.second.node == node && s.second.type == drive::kReqCommand;
    });
}

void CDriveLink::DeliverLocked(uint32_t client, const H2ANSWER& a) {
    const auto it = m_clients.find(client);
    if (it == m_clients.end()) return;
    if (it->second.answers.size() >= kMaxQueued) it->second.answers.pop_front();
    it->second.answers.push_back(a);
    std::lock_guard<std::mutex> notices(m_noticeMutex);
    m_toNotify.push_back(CNotice{client, it->second.window, it->second.message, ++it->second.sequence});
    m_noticesQueued.store(true);
}

void CDriveLink::Deliver(uint32_t client, const CAnswer& a) {
    DeliverLocked(client, ToRecord(a));
}

void CDriveLink::FlushNotifications() {
    // Held for the whole batch: a client removed meanwhile on another thread is gone for its owner
    // only once the batch is done.
    std::lock_guard<std::recursive_mutex> deliver(m_deliverMutex);
    uint32_t removals = 0;
    {
        std::lock_guard<std::mutex> notices(m_noticeMutex);
        m_notifying.clear();
        m_notifying.swap(m_toNotify);
        m_removedWhileNotifying.clear();
        m_noticesQueued.store(false);
        removals = m_removals.load();
    }
    const H2NOTIFYPROC proc = m_notify;  // set under m_deliverMutex
    for (const CNotice& n : m_notifying) {
        // A delivery that removed a client (this thread, within the batch) ends that client's
        // announcements at once.
        if (m_removals.load() != removals) {
            std::lock_guard<std::mutex> notices(m_noticeMutex);
            const auto& gone = m_removedWhileNotifying;
            if (std::find(gone.begin(), gone.end(), n.client) != gone.end()) continue;
        }
        if (proc != nullptr) proc(n.window, n.message, static_cast<uintptr_t>(n.client), static_cast<intptr_t>(n.sequence));
    }
}

void CDriveLink::Disconnected(const std::string&) {
    // Not while someone reads: the descriptor is closed, and its number may soon be another's.
    std::lock_guard<std::recursive_mutex> reading(m_readMutex);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_ioFd.store(-1);
    m_watched = 0;
    m_connected = false;
    m_out.clear();
    for (auto& [id, p] : m_pending) {
        p.result = CCallResult{};
        p.result.status = H2_ERR_NO_COMMUNICATION;
        p.done = true;
    }
    std::erase_if(m_pending, [](const auto& p) { return !p.second.waited; });
    m_cv.notify_all();
    WakeReader();
    H2ANSWER a{};
    a.Status = H2_ERR_NO_COMMUNICATION;
    for (auto& [id, c] : m_clients)
        DeliverLocked(id, a);
}

void CDriveLink::HandleFrame(const CFrame& f) {
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        wake = HandleFrameLocked(f);
    }
    if (wake) m_cv.notify_all();
}

bool CDriveLink::HandleFrameLocked(const CFrame& f) {
    const auto p = m_pending.find(f.id);
    if (f.type == drive::kRepAnswer) {
        CAnswer a;
        if (!drive::DecodeAnswer(f.payload, a)) return false;
        if (p != m_pending.end()) {
            if (p->second.client != 0) {
                Deliver(p->second.client, a);
                p->second.answered = true;
            } else if (p->second.waited) {
                p->second.result.answers.push_back(std::move(a));
            }
            return false;
        }
        const auto s = m_standing.find(f.id);
        if (s == m_standing.end()) return false;
        if (a.kind == H2_ANS_VALUE) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.12g", a.value);
            s->second.lastText = a.symbol + " = " + buf;
        }
        Deliver(s->second.client, a);
        return false;
    }
    drive::CPayloadReader r(f.payload);
    const int32_t status = r.I32();
    std::string detail = r.Blob();
    if (p == m_pending.end()) return false;
    if (p->second.waited) {
        if (status != H2_OK) m_standing.erase(f.id);
        p->second.result.status = status;
        p->second.result.detail = std::move(detail);
        p->second.done = true;
        if (f.id == m_readerRequest) WakeReader();
        return true;
    }
    if (status != H2_OK) {
        if (p->second.client != 0 && !p->second.answered) {
            H2ANSWER a{};
            a.Status = status;
            DeliverLocked(p->second.client, a);
        }
        m_standing.erase(f.id);  // a loop the drive refused does not come back
    }
    // Read by another thread, the result of the caller that reads for itself must still wake it.
    if (f.id == m_readerRequest) WakeReader();
    m_pending.erase(p);
    return false;
}

bool CDriveLink::ReadAvailable(int fd) {
    std::lock_guard<std::recursive_mutex> reading(m_readMutex);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_connected || m_fd != fd) return false;
    }
    for (;;) {
        const ssize_t got = ::recv(fd, m_readBuffer.data(), m_readBuffer.size(), MSG_DONTWAIT);
        if (got > 0) {
            std::vector<CFrame> frames;
            const bool ok = m_decoder.Feed(m_readBuffer.data(), static_cast<std::size_t>(got), frames);
            for (const CFrame& f : frames)
                HandleFrame(f);
            if (!ok) {
                Disconnected("bad frame from the drive: " + m_decoder.Error());
                return false;
            }
            // A short read emptied the socket; poll tells when more arrives.
            return static_cast<std::size_t>(got) == m_readBuffer.size();
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return false;
        if (got < 0 && errno == EINTR) continue;
        Disconnected(got == 0 ? "drive closed the connection" : std::strerror(errno));
        return false;
    }
}

void CDriveLink::Thread() {
    using std::chrono::steady_clock;
    auto lastTry = steady_clock::now() - std::chrono::seconds(1);
    while (!m_stop.load()) {
        // A wake-up to announce touches none of the link's state: the socket's interest is kept by
        // whoever changes what it depends on.
        const int fd = m_ioFd.load();
        if (fd < 0) {
            bool reconnect = false;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                reconnect = !m_connected && m_firstContactDone;
            }
            if (reconnect && steady_clock::now() - lastTry > std::chrono::milliseconds(100)) {
                lastTry = steady_clock::now();
                if (ConnectOnce(200)) continue;
            }
        }
        epoll_event got[2];
        const int n = ::epoll_wait(m_epoll, got, 2, fd >= 0 ? 200 : 100);
        if (n < 0 && errno != EINTR) break;
        uint32_t socketEvents = 0;
        for (int i = 0; i < n; ++i) {
            if (got[i].data.u32 == kSocketTag) socketEvents = got[i].events;
        }
        if (fd >= 0 && (socketEvents & EPOLLOUT)) {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_connected && m_fd == fd && !m_out.empty()) {
                const ssize_t w = ::send(fd, m_out.data(), m_out.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
                if (w > 0) m_out.erase(0, static_cast<std::size_t>(w));
                if (w < 0 && errno != EAGAIN && errno != EINTR) {
                    lock.unlock();
                    Disconnected(std::strerror(errno));
                    continue;
                }
                WatchSocketLocked();
            }
        }
        const bool look = (socketEvents & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR)) != 0 || m_lookAgain.exchange(false);
        if (fd >= 0 && look) {
            bool callerReads = false;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                callerReads = m_callerReading;
                // Reported once, an end of the connection after the caller's last read would go
                // unnoticed: the caller hands it back when it is done.
                if (callerReads) m_socketEventMissed = true;
            }
            // Answers go out before anything else is read: the client is waiting for them.
            if (!callerReads) {
                while (ReadAvailable(fd))
                    FlushNotifications();
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_fd == fd) WatchSocketLocked();
            }
        }
        FlushNotifications();
    }
    FlushNotifications();
}

} // namespace rux::comapi
