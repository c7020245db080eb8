#include "document/output_stream.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace rux {
namespace {

// Reads back everything written to the temporary file.
std::string Contents(FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, n);
    return text;
}

// Pieces of these sizes, written in turn, cross the 64 KiB buffer edge in every way: exactly
// filling it, one byte over, a piece as large as the buffer and larger, empty pieces between.
TEST(OutputStream, FileStreamKeepsEveryByteAcrossItsBuffer) {
    const std::vector<std::vector<size_t>> cases = {
        {65536},
        {65535, 1, 1},
        {65535, 2},
        {1, 65536, 3},
        {0, 70000, 0, 5},
        {40000, 40000, 40000},
        {3, 200000, 65533, 4},
    };
    for (const auto& sizes : cases) {
        FILE* file = std::tmpfile();
        ASSERT_NE(file, nullptr);
        std::string expected;
        {
            CFileOstream out(::fileno(file));
            char next = 'a';
            for (size_t size : sizes) {
                std::string piece;
                for (size_t i = 0; i < size; ++i) piece.push_back(static_cast<char>(next + i % 23));
                next = static_cast<char>(next == 'z' ? 'a' : next + 1);
                out.Write(piece);
                expected += piece;
            }
            EXPECT_TRUE(out.Flush());
            out.Write("tail"); // written by the destructor
            expected += "tail";
        }
        EXPECT_EQ(Contents(file), expected) << "first piece " << sizes[0];
        std::fclose(file);
    }
}

TEST(OutputStream, StringAndMemoryStreamsAppendInOrder) {
    std::string text = "x";
    CStringOstream toString(text);
    CMemFileOstream toMemory;
    for (COstream* out : {static_cast<COstream*>(&toString), static_cast<COstream*>(&toMemory)})
        *out << "ab" << "" << std::string(5000, 'c') << "d";
    EXPECT_EQ(text, "xab" + std::string(5000, 'c') + "d");
    EXPECT_EQ(toMemory.View(), "ab" + std::string(5000, 'c') + "d");
}

TEST(OutputStream, FailedWriteSticks) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::close(fds[0]); // no reader: every write fails with EPIPE
    std::signal(SIGPIPE, SIG_IGN);
    CFileOstream out(fds[1]);
    out.Write(std::string(100000, 'x'));
    EXPECT_TRUE(out.Failed());
    out.Write("more");
    EXPECT_FALSE(out.Flush());
    ::close(fds[1]);
}

} // namespace
} // namespace rux
