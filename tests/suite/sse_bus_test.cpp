#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "target/sse_notifier.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace rux {
namespace {

struct CReceived {
    std::mutex mutex;
    std::condition_variable cv;
    std::vector<std::tuple<int, std::string, std::string>> messages;
    CSseNotifier* bus = nullptr;
};

void Receive(int32_t message, void* context) {
    auto* r = static_cast<CReceived*>(context);
    std::lock_guard lock(r->mutex);
    r->messages.emplace_back(message, r->bus->LastFileName(), r->bus->LastErrorLineData());
    r->cv.notify_all();
}

// Each test has a runtime folder of its own, so its sockets never meet another run's.
class SseBus : public ::testing::Test {
protected:
    test::CTempDir m_dir;
    test::CScopedEnv m_runtime{"XDG_RUNTIME_DIR", m_dir.Path()};
};

TEST_F(SseBus, DeliversNumberFileAndLineDataToTheRegisteredTool) {
    CSseNotifier bus;
    ASSERT_TRUE(bus.IsLoaded());
    CReceived received;
    received.bus = &bus;
    EXPECT_FALSE(bus.Notify("Z2ADAZ", 1729, "/p/a.rux")) << "nobody registered yet";
    ASSERT_TRUE(bus.RegisterTool("Z2ADAZ", Receive, &received));
    EXPECT_TRUE(bus.Notify("Z2ADAZ", 1729, "/p/a b.rux"));
    EXPECT_TRUE(bus.Notify("Z2ADAZ", 1738, "/p/c.rux", "12;3;9"));
    EXPECT_TRUE(bus.Notify("Z2ADAZ", 1739, ""));
    EXPECT_FALSE(bus.Notify("H2WATCHAPP", 1741, "x")) << "another tool's name";
    EXPECT_FALSE(bus.Notify("../Z2ADAZ", 1729, "x"));
    bus.UnregisterTool("Z2ADAZ");
    EXPECT_FALSE(bus.Notify("Z2ADAZ", 1729, "/p/a.rux")) << "unregistered";
    using M = std::tuple<int, std::string, std::string>;
    EXPECT_EQ(received.messages,
              (std::vector<M>{{1729, "/p/a b.rux", ""}, {1738, "/p/c.rux", "12;3;9"}, {1739, "", ""}}));
}

TEST_F(SseBus, SecondRegistrationOfANameReplacesTheFirst) {
    CSseNotifier bus;
    CReceived first, second;
    first.bus = second.bus = &bus;
    ASSERT_TRUE(bus.RegisterTool("H2WATCHAPP", Receive, &first));
    ASSERT_TRUE(bus.RegisterTool("H2WATCHAPP", Receive, &second));
    EXPECT_TRUE(bus.Notify("H2WATCHAPP", 1741, "prog\\node"));
    bus.UnregisterTool("H2WATCHAPP");
    EXPECT_TRUE(first.messages.empty());
    ASSERT_EQ(second.messages.size(), 1u);
    EXPECT_EQ(std::get<1>(second.messages[0]), "prog\\node");
}

// A socket left behind by a tool that died answers nobody; the next registration takes the name over.
TEST_F(SseBus, StaleSocketIsNotDeliveryAndIsTakenOver) {
    std::filesystem::create_directories(m_dir.File("rux-sse"));
    const std::string path = m_dir.File("rux-sse/Z2ADAZ");
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd); // bound, never listening, file left behind
    CSseNotifier bus;
    EXPECT_FALSE(bus.Notify("Z2ADAZ", 1729, "/p/a.rux"));
    CReceived received;
    received.bus = &bus;
    ASSERT_TRUE(bus.RegisterTool("Z2ADAZ", Receive, &received));
    EXPECT_TRUE(bus.Notify("Z2ADAZ", 1729, "/p/a.rux"));
    bus.UnregisterTool("Z2ADAZ");
    EXPECT_FALSE(std::filesystem::exists(path)) << "unregistering removes the socket";
    EXPECT_EQ(received.messages.size(), 1u);
}

// The receiver is this process; the sender is the rux command line in a process of its own.
TEST_F(SseBus, TwoProcessesTalkThroughTheBus) {
    CSseNotifier bus;
    CReceived received;
    received.bus = &bus;
    ASSERT_TRUE(bus.RegisterTool("RUX2EDIT", Receive, &received));
    auto run = [](std::vector<std::string> args) {
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
    };
    EXPECT_EQ(run({"sse", "send", "RUX2EDIT", "1226", "/w/err.rux", "--line-data", "4;1;7"}), 0);
    EXPECT_EQ(run({"sse", "send", "RUX2EDIT", "1227"}), 0);
    EXPECT_EQ(run({"sse", "send", "NOBODY", "1227"}), 1);
    bus.UnregisterTool("RUX2EDIT");
    using M = std::tuple<int, std::string, std::string>;
    EXPECT_EQ(received.messages, (std::vector<M>{{1226, "/w/err.rux", "4;1;7"}, {1227, "", ""}}));
}

// Each callback reads the data of its own message, even when another message arrived meanwhile.
struct CHeld {
    CSseNotifier* bus = nullptr;
    std::atomic<bool> release{false};
    std::atomic<bool> entered{false};
    std::string file, line;
};

void HoldThenRead(int32_t, void* context) {
    auto* h = static_cast<CHeld*>(context);
    h->entered = true;
    for (int i = 0; i < 400 && !h->release; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    h->file = h->bus->LastFileName();
    h->line = h->bus->LastErrorLineData();
}

TEST_F(SseBus, EachCallbackSeesItsOwnMessage) {
    CSseNotifier bus;
    CHeld held;
    held.bus = &bus;
    CReceived other;
    other.bus = &bus;
    ASSERT_TRUE(bus.RegisterTool("TOOLA", HoldThenRead, &held));
    ASSERT_TRUE(bus.RegisterTool("TOOLB", Receive, &other));
    ASSERT_TRUE(bus.Notify("TOOLA", 1, "/first.rux", "1;2;3"));
    for (int i = 0; i < 400 && !held.entered; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(held.entered);
    ASSERT_TRUE(bus.Notify("TOOLB", 2, "/second.rux", "9;9;9"));
    {
        std::unique_lock lock(other.mutex);
        other.cv.wait_for(lock, std::chrono::seconds(2), [&] { return !other.messages.empty(); });
    }
    held.release = true;
    bus.UnregisterTool("TOOLA");
    bus.UnregisterTool("TOOLB");
    EXPECT_EQ(held.file, "/first.rux");
    EXPECT_EQ(held.line, "1;2;3");
    ASSERT_EQ(other.messages.size(), 1u);
    EXPECT_EQ(std::get<1>(other.messages[0]), "/second.rux");
    EXPECT_EQ(std::get<2>(other.messages[0]), "9;9;9");
}

// A receiver busy in a slow callback, or gone, costs the sender a bounded wait, never the callback's time.
TEST_F(SseBus, SlowOrDeadReceiverDoesNotStallTheSender) {
    CSseNotifier bus;
    CHeld held;
    held.bus = &bus;
    ASSERT_TRUE(bus.RegisterTool("SLOW", HoldThenRead, &held));
    struct Case {
        const char* what;
        bool delivered;
    };
    const Case cases[] = {{"first message: read at once, handled later", true},
                          {"second message: listener still in the callback", false},
                          {"third message: still busy", false}};
    for (const Case& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const bool delivered = bus.Notify("SLOW", 7, "/x.rux");
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(delivered, c.delivered) << c.what;
        EXPECT_LT(took, std::chrono::milliseconds(600)) << c.what;
        for (int i = 0; i < 400 && !held.entered; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    held.release = true;
    bus.UnregisterTool("SLOW");
}

} // namespace
} // namespace rux
