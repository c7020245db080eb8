// The simulated drive over loopback: a value round trip (write, then read back) through the
// communications library against a bare TCP echo round trip measured in the same run, and the
// drive's processor time with 50 clients x 20 loops against the same drive idle. Beside them, a
// read sent as a bare frame on a socket of its own: the drive's share of a round trip, so that
// what the library adds shows; and the same read through the library without a client, whose
// answer is neither queued nor announced: what the I/O thread's announcement adds shows.
// A value round trip is two requests, each a trip to the drive and back, against the echo's one;
// so beside the ratio to the echo stands the ratio to two bare requests, where 1 would mean the
// library adds nothing to what the drive and the two trips cost. The echo answers from a thread of
// this process; the drive is a process of its own, so the same echo from a child process stands
// beside it too, as a peer that is as far away as the drive.
#include "h2drive.h"
#include "hm2comapi.h"
#include "messages.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A socket listening on a free loopback port, which `port` receives.
int ListenOnLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(fd, 1);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
    return fd;
}

int FreePort() {
    int port = 0;
    ::close(ListenOnLoopback(port));
    return port;
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
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

pid_t StartDrive(int port, const std::string& state) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stderr);
        const std::string exe = std::string(RUX_PRODUCT_DIR) + "/ruxdrive";
        const std::string p = std::to_string(port);
        ::execl(exe.c_str(), "ruxdrive", "--port", p.c_str(), "--state", state.c_str(), nullptr);
        ::_exit(127);
    }
    for (int i = 0; i < 300; ++i) {
        const int fd = Connect(port);
        if (fd >= 0) {
            ::close(fd);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return pid;
}

double CpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t close = s.rfind(')');
    if (close == std::string::npos) return 0;
    std::vector<std::string> f;
    std::string w;
    for (std::size_t i = close + 2; i < s.size(); ++i) {
        if (s[i] == ' ') {
            f.push_back(w);
            w.clear();
        } else {
            w += s[i];
        }
    }
    // utime and stime are fields 14 and 15 of the line, 12 and 13 after the name.
    return f.size() > 12 ? (std::stod(f[11]) + std::stod(f[12])) / static_cast<double>(sysconf(_SC_CLK_TCK)) : 0;
}

// Context switches (voluntary and not) of one thread or process, from its status file.
long Switches(const std::string& statusPath) {
    std::ifstream in(statusPath);
    long total = 0;
    for (std::string line; std::getline(in, line);)
        if (line.find("ctxt_switches:") != std::string::npos) total += std::atol(line.c_str() + line.find(':') + 1);
    return total;
}

// The status file of this process's thread with the given name, empty when there is none.
std::string ThreadStatus(const std::string& name) {
    for (const auto& e : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(e.path() / "comm");
        std::string n;
        std::getline(comm, n);
        if (n == name) return (e.path() / "status").string();
    }
    return {};
}

struct CCom {
    void* lib = dlopen((std::string(RUX_PRODUCT_DIR) + "/libHm2ComApi.so").c_str(), RTLD_NOW);
    template <class F> F* Get(const char* name) { return reinterpret_cast<F*>(dlsym(lib, name)); }
};

std::mutex g_mutex;
std::condition_variable g_cv;
std::atomic<long> g_answers{0};

void Notify(H2HWND, uint32_t, uintptr_t, intptr_t) {
    g_answers.fetch_add(1);
    { std::lock_guard<std::mutex> lock(g_mutex); } // a waiter between its check and its wait is asleep now
    g_cv.notify_all();
}

// The echo server of the baseline: one connection, 64-byte messages back as they came.
void Echo(int listenFd) {
    const int fd = ::accept(listenFd, nullptr, nullptr);
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    char buf[64];
    for (;;) {
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) break;
        ::send(fd, buf, static_cast<std::size_t>(n), MSG_NOSIGNAL);
    }
    ::close(fd);
}

// One message out to an echo peer and all of it back.
void EchoRoundTrip(int fd, char (&msg)[64]) {
    ::send(fd, msg, sizeof msg, 0);
    for (std::size_t got = 0; got < sizeof msg;)
        got += static_cast<std::size_t>(std::max<ssize_t>(0, ::recv(fd, msg, sizeof msg - got, 0)));
}

void BM_ValueRoundTripAgainstEcho(benchmark::State& state) {
    const int port = FreePort();
    const std::string dir = "/tmp/rux_bench_drive_" + std::to_string(::getpid());
    const pid_t drive = StartDrive(port, dir);
    ::setenv("RUXDRIVE_ADDRESS", ("127.0.0.1:" + std::to_string(port)).c_str(), 1);
    ::setenv("RUXDRIVE_AUTOSTART", "0", 1);
    CCom com;
    auto setNotify = com.Get<decltype(H2_SetNotifyProc)>("H2_SetNotifyProc");
    auto reg = com.Get<decltype(H2_RegisterClient)>("H2_RegisterClient");
    auto write = com.Get<decltype(H2_Write)>("H2_Write");
    auto get = com.Get<decltype(H2_AnswerGet)>("H2_AnswerGet");
    auto clientCall = com.Get<decltype(H2_NodeClientCall)>("H2_NodeClientCall");
    auto nodeCall = com.Get<decltype(H2_NodeCall)>("H2_NodeCall");
    auto kill = com.Get<decltype(H2_KillServer)>("H2_KillServer");
    setNotify(Notify);
    H2CLIENT c = nullptr;
    reg(&c, nullptr, nullptr, H2_MSG_ANSWER);

    int echoPort = 0, childEchoPort = 0;
    const int listenFd = ListenOnLoopback(echoPort);
    std::thread echo(Echo, listenFd);
    const int echoFd = Connect(echoPort);
    const int childListenFd = ListenOnLoopback(childEchoPort);
    const pid_t echoChild = ::fork();
    if (echoChild == 0) {
        Echo(childListenFd);
        ::_exit(0);
    }
    const int childEchoFd = Connect(childEchoPort);
    const int bareFd = Connect(port);
    rux::drive::CPayloadWriter bareRead;
    bareRead.Str("1").Str("").U32(0).Str("#1.21");
    const std::string bareFrame = rux::drive::EncodeFrame(rux::drive::kReqRead, 1, bareRead.Data());

    auto waitKind = [&](int32_t kind, H2ANSWER& out) {
        for (;;) {
            // An announcement between the last look and the wait must not be slept through.
            const long seen = g_answers.load();
            while (get(c, 0, 0, &out) == H2_OK)
                if (out.Kind == kind || out.Status != H2_OK) return;
            std::unique_lock<std::mutex> lock(g_mutex);
            g_cv.wait_for(lock, std::chrono::milliseconds(5), [&] { return g_answers.load() != seen; });
        }
    };
    // Arguments of a read request: the symbol.
    const std::string readArgs = std::string("\x05\x00#1.21", 7);
    double bestValue = 1e9, bestEcho = 1e9, bestChildEcho = 1e9;
    std::vector<double> values, echoes, childEchoes, writes, bare, writeCalls, reads, unannounced; // every sample, for the medians
    int32_t v = 0;
    long announced = 0;
    // Wake-ups per round trip: the drive's, and the library's I/O thread's.
    const std::string ioStatus = ThreadStatus("ruxcom-io");
    const std::string driveStatus = "/proc/" + std::to_string(drive) + "/status";
    long driveSwitches = 0, ioSwitches = 0;
    for (auto _ : state) {
        announced += 2;
        // The answer and the result, read as they come.
        const auto tb = Clock::now();
        ::send(bareFd, bareFrame.data(), bareFrame.size(), 0);
        rux::drive::CFrameDecoder decoder(rux::drive::IsReplyType);
        std::vector<rux::drive::CFrame> frames;
        for (char buf[512]; frames.size() < 2;) {
            const ssize_t n = ::recv(bareFd, buf, sizeof buf, 0);
            if (n <= 0 || !decoder.Feed(reinterpret_cast<const uint8_t*>(buf), static_cast<std::size_t>(n), frames)) break;
        }
        bare.push_back(std::chrono::duration<double>(Clock::now() - tb).count());
        const auto tu = Clock::now();
        if (nodeCall("1", "", 0x09, readArgs.data(), static_cast<int32_t>(readArgs.size()), nullptr, nullptr, 0) != H2_OK)
            state.SkipWithError("read without a client failed");
        unannounced.push_back(std::chrono::duration<double>(Clock::now() - tu).count());
        // Counted from here: the echo wakes neither the drive nor the I/O thread, and the status
        // files are read outside the timed spans.
        char msg[64] = {};
        const auto tc = Clock::now();
        EchoRoundTrip(childEchoFd, msg);
        const double childEcho = std::chrono::duration<double>(Clock::now() - tc).count();
        childEchoes.push_back(childEcho);
        bestChildEcho = std::min(bestChildEcho, childEcho);
        const long d0 = Switches(driveStatus), i0 = Switches(ioStatus);
        const auto t0 = Clock::now();
        EchoRoundTrip(echoFd, msg);
        const auto t1 = Clock::now();
        const std::string value = std::to_string(v++ % 1000);
        int32_t request = 0;
        H2ANSWER ans;
        write(c, &request, "1", "#1.21", value.c_str(), nullptr);
        const auto twc = Clock::now();
        waitKind(H2_ANS_WRITTEN, ans);
        const auto tw = Clock::now();
        clientCall(c, "1", "", 0x09, readArgs.data(), static_cast<int32_t>(readArgs.size()), 0);
        waitKind(H2_ANS_VALUE, ans);
        const auto t2 = Clock::now();
        // The I/O thread announces the read's answer after the call; that wake-up counts too, and
        // the next baselines run once it is done, not beside it.
        {
            std::unique_lock<std::mutex> lock(g_mutex);
            g_cv.wait_for(lock, std::chrono::seconds(1), [&] { return g_answers.load() >= announced; });
        }
        driveSwitches += Switches(driveStatus) - d0;
        ioSwitches += Switches(ioStatus) - i0;
        if (ans.Value != std::stod(value)) state.SkipWithError("read back a different value");
        bestEcho = std::min(bestEcho, std::chrono::duration<double>(t1 - t0).count());
        bestValue = std::min(bestValue, std::chrono::duration<double>(t2 - t1).count());
        echoes.push_back(std::chrono::duration<double>(t1 - t0).count());
        values.push_back(std::chrono::duration<double>(t2 - t1).count());
        writes.push_back(std::chrono::duration<double>(tw - t1).count());
        writeCalls.push_back(std::chrono::duration<double>(twc - t1).count());
        reads.push_back(std::chrono::duration<double>(t2 - tw).count());
    }
    auto median = [](std::vector<double>& x) {
        if (x.empty()) return 0.0;
        std::nth_element(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(x.size() / 2), x.end());
        return x[x.size() / 2];
    };
    const double medianEcho = median(echoes), medianValue = median(values);
    state.counters["echo_median_us"] = medianEcho * 1e6;
    state.counters["value_median_us"] = medianValue * 1e6;
    // The two halves: the write answered through the delivery function, the read waited for.
    state.counters["write_median_us"] = median(writes) * 1e6;
    state.counters["write_call_median_us"] = median(writeCalls) * 1e6;
    state.counters["bare_read_median_us"] = median(bare) * 1e6;
    state.counters["read_median_us"] = median(reads) * 1e6;
    state.counters["unannounced_read_median_us"] = median(unannounced) * 1e6;
    state.counters["median_value_per_echo"] = medianEcho > 0 ? medianValue / medianEcho : 0;
    const double medianBare = median(bare);
    state.counters["median_value_per_two_bare"] = medianBare > 0 ? medianValue / (2 * medianBare) : 0;
    const double n = static_cast<double>(std::max<std::size_t>(values.size(), 1));
    state.counters["drive_switches_per_rt"] = static_cast<double>(driveSwitches) / n;
    state.counters["io_switches_per_rt"] = static_cast<double>(ioSwitches) / n;
    state.counters["echo_us"] = bestEcho * 1e6;
    state.counters["value_us"] = bestValue * 1e6;
    state.counters["value_per_echo"] = bestValue / bestEcho;  // target <= 3
    const double medianChildEcho = median(childEchoes);
    state.counters["child_echo_us"] = bestChildEcho * 1e6;
    state.counters["child_echo_median_us"] = medianChildEcho * 1e6;
    state.counters["value_per_child_echo"] = bestValue / bestChildEcho;
    state.counters["median_value_per_child_echo"] = medianChildEcho > 0 ? medianValue / medianChildEcho : 0;
    ::close(childEchoFd);
    ::close(childListenFd);
    ::waitpid(echoChild, nullptr, 0);
    ::close(echoFd);
    ::close(bareFd);
    echo.join();
    ::close(listenFd);
    kill();
    ::kill(drive, SIGTERM);
    ::waitpid(drive, nullptr, 0);
    std::system(("rm -rf " + dir).c_str());
}
BENCHMARK(BM_ValueRoundTripAgainstEcho)->Iterations(2000)->Unit(benchmark::kMicrosecond);

void BM_DriveCpuWithLoops(benchmark::State& state) {
    const int port = FreePort();
    const std::string dir = "/tmp/rux_bench_drive_" + std::to_string(::getpid());
    const pid_t drive = StartDrive(port, dir);
    ::setenv("RUXDRIVE_ADDRESS", ("127.0.0.1:" + std::to_string(port)).c_str(), 1);
    ::setenv("RUXDRIVE_AUTOSTART", "0", 1);
    CCom com;
    auto setNotify = com.Get<decltype(H2_SetNotifyProc)>("H2_SetNotifyProc");
    auto reg = com.Get<decltype(H2_RegisterClient)>("H2_RegisterClient");
    auto loop = com.Get<decltype(H2_CreateLoop)>("H2_CreateLoop");
    auto get = com.Get<decltype(H2_AnswerGet)>("H2_AnswerGet");
    auto kill = com.Get<decltype(H2_KillServer)>("H2_KillServer");
    // Counting is enough here; the queues are emptied after the measurement.
    setNotify([](H2HWND, uint32_t, uintptr_t, intptr_t) { g_answers.fetch_add(1); });
    constexpr double kWindow = 2.0;
    double idle = 0, busy = 0;
    long answers = 0;
    for (auto _ : state) {
        const double c0 = CpuSeconds(drive);
        std::this_thread::sleep_for(std::chrono::duration<double>(kWindow));
        idle = CpuSeconds(drive) - c0;
        std::vector<H2CLIENT> clients(50);
        for (int i = 0; i < 50; ++i) {
            reg(&clients[static_cast<std::size_t>(i)], nullptr, nullptr, H2_MSG_ANSWER);
            for (int l = 0; l < 20; ++l) {
                int32_t id = 0;
                loop(clients[static_cast<std::size_t>(i)], &id, "1", ("#18." + std::to_string(10 + l)).c_str(), 100, nullptr);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const long a0 = g_answers.load();
        const double c1 = CpuSeconds(drive);
        std::this_thread::sleep_for(std::chrono::duration<double>(kWindow));
        busy = CpuSeconds(drive) - c1;
        answers = g_answers.load() - a0;
        H2ANSWER drop;
        for (H2CLIENT c : clients)
            while (get(c, 0, 0, &drop) == H2_OK) {
            }
    }
    state.counters["idle_cpu_pct"] = 100.0 * idle / kWindow;
    state.counters["loops_cpu_pct"] = 100.0 * busy / kWindow;
    state.counters["answers_per_s"] = static_cast<double>(answers) / kWindow;
    // The idle drive may use no measurable time at all; compare against one clock tick then.
    state.counters["loops_per_idle"] = busy / std::max(idle, 1.0 / static_cast<double>(sysconf(_SC_CLK_TCK)));
    kill();
    ::kill(drive, SIGTERM);
    ::waitpid(drive, nullptr, 0);
    std::system(("rm -rf " + dir).c_str());
}
BENCHMARK(BM_DriveCpuWithLoops)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
