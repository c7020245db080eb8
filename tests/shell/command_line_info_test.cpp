// Start-up: the command line and the lock that keeps one editor per user.
#include "shell/command_line_info.h"

#include "shell/single_instance.h"
#include "support/scoped_env.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace rux {
namespace {

TEST(CommandLineInfo, SwitchesAndFile) {
    struct Case {
        std::vector<std::string> args;
        int mode;
        int showOutput;
        int goToError;
        const char* file;
    } cases[] = {
        {{}, EditMode, 0, 0, ""},
        {{"/d"}, DebugMode, 0, 0, ""},
        {{"-D"}, DebugMode, 0, 0, ""},
        {{"/d", "/e"}, EditMode, 0, 0, ""},
        {{"-e", "-d"}, DebugMode, 0, 0, ""},
        {{"/E", "/D", "/e"}, EditMode, 0, 0, ""},
        {{"/o", "-G"}, EditMode, 1, 1, ""},
        {{"/x", "-debug", "/dd", "-"}, EditMode, 0, 0, ""},
        {{"/d", "line.rux"}, DebugMode, 0, 0, "line.rux"},
        {{"line.rux", "/o"}, EditMode, 1, 0, "line.rux"},
        {{"a.rux", "b.rux"}, EditMode, 0, 0, "a.rux"},
        // An absolute path is a file, not a switch.
        {{"/d", "/home/ann/Conveyor Line.rux"}, DebugMode, 0, 0, "/home/ann/Conveyor Line.rux"},
        {{"/line.rux"}, EditMode, 0, 0, "/line.rux"},
        {{"/O", "/G", "/D", "C:\\progs\\x.rux"}, DebugMode, 1, 1, "C:\\progs\\x.rux"},
    };
    for (const Case& c : cases) {
        RUX_CCommandLineInfo info;
        info.Parse(c.args);
        std::string label = ::testing::PrintToString(c.args);
        EXPECT_EQ(info.m_mode, c.mode) << label;
        EXPECT_EQ(info.m_showOutput, c.showOutput) << label;
        EXPECT_EQ(info.m_goToError, c.goToError) << label;
        EXPECT_EQ(info.m_fileName, c.file) << label;
        EXPECT_EQ(info.m_shellCommand,
                  *c.file ? RUX_CCommandLineInfo::FileOpen : RUX_CCommandLineInfo::FileNew)
            << label;
    }
}

TEST(CommandLineInfo, ArgvSkipsTheProgramName) {
    const char* argv[] = {"/opt/rux/ruxedit", "-d", "prog.rux"};
    RUX_CCommandLineInfo info;
    info.Parse(3, argv);
    EXPECT_EQ(info.m_mode, DebugMode);
    EXPECT_EQ(info.m_fileName, "prog.rux");
}

// A child process that takes the lock, says so through a pipe and then waits to be killed.
pid_t HoldInChild(const std::string& path) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        CSingleInstanceLock lock;
        const char ok = lock.Acquire(path) ? '1' : '0';
        (void)!write(fds[1], &ok, 1);
        if (ok == '1') pause();
        _exit(0);
    }
    close(fds[1]);
    char ok = 0;
    (void)!read(fds[0], &ok, 1);
    close(fds[0]);
    return ok == '1' ? pid : -1;
}

TEST(SingleInstanceLock, SecondHolderIsRefusedUntilTheFirstDies) {
    test::CTempDir dir;
    const std::string path = dir.File("RUXApp.lock");
    const pid_t first = HoldInChild(path);
    ASSERT_GT(first, 0);
    CSingleInstanceLock second;
    EXPECT_FALSE(second.Acquire(path));
    EXPECT_FALSE(second.Failed());
    // A crash (SIGKILL: no clean-up at all) must not leave the lock behind.
    kill(first, SIGKILL);
    waitpid(first, nullptr, 0);
    EXPECT_TRUE(second.Acquire(path));
    EXPECT_TRUE(second.IsHeld());
    // While this process holds it, a new process is refused; after Release it is not.
    EXPECT_EQ(HoldInChild(path), -1);
    second.Release();
    const pid_t third = HoldInChild(path);
    EXPECT_GT(third, 0);
    if (third > 0) {
        kill(third, SIGKILL);
        waitpid(third, nullptr, 0);
    }
}

TEST(SingleInstanceLock, UnopenableFileIsReportedNotHeld) {
    CSingleInstanceLock lock;
    EXPECT_FALSE(lock.Acquire("/nonexistent-dir-for-rux/RUXApp.lock"));
    EXPECT_TRUE(lock.Failed());
    EXPECT_FALSE(lock.IsHeld());
}

TEST(SingleInstanceLock, DefaultPathUsesTheRuntimeDirectory) {
    for (const char* runtime : {"/run/user/1234", static_cast<const char*>(nullptr)}) {
        test::CScopedEnv env("XDG_RUNTIME_DIR", runtime);
        EXPECT_EQ(CSingleInstanceLock::DefaultPath(),
                  runtime ? "/run/user/1234/RUXApp.lock" : "/tmp/RUXApp-" + std::to_string(getuid()) + ".lock");
    }
}

} // namespace
} // namespace rux
