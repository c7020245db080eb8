// The drive process: nodes by address, the TCP listener and the connections of its clients.
#ifndef RUX_DRIVE_SERVER_H
#define RUX_DRIVE_SERVER_H

#include "../node/node.h"
#include "../protocol/frame.h"
#include "../protocol/messages.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace rux::drive {

inline constexpr int kDefaultPort = 47600;
inline constexpr const char* kFirmware = "ruxdrive 1.0 (simulated)";

struct CDriveOptions {
    int port = kDefaultPort;
    std::string stateDir;     // empty: nothing is kept
    bool virtualTime = false; // time passes only by advance requests
    std::string nodesFile;    // "ADDRESS TYPE" lines of nodes to create at start
    std::string dataDir;      // drive_parameters.ini and targets.ini
};

class CDriveServer {
public:
    explicit CDriveServer(CDriveOptions options, std::function<void(const std::string&)> log = {});
    ~CDriveServer();
    CDriveServer(const CDriveServer&) = delete;
    CDriveServer& operator=(const CDriveServer&) = delete;

    // Loads defaults and stored nodes and listens on 127.0.0.1:port. false with a message when
    // the port cannot be taken.
    bool Start(std::string& message);
    int Port() const { return m_port; }
    // Serves until stop is set (checked at least every 50 ms).
    void Run(const std::atomic<bool>& stop);
    // Writes every node's state into the state directory.
    void SaveAll();

    // Nodes, created on first contact. An empty or unknown type gives the default task list.
    CNode& NodeFor(const std::string& address, const std::string& type);
    CNode* FindNode(const std::string& address);
    std::vector<std::string> TasksOf(const std::string& type) const;
    // Advances every node (real time) or one node (virtual time) and serves the loops due.
    void AdvanceNode(CNode& node, uint32_t ms);

    std::size_t ConnectionCount() const { return m_conns.size(); }

private:
    struct CLoop {
        uint32_t id = 0;
        uint32_t client = 0;
        std::string node;
        std::string symbol;
        uint32_t period = 100;
        uint64_t due = 0;  // node time of the next value
    };
    struct CSubscription {
        uint32_t id = 0;
        uint32_t client = 0;
        std::string node;
    };
    struct CConn {
        int fd = -1;
        CFrameDecoder decoder{IsRequestType};
        std::string out;
        std::vector<CLoop> loops;
        std::vector<CSubscription> subs;
        bool closing = false;
        bool watchingOut = false;  // EPOLLOUT is in the set
    };

    // Real time: brings every node to now and sets when they are due next.
    void CatchUp(uint64_t nowMs);
    void Watch(CConn& c);
    void Accept();
    void ReadFrom(CConn& c);
    void Flush(CConn& c);
    void Close(CConn& c, const std::string& why);
    void Handle(CConn& c, const CFrame& f);
    void Reply(CConn& c, uint32_t id, int32_t status, std::string_view detail = {});
    void SendAnswer(CConn& c, uint32_t id, const CAnswer& a);
    void StatusAnswer(CConn& c, uint32_t id, CNode& node);
    void ServeLoops(CNode& node);
    void DispatchEvents(CNode& node);
    std::string NodeDir(const std::string& address) const;
    void LoadTargets();
    void RestoreNodes();

    CDriveOptions m_opt;
    std::function<void(const std::string&)> m_log;
    static constexpr uint64_t kIdleTickMs = 50;
    static constexpr uint64_t kRunTickMs = 10;  // a running program's slice, the staleness a request sees
    int m_listen = -1;
    int m_epoll = -1;
    uint64_t m_lastAdvance = 0;  // wall clock ms the nodes were brought to
    uint64_t m_nextDue = 0;
    int m_port = 0;
    CParameterDb m_defaults;
    std::map<std::string, std::vector<std::string>> m_targetTasks;  // upper-case type -> tasks
    std::map<std::string, std::unique_ptr<CNode>> m_nodes;
    std::vector<std::unique_ptr<CConn>> m_conns;
};

} // namespace rux::drive

#endif
