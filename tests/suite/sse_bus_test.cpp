#include "support/child_process.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "target/queued_notifier.h"
#include "target/sse_notifier.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace rux {
namespace {

using M = std::tuple<int, std::string, std::string>;

struct CReceived {
    std::mutex mutex;
    std::vector<M> messages;
};

void Receive(int32_t message, const char* fileName, const char* lineData, void* context) {
    auto* r = static_cast<CReceived*>(context);
    std::lock_guard lock(r->mutex);
    r->messages.emplace_back(message, fileName, lineData);
}

// The rux command line in a process of its own; its exit code.
int RunRux(std::vector<std::string> args) {
    const std::string rux = std::string(RUX_PRODUCT_DIR) + "/rux";
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(rux.c_str()));
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(rux.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Each test has a runtime folder of its own, so its sockets never meet another run's.
class SseBus : public ::testing::Test {
protected:
    test::CTempDir m_dir;
    test::CScopedEnv m_runtime{"XDG_RUNTIME_DIR", m_dir.Path()};

    // A socket of the bus folder that no tool serves: bound only, or listening but never accepting.
    static int SocketAt(const std::string& path, bool listening) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
        EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0) << path;
        if (listening) {
            EXPECT_EQ(::listen(fd, 16), 0);
        }
        return fd;
    }
};

TEST_F(SseBus, DeliversNumberFileAndLineDataToTheRegisteredTool) {
    CSseNotifier bus;
    ASSERT_TRUE(bus.IsLoaded());
    CReceived received;
    EXPECT_FALSE(bus.Notify("Z2ADAZ", 1729, "/p/a.rux")) << "nobody registered yet";
    ASSERT_TRUE(bus.RegisterTool("Z2ADAZ", Receive, &received));
    EXPECT_TRUE(bus.Notify("Z2ADAZ", 1729, "/p/a b.rux"));
    EXPECT_TRUE(bus.Notify("Z2ADAZ", 1738, "/p/c.rux", "12;3;9"));
    EXPECT_TRUE(bus.Notify("Z2ADAZ", 1739, ""));
    EXPECT_FALSE(bus.Notify("H2WATCHAPP", 1741, "x")) << "another tool's name";
    EXPECT_FALSE(bus.Notify("../Z2ADAZ", 1729, "x"));
    // Queued from the user-interface thread: sent in order, each with its own file name.
    {
        CQueuedNotifier queued(bus);
        EXPECT_TRUE(queued.Notify("Z2ADAZ", 1742, "/p/up.rux"));
        EXPECT_TRUE(queued.Notify("Z2ADAZ", 1729, "/p/hdr.rux"));
        EXPECT_TRUE(queued.Flush(std::chrono::seconds(5)));
        EXPECT_EQ(queued.Undelivered(), 0);
    }
    // A second registration of the name takes the messages over.
    CReceived second;
    ASSERT_TRUE(bus.RegisterTool("Z2ADAZ", Receive, &second));
    EXPECT_TRUE(bus.Notify("Z2ADAZ", 1741, "prog\\node"));
    bus.UnregisterTool("Z2ADAZ");
    EXPECT_EQ(second.messages, (std::vector<M>{{1741, "prog\\node", ""}}));
    EXPECT_FALSE(bus.Notify("Z2ADAZ", 1729, "/p/a.rux")) << "unregistered";
    EXPECT_EQ(received.messages, (std::vector<M>{{1729, "/p/a b.rux", ""},
                                                 {1738, "/p/c.rux", "12;3;9"},
                                                 {1739, "", ""},
                                                 {1742, "/p/up.rux", ""},
                                                 {1729, "/p/hdr.rux", ""}}));
}

// The receiver is this process; the sender is the rux command line in a process of its own.
TEST_F(SseBus, TwoProcessesTalkThroughTheBus) {
    CSseNotifier bus;
    CReceived received;
    ASSERT_TRUE(bus.RegisterTool("RUX2EDIT", Receive, &received));
    EXPECT_EQ(RunRux({"sse", "send", "RUX2EDIT", "1226", "/w/err.rux", "--line-data", "4;1;7"}), 0);
    EXPECT_EQ(RunRux({"sse", "send", "RUX2EDIT", "1227"}), 0);
    EXPECT_EQ(RunRux({"sse", "send", "NOBODY", "1227"}), 1);
    bus.UnregisterTool("RUX2EDIT");
    EXPECT_EQ(received.messages, (std::vector<M>{{1226, "/w/err.rux", "4;1;7"}, {1227, "", ""}}));
}

// What one process puts, every process of the user reads outside a callback: a tool publishes an
// error location and then starts the editor with its go-to-error switch.
TEST_F(SseBus, PutsAreSharedWithTheUsersOtherProcesses) {
    CSseNotifier bus;
    ASSERT_TRUE(bus.IsLoaded());
    using R = std::pair<std::string, std::string>;
    const auto here = [&] { return R{bus.PublishedFileName(), bus.PublishedErrorLineData()}; };
    const auto elsewhere = [] {
        const test::CChildResult child = test::RunInChild([] {
            CSseNotifier reader;
            return reader.PublishedFileName() + "|" + reader.PublishedErrorLineData();
        });
        return child.ran ? child.output : "(no child)";
    };
    EXPECT_EQ(here(), R()) << "nothing put yet";
    const struct {
        const char* what;
        std::function<bool()> put;
        R published;
    } rows[] = {
        {"rux sse put", [] { return RunRux({"sse", "put", "/w/a b.rux", "--line-data", "12;3;9"}) == 0; },
         {"/w/a b.rux", "12;3;9"}},
        {"a put without line data empties it", [] { return RunRux({"sse", "put", "/w/b.rux"}) == 0; },
         {"/w/b.rux", ""}},
        {"a send puts, delivered or not, and its line data stays",
         [&] { return !bus.Notify("NOBODY", 1729, "/w/c.rux", "4;1;7"); }, {"/w/c.rux", "4;1;7"}},
        {"a bare send puts nothing", [&] { return !bus.SendOnly("NOBODY", 1232); }, {"/w/c.rux", "4;1;7"}},
        {"no file named", [] { return RunRux({"sse", "put", "", "--line-data", "5;-1;-1"}) == 0; }, {"", "5;-1;-1"}},
        {"usage: no file", [] { return RunRux({"sse", "put"}) == 2; }, {"", "5;-1;-1"}},
        {"usage: two files", [] { return RunRux({"sse", "put", "a", "b"}) == 2; }, {"", "5;-1;-1"}},
    };
    for (const auto& r : rows) {
        ASSERT_TRUE(r.put()) << r.what;
        EXPECT_EQ(here(), r.published) << r.what;
        EXPECT_EQ(elsewhere(), r.published.first + "|" + r.published.second) << r.what;
    }
    // Two records, the user's alone, and no scratch file left beside them.
    std::vector<std::string> records;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.File("rux-sse"))) {
        records.push_back(entry.path().filename().string());
        EXPECT_EQ(entry.status().permissions(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
            << records.back();
    }
    std::sort(records.begin(), records.end());
    EXPECT_EQ(records, (std::vector<std::string>{"@put-file-name", "@put-line-data"}));
    // A bus folder that others may write is trusted with nothing: no put, no answer.
    std::filesystem::permissions(m_dir.File("rux-sse"), std::filesystem::perms::all);
    EXPECT_EQ(RunRux({"sse", "put", "/w/d.rux"}), 1);
    EXPECT_EQ(here(), R());
}

// A second message arrives while the first one's callback still runs: it is accepted at once, and
// each callback, asking the service or reading its arguments, sees its own message's data.
struct CHeld {
    CSseNotifier* bus = nullptr;
    std::atomic<bool> release{false};
    std::atomic<bool> entered{false};
    std::mutex mutex;
    std::vector<std::tuple<int, std::string, std::string, std::string, std::string>> seen;
};

void HoldThenRead(int32_t message, const char* fileName, const char* lineData, void* context) {
    auto* h = static_cast<CHeld*>(context);
    h->entered = true;
    for (int i = 0; i < 400 && !h->release; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::lock_guard lock(h->mutex);
    h->seen.emplace_back(message, h->bus->PublishedFileName(), h->bus->PublishedErrorLineData(), fileName,
                         lineData);
}

TEST_F(SseBus, MessagesInQuickSuccessionEachCarryTheirOwnData) {
    CSseNotifier bus;
    CHeld held;
    held.bus = &bus;
    ASSERT_TRUE(bus.RegisterTool("TOOLA", HoldThenRead, &held));
    ASSERT_TRUE(bus.Notify("TOOLA", 1, "/first.rux", "1;2;3"));
    for (int i = 0; i < 400 && !held.entered; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(held.entered);
    EXPECT_TRUE(bus.Notify("TOOLA", 2, "/second.rux", "9;9;9")) << "accepted while the first is handled";
    EXPECT_TRUE(bus.Notify("TOOLA", 3, "/third.rux"));
    held.release = true;
    bus.UnregisterTool("TOOLA");
    // Each callback above ran after the later sends had put their own texts: the message won.
    // Outside a callback the answer is the last put.
    EXPECT_EQ(bus.PublishedFileName(), "/third.rux");
    EXPECT_EQ(bus.PublishedErrorLineData(), "");
    using S = std::tuple<int, std::string, std::string, std::string, std::string>;
    EXPECT_EQ(held.seen, (std::vector<S>{{1, "/first.rux", "1;2;3", "/first.rux", "1;2;3"},
                                         {2, "/second.rux", "9;9;9", "/second.rux", "9;9;9"},
                                         {3, "/third.rux", "", "/third.rux", ""}}));
}

// Nobody there, a socket a dead process left, a process that never answers: a send returns within
// the receipt wait, and a queued send returns at once. A dead tool's name can be registered again.
TEST_F(SseBus, SendToADeadOrStuckReceiverReturnsWithinTheBound) {
    const int dead = SocketAt(m_dir.File("rux-sse/DEAD"), false);
    const int stuck = SocketAt(m_dir.File("rux-sse/STUCK"), true);
    CSseNotifier bus;
    for (const char* tool : {"NOBODY", "DEAD", "STUCK"}) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(bus.Notify(tool, 1729, "/x.rux")) << tool;
        EXPECT_LT(std::chrono::steady_clock::now() - start,
                  std::chrono::milliseconds(SSE_RECEIPT_WAIT_MS + 400))
            << tool;
    }
    CQueuedNotifier queued(bus);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(queued.Notify("STUCK", 1738, "/x.rux"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_TRUE(queued.Flush(std::chrono::milliseconds(3 * SSE_RECEIPT_WAIT_MS + 3000)));
    EXPECT_EQ(queued.Undelivered(), 3);
    ::close(dead);
    ::close(stuck);
    // The next registration takes a dead tool's name over; unregistering removes its socket.
    CReceived received;
    ASSERT_TRUE(bus.RegisterTool("DEAD", Receive, &received));
    EXPECT_TRUE(bus.Notify("DEAD", 1729, "/p/a.rux"));
    bus.UnregisterTool("DEAD");
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("rux-sse/DEAD")));
    EXPECT_EQ(received.messages, (std::vector<M>{{1729, "/p/a.rux", ""}}));
}

} // namespace
} // namespace rux
