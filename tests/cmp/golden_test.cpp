// Golden images: small programs in tests/cmp/golden/NAME.rux, each compiled, written, read back
// and disassembled, compared line for line with NAME.dis beside it. The dump also holds what the
// program prints on the virtual machine, so a reviewer can check the code against its effect.
//
// After an intended change of the compiler or the image format, rewrite the golden files with
//     RUX_UPDATE_GOLDEN=1 ./bin/ruxcmp_tests --gtest_filter='Golden*'
// (from the build directory) and review the diff of tests/cmp/golden before committing it.
#include "cmp/compile_support.h"
#include "support/temp_dir.h"
#include "vm/vm_support.h"

#include "core/build.h"
#include "document/program.h"
#include "image/image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace rux::test {
namespace {

const std::string kGoldenDir = RUX_SOURCE_DIR "/tests/cmp/golden/";

struct GoldenCase {
    const char* name;
    uint32_t runMs; // virtual time the program runs for the printed part of the dump
};

const GoldenCase kGolden[] = {
    {"arithmetic", 10}, // integer and real operators, conversions, a comparison as a value
    {"loops", 10},      // FOR up and down (integer and real), IF/ELSEIF/ELSE, DO WHILE, DO ... EXIT
    {"block", 20},      // a function block with two inputs and two outputs, called from two sites
    {"subroutine", 25}, // CALL, a one-line IF, Background with DELAY and a GOTO back
    {"arrays", 10},     // integer and real arrays, a parameter write and read, PRINT, $FLT single
};

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name; }

// "; item N" lines get the text of item N, so the dump reads against the program.
std::string Annotate(const std::string& listing, const std::string& programText) {
    CProgram program;
    cmp::ProgramFromText(programText, program);
    const std::vector<cmp::SourceItem> items = cmp::ItemsOf(program);
    std::istringstream in(listing);
    std::string out, line;
    while (std::getline(in, line)) {
        unsigned item = 0;
        if (std::sscanf(line.c_str(), "; item %u", &item) == 1 && item < items.size()) {
            const std::string text(items[item].text);
            const std::size_t first = text.find_first_not_of(" \t");
            line += std::string(items[item].kind == cmp::kFooterItem ? ": end of " : ": ") +
                    (first == std::string::npos ? std::string() : text.substr(first));
        }
        out += line + "\n";
    }
    return out;
}

// The whole dump of one program: identifier and size of the written file, the image as read back
// by the reader, and the lines it prints in `ms` ms.
std::string Dump(const std::string& programText, const std::string& fileName, uint32_t ms) {
    cmp::Result r = CompileText(programText, fileName);
    std::string t;
    for (const std::string& m : MessageLines(r, fileName)) t += "; " + m + "\n";
    if (r.errors != 0) return t;
    const image::Bytes bytes = image::writeImage(r.image);
    image::Image back;
    std::string problem;
    if (!image::readImage(bytes.data(), bytes.size(), back, problem)) return t + "; not readable: " + problem + "\n";
    char id[64];
    std::snprintf(id, sizeof id, "id %08x, %zu bytes\n", back.programId, bytes.size());
    t += id;
    t += Annotate(Disassemble(back), programText);

    TableHost host;
    vm::Machine machine(host);
    if (!machine.load(bytes.data(), bytes.size(), problem)) return t + "; not loaded: " + problem + "\n";
    machine.step(ms);
    t += "; printed in " + std::to_string(ms) + " ms\n";
    for (const std::string& p : host.printed) t += p + "\n";
    for (const vm::RunTimeError& e : host.errors)
        t += "[" + std::to_string(e.timeMs) + "] " + e.taskName + ": run-time error " + std::to_string(static_cast<int>(e.code)) + " at item " + std::to_string(e.item) + ": " + e.text + "\n";
    return t;
}

// Where two texts first differ, as "line N" with both lines, for a readable failure.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    std::istringstream e(expected), a(actual);
    std::string le, la;
    for (int n = 1;; ++n) {
        const bool he = static_cast<bool>(std::getline(e, le));
        const bool ha = static_cast<bool>(std::getline(a, la));
        if (!he && !ha) return "the texts differ only in line ends";
        if (!he || !ha || le != la)
            return "first difference in line " + std::to_string(n) + ":\n  golden: " + (he ? le : "<end>") +
                   "\n  actual: " + (ha ? la : "<end>");
    }
}

class GoldenImage : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenImage, DisassemblyMatches) {
    const GoldenCase& c = GetParam();
    const std::string source = ReadFileBytes(kGoldenDir + c.name + ".rux");
    ASSERT_FALSE(source.empty()) << "missing " << kGoldenDir << c.name << ".rux";
    const std::string actual = Dump(source, std::string(c.name) + ".rux", c.runMs);
    const std::string goldenPath = kGoldenDir + c.name + ".dis";

    if (const char* update = std::getenv("RUX_UPDATE_GOLDEN"); update && *update && std::string(update) != "0") {
        std::ofstream(goldenPath, std::ios::binary) << actual;
        std::printf("rewrote %s\n", goldenPath.c_str());
        return;
    }
    const std::string golden = ReadFileBytes(goldenPath);
    if (golden == actual) return;
    const std::string actualPath = std::string(c.name) + ".dis.actual";
    std::ofstream(actualPath, std::ios::binary) << actual;
    ADD_FAILURE() << goldenPath << " does not match the compiler's output; "
                  << FirstDifference(golden, actual) << "\nthe new dump is in " << actualPath
                  << " (diff -u " << goldenPath << " " << actualPath << ")."
                  << "\nIf the change is intended, rewrite the golden files with RUX_UPDATE_GOLDEN=1 and review them.";
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenImage, ::testing::ValuesIn(kGolden),
                         [](const auto& info) { return std::string(info.param.name); });

// The golden programs compile without a single message: a warning in one would mean the dump
// shows code for a program the compiler itself doubts.
TEST(GoldenPrograms, CompileWithoutMessages) {
    for (const GoldenCase& c : kGolden) {
        const cmp::Result r = CompileText(ReadFileBytes(kGoldenDir + c.name + ".rux"), std::string(c.name) + ".rux");
        EXPECT_EQ(MessageLines(r, c.name), std::vector<std::string>{"0 error(s), 0 warning(s)"}) << c.name;
    }
}

} // namespace
} // namespace rux::test
