// The library's one connection to the drive: an I/O thread that connects (starting ruxdrive when
// allowed), sends requests, routes answers to clients and reports a lost connection to all.
#ifndef RUX_COMAPI_DRIVE_LINK_H
#define RUX_COMAPI_DRIVE_LINK_H

#include "hm2comapi.h"
#include "messages.h"

#include <chrono>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace rux::comapi {

struct CLinkConfig {
    std::string host = "127.0.0.1";
    int port = 47600;
    bool autoStart = true;
    std::string driveProgram;  // ruxdrive in the product directory
};

// Reads the configuration: Torvel.ini [Drive] Address=host:port and AutoStart=0|1 in the product
// directory, overridden by RUXDRIVE_ADDRESS and RUXDRIVE_AUTOSTART.
CLinkConfig ReadLinkConfig();

struct CCallResult {
    int32_t status = 0;
    std::string detail;
    std::vector<drive::CAnswer> answers;
};

class CDriveLink {
public:
    explicit CDriveLink(CLinkConfig config);
    ~CDriveLink();
    CDriveLink(const CDriveLink&) = delete;
    CDriveLink& operator=(const CDriveLink&) = delete;

    uint32_t AddClient(H2HWND window, uint32_t message);
    bool RemoveClient(uint32_t client);
    bool HasClient(uint32_t client);
    bool TakeAnswer(uint32_t client, H2ANSWER& answer);

    // Payload prefix of every request.
    static std::string Prefix(const std::string& node, const std::string& type, uint32_t client);

    // Sends a request; its answers go to client and a failed result becomes an answer too.
    // H2_ERR_NO_COMMUNICATION when there is no connection (the client is told as well).
    // readMs > 0: the caller reads the socket for the result meanwhile, at most that long, so that
    // the answers are usually queued when it returns.
    int32_t Send(uint32_t client, uint8_t type, const std::string& payload, uint32_t* id = nullptr, bool standing = false,
                 int readMs = 0);
    // Sends and waits for the result. With a client, answers go to it; without, into the result.
    // standing: the request stays (a task manager client) and is sent again after a reconnection.
    CCallResult Call(uint32_t client, uint8_t type, const std::string& payload, int timeoutMs, bool standing = false);

    // Loops and task manager subscriptions are sent again when the connection comes back.
    int32_t CreateLoop(uint32_t client, const std::string& node, const std::string& symbol, int32_t period, int32_t& loop);
    int32_t ReleaseLoop(uint32_t client, int32_t loop, std::string& lastText);
    void Forget(uint32_t client, const std::string& node);

    void SetNotify(H2NOTIFYPROC proc);

private:
    struct CClient {
        H2HWND window = nullptr;
        uint32_t message = 0;
        std::deque<H2ANSWER> answers;
        std::uintptr_t sequence = 0;
    };
    struct CPending {
        uint32_t client = 0;
        bool waited = false;
        bool done = false;
        bool answered = false;  // an answer went to the client already
        CCallResult result;
    };
    struct CStanding {  // a loop or a subscription, resent on reconnection
        uint32_t client = 0;
        uint8_t type = 0;
        std::string payload;
        std::string node;
        std::string lastText;
    };

    void Thread();
    bool ConnectOnce(int timeoutMs);
    bool StartDrive();
    bool EnsureConnected();
    void Disconnected(const std::string& why);
    // Reads what the socket holds and handles its frames; true when the buffer came back full
    // and more may wait. Either the I/O thread or a caller waiting for its result reads.
    bool ReadAvailable(int fd);
    // With m_mutex held: the caller reading for its result looks again (unless it is this thread).
    void WakeReader();
    // With m_mutex held: this thread reads the socket for request id, when no other caller does
    // and it is not the I/O thread. The I/O thread then leaves the socket alone.
    bool ClaimSocketLocked(uint32_t id);
    // With the claim and the lock held: reads until request id has its result (its entry done or
    // gone), the connection ends or the time is up, then gives the socket back. True when the I/O
    // thread must be woken (to announce, to send, or to reconnect).
    bool ReadOwnResult(std::unique_lock<std::mutex>& lock, uint32_t id, std::chrono::steady_clock::time_point until);
    static void Drain(int fd);   // takes the wake-ups a wake-up counter holds
    static void Signal(int fd);  // adds one
    void HandleFrame(const drive::CFrame& f);
    // The same under m_mutex; true when a waiting caller must be woken (after the unlock, so
    // that it does not wake only to wait for the mutex).
    bool HandleFrameLocked(const drive::CFrame& f);
    void Deliver(uint32_t client, const drive::CAnswer& a);
    void DeliverLocked(uint32_t client, const H2ANSWER& a);
    // Calls the delivery function for what was queued, on the I/O thread. It takes neither m_mutex
    // nor the lock of the queue while it calls, so a delivery may call back into the library, and a
    // caller at work on its next request does not wait for the announcement.
    void FlushNotifications();
    void Wake();
    // With m_mutex held: sends what the socket takes now, then sets what the I/O thread watches.
    void SendAndWatch();
    // With m_mutex held: what the I/O thread waits for on the socket, from what is to come (reading
    // while answers may arrive that no caller reads for itself, writing while output waits).
    void WatchSocketLocked();
    static constexpr uint32_t kWakeTag = 0;
    static constexpr uint32_t kSocketTag = 1;

    CLinkConfig m_config;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::recursive_mutex m_deliverMutex;
    // Whoever reads the socket holds this, before m_mutex; it also guards the decoder.
    std::recursive_mutex m_readMutex;
    drive::CFrameDecoder m_decoder{drive::IsReplyType};
    std::vector<uint8_t> m_readBuffer = std::vector<uint8_t>(65536);
    H2NOTIFYPROC m_notify = nullptr;
    std::map<uint32_t, CClient> m_clients;
    std::map<uint32_t, CPending> m_pending;
    std::map<uint32_t, CStanding> m_standing;  // by request id
    // An answer to announce, with what the announcement needs of its client, so that the I/O
    // thread announces without looking the client up under m_mutex.
    struct CNotice {
        uint32_t client = 0;
        H2HWND window = nullptr;
        uint32_t message = 0;
        std::uintptr_t sequence = 0;
    };
    // Taken under m_mutex or alone, never the other way round; guards the notices and the clients
    // removed while an announcement runs.
    std::mutex m_noticeMutex;
    std::vector<CNotice> m_toNotify;
    std::vector<CNotice> m_notifying;  // the batch being announced; its buffer is reused
    std::vector<uint32_t> m_removedWhileNotifying;
    std::atomic<bool> m_noticesQueued{false};
    std::atomic<uint32_t> m_removals{0};
    uint32_t m_nextClient = 1;
    uint32_t m_nextId = 1;
    std::string m_out;
    int m_fd = -1;
    int m_wake = -1;        // wakes the I/O thread
    int m_readerWake = -1;  // wakes the caller that reads for its result
    int m_epoll = -1;         // the I/O thread waits here: its wake-up counter and the socket
    uint32_t m_watched = 0;   // the socket's events in m_epoll
    // A caller waiting for its result reads the socket itself meanwhile: the answer then reaches
    // it without a hand-off from the I/O thread, which leaves the socket alone until it is done.
    bool m_callerReading = false;
    std::thread::id m_readerThread;
    uint32_t m_readerRequest = 0;  // the request that caller waits for
    bool m_socketEventMissed = false;  // the I/O thread left a socket event to that caller
    std::atomic<bool> m_lookAgain{false};  // ... which hands it back when it is done
    bool m_connected = false;
    bool m_everConnected = false;
    bool m_firstContactDone = false;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_ioFd{-1};  // m_fd while connected, for the I/O thread to look at unlocked
    std::thread m_thread;
    std::thread::id m_threadId;
};

} // namespace rux::comapi

#endif
