#include "frame/threaded_compiler.h"

#include "editor_harness.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rux {
namespace {

using test::CEditorHarness;

struct CRun {
    std::vector<std::string> lines;
    std::vector<int32_t> results;
    // How many lines had arrived when the go-file was written.
    size_t linesBeforeGo = 0;
};

// Runs the stand-in compiler of one folder on a program in `dir`; the test lets it finish once the
// first line is in (or at once when it delivers nothing while running).
CRun Compile(const std::string& variant, const test::CTempDir& dir, bool waitForFirstLine) {
    CThreadedCompiler compiler(std::string(RUX_TEST_CMP_DIR) + "/" + variant);
    CRun run;
    EXPECT_TRUE(compiler.Load());
    const std::string program = dir.Write("prog.rux", "");
    compiler.Start(
        program, 1, 5, [&](const std::string& line) { run.lines.push_back(line); },
        [&](int32_t result) { run.results.push_back(result); });
    if (waitForFirstLine) {
        EXPECT_TRUE(CEditorHarness::WaitFor([&] { return !run.lines.empty(); }));
    }
    run.linesBeforeGo = run.lines.size();
    EXPECT_TRUE(run.results.empty()) << "the compiler waits for the go-file";
    dir.Write("prog.rux.go", "");
    EXPECT_TRUE(CEditorHarness::WaitFor([&] { return !run.results.empty(); }));
    compiler.Release();
    return run;
}

TEST(ThreadedCompiler, LinesArriveWhileTheCompilerRunsThenTheResult) {
    const std::vector<std::string> expected = {"fake.rux(1,2-5): error E1: warning flag 1, system control 5",
                                               "fake.rux(3): warning W1: second", "1 error(s), 1 warning(s)"};
    struct Case {
        const char* variant;
        bool delivers;
    } cases[] = {{"deliver", true}, {"nodeliver", false}};
    for (const Case& c : cases) {
        test::CTempDir dir;
        const CRun run = Compile(c.variant, dir, c.delivers);
        EXPECT_EQ(run.lines, expected) << c.variant;
        EXPECT_EQ(run.results, std::vector<int32_t>{1}) << c.variant;
        // Delivered lines come as the compiler sends them; without delivery they come from the error
        // file after the end.
        EXPECT_EQ(run.linesBeforeGo, c.delivers ? 1u : 0u) << c.variant;
    }
}

} // namespace
} // namespace rux
