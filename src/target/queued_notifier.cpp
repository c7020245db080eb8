#include "target/queued_notifier.h"

namespace rux {

CQueuedNotifier::CQueuedNotifier(CSuiteNotifier& sender) : m_sender(sender), m_thread([this] { Run(); }) {}

CQueuedNotifier::~CQueuedNotifier() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_drainUntil = std::chrono::steady_clock::now() + kDrainTime;
    }
    m_queuedOrStopping.notify_all();
    m_thread.join();
}

bool CQueuedNotifier::Notify(const std::string& tool, int message, const std::string& fileName) {
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping || m_queue.size() >= kMaxQueued) return false;
        m_queue.push_back({tool, message, fileName});
    }
    m_queuedOrStopping.notify_one();
    return true;
}

bool CQueuedNotifier::Flush(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_idle.wait_for(lock, timeout, [this] { return m_queue.empty() && !m_sending; });
}

int CQueuedNotifier::Undelivered() const {
    std::lock_guard lock(m_mutex);
    return m_undelivered;
}

void CQueuedNotifier::Run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_queuedOrStopping.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_stopping && (m_queue.empty() || std::chrono::steady_clock::now() >= m_drainUntil)) {
            m_queue.clear();
            m_idle.notify_all();
            return;
        }
        CQueued next = std::move(m_queue.front());
        m_queue.pop_front();
        m_sending = true;
        lock.unlock();
        bool delivered = false;
        try {
            delivered = m_sender.Notify(next.tool, next.message, next.fileName);
        } catch (...) {
            // A failing sender loses this message, not the thread.
        }
        lock.lock();
        m_sending = false;
        if (!delivered) ++m_undelivered;
        if (m_queue.empty()) m_idle.notify_all();
    }
}

} // namespace rux
