#include "document/header_directives.h"
#include "document/header_item.h"
#include "document/line_input.h"
#include "document/output_stream.h"
#include "document/program.h"
#include "document/program_file.h"
#include "document/program_reader.h"
#include "document/section_items.h"
#include "support/edit_harness.h"
#include "support/fake_target.h"
#include "support/item_dump.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>

namespace rux {
namespace {

const std::string kHead = "$*TORVEL/RUX-V1\r\n";
const std::string kEmptyMarks = "#info=BmkRef\r\n#endinfo\r\n#info=BmkErrRef\r\n#endinfo\r\n";

struct Loaded {
    test::CTempDir dir;
    CProgram program;
    test::CFakeTarget target;
    std::string path;
    bool ok = false;

    explicit Loaded(const std::string& bytes, const std::function<void(test::CFakeTarget&)>& setUp = {}) {
        path = dir.File("prog.rux");
        test::WriteFileBytes(path, bytes);
        if (setUp) setUp(target);
        CProgramFileServices services;
        services.target = &target;
        ok = Load(program, path, services);
    }
    std::string Dump() const { return test::Dump(program.Items()); }
};

TEST(ProgramReader, ReadsEveryLineKindAsWritten) {
    struct {
        const char* name;
        std::string input;
        std::string dump;
    } cases[] = {
        {"header line only", kHead, ""},
        {"lower-case header line", "$*torvel/rux-v1\r\n:x\r\n", "L0:x\n"},
        {"empty and unterminated text lines", kHead + ":\r\n:x", "L0:\nL0:x\n"},
        {"section, empty line inside ignored",
         kHead + "#info=Section\r\nName=Initial\r\nState=open\r\n#endinfo\r\n:a\r\n\r\n:b\r\n"
                 "#info=EndSection\r\nName=Initial\r\n#endinfo\r\n:after\r\n",
         "S1:Initial+\nL1:a\nL1:b\nF1:Initial\nL0:after\n"},
        {"only lower-case close folds",
         kHead + "#info=Section\r\nName=A\r\nState=Close\r\n#info=EndSection\r\n#info=Section\r\nName=B\r\n"
                 "State=close\r\n#info=EndSection\r\n",
         "S1:A+\nF1:A\nS2:B-\nF2:B\n"},
        {"block keywords in any case",
         kHead + "#INFO=Section\r\nName=S\r\n#ENDINFO\r\n:m\r\n#Info=EndSection\r\n", "S1:S+\nL1:m\nF1:S\n"},
        {"unknown block lines taken at top level",
         kHead + "#info=Foo\r\nKey=1\r\n:inside\r\n#endinfo\r\nstray\r\n:out\r\n", "L0:inside\nL0:out\n"},
        {"end-of-program line stops reading", kHead + ":a\r\n#Metafiles\r\n:b\r\n", "L0:a\n"},
        {"end-of-program line ends a section",
         kHead + "#info=Section\r\nName=S\r\n:m\r\n#METAFILES\r\n:b\r\n", "S1:S+\nL1:m\nF1:S\nL0:b\n"},
        {"end of input inside a section closes it", kHead + "#info=Section\r\nName=S\r\n:m\r\n",
         "S1:S+\nL1:m\nF1:S\n"},
        {"diagram kinds: LD and missing payload dropped",
         kHead + "#info=Diagram\r\nDiagTitle=a\r\n#info=LD\r\nx\r\n#endinfo\r\n#endinfo\r\n"
                 "#info=Diagram\r\nDiagTitle=b\r\n#endinfo\r\n"
                 "#info=Diagram\r\nDiagTitle=c\r\nZoom=50\r\nState=close\r\n#info=QLD\r\nBOF\r\nEOF\r\n#endinfo\r\n"
                 "#endinfo\r\n",
         "D0:QLD:c:close:50:10\n"},
        {"short payload is not kept",
         kHead + "#info=Diagram\r\n#info=FBD\r\nab\r\n#endinfo\r\n#endinfo\r\n", "D0:FBD::open:100:0\n"},
        {"nested payload blocks stay in the payload",
         kHead + "#info=Section\r\nName=S\r\n#info=Diagram\r\n#info=FBD\r\n@A\r\n#info=X\r\nin\r\n#ENDINFO\r\n"
                 "@B\r\n#endinfo\r\n#endinfo\r\n:m\r\n#info=EndSection\r\n",
         "S1:S+\nD1:FBD::open:100:31\nL1:m\nF1:S\n"},
        {"the footer takes the header's trimmed text",
         kHead + "#info=Section\r\nName=  Main \t\r\n#endinfo\r\n:x\r\n#info=EndSection\r\nName=Other\r\n#endinfo\r\n",
         "S1:Main+\nL1:x\nF1:Main\n"},
        {"second section gets the next id",
         kHead + "#info=Section\r\nName=A\r\n#info=EndSection\r\n#info=Section\r\nName=B\r\n#info=EndSection\r\n",
         "S1:A+\nF1:A\nS2:B+\nF2:B\n"},
    };
    for (const auto& c : cases) {
        Loaded l(c.input);
        ASSERT_TRUE(l.ok) << c.name;
        EXPECT_TRUE(l.program.HasFormat()) << c.name;
        EXPECT_EQ(l.Dump(), c.dump) << c.name;
    }
}

// Each file is saved back in the form it came in: a program file, even an empty one, or plain text.
TEST(ProgramReader, PlainTextStaysPlainText) {
    EXPECT_EQ(test::SavedBytes(Loaded(kHead).program), kHead + kEmptyMarks);
    Loaded l("first\n\n  third\r\n\r\nlast");
    EXPECT_FALSE(l.program.HasFormat());
    EXPECT_EQ(l.Dump(), "L0:first\nL0:\nL0:  third\nL0:\nL0:last\n");
    EXPECT_EQ(test::SavedBytes(l.program), "first\r\n\r\n  third\r\n\r\nlast\r\n");

    l.program.Items().Append(std::make_unique<CSectionHeader>("S"));
    EXPECT_EQ(test::SavedBytes(l.program).substr(0, kHead.size()), kHead) << "a section turns it into a program file";
}

TEST(ProgramReader, HeaderBlockKeysAndValues) {
    Loaded l(kHead +
             "#info=Ident\r\nauthor=A=B\r\nCOMPANY=Co\r\nTITLE= T \r\nDrive=VQ5A\r\nTarget=KESTREL\r\n"
             "Address=-12x\r\nDebug=abc\r\nSource=+1\r\n$V3=1\r\nGroupX=g1\r\nName=n\r\nH2Lite=1\r\n"
             "FloatingPointXY\r\nFloatingPoint=1\r\nClipParam=7\r\nLibrary=L\r\nRefLibs=a;b\r\nOldLib=o\r\n"
             "UserProgEnabled=1\r\nClonable=1\r\nUnknown=1\r\nDescriptor={\r\n:one\r\n:\r\n:three\r\n\r\nxfour\r\n}\r\n"
             "#endinfo\r\n");
    ASSERT_NE(l.program.GetHeader(), nullptr);
    const CRuxHeader& h = l.program.GetHeader()->Header();
    EXPECT_EQ(h.Author, "A=B");
    EXPECT_EQ(h.Company, "Co");
    EXPECT_EQ(h.Title, " T ");
    EXPECT_EQ(h.Type, "KESTREL") << "a header without a type asks the target library";
    EXPECT_EQ(h.Address, -12);
    EXPECT_EQ(h.Debug, 0);
    EXPECT_EQ(h.Source, 1);
    EXPECT_EQ(h.V3, 1);
    EXPECT_EQ(h.Group, "=g1") << "the value starts after the sixth character, whatever it is";
    EXPECT_EQ(h.Name, "n");
    EXPECT_EQ(h.H2Lite, 1);
    EXPECT_EQ(h.FloatingPoint, 1) << "the first match wins, so the later line sets it";
    EXPECT_EQ(h.ClipParam, 7);
    EXPECT_EQ(h.Library, "L");
    EXPECT_EQ(h.RefLibs, "a;b");
    EXPECT_EQ(h.OldLib, "o");
    EXPECT_EQ(h.UserProgEnabled, 1);
    EXPECT_EQ(h.Clonable, 1);
    // A line of one byte (its LF) adds nothing; any other loses its first byte, ':' or not.
    EXPECT_EQ(h.Descriptor, "one\n\nthree\nfour");
    EXPECT_EQ(l.target.calls.front(), "type:VQ5A/KESTREL");
    EXPECT_EQ(l.target.calls.back(), "read:" + l.path) << "the suite refreshes the header after loading";
}

TEST(ProgramReader, SuiteHeaderWinsAfterLoading) {
    const Loaded l(kHead + "#info=Ident\r\nAUTHOR=file\r\nType=X\r\n#endinfo\r\n", [](test::CFakeTarget& t) {
        t.haveHeader = true;
        t.suiteHeader.Author = "suite";
    });
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.program.GetHeader()->Header().Author, "suite");
}

TEST(ProgramReader, BookmarksComeBackAndErrorMarksDoNot) {
    std::string body = kHead + "#info=BmkRef\r\n3\r\n7\r\n99\r\n-1\r\n#endinfo\r\n#info=BmkErrRef\r\n4\r\n#endinfo\r\n";
    for (int i = 0; i < 9; ++i)
        body += ":l" + std::to_string(i) + "\r\n";
    Loaded l(body);
    EXPECT_EQ(l.Dump(), "L0:l0\nL0:l1\nL0:l2\nL0:l3*\nL0:l4\nL0:l5\nL0:l6\nL0:l7*\nL0:l8\n");
    EXPECT_FALSE(l.program.Items().GetAt(4)->HasErrorMark());
    const std::string saved = test::SavedBytes(l.program);
    EXPECT_NE(saved.find("#info=BmkRef\r\n3\r\n7\r\n#endinfo\r\n#info=BmkErrRef\r\n#endinfo\r\n"), std::string::npos);
}

TEST(ProgramReader, V3DirectiveBecomesACommentAndSavesAtOnce) {
    struct {
        const char* type;
        int expectedFlag;
    } cases[] = {{"VQ7Z", 1}, {"KESTREL", 0}, {"UNKNOWN", 0}};
    for (const auto& c : cases) {
        const Loaded l(kHead + "#info=Ident\r\nType=" + c.type +
                           "\r\n#endinfo\r\n:  $V3  \r\n:x = 1 ; $V3 later \r\n:$v3\r\n"
                           "#info=Section\r\nName=S\r\n:$V3\r\n#info=EndSection\r\n",
                       [](test::CFakeTarget& t) { t.extendedMemory = {{"VQ7Z", true}, {"KESTREL", false}}; });
        ASSERT_TRUE(l.ok);
        EXPECT_EQ(l.Dump(), "P\nL0:// $V3 - Now set in Node Properties\nL0:x = 1 ; $V3 later\nL0:$v3\nS1:S+\nL1:$V3\nF1:S\n")
            << c.type;
        EXPECT_EQ(l.program.GetHeader()->Header().V3, c.expectedFlag) << c.type;
        EXPECT_EQ(test::ReadFileBytes(l.path), test::SavedBytes(l.program)) << "saved at once: " << c.type;
    }
}

TEST(ProgramReader, FragmentsRenameTakenDiagramTitlesAndSkipTheHeader) {
    const std::string fragment =
        "#info=BmkRef\r\n5\r\n#endinfo\r\n#info=Ident\r\nAUTHOR=x\r\n#endinfo\r\n:$V3\r\n"
        "#info=Diagram\r\nDiagTitle=Ramp\r\n#info=FBD\r\n@X=1\r\n#endinfo\r\n#endinfo\r\n"
        "#info=Diagram\r\nDiagTitle=Other\r\n#info=FBD\r\n@X=1\r\n#endinfo\r\n#endinfo\r\n"
        "#info=Section\r\nName=T\r\n#info=Diagram\r\nDiagTitle=ramp\r\n#info=QLD\r\nBOF\r\n#endinfo\r\n#endinfo\r\n"
        "#info=EndSection\r\n";
    CStrMemFile in(fragment);
    ItemVector items;
    uint32_t ids = 40;
    ReadFragment(in, items, {"RAMP", "Ramp (1)", "ramp (2)", "other"}, ids);
    EXPECT_EQ(test::Dump(items), "L0:$V3\nD0:FBD:Ramp (3):open:100:6\nD0:FBD:Other (1):open:100:6\n"
                                 "S40:T+\nD40:QLD:ramp:open:100:5\nF40:T\n");
    EXPECT_EQ(ids, 41u);
}

TEST(ProgramReader, ReadBlocksKeepsTheHeaderForTheCallerToDrop) {
    CStrMemFile in("#info=BmkRef\r\n1\r\n#endinfo\r\n#info=Ident\r\nTITLE=t\r\n#endinfo\r\n:a\r\n");
    ItemVector items;
    uint32_t ids = 1;
    ReadBlocks(in, items, ids);
    EXPECT_EQ(test::Dump(items), "P\nL0:a\n");
}

TEST(ConvertTextProgram, DirectivesDroppedAndBracesMakeSections) {
    const std::string input =
        "$AUTHOR me\r\n$address 3\r\n$Debug1\r\n; $TITLE in a comment stays\r\nx = 1 // $DRIVE after comment\r\n"
        "Initial{\r\n  a = 1 ; {\r\n  $SOURCE1\r\n}\r\nb = 2 ; } not a close\r\nc = 3 ; { not an open\r\n"
        "mycyclicdata {\r\n  p1\r\n} // end\r\n"
        "Background {\r\n  top:\r\n  z = 1 // } not a close\r\n  goto top:\r\n";
    CStrMemFile in(input);
    ItemVector items;
    uint32_t ids = 1;
    ConvertTextProgram(in, items, ids);
    EXPECT_EQ(test::Dump(items),
              "L0:; $TITLE in a comment stays\nL0:x = 1 // $DRIVE after comment\n"
              "S1:Initial+\nL1:  a = 1 ; {\nF1:Initial\nL0:b = 2 ; } not a close\nL0:c = 3 ; { not an open\n"
              "S2:Notes+\nL2:// Please re-enter using the cyclic data editor\nL2:mycyclicdata {\nL2:  p1\nF2:Notes\n"
              "S3:Background+\nL3:  top:\nL3:  z = 1 // } not a close\nL3:  goto top:\nF3:Background\n");
}

TEST(HeaderDirectives, DetectedBeforeCommentsInAnyCase) {
    struct {
        const char* line;
        bool directive;
    } cases[] = {
        {"$AUTHOR x", true},          {"  $company y", true},  {"$Title", true},       {"$VeRsIoN 2", true},
        {"$DRIVE VQ5A", true},        {"$ADRESS 1", true},     {"$Address 3", true},   {"$target K", true},
        {"$Debug1", true},            {"$Source0", true},      {"; $AUTHOR", false},   {"x // $DEBUG", false},
        {"$V3", false},               {"a = $DEBUG ; c", true}, {"//$SOURCE", false},  {"plain", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsHeaderDirective(c.line), c.directive) << c.line;
}

} // namespace
} // namespace rux
