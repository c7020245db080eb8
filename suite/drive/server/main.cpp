// ruxdrive: the simulated drive. One process hosts any number of nodes and serves the
// communications library over TCP on the loopback interface.
#include "drive_server.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

namespace {

std::atomic<bool> g_stop{false};

void OnSignal(int) {
    g_stop.store(true);
}

const char kHelp[] =
    "usage: ruxdrive [--port N] [--state DIR] [--virtual-time] [--nodes FILE]\n"
    "\n"
    "A simulated drive: hosts drive nodes by node address and serves the communications\n"
    "library on 127.0.0.1.\n"
    "\n"
    "  --port N        TCP port to listen on (default 47600)\n"
    "  --state DIR     where each node keeps its program and parameters\n"
    "                  (default $XDG_STATE_HOME/ruxedit/drive, or ~/.local/state/ruxedit/drive)\n"
    "  --virtual-time  the nodes' clocks move only when a client advances them\n"
    "  --nodes FILE    nodes to create at start, one \"ADDRESS TYPE\" per line\n"
    "  --help          this text\n"
    "\n"
    "SIGTERM or SIGINT ends the drive after saving every node's state.\n";

std::string ExeDir() {
    if (const char* home = std::getenv("RUXEDIT_HOME"); home != nullptr && *home != '\0') return home;
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

std::string DefaultStateDir() {
    if (const char* x = std::getenv("XDG_STATE_HOME"); x != nullptr && *x == '/')
        return std::string(x) + "/ruxedit/drive";
    if (const char* h = std::getenv("HOME"); h != nullptr && *h != '\0')
        return std::string(h) + "/.local/state/ruxedit/drive";
    return {};
}

void Log(const std::string& line) {
    std::time_t t = std::time(nullptr);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%H:%M:%S", std::localtime(&t));
    std::fprintf(stderr, "ruxdrive %s %s\n", stamp, line.c_str());
}

} // namespace

int main(int argc, char** argv) {
    rux::drive::CDriveOptions opt;
    opt.stateDir = DefaultStateDir();
    opt.dataDir = ExeDir();
    bool stateGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "ruxdrive: %s needs a value\n", a.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--help" || a == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (a == "--port") {
            char* end = nullptr;
            const char* v = value();
            const long p = std::strtol(v, &end, 10);
            if (*v == '\0' || *end != '\0' || p < 0 || p > 65535) {
                std::fprintf(stderr, "ruxdrive: bad port '%s'\n", v);
                return 2;
            }
            opt.port = static_cast<int>(p);
        } else if (a == "--state") {
            opt.stateDir = value();
            stateGiven = true;
        } else if (a == "--virtual-time") {
            opt.virtualTime = true;
        } else if (a == "--nodes") {
            opt.nodesFile = value();
        } else {
            std::fprintf(stderr, "ruxdrive: unknown option '%s' (see --help)\n", a.c_str());
            return 2;
        }
    }
    // Files named on the command line must be usable: a drive that silently keeps nothing, or
    // silently creates none of the nodes asked for, would only surprise later.
    if (stateGiven) {
        std::error_code created, ec;
        std::filesystem::create_directories(opt.stateDir, created);
        const bool folder = std::filesystem::is_directory(opt.stateDir, ec);
        if (!folder || ::access(opt.stateDir.c_str(), W_OK) != 0) {
            const std::string reason = std::filesystem::exists(opt.stateDir, ec) && !folder ? "it is not a folder"
                                       : created                                        ? created.message()
                                                                                        : std::strerror(errno);
            std::fprintf(stderr, "ruxdrive: cannot keep state in '%s': %s\n", opt.stateDir.c_str(), reason.c_str());
            return 1;
        }
    }
    if (!opt.nodesFile.empty()) {
        std::error_code ec;
        const bool regular = std::filesystem::is_regular_file(opt.nodesFile, ec);
        if (!regular || ::access(opt.nodesFile.c_str(), R_OK) != 0) {
            std::fprintf(stderr, "ruxdrive: cannot read nodes file '%s': %s\n", opt.nodesFile.c_str(),
                         !std::filesystem::exists(opt.nodesFile, ec) ? "no such file"
                         : !regular                                 ? "it is not a regular file"
                                                                    : std::strerror(errno));
            return 1;
        }
    }
    std::signal(SIGPIPE, SIG_IGN);
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);

    rux::drive::CDriveServer server(opt, Log);
    std::string message;
    if (!server.Start(message)) {
        Log(message);
        return 1;
    }
    // The pid file lets whoever started a detached drive find it again.
    std::string pidFile;
    if (!opt.stateDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(opt.stateDir, ec);
        pidFile = opt.stateDir + "/ruxdrive.pid";
        if (FILE* f = std::fopen(pidFile.c_str(), "w")) {
            std::fprintf(f, "%d\n", static_cast<int>(::getpid()));
            std::fclose(f);
        }
    }
    Log("listening on 127.0.0.1:" + std::to_string(server.Port()) + (opt.virtualTime ? ", virtual time" : "") +
        (opt.stateDir.empty() ? "" : ", state in " + opt.stateDir));
    server.Run(g_stop);
    server.SaveAll();
    if (!pidFile.empty()) std::remove(pidFile.c_str());
    Log("stopped, state saved");
    return 0;
}
