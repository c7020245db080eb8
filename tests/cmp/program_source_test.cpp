// The compiler's read of a program file must give exactly the items the editor's Load builds, item
// for item: kind, text bytes and diagram title, and the same header. Item numbers are the editor's
// line numbers, so one item lost or one byte kept differently moves every message.
#include "cmp/compile_support.h"
#include "program_generator.h"
#include "support/temp_dir.h"

#include "core/build.h"
#include "core/program_source.h"
#include "document/header_item.h"
#include "document/program.h"
#include "document/program_file.h"
#include "image/image.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

namespace rux::test {
namespace {

std::string Title(const cmp::SourceItem& item) { return item.diagramTitle ? *item.diagramTitle : std::string(); }

// The first difference between the two readings, or "" when there is none.
std::string Difference(const std::vector<cmp::SourceItem>& want, const std::vector<cmp::SourceItem>& got) {
    for (std::size_t i = 0; i < std::min(want.size(), got.size()); ++i)
        if (want[i].kind != got[i].kind || want[i].text != got[i].text || Title(want[i]) != Title(got[i]))
            return "item " + std::to_string(i) + ": kind " + std::to_string(want[i].kind) + " '" +
                   std::string(want[i].text.substr(0, 60)) + "' title '" + Title(want[i]) + "' read as kind " +
                   std::to_string(got[i].kind) + " '" + std::string(got[i].text.substr(0, 60)) + "' title '" +
                   Title(got[i]) + "'";
    if (want.size() != got.size())
        return std::to_string(want.size()) + " items read as " + std::to_string(got.size());
    return "";
}

void ExpectSameAsDocument(const CProgram& program, const cmp::ProgramSource& source) {
    EXPECT_EQ(source.format, program.HasFormat());
    EXPECT_EQ(Difference(cmp::ItemsOf(program), source.items), "");
    const CPar* header = program.GetHeader();
    ASSERT_EQ(source.header.has_value(), header != nullptr);
    if (header) {
        EXPECT_TRUE(*source.header == header->Header());
    }
}

// Reads the file both ways; the compiler's read comes first, since Load rewrites a "$V3" program.
void ExpectFileReadAsLoadReadsIt(const std::string& path) {
    SCOPED_TRACE(path);
    cmp::ProgramSource source;
    ASSERT_TRUE(cmp::ReadProgramSource(path, source));
    CProgram program;
    ASSERT_TRUE(Load(program, path));
    ExpectSameAsDocument(program, source);
}

TEST(ProgramSource, ExamplesAndGeneratedProgramsReadAsTheDocumentHoldsThem) {
    int examples = 0;
    for (const auto& entry : std::filesystem::directory_iterator(RUX_SOURCE_DIR "/examples"))
        if (entry.path().extension() == ".rux") {
            ExpectFileReadAsLoadReadsIt(entry.path().string());
            ++examples;
        }
    EXPECT_GE(examples, 3);
    CTempDir dir;
    for (const auto& [lines, seed] : {std::pair{200, 1u}, {3000, 7u}, {20000, 42u}})
        ExpectFileReadAsLoadReadsIt(dir.Write("gen" + std::to_string(seed) + ".rux", bench::GenerateProgramFile(lines, seed)));
}

struct EdgeCase {
    const char* name;
    std::string bytes;
};

const std::string kHead = "$*TORVEL/RUX-V1\n#info=Ident\nType=KESTREL\nName=Edge\nDebug=1\n#endinfo\n";

std::string Section(const std::string& name, const std::string& body) {
    return "#info=Section\nName=" + name + "\nState=close\n#endinfo\n" + body + "#info=EndSection\nName=" + name +
           "\n#endinfo\n";
}

std::string CrLf(std::string text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

const EdgeCase kEdges[] = {
    {"SectionsDiagramsAndTopLevelLines",
     kHead + ":top line\n" + Section("  Initial  ", ":x% = 1\n:\n:  indented\n") +
         Section("(Y) = _Lag(X)", "FBDescription={\n:first\n:second\n}\n:FBbody\n:Y = X\n")},
    {"CrLfLineEnds", CrLf(kHead + Section("Background", ":a = 1\n:b = 2 ; note\n") + ":after\n")},
    {"CrInsideALine", kHead + Section("Initial", ":a\r= 1\n:b = 2\r\r\n")},
    {"LineOf5000Bytes", kHead + Section("Initial", ":" + std::string(5000, 'x') + "\n:y% = 2\n") + ":" +
                            std::string(4200, 'z') + "\n"},
    {"Diagrams",
     kHead + "#info=Diagram\nZoom=150\nDiagTitle=Ramp\n#info=FBD\nline one\nline two\n#endinfo\n#endinfo\n" +
         "#info=Diagram\nState=close\n#info=QLD\npayload\n#endinfo\n#endinfo\n" +                // untitled QLD
         "#info=Diagram\nDiagTitle=Tiny\n#info=FBD\nab\n#endinfo\n#endinfo\n" +                    // payload too short
         "#info=Diagram\nDiagTitle=Ladder\n#info=LD\nrung\n#endinfo\n#endinfo\n" +                // no diagram at all
         "#info=Diagram\n#info=FBD\n#info=Nested\ninner\n#endinfo\nouter\n#endinfo\n#endinfo\n" +  // untitled, nested block
         Section("Clock", "#info=Diagram\nDiagTitle=In section\n#info=QLD\nq1\nq2\n#endinfo\n#endinfo\n:z = 1\n")},
    {"V3Lines", kHead + ":$V3\n:   $V3 stays?\n:x = $V3 here  \n" + Section("Initial", ":$V3\n")},
    {"MetafilesEndsTheProgram", kHead + Section("Initial", ":a = 1\n") + "#Metafiles\n:never read\n"},
    {"MetafilesInsideASection", kHead + Section("Initial", ":a = 1\n#Metafiles\n:b = 2\n")},
    {"NoFinalLineFeed", kHead + Section("Initial", ":a = 1\n") + ":last"},
    {"SectionCutShort", kHead + "#info=Section\nName=Initial\n#endinfo\n:a = 1\n"},
    {"HeaderAfterTheFirstItem", "$*TORVEL/RUX-V1\n:first\n#info=Ident\nType=KESTREL\n#endinfo\n"},
    {"BookmarksAndErrorMarks", "$*TORVEL/RUX-V1\n#info=BmkRef\n2\n#endinfo\n#info=BmkErrRef\n1\n#endinfo\n" +
                                   kHead.substr(16) + ":a\n:b\n"},
    {"PlainTextProgram", "Initial{\nx% = 1\n}\r\n$V3\n"},
    {"Empty", ""},
};

void PrintTo(const EdgeCase& c, std::ostream* os) { *os << c.name; }

class ProgramSourceEdges : public testing::TestWithParam<EdgeCase> {};

TEST_P(ProgramSourceEdges, FileReadsAsLoadReadsIt) {
    CTempDir dir;
    ExpectFileReadAsLoadReadsIt(dir.Write("edge.rux", GetParam().bytes));
}

TEST_P(ProgramSourceEdges, TextReadsAsProgramFromTextReadsIt) {
    CProgram program;
    cmp::ProgramFromText(GetParam().bytes, program);
    ExpectSameAsDocument(program, cmp::ProgramSourceFromText(GetParam().bytes));
}

INSTANTIATE_TEST_SUITE_P(Edges, ProgramSourceEdges, testing::ValuesIn(kEdges), CaseName);

// The cases above would pass if both readings lost the same bytes: pin what a few of them hold.
TEST(ProgramSource, KeepsTheBytesTheFileHolds) {
    CTempDir dir;
    cmp::ProgramSource s;
    ASSERT_TRUE(cmp::ReadProgramSource(dir.Write("a.rux", kEdges[3].bytes), s));
    ASSERT_GE(s.items.size(), 6u);
    EXPECT_EQ(s.items[2].text, std::string(4094, 'x')); // split at 4095 bytes read, ':' included
    EXPECT_EQ(s.items[3].text, "y% = 2");
    EXPECT_EQ(s.items[1].text, "Initial");
    EXPECT_EQ(s.items[4].kind, cmp::kFooterItem);
    EXPECT_EQ(s.items[4].text, "Initial");

    ASSERT_TRUE(cmp::ReadProgramSource(dir.Write("b.rux", kEdges[1].bytes), s));
    ASSERT_EQ(s.items.size(), 6u);
    EXPECT_EQ(s.items[3].text, "b = 2 ; note");
    EXPECT_EQ(s.items[5].text, "after");
    ASSERT_TRUE(s.header);
    EXPECT_EQ(s.header->Name, "Edge");

    ASSERT_TRUE(cmp::ReadProgramSource(dir.Write("c.rux", kEdges[4].bytes), s));
    ASSERT_EQ(s.items.size(), 9u);
    EXPECT_EQ(s.items[1].text, "line one\r\nline two\r\n");
    EXPECT_EQ(Title(s.items[1]), "Ramp");
    EXPECT_EQ(s.items[2].text, "payload\r\n");
    EXPECT_EQ(Title(s.items[2]), "");
    EXPECT_EQ(s.items[3].text, "");
    EXPECT_EQ(s.items[4].text, "#info=Nested\r\ninner\r\n#endinfo\r\nouter\r\n");
    EXPECT_EQ(Title(s.items[6]), "In section");

    ASSERT_TRUE(cmp::ReadProgramSource(dir.Write("d.rux", kEdges[5].bytes), s));
    EXPECT_TRUE(s.v3Fired);
    ASSERT_EQ(s.items.size(), 7u);
    EXPECT_EQ(s.items[1].text, "// $V3 - Now set in Node Properties");
    EXPECT_EQ(s.items[2].text, "// $V3 - Now set in Node Properties");
    EXPECT_EQ(s.items[3].text, "x = $V3 here");
    EXPECT_EQ(s.items[5].text, "$V3"); // the rule holds outside sections only
}

// Nothing but a regular file is read; a FIFO would block the build.
TEST(ProgramSource, OnlyARegularFileIsRead) {
    CTempDir dir;
    std::filesystem::create_directories(dir.File("folder.rux"));
    ASSERT_EQ(::mkfifo(dir.File("fifo.rux").c_str(), 0600), 0);
    for (const char* name : {"folder.rux", "fifo.rux", "missing.rux"}) {
        SCOPED_TRACE(name);
        cmp::ProgramSource s = cmp::ProgramSourceFromText(kHead);
        std::string problem;
        errno = 0;
        EXPECT_FALSE(cmp::ReadProgramSource(dir.File(name), s, &problem));
        EXPECT_NE(errno, 0);
        EXPECT_FALSE(problem.empty());
        EXPECT_TRUE(s.items.empty());
        EXPECT_FALSE(s.header);
    }
}

// A build reads the file as the editor opens it: a plain-text program is refused, and a "$V3" line
// is turned into a comment in the file itself, as opening the program does.
TEST(ProgramSource, BuildReadsTheFileAsOpeningItDoes) {
    const std::string clean = ProgramText({{"Initial", {"x% = 1", "PRINT x%"}}});
    struct Case {
        const char* name;
        std::string bytes;
        bool ok;
        const char* firstLine;
        bool rewritten;
    } cases[] = {
        {"clean", clean, true, "0 error(s), 0 warning(s)", false},
        {"plain", "Initial{\nx% = 1\n}\n", false,
         "p.rux(0,1-2): error E000: p.rux is an older plain-text program; open and save it in the editor (or rux "
         "convert it) first",
         false},
        {"v3", clean + ":$V3\n", true, "0 error(s), 0 warning(s)", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTempDir dir;
        const std::string path = dir.Write("p.rux", c.bytes);
        const cmp::BuildOutcome out = cmp::BuildProgram(path, false, nullptr, RUX_SOURCE_DIR "/data");
        EXPECT_EQ(out.ok, c.ok);
        ASSERT_FALSE(out.lines.empty());
        EXPECT_EQ(out.lines.front(), c.firstLine);
        cmp::ProgramSource after;
        ASSERT_TRUE(cmp::ReadProgramSource(path, after));
        EXPECT_EQ(after.v3Fired, false) << "the file still holds its $V3 line";
        if (c.rewritten) {
            EXPECT_EQ(after.items.back().text, "// $V3 - Now set in Node Properties");
        }
    }
}

} // namespace
} // namespace rux::test

namespace rux::test {
namespace {

// An image that carries its source carries the file's bytes exactly (CR LF, CRs inside a line,
// a last line without LF), and after a "$V3" rewrite the file as rewritten.
TEST(ProgramSource, BuildEmbedsTheFileAsItStands) {
    const std::string body = ProgramText({{"Initial", {"x% = 1", "PRINT x%"}}}, "Source=1\n");
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"lf", body},
        {"crlf", CrLf(body)},
        {"cr inside, no final LF", body + ":// a\rb\n:// last"},
        {"v3", body + ":$V3\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTempDir dir;
        const std::string path = dir.Write("p.rux", c.bytes);
        const cmp::BuildOutcome out = cmp::BuildProgram(path, false, nullptr, RUX_SOURCE_DIR "/data");
        ASSERT_TRUE(out.ok) << (out.lines.empty() ? "" : out.lines.front());
        image::Image img;
        std::string problem;
        ASSERT_TRUE(image::readImageFile(out.imageFile, img, problem)) << problem;
        EXPECT_NE(img.flags & image::kFlagSource, 0);
        EXPECT_EQ(img.source, ReadFileBytes(path)); // for "v3" the file holds the comment by now
        EXPECT_EQ(img.source == c.bytes, std::string(c.name) != "v3");
    }
}

} // namespace
} // namespace rux::test
