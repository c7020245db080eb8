// Running a piece of a test in a forked child: as another user, or under limits the test process
// must not keep.
#pragma once

#include <functional>
#include <string>

namespace rux::test {

struct CChildResult {
    bool ran = false;   // the child started and ended normally
    std::string output; // what the body returned
};

// Runs body in a forked child and hands back the text it returns.
CChildResult RunInChild(const std::function<std::string()>& body);
// In a child: writes past `bytes` fail with EFBIG from now on instead of killing the process.
void LimitFileSize(unsigned long bytes);

// The user a permission test acts as: nobody when the test runs as root, else the test's own user.
struct CTestUser {
    unsigned uid = 0;
    unsigned gid = 0;
    bool other = false; // a different user from the one running the test (files can be given to it)
};
// Empty when no such user can be had (a message then says why).
bool PermissionTestUser(CTestUser& user, std::string& why);
// In a child: becomes that user for good; false when the system refuses.
bool BecomeUser(const CTestUser& user);

} // namespace rux::test
