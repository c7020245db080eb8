// The compiler, symbol and file libraries through their C interfaces, as the editor loads them.
#include "cmp/compile_support.h"
#include "support/temp_dir.h"

#include "h2cmp.h"
#include "h2syb.h"
#include "target/service_library.h"
#include "vevadi32.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

namespace rux::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> g_delivered;
std::vector<H2HWND> g_windows;
void Deliver(H2HWND window, const char* line) {
    g_delivered.emplace_back(line);
    g_windows.push_back(window);
}

class CompilerLibrary : public ::testing::Test {
protected:
    CServiceLibrary lib{"H2Cmp", RUX_PRODUCT_DIR};
    using CompileFn = int32_t(const char*, int32_t, H2HWND, int32_t);
    CompileFn* compile = lib.Entry<CompileFn>("H2Cmp_Compile");
    void (*setDeliver)(H2CMPDELIVERPROC) = lib.Entry<void(H2CMPDELIVERPROC)>("H2Cmp_SetDeliverProc");
    CTempDir dir;
    void SetUp() override {
        ASSERT_NE(compile, nullptr);
        ASSERT_NE(setDeliver, nullptr);
        g_delivered.clear();
        g_windows.clear();
        setDeliver(&Deliver);
    }
    void TearDown() override {
        if (setDeliver) setDeliver(nullptr);
    }
};

TEST_F(CompilerLibrary, CleanBuildWritesAllThreeFilesAndDeliversInOrder) {
    const std::string path = dir.Write("line.rux", ProgramText({{"Initial", {"x% = 1", "y = x% * 2", "PRINT y"}}}));
    int window = 0;
    EXPECT_EQ(compile(path.c_str(), 1, &window, 0), 1);
    EXPECT_EQ(g_delivered, std::vector<std::string>{"0 error(s), 0 warning(s)"});
    EXPECT_EQ(g_windows, std::vector<H2HWND>{&window});
    EXPECT_EQ(CTempDir::Read(dir.File("line.ERR")), "0 error(s), 0 warning(s)\n");
    EXPECT_EQ(CTempDir::Read(dir.File("line.sym")), "x% 0 3 0\ny 1 1 0\n");
    const std::string bin = CTempDir::Read(dir.File("line.bin"));
    ASSERT_GE(bin.size(), 40u);
    EXPECT_EQ(bin.substr(0, 4), "RXIM");
}

// A build bar that throws while a line is delivered fails the build inside the library.
TEST_F(CompilerLibrary, ThrowingDeliveryFailsTheBuild) {
    const std::string path = dir.Write("line.rux", ProgramText({{"Initial", {"x% = 1"}}}));
    setDeliver([](H2HWND, const char*) { throw std::runtime_error("build bar gone"); });
    EXPECT_EQ(compile(path.c_str(), 1, nullptr, 0), 0);
}

TEST_F(CompilerLibrary, ErrorsLeaveOnlyTheErrorFileAndRemoveAStaleImage) {
    const std::string path = dir.Write("bad.rux", ProgramText({{"Initial", {"ENDIF", "LOOP"}}}));
    dir.Write("bad.bin", "stale");
    dir.Write("bad.sym", "stale");
    EXPECT_EQ(compile(path.c_str(), 1, nullptr, 0), 0);
    const std::vector<std::string> expected = {"bad.rux(2,1-6): error E012: ENDIF without IF",
                                               "bad.rux(3,1-5): error E012: LOOP without DO or FOR", "2 error(s), 0 warning(s)"};
    EXPECT_EQ(g_delivered, expected);
    EXPECT_EQ(CTempDir::Read(dir.File("bad.ERR")), expected[0] + "\n" + expected[1] + "\n" + expected[2] + "\n");
    EXPECT_FALSE(fs::exists(dir.File("bad.bin")));
    EXPECT_FALSE(fs::exists(dir.File("bad.sym")));
}

TEST_F(CompilerLibrary, WarningFlagZeroStopsAtTheFirstWarning) {
    const std::string path =
        dir.Write("warn.rux", ProgramText({{"Helper", {}}, {"Initial", {"a% = 1"}}, {"Other", {}}}));
    EXPECT_EQ(compile(path.c_str(), 1, nullptr, 0), 1); // warnings alone do not fail
    EXPECT_EQ(g_delivered.size(), 4u);
    g_delivered.clear();
    EXPECT_EQ(compile(path.c_str(), 0, nullptr, 0), 0);
    EXPECT_EQ(g_delivered, (std::vector<std::string>{
                               "warn.rux(1,1-7): warning W005: section Helper is not a task of target KESTREL and never runs",
                               "0 error(s), 1 warning(s)"}));
    EXPECT_FALSE(fs::exists(dir.File("warn.bin")));
}

TEST_F(CompilerLibrary, UnreadableFileIsOneError) {
    const std::string path = dir.File("missing.rux");
    EXPECT_EQ(compile(path.c_str(), 1, nullptr, 0), 0);
    EXPECT_EQ(g_delivered, (std::vector<std::string>{"missing.rux(0,1-2): error E000: cannot read missing.rux",
                                                     "1 error(s), 0 warning(s)"}));
}

TEST_F(CompilerLibrary, WithoutADeliveryFunctionOnlyTheFileIsWritten) {
    setDeliver(nullptr);
    const std::string path = dir.Write("quiet.rux", ProgramText({{"Initial", {"ENDIF"}}}));
    EXPECT_EQ(compile(path.c_str(), 1, nullptr, 0), 0);
    EXPECT_TRUE(g_delivered.empty());
    EXPECT_EQ(CTempDir::Read(dir.File("quiet.ERR")), "quiet.rux(2,1-6): error E012: ENDIF without IF\n1 error(s), 0 warning(s)\n");
    auto* order = lib.Entry<int32_t(const char*, const char*)>("H2Cmp_CompileOrder");
    ASSERT_NE(order, nullptr);
    EXPECT_EQ(order("diagram.txt", "KESTREL"), 0);
}

TEST(FileLibrary, ProgramIdOfAnImageAndZeroForAnythingElse) {
    CServiceLibrary lib("vevadi32", RUX_PRODUCT_DIR);
    auto* describe = lib.Entry<uint32_t(const char*)>("RUX_GetFileDescription");
    ASSERT_NE(describe, nullptr);
    CTempDir dir;
    cmp::Result r = CompileSections({{"Initial", {"x% = 1"}}});
    const image::Bytes bytes = image::writeImage(r.image);
    const std::string good = dir.Write("p.bin", std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(describe(good.c_str()), r.image.programId);
    EXPECT_NE(r.image.programId, 0u);
    std::string damaged(bytes.begin(), bytes.end());
    damaged[damaged.size() - 1] ^= 1;
    EXPECT_EQ(describe(dir.Write("d.bin", damaged).c_str()), 0u);
    EXPECT_EQ(describe(dir.Write("t.bin", "not an image").c_str()), 0u);
    EXPECT_EQ(describe(dir.File("none.bin").c_str()), 0u);
    EXPECT_EQ(describe(nullptr), 0u);
}

// A symbol looked up on a node, and the record the library must fill (found 0: none).
struct CSymbolCase {
    const char* symbol;
    const char* node;
    int32_t found;
    uint32_t address;
    uint16_t type;
    uint16_t bit;
};

class SymbolLibrary : public ::testing::Test {
protected:
    CServiceLibrary lib{"H2Syb", RUX_PRODUCT_DIR};
    int32_t (*open)(const char*) = lib.Entry<int32_t(const char*)>("H2SYB_Open");
    int32_t (*load)(const char*) = lib.Entry<int32_t(const char*)>("H2SYB_LoadScript");
    int32_t (*get)(const char*, const char*, H2SYBOBJADDR*) =
        lib.Entry<int32_t(const char*, const char*, H2SYBOBJADDR*)>("H2SYB_GetObjAddr");
    CTempDir dir;
    void SetUp() override { ASSERT_TRUE(open && load && get); }
    // Every field of a record found is written: none keeps the value it had before the call.
    void ExpectLookups(const std::vector<CSymbolCase>& cases) const {
        for (const CSymbolCase& c : cases) {
            H2SYBOBJADDR rec{0xFFFF, 0xFFFF, 0xFFFF};
            EXPECT_EQ(get(c.symbol, c.node, &rec), c.found) << c.symbol << " on " << c.node;
            if (!c.found) continue;
            EXPECT_EQ(rec.Address, c.address) << c.symbol;
            EXPECT_EQ(rec.Type, c.type) << c.symbol;
            EXPECT_EQ(rec.Bit, c.bit) << c.symbol;
        }
    }
};

TEST_F(SymbolLibrary, VariablesOfTheNodesProgramAndParameters) {
    dir.Write("a.sym", "Speed 4 1 0\nCount% 0 3 0\nZone% 10 3 0 8\n");
    dir.Write("b.sym", "Speed 7 2 0\n");
    dir.Write("HALM2.NAD", "; nodes\n[Nodes]\n3=b\nInfeed = a\nINFEED=b\n");
    EXPECT_EQ(open(dir.File("missing").c_str()), 0);
    ASSERT_EQ(open(dir.Path().c_str()), 1);
    ASSERT_EQ(load("HALM2.NAD"), 1);
    ExpectLookups({
        {"Speed", "3", 1, 7, 2, 0},            // node 3 runs b
        {"Speed", "infeed", 1, 4, 1, 0},       // labels without regard to case
        {"Count%", "3", 0, 0, 0, 0},           // not in b
        {"Count%", "9", 1, 0, 3, 0},           // unknown node: the directory's files in name order
        {"Zone%[7]", "Infeed", 1, 17, 3, 0},
        {"Zone%[8]", "Infeed", 0, 0, 0, 0},
        {"#1.21", "3", 1, 0x80011500u, 1, 0},
        {"#INT71.10", "3", 1, 0x80470A00u, 3, 0},
        {"#[INT]1.21", "3", 1, 0x80011500u, 3, 0},
        {"#8.03.2", "3", 1, 0x80080302u, 3, 1},
        {"B2#1.21", "3", 1, 0x80011500u, 1, 0},
        {"#1.121", "3", 0, 0, 0, 0},
        {"#8.03.32", "3", 0, 0, 0, 0},
    });
    // Without a node database every node runs the directory's programs.
    fs::remove(dir.File("HALM2.NAD"));
    ASSERT_EQ(open(dir.Path().c_str()), 1);
    EXPECT_EQ(load("HALM2.NAD"), 1);
    ExpectLookups({{"Speed", "3", 1, 4, 1, 0}});
}

// Lines of a symbol file as the library takes them: the Bit column is 0 or 1, anything else (or a
// malformed field) drops the line.
TEST_F(SymbolLibrary, BitColumnOfTheSymbolFile) {
    dir.Write("p.sym", "Running% 4 3 1\n"
                      "Speed 5 1 0\n"
                      "Old% 6 3\n"
                      "Wide% 7 3 2\n"
                      "Flags% 8 3 1 4\n"
                      "Neg% 9 3 -1\n"
                      "Word% x 3 0\n"
                      "Tabbed%\t10\t3\t1\r\n");
    ASSERT_EQ(open(dir.Path().c_str()), 1);
    ASSERT_EQ(load("HALM2.NAD"), 1);
    ExpectLookups({
        {"Running%", "1", 1, 4, 3, 1},
        {"Speed", "1", 1, 5, 1, 0},
        {"Old%", "1", 1, 6, 3, 0}, // no Bit column: not a bit
        {"Wide%", "1", 0, 0, 0, 0},
        {"Flags%[3]", "1", 1, 11, 3, 1},
        {"Flags%[4]", "1", 0, 0, 0, 0},
        {"Neg%", "1", 0, 0, 0, 0},
        {"Word%", "1", 0, 0, 0, 0},
        {"Tabbed%", "1", 1, 10, 3, 1},
    });
}

} // namespace
} // namespace rux::test
