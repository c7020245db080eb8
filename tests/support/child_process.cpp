#include "support/child_process.h"

#include <cerrno>
#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rux::test {

void LimitFileSize(unsigned long bytes) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, nullptr);
    struct rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

CChildResult RunInChild(const std::function<std::string()>& body) {
    CChildResult result;
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return result;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return result;
    }
    if (pid == 0) {
        ::close(pipeFds[0]);
        const std::string text = body();
        size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = ::write(pipeFds[1], text.data() + done, text.size() - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n > 0) {
            result.output.append(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;
    }
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.ran = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

bool PermissionTestUser(CTestUser& user, std::string& why) {
    if (::geteuid() != 0) {
        user = {static_cast<unsigned>(::geteuid()), static_cast<unsigned>(::getegid()), false};
        return true;
    }
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody) {
        why = "running as root and there is no user 'nobody' to test permissions with";
        return false;
    }
    user = {nobody->pw_uid, nobody->pw_gid, true};
    // A trial child tells whether this system lets us change user at all (containers may not).
    const CChildResult trial =
        RunInChild([&] { return BecomeUser(user) ? std::string("yes") : std::string("no"); });
    if (trial.output != "yes") {
        why = "running as root and cannot become 'nobody' to test permissions";
        return false;
    }
    return true;
}

bool BecomeUser(const CTestUser& user) {
    if (::geteuid() == user.uid) return true;
    return ::setgroups(0, nullptr) == 0 && ::setresgid(user.gid, user.gid, user.gid) == 0 &&
           ::setresuid(user.uid, user.uid, user.uid) == 0 && ::geteuid() == user.uid;
}

} // namespace rux::test
