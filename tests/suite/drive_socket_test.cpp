// The drive and the communications library over a real socket, the drive in its own process.
#include "support/temp_dir.h"
#include "target/service_library.h"

#include "h2drive.h"
#include "hm2comapi.h"
#ifdef RUX_HAVE_COMPILER
#include "core/build.h"
#include "h2tgt.h"
#endif

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

int Connect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Tries `done` every 20 ms until it holds, for at most 2 seconds.
template <class F> bool Eventually(F done) {
    for (int i = 0; i < 100; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// A ruxdrive process of the build, on its own port and state directory.
class CDriveProcess {
public:
    CDriveProcess(int port, std::string state, bool virtualTime) : m_port(port), m_state(std::move(state)), m_virtual(virtualTime) {}
    ~CDriveProcess() { Kill(SIGKILL); }

    bool Start() {
        m_pid = ::fork();
        if (m_pid == 0) {
            const std::string exe = std::string(RUX_PRODUCT_DIR) + "/ruxdrive";
            const std::string port = std::to_string(m_port);
            std::freopen("/dev/null", "w", stderr);
            ::execl(exe.c_str(), "ruxdrive", "--port", port.c_str(), "--state", m_state.c_str(),
                    m_virtual ? "--virtual-time" : nullptr, nullptr);
            ::_exit(127);
        }
        return Eventually([this] {
            const int fd = Connect(m_port);
            if (fd >= 0) ::close(fd);
            return fd >= 0;
        });
    }
    void Signal(int signal) { ::kill(m_pid, signal); }
    int Kill(int signal) {
        if (m_pid <= 0) return -1;
        ::kill(m_pid, signal);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return status;
    }

private:
    int m_port;
    std::string m_state;
    bool m_virtual;
    pid_t m_pid = -1;
};

// What a test looks at of an answer. Kept small: copying whole answer records while thousands
// arrive each second would make this process, not the drive, the slow side.
struct CSeen {
    int32_t Status = 0;
    int32_t Kind = 0;
    double Value = 0;
    std::string Symbol;
};

// Answers by client, gathered from the library's notifications on its I/O thread.
struct CAnswers {
    std::mutex mutex;
    std::map<uintptr_t, std::vector<std::pair<Clock::time_point, CSeen>>> byClient;
};
CAnswers* g_answers = nullptr;
decltype(&H2_AnswerGet) g_answerGet = nullptr;

// The library names the client in wParam; answers are kept by the window they were announced to.
void Collect(H2HWND window, uint32_t, uintptr_t client, intptr_t) {
    H2ANSWER a;
    while (g_answerGet(reinterpret_cast<H2CLIENT>(client), 0, 0, &a) == H2_OK) {
        std::lock_guard<std::mutex> lock(g_answers->mutex);
        g_answers->byClient[reinterpret_cast<uintptr_t>(window)].emplace_back(Clock::now(), CSeen{a.Status, a.Kind, a.Value, a.Symbol});
    }
}

// The entry points of the communications library the tests call, each as Com<name>.
#define COM_ENTRIES(X) \
    X(SetNotifyProc) X(RegisterClient) X(CreateLoop) X(ReleaseLoop) X(Write) X(AnswerGet) X(KillServer) X(NodeCall) \
    X(UnregisterClient)

class DriveSocket : public ::testing::Test {
protected:
    void SetUp() override {
        m_port = FreePort();
        m_state = (std::filesystem::temp_directory_path() / ("rux_drive_" + std::to_string(::getpid()))).string();
        std::filesystem::remove_all(m_state);
        ::setenv("RUXDRIVE_ADDRESS", ("127.0.0.1:" + std::to_string(m_port)).c_str(), 1);
        ::setenv("RUXDRIVE_AUTOSTART", "0", 1);
        ASSERT_TRUE(m_com.IsLoaded());
#define BIND(name) Com##name = m_com.Entry<std::remove_pointer_t<decltype(&::H2_##name)>>("H2_" #name); ASSERT_NE(Com##name, nullptr);
        COM_ENTRIES(BIND)
#undef BIND
        g_answers = &m_answers;
        g_answerGet = ComAnswerGet;
        ComSetNotifyProc(Collect);
    }
    void TearDown() override {
        m_drive.reset();
        ComKillServer();
        std::filesystem::remove_all(m_state);
    }
    // A drive of the build on the test's port, in place of the one started before (if any).
    void StartDrive(bool virtualTime = false) {
        m_drive = std::make_unique<CDriveProcess>(m_port, m_state, virtualTime);
        ASSERT_TRUE(m_drive->Start());
    }
    H2CLIENT Register() {
        H2CLIENT c = nullptr;
        static std::atomic<uintptr_t> next{1};
        const uintptr_t window = next++;
        EXPECT_EQ(ComRegisterClient(&c, nullptr, reinterpret_cast<H2HWND>(window), H2_MSG_ANSWER), H2_OK);
        m_windows[c] = window;
        return c;
    }
    std::vector<CSeen> AnswersOf(H2CLIENT c) {
        std::lock_guard<std::mutex> lock(m_answers.mutex);
        std::vector<CSeen> out;
        for (auto& [t, a] : m_answers.byClient[m_windows[c]])
            out.push_back(a);
        return out;
    }
    // Waits until pred holds for the client's answers, at most ms.
    template <class P> bool WaitFor(H2CLIENT c, int ms, P pred) {
        const auto until = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < until) {
            if (pred(AnswersOf(c))) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return pred(AnswersOf(c));
    }
    static bool Has(const std::vector<CSeen>& v, int32_t status, int32_t kind) {
        for (const CSeen& a : v)
            if (a.Status == status && (kind < 0 || a.Kind == kind)) return true;
        return false;
    }

    int m_port = 0;
    std::string m_state;
    rux::CServiceLibrary m_com{"Hm2ComApi", RUX_PRODUCT_DIR};
    CAnswers m_answers;
    std::map<H2CLIENT, uintptr_t> m_windows;
    std::unique_ptr<CDriveProcess> m_drive;
#define DECLARE(name) decltype(&::H2_##name) Com##name = nullptr;
    COM_ENTRIES(DECLARE)
#undef DECLARE
};

TEST_F(DriveSocket, WritesAnswerWithTheDrivesStatus) {
    ASSERT_NO_FATAL_FAILURE(StartDrive(true));
    H2CLIENT c = Register();
    struct Case {
        const char* symbol;
        const char* value;
        int32_t status;
    } cases[] = {
        {"#1.21", "1500", H2_OK},
        {"#3.02", "10", H2_ERR_READ_ONLY},
        {"#1.21", "4000.1", H2_ERR_VALUE_OUT_OF_RANGE},
        {"#100.01", "1", H2_ERR_OUT_OF_RANGE},
        {"#8.03", "1", H2_OK},
    };
    for (const Case& k : cases) {
        const std::size_t before = AnswersOf(c).size();
        int32_t request = 0;
        ASSERT_EQ(ComWrite(c, &request, "3", k.symbol, k.value, nullptr), H2_OK);
        ASSERT_TRUE(WaitFor(c, 2000, [&](const std::vector<CSeen>& v) { return v.size() > before; })) << k.symbol;
        const CSeen a = AnswersOf(c)[before];
        EXPECT_EQ(a.Kind, H2_ANS_WRITTEN) << k.symbol;
        EXPECT_EQ(a.Status, k.status) << k.symbol << " = " << k.value;
        EXPECT_EQ(a.Symbol, k.symbol);
    }
    // The loop reads back what was written; its release gives the last value's text.
    int32_t loop = 0;
    ASSERT_EQ(ComCreateLoop(c, &loop, "3", "#1.21", 100, nullptr), H2_OK);
    ASSERT_TRUE(WaitFor(c, 2000, [](const std::vector<CSeen>& v) { return Has(v, H2_OK, H2_ANS_VALUE); }));
    for (const CSeen& a : AnswersOf(c)) {
        if (a.Kind == H2_ANS_VALUE) {
            EXPECT_EQ(a.Value, 1500.0);
        }
    }
    char last[H2_LOOPBUFFER];
    EXPECT_EQ(ComReleaseLoop(c, loop, last, sizeof last), H2_OK);
    EXPECT_STREQ(last, "#1.21 = 1500");
    EXPECT_EQ(ComReleaseLoop(c, loop, last, sizeof last), H2_ERR_NOT_FOUND);
}

TEST_F(DriveSocket, KilledDriveIsALossForEveryClientAndARestartIsFound) {
    ASSERT_NO_FATAL_FAILURE(StartDrive());
    std::vector<H2CLIENT> clients;
    for (int i = 0; i < 3; ++i) {
        clients.push_back(Register());
        int32_t loop = 0;
        ASSERT_EQ(ComCreateLoop(clients.back(), &loop, "5", "#71.10", 100, nullptr), H2_OK);
    }
    for (H2CLIENT c : clients)
        ASSERT_TRUE(WaitFor(c, 2000, [](const std::vector<CSeen>& v) { return Has(v, H2_OK, H2_ANS_VALUE); }));
    // A call still waiting for its result when the drive dies ends with the loss at once.
    m_drive->Signal(SIGSTOP);
    std::atomic<int32_t> waited{-1};
    std::thread caller([&] { waited = ComNodeCall("5", "", 0x0D, nullptr, 0, nullptr, nullptr, 0); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto killed = Clock::now();
    m_drive->Kill(SIGKILL);
    caller.join();
    EXPECT_EQ(waited.load(), H2_ERR_NO_COMMUNICATION);
    EXPECT_LT(Clock::now() - killed, std::chrono::seconds(1));
    for (H2CLIENT c : clients) {
        EXPECT_TRUE(WaitFor(c, 1000 - static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - killed).count()),
                            [](const std::vector<CSeen>& v) { return Has(v, H2_ERR_NO_COMMUNICATION, -1); }));
    }
    // While the drive is away a request fails at once rather than hanging.
    const auto asked = Clock::now();
    EXPECT_EQ(ComNodeCall("5", "", 0x0D, nullptr, 0, nullptr, nullptr, 0), H2_ERR_NO_COMMUNICATION);
    EXPECT_LT(Clock::now() - asked, std::chrono::milliseconds(500));
    // Nobody started a drive in its place.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_LT(Connect(m_port), 0);

    ASSERT_NO_FATAL_FAILURE(StartDrive());
    EXPECT_TRUE(
        Eventually([&] { return ComNodeCall("5", "", 0x0D, nullptr, 0, nullptr, nullptr, 0) == H2_OK; }));
    // The loops come back by themselves on the new connection.
    for (H2CLIENT c : clients) {
        const std::size_t before = AnswersOf(c).size();
        EXPECT_TRUE(WaitFor(c, 2000, [&](const std::vector<CSeen>& v) {
            for (std::size_t i = before; i < v.size(); ++i)
                if (v[i].Status == H2_OK && v[i].Kind == H2_ANS_VALUE && v[i].Value == 8) return true;
            return false;
        }));
    }
}

TEST_F(DriveSocket, GarbageFromOneClientDoesNotDisturbTheOthers) {
    ASSERT_NO_FATAL_FAILURE(StartDrive());
    H2CLIENT c = Register();
    int32_t loop = 0;
    ASSERT_EQ(ComCreateLoop(c, &loop, "1", "#10.01", 100, nullptr), H2_OK);
    ASSERT_TRUE(WaitFor(c, 2000, [](const std::vector<CSeen>& v) { return Has(v, H2_OK, H2_ANS_VALUE); }));

    const std::string garbage[] = {
        std::string("GET / HTTP/1.1\r\n\r\n"),
        std::string("RD\x01\x02\x01\0\0\0\xff\xff\xff\x7f", 12),  // a length above the limit
        std::string("RD\x01\x77\x01\0\0\0\0\0\0\0", 12),          // an unknown type
        std::string("RD\x01\x02\x01\0\0\0\x03\0\0\0abc", 15),     // a payload too short for its fields
        std::string("RD\x01\x02\x01\0\0\0\x40\0\0\0", 12),        // truncated: the rest never comes
    };
    for (const std::string& g : garbage) {
        const int fd = Connect(m_port);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::send(fd, g.data(), g.size(), 0), static_cast<ssize_t>(g.size()));
        if (g.size() == 12 && g[8] == 0x40) {
            // A frame cut short keeps its connection waiting, and only that one.
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        } else {
            char buf[64];
            timeval tv{2, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
            EXPECT_EQ(::recv(fd, buf, sizeof buf, 0), 0) << "the drive closes a connection that sent garbage";
        }
        ::close(fd);
        const std::size_t before = AnswersOf(c).size();
        EXPECT_TRUE(WaitFor(c, 1000, [&](const std::vector<CSeen>& v) { return v.size() >= before + 2; }));
    }
    for (const CSeen& a : AnswersOf(c))
        EXPECT_EQ(a.Status, H2_OK);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Many clients with many loops: no answer lost, none late by more than a period. Lateness is
// measured where the answers arrive, so a stall of this process itself (a loaded build machine)
// is measured too and allowed for: it says nothing about the drive.
TEST_F(DriveSocket, FiftyClientsWithTwentyLoopsEach) {
    ASSERT_NO_FATAL_FAILURE(StartDrive());
    constexpr int kClients = 50, kLoops = 20, kPeriod = 100, kRunMs = 3000;
    std::vector<H2CLIENT> clients;
    for (int i = 0; i < kClients; ++i) {
        H2CLIENT c = Register();
        clients.push_back(c);
        for (int l = 0; l < kLoops; ++l) {
            int32_t id = 0;
            const std::string symbol = "#18." + std::to_string(10 + l);
            ASSERT_EQ(ComCreateLoop(c, &id, std::to_string(1 + i % 4).c_str(), symbol.c_str(), kPeriod, nullptr), H2_OK);
        }
    }
    const auto start = Clock::now();
    // Meanwhile callers wait for results of their own, reading the answers of the loops while
    // they wait: those must still be announced in time, and no call may hang.
    std::atomic<bool> calling{true};
    std::atomic<int> calls{0}, failed{0};
    std::atomic<long> slowestMs{0};
    std::vector<std::thread> callers;
    for (int i = 0; i < 2; ++i)
        callers.emplace_back([&, i] {
            while (calling) {
                const auto asked = Clock::now();
                if (ComNodeCall(std::to_string(1 + i).c_str(), "", 0x0D, nullptr, 0, nullptr, nullptr, 0) != H2_OK) ++failed;
                ++calls;
                const long ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked).count();
                slowestMs = std::max(slowestMs.load(), ms);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    auto stall = std::chrono::milliseconds(0);
    for (auto t = Clock::now(); t < start + std::chrono::milliseconds(kRunMs); t = Clock::now()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        stall = std::max(stall, std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t) - std::chrono::milliseconds(5));
    }
    const auto end = Clock::now();
    calling = false;
    for (std::thread& t : callers)
        t.join();
    EXPECT_GT(calls.load(), 100);
    EXPECT_EQ(failed.load(), 0);
    EXPECT_LT(slowestMs.load(), 1000 + stall.count());
    const auto allowed = std::chrono::milliseconds(2 * kPeriod) + stall;
    std::lock_guard<std::mutex> lock(m_answers.mutex);
    int late = 0;
    for (H2CLIENT c : clients) {
        std::map<std::string, std::vector<Clock::time_point>> bySymbol;
        for (auto& [t, a] : m_answers.byClient[m_windows[c]]) {
            ASSERT_EQ(a.Status, H2_OK);
            if (t >= start + std::chrono::milliseconds(200) && t <= end) bySymbol[a.Symbol].push_back(t);
        }
        ASSERT_EQ(bySymbol.size(), static_cast<std::size_t>(kLoops));
        for (auto& [symbol, times] : bySymbol) {
            EXPECT_GE(times.size(), static_cast<std::size_t>((kRunMs - 200 - stall.count()) / kPeriod - 1)) << symbol;
            for (std::size_t i = 1; i < times.size(); ++i)
                if (times[i] - times[i - 1] > allowed) ++late;
        }
    }
    // A drive built with the address sanitizer runs several times slower and its timing says nothing
    // about the product; there only lost answers count.
    if (kSanitized) return;
    EXPECT_EQ(late, 0) << "answers later than " << allowed.count() << " ms (this process stalled up to "
                       << stall.count() << " ms)";
}

// Announcements of a client that is being unregistered: once H2_UnregisterClient returns, its
// number is never announced again, whether it was unregistered by another thread while a burst of
// its loop answers was being announced, or by the delivery function itself amid such a burst.
std::atomic<uintptr_t> g_selfRemoving{0};
std::atomic<uintptr_t> g_removedElsewhere{0};
std::atomic<int> g_lateNotices{0};
decltype(&H2_UnregisterClient) g_unregister = nullptr;
void RemoveWithinDelivery(H2HWND, uint32_t, uintptr_t client, intptr_t) {
    static std::atomic<bool> removed{false};
    if (client == g_removedElsewhere.load() || (client == g_selfRemoving.load() && removed.load())) ++g_lateNotices;
    if (client == g_selfRemoving.load() && !removed.exchange(true)) g_unregister(reinterpret_cast<H2CLIENT>(client));
}

TEST_F(DriveSocket, NoAnnouncementAfterTheClientIsUnregistered) {
    ASSERT_NO_FATAL_FAILURE(StartDrive());
    g_unregister = ComUnregisterClient;
    H2CLIENT self = Register(), other = Register();
    for (H2CLIENT c : {self, other})
        for (int l = 0; l < 20; ++l) {
            int32_t loop = 0;
            ASSERT_EQ(ComCreateLoop(c, &loop, "1", ("#18." + std::to_string(10 + l)).c_str(), 100, nullptr), H2_OK);
        }
    ASSERT_TRUE(WaitFor(other, 2000, [](const std::vector<CSeen>& v) { return v.size() >= 40; }));
    ComSetNotifyProc(RemoveWithinDelivery);
    g_selfRemoving = reinterpret_cast<uintptr_t>(self);
    // Unregistered from here at some point of the 100 ms cycle, often amid a burst.
    std::this_thread::sleep_for(std::chrono::milliseconds(37));
    ASSERT_EQ(ComUnregisterClient(other), H2_OK);
    g_removedElsewhere = reinterpret_cast<uintptr_t>(other);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    ComSetNotifyProc(Collect);
    EXPECT_EQ(g_lateNotices.load(), 0);
    EXPECT_EQ(ComUnregisterClient(self), H2_ERR_NOT_FOUND);  // gone at its first announcement
}

TEST_F(DriveSocket, FirstClientStartsADriveOnlyWhenAllowed) {
    // Not allowed: nothing listens afterwards and requests report the loss.
    H2CLIENT c = Register();
    int32_t request = 0;
    EXPECT_EQ(ComWrite(c, &request, "1", "#1.21", "1", nullptr), H2_ERR_NO_COMMUNICATION);
    EXPECT_TRUE(WaitFor(c, 1000, [](const std::vector<CSeen>& v) { return Has(v, H2_ERR_NO_COMMUNICATION, -1); }));
    EXPECT_LT(Connect(m_port), 0);
    ComKillServer();

    // Allowed: the drive of the product directory is started, detached, within 2 seconds.
    ::setenv("RUXDRIVE_AUTOSTART", "1", 1);
    ::setenv("XDG_STATE_HOME", m_state.c_str(), 1);
    const auto asked = Clock::now();
    c = Register();
    EXPECT_LT(Clock::now() - asked, std::chrono::milliseconds(2500));
    EXPECT_EQ(ComWrite(c, &request, "1", "#1.21", "1", nullptr), H2_OK);
    EXPECT_TRUE(WaitFor(c, 1000, [](const std::vector<CSeen>& v) { return Has(v, H2_OK, H2_ANS_WRITTEN); }));
    const std::string pidFile = m_state + "/ruxedit/drive/ruxdrive.pid";
    pid_t pid = 0;
    std::ifstream(pidFile) >> pid;
    ASSERT_GT(pid, 0);
    EXPECT_NE(::getpgid(pid), ::getpgid(0)) << "the drive runs in its own process group";
    // A drive that died is a loss the user sees: it is not started again.
    ::kill(pid, SIGKILL);
    EXPECT_TRUE(WaitFor(c, 1000, [](const std::vector<CSeen>& v) { return Has(v, H2_ERR_NO_COMMUNICATION, -1); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_LT(Connect(m_port), 0);
    ::unsetenv("XDG_STATE_HOME");
}

TEST(ComApiErrorInfo, EveryStatusOfTheDriveHasItsTexts) {
    rux::CServiceLibrary com("Hm2ComApi", RUX_PRODUCT_DIR);
    auto info = com.Entry<std::remove_pointer_t<decltype(&::H2_GetErrorInfo)>>("H2_GetErrorInfo");
    ASSERT_NE(info, nullptr);
    struct Case {
        int32_t status;
        const char* title;
        int32_t silent;
        int32_t result;
    } cases[] = {
        {0, "", 1, H2_OK},
        {H2_ERR_ABANDONED, "", 1, H2_OK},
        {H2_ERR_NO_COMMUNICATION, "Unable to communicate with the drive", 0, H2_OK},
        {H2_ERR_OUT_OF_RANGE, "Parameter out of range", 0, H2_OK},
        {H2_ERR_VALUE_OUT_OF_RANGE, "Value out of range", 0, H2_OK},
        {H2_ERR_READ_ONLY, "Parameter is read-only", 0, H2_OK},
        {H2_ERR_NOT_FOUND, "Unknown symbol", 0, H2_OK},
        {H2_ERR_BAD_ARGUMENT, "Request refused", 0, H2_OK},
        {H2_ERR_IO, "File error", 0, H2_OK},
        {0x1060001, "Program refused", 0, H2_OK},
        {0x1060002, "No source on the drive", 0, H2_OK},
        {0x1060003, "No program on the drive", 0, H2_OK},
        {0x7654321, "Drive error 0x7654321", 0, H2_ERR_NOT_FOUND},
    };
    for (const Case& c : cases) {
        char title[H2_ERRTITLE], text[H2_ERRTEXT];
        std::memset(title, 'x', sizeof title);
        std::memset(text, 'x', sizeof text);
        int32_t silent = -1, box = -1;
        EXPECT_EQ(info(c.status, title, text, &silent, &box), c.result) << std::hex << c.status;
        EXPECT_STREQ(title, c.title) << std::hex << c.status;
        EXPECT_EQ(silent, c.silent) << std::hex << c.status;
        EXPECT_EQ(std::strlen(text) == 0, c.silent == 1) << std::hex << c.status;
        EXPECT_EQ(box, 1) << std::hex << c.status;
    }
}

#ifdef RUX_HAVE_COMPILER
// Without a loop nothing else is to come on the link between requests: a status that comes after
// the write stopped reading for it, and the drive's end, must still be heard.
TEST_F(DriveSocket, WithoutALoopALateStatusAndTheDrivesEndStillArrive) {
    ASSERT_NO_FATAL_FAILURE(StartDrive());
    H2CLIENT c = Register();
    int32_t request = 0;
    ASSERT_EQ(ComWrite(c, &request, "1", "#1.21", "5", nullptr), H2_OK);
    ASSERT_TRUE(WaitFor(c, 1000, [](const std::vector<CSeen>& v) { return Has(v, H2_OK, H2_ANS_WRITTEN); }));
    m_drive->Signal(SIGSTOP);
    ASSERT_EQ(ComWrite(c, &request, "1", "#3.02", "1", nullptr), H2_OK);  // gives up reading after 50 ms
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    m_drive->Signal(SIGCONT);
    EXPECT_TRUE(WaitFor(c, 1000, [](const std::vector<CSeen>& v) { return Has(v, H2_ERR_READ_ONLY, H2_ANS_WRITTEN); }));
    // Settled: the link waits for nothing now when the drive dies.
    ASSERT_EQ(ComWrite(c, &request, "1", "#1.21", "6", nullptr), H2_OK);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto killed = Clock::now();
    m_drive->Kill(SIGKILL);
    EXPECT_TRUE(WaitFor(c, 1000, [](const std::vector<CSeen>& v) { return Has(v, H2_ERR_NO_COMMUNICATION, -1); }));
    EXPECT_LT(Clock::now() - killed, std::chrono::seconds(1));
}

// Download, run and status over the socket; a killed and restarted drive still holds the program.
TEST_F(DriveSocket, DownloadRunStatusAndTheProgramOutlivesTheDrive) {
    const std::string dir = m_state + "_prog";
    std::filesystem::create_directories(dir);
    const std::string program = dir + "/count.rux";
    rux::test::WriteFileBytes(program, "$*TORVEL/RUX-V1\n#info=Ident\nType=KESTREL\nTarget=KESTREL\nAddress=3\nDebug=1\n"
                              "Source=1\nFloatingPoint=1\n#endinfo\n#info=Section\nName=Clock\nState=open\n#endinfo\n"
                              ":\tCount% = Count% + 1\n#info=EndSection\nName=Clock\n#endinfo\n");
    const rux::cmp::BuildOutcome built = rux::cmp::BuildProgram(program, false, {}, RUX_PRODUCT_DIR);
    ASSERT_TRUE(built.ok);
    rux::CServiceLibrary tgt("H2Tgt", RUX_PRODUCT_DIR);
    auto download = tgt.Entry<std::remove_pointer_t<decltype(&::H2TGT_Download)>>("H2TGT_Download");
    auto upload = tgt.Entry<std::remove_pointer_t<decltype(&::H2TGT_Upload)>>("H2TGT_Upload");
    auto execute = tgt.Entry<std::remove_pointer_t<decltype(&::H2TGT_ExecuteCommand)>>("H2TGT_ExecuteCommand");
    auto stopped = tgt.Entry<std::remove_pointer_t<decltype(&::H2TGT_IsNodeStopped)>>("H2TGT_IsNodeStopped");
    auto stop = tgt.Entry<std::remove_pointer_t<decltype(&::H2TGT_Stop)>>("H2TGT_Stop");
    ASSERT_TRUE(download && upload && execute && stopped && stop);

    ASSERT_NO_FATAL_FAILURE(StartDrive());
    H2CLIENT c = Register();
    EXPECT_EQ(download(nullptr, 0, "KESTREL", "3", built.imageFile.c_str(), nullptr), H2_OK);
    EXPECT_EQ(stopped("3"), 0);
    // Going online: the identity, then the status with Clock (task id 2) at work.
    ASSERT_EQ(execute(c, "3", 6), H2_OK);
    ASSERT_TRUE(WaitFor(c, 2000, [](const std::vector<CSeen>& v) { return Has(v, H2_OK, H2_ANS_STATUS); }));
    bool identity = false;
    for (const CSeen& a : AnswersOf(c))
        identity = identity || a.Kind == H2_ANS_IDENTITY;
    EXPECT_TRUE(identity);
    int32_t loop = 0;
    ASSERT_EQ(ComCreateLoop(c, &loop, "3", "Count%", 100, nullptr), H2_OK);
    ASSERT_TRUE(WaitFor(c, 2000, [](const std::vector<CSeen>& v) {
        for (const CSeen& a : v)
            if (a.Kind == H2_ANS_VALUE && a.Status == H2_OK && a.Value > 10) return true;
        return false;
    }));

    m_drive->Kill(SIGKILL);
    ASSERT_TRUE(WaitFor(c, 1000, [](const std::vector<CSeen>& v) { return Has(v, H2_ERR_NO_COMMUNICATION, -1); }));
    EXPECT_EQ(stopped("3"), 0);  // unknown while the drive is away
    ASSERT_NO_FATAL_FAILURE(StartDrive());
    EXPECT_TRUE(Eventually([&] { return stop("3") == H2_OK; }));  // the node has a program to stop
    EXPECT_EQ(stopped("3"), 1);
    const std::string uploaded = dir + "/up.rux";
    EXPECT_EQ(upload(nullptr, 1, "KESTREL", "3", uploaded.c_str()), H2_OK);
    const std::string source = rux::test::ReadFileBytes(program);
    EXPECT_EQ(rux::test::ReadFileBytes(uploaded), source);
    // An upload onto a link that names a file still to come writes that file and keeps the link.
    std::filesystem::create_symlink(dir + "/real.rux", dir + "/link.rux");
    EXPECT_EQ(upload(nullptr, 1, "KESTREL", "3", (dir + "/link.rux").c_str()), H2_OK);
    EXPECT_TRUE(std::filesystem::is_symlink(dir + "/link.rux"));
    EXPECT_EQ(rux::test::ReadFileBytes(dir + "/real.rux"), source);
    // A folder is no program file: refused, and left as it was.
    std::filesystem::create_directories(dir + "/folder.rux");
    EXPECT_EQ(upload(nullptr, 1, "KESTREL", "3", (dir + "/folder.rux").c_str()), H2_ERR_IO);
    EXPECT_TRUE(std::filesystem::is_directory(dir + "/folder.rux"));
    std::filesystem::remove_all(dir);
}

#endif

} // namespace
