// Notifications sent on a thread of their own, so that the caller never waits for a receiving tool.
#pragma once

#include "target/suite_notifier.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace rux {

// The editor's user-interface thread tells the suite of saves and builds through this: Notify puts
// the message in a queue and returns at once; the notifier's thread hands the messages, in order and
// each with its own file name, to the notifier that really sends them.
class CQueuedNotifier final : public CSuiteNotifier {
public:
    // More than this many unsent messages: the receiver is stuck, and new ones are refused.
    static constexpr size_t kMaxQueued = 64;
    // On destruction, queued messages are still sent for this long; the rest are dropped.
    static constexpr std::chrono::milliseconds kDrainTime{1000};

    explicit CQueuedNotifier(CSuiteNotifier& sender);
    ~CQueuedNotifier() override;
    CQueuedNotifier(const CQueuedNotifier&) = delete;
    CQueuedNotifier& operator=(const CQueuedNotifier&) = delete;

    // True when the message was queued; whether the tool then received it is not waited for.
    bool Notify(const std::string& tool, int message, const std::string& fileName) override;
    // Waits until every queued message has been handed on; false when the timeout came first.
    bool Flush(std::chrono::milliseconds timeout);
    // Messages handed on that the receiving tool did not take.
    int Undelivered() const;

private:
    struct CQueued {
        std::string tool;
        int message = 0;
        std::string fileName;
    };
    void Run();

    CSuiteNotifier& m_sender;
    mutable std::mutex m_mutex;
    std::condition_variable m_queuedOrStopping;
    std::condition_variable m_idle;
    std::deque<CQueued> m_queue;
    bool m_sending = false;
    bool m_stopping = false;
    std::chrono::steady_clock::time_point m_drainUntil;
    int m_undelivered = 0;
    std::thread m_thread;
};

} // namespace rux
