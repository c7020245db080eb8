#include "document/line_input.h"
#include "document/output_stream.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace rux {
namespace {

std::vector<std::string> ReadAll(CStrFile& in) {
    std::vector<std::string> lines;
    std::string line;
    while (in.ReadLine(line))
        lines.push_back(line);
    return lines;
}

struct LineCase {
    const char* name;
    std::string input;
    std::vector<std::string> fileLines; // file reader: every CR dropped
    std::vector<std::string> memLines;  // memory reader: CR LF at a line end becomes LF
};

std::vector<LineCase> Cases() {
    return {
        {"empty", "", {}, {}},
        {"crlf", "a\r\nb\r\n", {"a\n", "b\n"}, {"a\n", "b\n"}},
        {"last line unterminated", "a\r\nxy", {"a\n", "xy"}, {"a\n", "xy"}},
        {"lone CR inside", "a\rb\r\n", {"ab\n"}, {"a\rb\n"}},
        {"CR at end of input", "a\r", {"a"}, {"a\r"}},
        {"double CR", "a\r\r\n", {"a\n"}, {"a\r\n"}},
        {"empty lines", "\n\r\n\n", {"\n", "\n", "\n"}, {"\n", "\n", "\n"}},
        {"NUL byte kept", std::string("a\0b\n", 4), {std::string("a\0b\n", 4)}, {std::string("a\0b\n", 4)}},
    };
}

TEST(LineInput, FileAndMemoryReadersFollowTheirCrRules) {
    test::CTempDir dir;
    for (const auto& c : Cases()) {
        const std::string path = dir.File("in.txt");
        test::WriteFileBytes(path, c.input);
        CStrStdioFile file;
        ASSERT_TRUE(file.Open(path));
        EXPECT_EQ(ReadAll(file), c.fileLines) << c.name;
        CStrMemFile mem(c.input);
        EXPECT_EQ(ReadAll(mem), c.memLines) << c.name;
    }
}

TEST(LineInput, LongLinesAreSplitAt4095Bytes) {
    test::CTempDir dir;
    const std::string path = dir.File("long.txt");
    struct {
        size_t length;
        std::vector<size_t> pieces; // sizes of the reads, LF included
    } cases[] = {
        {5000, {4095, 906}},
        {4094, {4095}},     // 4094 bytes + LF fit
        {4095, {4095, 1}},  // the LF is left for a read of its own
        {8190, {4095, 4095, 1}},
    };
    for (const auto& c : cases) {
        // CRs in the middle of the line do not count against the limit of the file reader.
        std::string line(c.length, 'x');
        std::string withCr;
        for (size_t i = 0; i < line.size(); ++i) {
            if (i % 1000 == 999)
                withCr += '\r';
            withCr += line[i];
        }
        test::WriteFileBytes(path, withCr + "\r\n");
        CStrStdioFile file;
        ASSERT_TRUE(file.Open(path));
        std::vector<size_t> sizes;
        std::string joined;
        for (const auto& l : ReadAll(file)) {
            sizes.push_back(l.size());
            joined += l;
        }
        EXPECT_EQ(sizes, c.pieces) << c.length;
        EXPECT_EQ(joined, line + "\n") << c.length;

        const std::string memory = line + "\r\n"; // the reader keeps a view of it
        CStrMemFile mem(memory);
        sizes.clear();
        for (const auto& l : ReadAll(mem))
            sizes.push_back(l.size());
        size_t total = 0;
        for (size_t s : sizes) {
            EXPECT_LE(s, CStrFile::kMaxLine);
            total += s;
        }
        EXPECT_GE(total, c.length + 1) << c.length;
    }
}

TEST(LineInput, RewindStartsOverAndMissingFileFails) {
    test::CTempDir dir;
    const std::string path = dir.File("r.txt");
    test::WriteFileBytes(path, "one\r\ntwo\r\n");
    CStrStdioFile file;
    ASSERT_TRUE(file.Open(path));
    std::string line;
    ASSERT_TRUE(file.ReadLine(line));
    file.Rewind();
    EXPECT_EQ(ReadAll(file), (std::vector<std::string>{"one\n", "two\n"}));
    CStrStdioFile missing;
    EXPECT_FALSE(missing.Open(dir.File("nothing-here.rux")));
}

TEST(LineInput, ReadsAcrossBufferBoundaries) {
    // Lines that straddle the reader's internal chunks come back whole.
    test::CTempDir dir;
    std::string input, expected;
    for (int i = 0; i < 40000; ++i) {
        std::string text = ":line " + std::to_string(i) + std::string(static_cast<size_t>(i % 37), 'q');
        input += text + "\r\n";
        expected += text + "\n";
    }
    test::WriteFileBytes(dir.File("big.rux"), input);
    CStrStdioFile file;
    ASSERT_TRUE(file.Open(dir.File("big.rux")));
    std::string joined;
    for (const auto& l : ReadAll(file))
        joined += l;
    EXPECT_EQ(joined, expected);
}

// Lines read as views, put back together as ReadLine gives them.
std::vector<std::string> ReadAllAsViews(CStrFile& in) {
    std::vector<std::string> lines;
    std::string_view text;
    bool lf = false;
    std::string scratch;
    while (in.ReadLineView(text, lf, scratch))
        lines.push_back(std::string(text) + (lf ? "\n" : ""));
    return lines;
}

// Inputs where a view cannot simply be the bytes as they stand: CRs, lines at and past the split
// length with and without CR LF, a last line without LF, lines across the file reader's chunks.
std::vector<std::pair<std::string, std::string>> ViewInputs() {
    std::vector<std::pair<std::string, std::string>> inputs;
    for (const auto& c : Cases())
        inputs.emplace_back(c.name, c.input);
    for (size_t n : {4093u, 4094u, 4095u, 4096u, 5000u}) {
        inputs.emplace_back("line of " + std::to_string(n) + " LF", std::string(n, 'x') + "\n:next\n");
        inputs.emplace_back("line of " + std::to_string(n) + " CR LF", std::string(n, 'y') + "\r\n:next\r\n");
        inputs.emplace_back("line of " + std::to_string(n) + " CR inside", std::string(n / 2, 'z') + "\r" +
                                                                            std::string(n - n / 2, 'z') + "\r\n:n");
    }
    std::string big;
    for (int i = 0; big.size() < 300000; ++i)
        big += ":line " + std::to_string(i) + std::string(static_cast<size_t>(i % 53), 'q') + (i % 7 ? "\r\n" : "\n") +
               (i % 1000 == 0 ? "a\rb\n" : "");
    inputs.emplace_back("chunk boundaries", big);
    inputs.emplace_back("chunk boundaries, no final LF", big + ":tail\r");
    return inputs;
}

TEST(LineInput, ViewsReadTheLinesReadLineReads) {
    test::CTempDir dir;
    const std::string path = dir.File("v.txt");
    for (const auto& [name, input] : ViewInputs()) {
        SCOPED_TRACE(name);
        test::WriteFileBytes(path, input);
        CStrStdioFile expectFile;
        ASSERT_TRUE(expectFile.Open(path));
        const std::vector<std::string> fileLines = ReadAll(expectFile);
        CStrMemFile expectMem(input);
        const std::vector<std::string> memLines = ReadAll(expectMem);

        CStrStdioFile chunked;
        ASSERT_TRUE(chunked.Open(path));
        EXPECT_EQ(ReadAllAsViews(chunked), fileLines);
        chunked.Rewind();
        EXPECT_EQ(ReadAllAsViews(chunked), fileLines) << "after Rewind";
        CStrMemFile mem(input);
        EXPECT_EQ(ReadAllAsViews(mem), memLines);
    }
}

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
