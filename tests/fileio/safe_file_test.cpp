#include "fileio/safe_file.h"

#include "fileio/whole_file.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace rux {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

struct stat StatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Outcome(const CWriteResult& result) {
    return result.ok ? "ok" : "refused: " + result.reason;
}

TEST(SafeFile, ReplacesKeepingModeAndLeavesNothingBehind) {
    test::CTempDir dir;
    const std::string path = dir.Write("p.rux", "old content\n");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    const ino_t before = StatOf(path).st_ino;

    ASSERT_TRUE(WriteFileSafely(path, "new\r\n")) << "plain replace";
    EXPECT_EQ(ReadFileBytes(path), "new\r\n");
    const struct stat after = StatOf(path);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_NE(after.st_ino, before) << "a new file took the old one's place";
    EXPECT_EQ(Listing(dir.Path()), std::vector<std::string>{"p.rux"});

    // Empty content empties the file rather than leaving the old bytes.
    ASSERT_TRUE(WriteFileSafely(path, ""));
    EXPECT_EQ(ReadFileBytes(path), "");
}

TEST(SafeFile, NewFileTakesTheUmaskWhichStaysAsItWas) {
    test::CTempDir dir;
    const std::string path = dir.File("new.rux");
    const test::CChildResult child = test::RunInChild([&] {
        ::umask(027);
        const CWriteResult result = WriteFileSafely(path, "x");
        const mode_t now = ::umask(0);
        return Outcome(result) + " umask " + std::to_string(now);
    });
    ASSERT_TRUE(child.ran);
    EXPECT_EQ(child.output, "ok umask " + std::to_string(027));
    EXPECT_EQ(StatOf(path).st_mode & 07777, 0640u);
}

TEST(SafeFile, LinksAreWrittenThrough) {
    test::CTempDir dir;
    ASSERT_EQ(::mkdir(dir.File("real").c_str(), 0755), 0);
    const std::string real = dir.Write("real/p.rux", "old");
    const std::string link = dir.File("link.rux");
    ASSERT_EQ(::symlink("real/p.rux", link.c_str()), 0);
    const std::string chain = dir.File("chain.rux");
    ASSERT_EQ(::symlink("link.rux", chain.c_str()), 0);
    // A link whose file does not exist yet: the save creates that file.
    const std::string dangling = dir.File("dangling.rux");
    ASSERT_EQ(::symlink("real/made.rux", dangling.c_str()), 0);
    const std::string hard = dir.File("hard.rux");
    ASSERT_EQ(::link(real.c_str(), hard.c_str()), 0);

    struct Case {
        std::string path, content, file;
    } cases[] = {
        {link, "via link", real},
        {chain, "via chain", real},
        {hard, "via hard link", real},
        {dangling, "created", dir.File("real/made.rux")},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteFileSafely(c.path, c.content)) << c.path;
        EXPECT_EQ(ReadFileBytes(c.file), c.content) << c.path;
    }
    for (const std::string& name : {link, chain, dangling}) {
        struct stat st {};
        ASSERT_EQ(::lstat(name.c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << name << " is still a link";
    }
    EXPECT_EQ(StatOf(real).st_ino, StatOf(hard).st_ino) << "the hard link is not split";
    EXPECT_EQ(StatOf(real).st_nlink, 2u);
    EXPECT_EQ(ReadFileBytes(hard), "via hard link");
    EXPECT_EQ(Listing(dir.File("real")), (std::vector<std::string>{"made.rux", "p.rux"})) << "no backup left";
}

TEST(SafeFile, RefusesWhatIsNotARegularFile) {
    test::CTempDir dir;
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string socketPath = dir.File("sock");
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string linkToFolder = dir.File("folder-link");
    ASSERT_EQ(::symlink(dir.Path().c_str(), linkToFolder.c_str()), 0);

    struct Case {
        std::string path, reason;
    } cases[] = {
        {dir.Path(), "it is a folder"},
        {linkToFolder, "it is a folder"},
        {fifo, "it is a FIFO, not a regular file"},
        {"/dev/null", "it is a device, not a regular file"},
        {socketPath, "it is a socket, not a regular file"},
        {"", "no file name was given"},
        {dir.File("missing/p.rux"), "the folder " + dir.File("missing") + " does not exist"},
    };
    for (const Case& c : cases) {
        const CWriteResult result = WriteFileSafely(c.path, "data");
        EXPECT_FALSE(result.ok) << c.path;
        EXPECT_EQ(result.reason, c.reason) << c.path;
        EXPECT_EQ(CheckWritable(c.path).reason, c.reason) << c.path;
    }
    ::close(s);
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the FIFO was not replaced";
    EXPECT_EQ(Listing(dir.Path()), (std::vector<std::string>{"fifo", "folder-link", "sock"}));
}

TEST(SafeFile, FailedWriteKeepsTheOldContent) {
    test::CTempDir dir;
    const std::string single = dir.Write("single.rux", "old!");
    const std::string linked = dir.Write("linked.rux", "old?");
    ASSERT_EQ(::link(linked.c_str(), dir.File("other-name.rux").c_str()), 0);
    const std::string big(100000, 'n');

    struct Case {
        std::string path, old, reasonEnd;
    } cases[] = {
        {single, "old!", "File too large"},
        // Rewritten in place: the old bytes are put back from memory and the backup goes.
        {linked, "old?", "the old content was put back"},
    };
    for (const Case& c : cases) {
        const test::CChildResult child = test::RunInChild([&] {
            test::LimitFileSize(4096);
            return Outcome(WriteFileSafely(c.path, big));
        });
        ASSERT_TRUE(child.ran);
        EXPECT_TRUE(child.output.starts_with("refused: cannot write the file: ")) << child.output;
        EXPECT_TRUE(child.output.ends_with(c.reasonEnd)) << child.output;
        EXPECT_EQ(ReadFileBytes(c.path), c.old);
    }
    EXPECT_EQ(Listing(dir.Path()), (std::vector<std::string>{"linked.rux", "other-name.rux", "single.rux"}));

    // A writer that gives up is a failure too, and the old file stays.
    errno = 0;
    EXPECT_FALSE(WriteFileSafely(single, [](int) { return false; }));
    EXPECT_EQ(ReadFileBytes(single), "old!");
}

// Files and folders of the permission tests belong to root or to the test user as each case says.
class SafeFilePermissions : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        if (!test::PermissionTestUser(m_user, why)) {
            GTEST_SKIP() << why;
        }
        // The test user must be able to reach the scratch folder.
        ASSERT_EQ(::chmod(m_dir.Path().c_str(), 0755), 0);
        m_tmp = m_dir.File("tmp");
        ASSERT_EQ(::mkdir(m_tmp.c_str(), 0777), 0);
        ASSERT_EQ(::chmod(m_tmp.c_str(), 01777), 0);
    }
    void GiveToUser(const std::string& path) {
        if (m_user.other) {
            ASSERT_EQ(::chown(path.c_str(), m_user.uid, m_user.gid), 0);
        }
    }
    // The write as the test user, with TMPDIR pointing into the scratch folder.
    std::string WriteAsUser(const std::string& path, const std::string& content) {
        const test::CChildResult child = test::RunInChild([&] {
            if (!test::BecomeUser(m_user)) return std::string("cannot become the test user");
            ::setenv("TMPDIR", m_tmp.c_str(), 1);
            return Outcome(WriteFileSafely(path, content));
        });
        return child.ran ? child.output : "child failed";
    }
    std::string Folder(const std::string& name, mode_t mode, bool users) {
        const std::string path = m_dir.File(name);
        EXPECT_EQ(::mkdir(path.c_str(), 0700), 0);
        if (users) GiveToUser(path);
        EXPECT_EQ(::chmod(path.c_str(), mode), 0);
        return path;
    }

    test::CTempDir m_dir;
    test::CTestUser m_user;
    std::string m_tmp;
};

TEST_F(SafeFilePermissions, RefusesWhatTheUserMayNotWrite) {
    const std::string own = Folder("own", 0755, true);
    const std::string readOnly = own + "/read-only.rux";
    WriteFileBytes(readOnly, "keep");
    GiveToUser(readOnly);
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    const std::string closed = Folder("closed", 0555, true);

    struct Case {
        std::string path, outcome;
        bool needsOther;
    } cases[] = {
        {readOnly, "refused: you do not have permission to write this file", false},
        {closed + "/new.rux", "refused: you do not have permission to create files in " + closed, false},
    };
    std::vector<Case> all(std::begin(cases), std::end(cases));
    std::string shared;
    if (m_user.other) {
        // Someone else's file in a folder everyone may write: replacing it would be possible, but
        // the file itself is not ours to write.
        shared = Folder("shared", 01777, false);
        WriteFileBytes(shared + "/theirs.rux", "keep");
        ASSERT_EQ(::chmod((shared + "/theirs.rux").c_str(), 0644), 0);
        all.push_back(
            {shared + "/theirs.rux", "refused: you do not have permission to write this file", true});
    }
    for (const Case& c : all) {
        EXPECT_EQ(WriteAsUser(c.path, "new"), c.outcome) << c.path;
    }
    EXPECT_EQ(ReadFileBytes(readOnly), "keep");
    if (!shared.empty()) {
        EXPECT_EQ(ReadFileBytes(shared + "/theirs.rux"), "keep");
    }
    EXPECT_FALSE(std::filesystem::exists(closed + "/new.rux"));
    EXPECT_TRUE(Listing(m_tmp).empty());
}

TEST_F(SafeFilePermissions, WritableFileInAReadOnlyFolderIsRewrittenInPlace) {
    const std::string closed = Folder("closed", 0755, true);
    const std::string path = closed + "/p.rux";
    WriteFileBytes(path, "old content");
    GiveToUser(path);
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    ASSERT_EQ(::chmod(closed.c_str(), 0555), 0);
    const ino_t before = StatOf(path).st_ino;

    EXPECT_EQ(WriteAsUser(path, "new content, longer than the old"), "ok");
    EXPECT_EQ(ReadFileBytes(path), "new content, longer than the old");
    EXPECT_EQ(StatOf(path).st_ino, before);
    EXPECT_EQ(StatOf(path).st_mode & 07777, 0600u);
    EXPECT_EQ(Listing(closed), std::vector<std::string>{"p.rux"});
    EXPECT_TRUE(Listing(m_tmp).empty()) << "the backup in the temporary folder is removed";

    // Shorter content leaves no tail of the old bytes.
    EXPECT_EQ(WriteAsUser(path, "short"), "ok");
    EXPECT_EQ(ReadFileBytes(path), "short");
}

TEST_F(SafeFilePermissions, OwnerAndGroupStay) {
    if (!m_user.other) {
        GTEST_SKIP() << "needs root to prepare files of another user";
    }
    // Root saving the test user's file: the replacement is given back to that user.
    const std::string path = m_dir.Write("users.rux", "old");
    GiveToUser(path);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(WriteFileSafely(path, "by root"));
    struct stat st = StatOf(path);
    EXPECT_EQ(st.st_uid, m_user.uid);
    EXPECT_EQ(st.st_gid, m_user.gid);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // The test user saving root's group-writable file: a replacement could not be given back to
    // root, so the file is rewritten where it is and keeps its owner.
    const std::string shared = Folder("shared", 0777, false);
    const std::string theirs = shared + "/theirs.rux";
    WriteFileBytes(theirs, "old");
    ASSERT_EQ(::chown(theirs.c_str(), 0, m_user.gid), 0);
    ASSERT_EQ(::chmod(theirs.c_str(), 0664), 0);
    EXPECT_EQ(WriteAsUser(theirs, "by the user"), "ok");
    EXPECT_EQ(ReadFileBytes(theirs), "by the user");
    st = StatOf(theirs);
    EXPECT_EQ(st.st_uid, 0u);
    EXPECT_EQ(st.st_gid, m_user.gid);
    EXPECT_EQ(Listing(shared), std::vector<std::string>{"theirs.rux"});
}

TEST(WholeFile, ReadsEveryByteAcrossChunks) {
    test::CTempDir dir;
    // NUL, CR and a size that is not a multiple of the read chunk: nothing dropped or translated.
    std::string bytes(200'003, 'x');
    bytes[0] = '\0';
    bytes[65'536] = '\r';
    bytes.back() = '\n';
    const CFileBytes read = ReadWholeFile(dir.Write("big.rux", bytes));
    ASSERT_TRUE(read) << read.reason;
    EXPECT_EQ(read.bytes, bytes);

    const CFileBytes empty = ReadWholeFile(dir.Write("empty.rux", ""));
    EXPECT_TRUE(empty);
    EXPECT_EQ(empty.bytes, "");
}

TEST(WholeFile, RefusesWhatIsNotARegularFileWithoutWaiting) {
    test::CTempDir dir;
    const std::string fifo = dir.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        std::string reason;
    } cases[] = {
        {dir.Path(), "it is a folder"},
        {fifo, "it is a FIFO, not a file"},  // no writer: a blocking open would hang here
        {"/dev/null", "it is a device, not a file"},
        {dir.File("missing.rux"), "No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const CFileBytes read = ReadWholeFile(c.path);
        EXPECT_FALSE(read.ok);
        EXPECT_EQ(read.reason, c.reason);
        EXPECT_EQ(read.bytes, "");
    }
}

} // namespace
} // namespace rux
