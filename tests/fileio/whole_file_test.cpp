#include "fileio/whole_file.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace rux {
namespace {

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
