// rux sse: play one of the suite's tools on the message bus, sending or receiving.
#include "cli/cli_common.h"

#include "target/sse_notifier.h"

#include <atomic>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <deque>
#include <mutex>

namespace rux::cli {
namespace {

const char kSseUsage[] =
    "usage: rux sse send TOOL NUMBER [FILE] [--line-data L;S;E] | rux sse put FILE [--line-data L;S;E] |"
    " rux sse listen TOOL [--count N]";

bool ParseInt(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    auto r = std::from_chars(text.data(), end, value);
    return r.ec == std::errc() && r.ptr == end;
}

// The positional arguments and the --line-data value; false on a --line-data without its value.
bool SplitLineData(const Args& args, std::vector<std::string>& positional, std::string& lineData) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--line-data") {
            if (i + 1 >= args.size()) return false;
            lineData = args[++i];
        } else {
            positional.push_back(args[i]);
        }
    }
    return true;
}

bool Loaded(const CSseNotifier& bus) {
    if (!bus.IsLoaded()) std::fprintf(stderr, "rux: the shared-message service (libSSE.so) cannot be loaded\n");
    return bus.IsLoaded();
}

int Send(const Args& args) {
    std::vector<std::string> positional;
    std::string lineData;
    int number = 0;
    if (!SplitLineData(args, positional, lineData) || positional.size() < 2 || positional.size() > 3 ||
        positional[0].empty() || !ParseInt(positional[1], number))
        return UsageError(kSseUsage);
    CSseNotifier bus;
    if (!Loaded(bus)) return kExitFile;
    const std::string fileName = positional.size() == 3 ? positional[2] : std::string();
    if (!bus.Notify(positional[0], number, fileName, lineData)) {
        std::fprintf(stderr, "rux: %s did not receive message %d\n", positional[0].c_str(), number);
        return kExitFile;
    }
    return kExitOk;
}

// Publishes a file name and line data (none without --line-data) for a tool started next, such as
// `ruxedit -g`, which goes to that error location. An empty FILE is allowed: no file named.
int Put(const Args& args) {
    std::vector<std::string> positional;
    std::string lineData;
    if (!SplitLineData(args, positional, lineData) || positional.size() != 1) return UsageError(kSseUsage);
    CSseNotifier bus;
    if (!Loaded(bus)) return kExitFile;
    if (!bus.Put(positional[0], lineData)) {
        std::fprintf(stderr, "rux: cannot keep the file name and line data on the message bus\n");
        return kExitFile;
    }
    return kExitOk;
}

// Filled on the bus's thread, printed on the main thread.
struct CInbox {
    std::mutex mutex;
    std::condition_variable arrived;
    std::deque<std::string> lines;
};

volatile std::sig_atomic_t g_stop = 0;
extern "C" void OnStopSignal(int) {
    g_stop = 1;
}

void OnMessage(int32_t message, const char* fileName, const char* lineData, void* context) {
    auto* inbox = static_cast<CInbox*>(context);
    std::string line = std::to_string(message) + "\t" + fileName + "\t" + lineData;
    {
        std::lock_guard lock(inbox->mutex);
        inbox->lines.push_back(std::move(line));
    }
    inbox->arrived.notify_one();
}

int Listen(const Args& args) {
    std::string tool;
    int count = -1;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--count") {
            if (i + 1 >= args.size() || !ParseInt(args[++i], count) || count < 1)
                return UsageError(kSseUsage);
        } else if (tool.empty()) {
            tool = args[i];
        } else {
            return UsageError(kSseUsage);
        }
    }
    if (tool.empty()) return UsageError(kSseUsage);
    CSseNotifier bus;
    CInbox inbox;
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    if (!bus.RegisterTool(tool, OnMessage, &inbox)) {
        std::fprintf(stderr, "rux: cannot register '%s' on the message bus\n", tool.c_str());
        return kExitFile;
    }
    std::fprintf(stderr, "rux: listening as %s\n", tool.c_str());
    int received = 0;
    while (!g_stop && (count < 0 || received < count)) {
        std::unique_lock lock(inbox.mutex);
        inbox.arrived.wait_for(lock, std::chrono::milliseconds(100), [&] { return !inbox.lines.empty(); });
        while (!inbox.lines.empty() && (count < 0 || received < count)) {
            std::printf("%s\n", inbox.lines.front().c_str());
            inbox.lines.pop_front();
            ++received;
        }
        std::fflush(stdout);
    }
    bus.UnregisterTool(tool);
    return kExitOk;
}

} // namespace

int RunSse(const Args& args) {
    if (args.empty()) return UsageError(kSseUsage);
    const Args rest(args.begin() + 1, args.end());
    if (args[0] == "send") return Send(rest);
    if (args[0] == "put") return Put(rest);
    if (args[0] == "listen") return Listen(rest);
    return UsageError(kSseUsage);
}

} // namespace rux::cli
