// The porting scan: the catalogues it reads, and the issues it finds in text lines and diagrams.
#include "document/string_table.h"
#include "porting/porting_issues.h"
#include "porting/porting_scan.h"
#include "porting/porting_test_support.h"
#include "porting/xml_reader.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

namespace rux {
namespace {

using test::BuildProgram;
using test::CRecordedSink;
using test::CTempDir;
using test::DumpInOrder;
using Lines = std::vector<std::string>;

struct CScanCase {
    const char* name;
    Lines rows;
    Lines expected; // DumpIssue of every issue, by line and column
};

Lines ScanRows(const Lines& rows, EPortingCatalogue which = EPortingCatalogue::Bittern) {
    test::CScanned scan(rows, which);
    EXPECT_TRUE(scan.ok);
    EXPECT_TRUE(scan.sink.shown.empty());
    return DumpInOrder(scan.list);
}

TEST(PortingScan, TextLineAndDiagramRules) {
    const CScanCase cases[] = {
        {"plain reference", {"{Background", "a = #5.07", "}"}, {"parameter 2:5/5 s0 [-1,-1] Background"}},
        {"after a semicolon", {"{Background", "a = 1 ; #5.07", "}"}, {}},
        {"after two slashes", {"{Background", "a = 1 // b = #5.07", "}"}, {}},
        {"a single slash is no comment",
         {"{Background", "a = x / 2 + #5.07", "}"},
         {"parameter 2:13/5 s0 [-1,-1] Background"}},
        {"before the comment",
         {"{Background", "#5.07 = 1 ; was #5.07", "}"},
         {"parameter 2:1/5 s0 [-1,-1] Background"}},
        {"notes section", {"{notes", "#5.07 = 1", "_SlotRead()", "}"}, {}},
        {"notes in capitals", {"{NOTES", "#5.07 = 1", "}"}, {}},
        {"prefixed", {"{Background", "B2#5.07 = 1", "}"}, {"parameter 2:3/5 s1 [-1,-1] Background"}},
        {"prefix in lower case",
         {"{Background", "x=b2#5.07", "}"},
         {"parameter 2:5/5 s1 [-1,-1] Background"}},
        {"ignore marker after the reference",
         {"{Background", "#5.07 = 1 // {PTOOL:Ignore}", "a = #5.07", "}"},
         {"parameter 3:5/5 s0 [-1,-1] Background"}},
        {"two on one line",
         {"{Background", "#5.07 = #5.07 + 1", "}"},
         {"parameter 2:1/5 s0 [-1,-1] Background", "parameter 2:9/5 s0 [-1,-1] Background"}},
        {"integer form", {"{Background", "a% = #INT5.07", "}"}, {"parameter 2:6/8 s0 [-1,-1] Background"}},
        {"leading zeros", {"{Background", "a = #05.007 * 2", "}"}, {"parameter 2:5/7 s0 [-1,-1] Background"}},
        {"bit of a parameter",
         {"{Background", "a = #5.07.3", "}"},
         {"parameter 2:5/5 s0 [-1,-1] Background"}},
        {"other parameters", {"{Background", "a = #5.071 + #15.07 + #5.8 + #INX5.07", "}"}, {}},
        // Read as the C library reads "%d": blanks and a sign before the number.
        {"sign and blank",
         {"{Background", "a = #+5.07 + # 5.07", "}"},
         {"parameter 2:5/6 s0 [-1,-1] Background", "parameter 2:14/6 s0 [-1,-1] Background"}},
        // The numbers are read as numbers: #5.7 is parameter 7 of menu 5, as #5.07 is.
        {"short form",
         {"{Background", "a = #5.071 + #15.07 + #5.7", "}"},
         {"parameter 2:23/4 s0 [-1,-1] Background"}},
        {"menu 5 parameter 7 written #5.7 is not 5.07", {"{Background", "a = #5.70", "}"}, {}},
        {"outside any section", {"#5.07 = 1"}, {"parameter 1:1/5 s0 [-1,-1] N/A"}},
        {"pointer", {"{Background", "#Ptr% = 507", "}"}, {"pointer 2:1/5 s0 [-1,-1] Background"}},
        {"pointer on an ignored line", {"{Background", "#Ptr% = 1 // {PTOOL:Ignore}", "}"}, {}},
        {"pointer text rules",
         {"{Background", "a = #5.07% + #A_b% + #x", "b = #%", "}"},
         {"parameter 2:5/5 s0 [-1,-1] Background", "pointer 3:5/2 s0 [-1,-1] Background"}},
        {"function block any case",
         {"{Background", "x% = _SLOTREAD(1)", "}"},
         {"functionBlock 2:6/9 s0 [-1,-1] Background"}},
        {"function block in a comment", {"{Background", "; _SlotRead(1)", "}"}, {}},
        {"task header", {"{Clock", "a = 1", "}"}, {"task 1:1/5 s0 [-1,-1] Clock"}},
        {"task not in the footer or a line", {"{Background", "Clock = 1", "}"}, {}},
        {"two tasks",
         {"{Clock", "}", "{Event3", "}"},
         {"task 1:1/5 s0 [-1,-1] Clock", "task 3:1/6 s0 [-1,-1] Event3"}},
        {"a line of several kinds",
         {"{Background", "#2.04 = _SlotRead(#5.07, #3.02)", "}"},
         {"parameter 2:1/5 s0 [-1,-1] Background", "functionBlock 2:9/9 s0 [-1,-1] Background",
          "parameter 2:19/5 s0 [-1,-1] Background", "parameter 2:26/5 s0 [-1,-1] Background"}},
        // Diagrams: the place of an element in the grid, comments skipped.
        {"FBD variable",
         {"{Background", "@F:Speed:@VAR:3,P=(4,7) X=#5.07,\r\n", "}"},
         {"parameter 2:18/5 s0 [4,7] Background - Speed"}},
        {"FBD text element is a comment", {"{Background", "@F:Speed:@TXT:4,P=(1,1) X=#5.07\r\n", "}"}, {}},
        {"FBD element after a text element",
         {"{Background", "@F:D:@TXT:4,P=(1,1) #5.07\r\n@VAR:5,P=(2,9) #5.07\r\n", "}"},
         {"parameter 2:38/5 s0 [2,9] Background - D"}},
        {"FBD element before a text element",
         {"{Background", "@F:D:@VAR:3,P=(4,7) X=#5.07\r\n@TXT:4,P=(1,1) note\r\n", "}"},
         {"parameter 2:18/5 s0 [4,7] Background - D"}},
        {"FBD without a position",
         {"{Background", "@F:D:@VAR #5.07\r\n", "}"},
         {"parameter 2:6/5 s0 [-1,-1] Background - D"}},
        {"FBD block",
         {"{Background", "@F:D:@FB:2,P=(10,3) X=_SlotRead,\r\n", "}"},
         {"functionBlock 2:18/9 s0 [10,3] Background - D"}},
        {"QLD contact operand",
         {"{Background", "@Q:L:BOF\r\nSOR [0,2]\r\nXIC [1,1](*#5.07*)\r\nEOF\r\n", "}"},
         {"parameter 2:28/5 s0 [1,3] Background - L"}},
        {"QLD operand after a semicolon",
         {"{Background", "@Q:L:BOF\r\nSOR [0,2]\r\nOTE [3,0](*#1.21*);(*x*),(*#5.07*)\r\nEOF\r\n", "}"},
         {"parameter 2:44/5 s0 [5,3] Background - L"}},
        {"QLD block operand counts commas from the bracket",
         {"{Background", "@Q:L:BOF\r\nSOR [1,1]\r\nFB [2,0](a,b,(*#5.07*)\r\nEOF\r\n", "}"},
         {"parameter 2:32/5 s0 [3,3] Background - L"}},
        {"QLD block",
         {"{Background", "@Q:L:BOF\r\nSOR [0,2]\r\nFB [2,1](*_SlotRead*)\r\nEOF\r\n", "}"},
         {"functionBlock 2:27/9 s0 [3,3] Background - L"}},
        {"QLD comment lines", {"{Background", "@Q:L:BOF\r\n(*#5.07*)\r\nR*#5.07\r\nEOF\r\n", "}"}, {}},
        {"QLD without a rung",
         {"{Background", "@Q:L:BOF\r\nXIC(*#5.07*)\r\nEOF\r\n", "}"},
         {"parameter 2:11/5 s0 [0,0] Background - L"}},
        {"diagram in notes", {"{Notes", "@F:D:@VAR:3,P=(4,7) #5.07\r\n", "}"}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScanRows(c.rows), c.expected) << c.name;
}

TEST(PortingScan, AlbatrossRules) {
    const CScanCase cases[] = {
        {"block by its X= name", {"{Background", "@F:D:@FB:1,P=(2,3) X=_EncInit,Y=1\r\n", "}"},
         {"albatrossFunctionBlock 2:15/10 s0 [2,3] Background - D"}},
        {"name must end at the comma", {"{Background", "@F:D:@FB:1,P=(2,3) X=_ENCINIT2,\r\n", "}"}, {}},
        {"text line", {"{Background", "a = 1 : X=_SXTIMER", "}"},
         {"albatrossFunctionBlock 2:9/10 s0 [-1,-1] Background"}},
        {"a call is not an X= name", {"{Background", "_SXTIMER()", "}"}, {}},
        {"parameter", {"{Background", "a = #3.14 ; #3.14", "}"},
         {"albatrossParameter 2:5/5 s0 [-1,-1] Background"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScanRows(c.rows, EPortingCatalogue::AlbatrossQ), c.expected) << c.name;
}

TEST(PortingScan, DescriptionsLabelsAndStatus) {
    test::CScanned scan({"{Clock", "#5.07 = #2.04 + #3.02 + B2#5.07", "_SlotRead()", "#P% = 1", "}",
                         "{Event3", "}", "{Background",
                         "@F:D:@FB:1,P=(2,3) X=_SXTIMER,\r\n@FB:1,P=(2,3) X=_ENCINIT,\r\n@FB:1,P=(2,3) "
                         "X=_ENCSYNC,\r\n#3.14\r\n",
                         "}"});
    ASSERT_TRUE(scan.ok);
    CPortingIssueList& list = scan.list;
    struct CExpect {
        const char* description;
        const char* label;
        const char* status;
    };
    const CExpect bittern[] = {
        {"The Clock task differs between Bittern II and Bittern NX.", "Clock", "See help for this issue"},
        {"#05.07 (Bittern 2 parameter - Motor rated current) It is possible to convert this paramter using "
         "the B2 prefix.",
         "#05.07 - Motor rated current", "Can be converted using B2 prefix"},
        {"#02.04 (Bittern 2 parameter - Ramp mode select) It is possible to convert this paramter using the "
         "B2 prefix "
         "with caveats.",
         "#02.04 - Ramp mode select", "Can be converted using B2 prefix with caveats"},
        {"#03.02 (Bittern 2 parameter - Speed feedback) It is not possible to convert this paramter using "
         "the B2 prefix.",
         "#03.02 - Speed feedback", "Cannot be converted automatically"},
        {"#05.07 (Bittern 2 parameter - Motor rated current) It is possible to convert this paramter using "
         "the B2 prefix.",
         "#05.07 - Motor rated current", "Has been converted using B2 prefix"},
        {"_SlotRead function block is not supported on Bittern NX.", "_SlotRead",
         "Cannot be converted automatically"},
        {"#P% cannot be automatically converted as it is a parameter pointer.", "#P%",
         "Cannot be converted automatically"},
        {"The Event3 task is not available on the Bittern NX.", "Event3",
         "Cannot be converted automatically"},
    };
    const auto order = list.InPositionOrder();
    ASSERT_EQ(order.size(), std::size(bittern));
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(order[i]->GetDescription(), bittern[i].description) << i;
        EXPECT_EQ(order[i]->GetLabel(), bittern[i].label) << i;
        EXPECT_EQ(order[i]->StatusText(), bittern[i].status) << i;
    }
    scan.dir.Write("AlbatrossQ.xml", test::kSmallAlbatrossCatalogue);
    ASSERT_TRUE(list.Scan(&scan.program, EPortingCatalogue::AlbatrossQ, scan.dir.Path(), scan.sink));
    const char* const albatross[] = {
        "_SXTIMER function block is not supported by Albatross Q.",
        "_ENCINIT function block encoder port locations numbers have changed.",
        "_ENCSYNC function block ",
        "#03.14 (Albatross SX parameter - Drive encoder type) ",
    };
    const auto order2 = list.InPositionOrder();
    ASSERT_EQ(order2.size(), std::size(albatross));
    for (size_t i = 0; i < order2.size(); ++i)
        EXPECT_EQ(order2[i]->GetDescription(), albatross[i]) << i;
    EXPECT_TRUE(scan.sink.shown.empty());
}

// A text line's comment start is compared with the match's column, which counts from 1: a comment
// that begins right after the first character of a match hides that match too.
TEST(PortingScan, CommentStartAgainstTheMatchColumn) {
    const char catalogue[] = R"(<Bittern2Issues><Fb name="Q" icn="1"/></Bittern2Issues>)";
    const CScanCase cases[] = {
        {"comment right after the match", {"{Background", "q;", "}"}, {}},
        {"slashes right after the match", {"{Background", "a = q// x", "}"}, {}},
        {"one character between",
         {"{Background", "q ;", "a = q+// x", "}"},
         {"functionBlock 2:1/1 s0 [-1,-1] Background", "functionBlock 3:5/1 s0 [-1,-1] Background"}},
        {"the later match only",
         {"{Background", "q = q;", "}"},
         {"functionBlock 2:1/1 s0 [-1,-1] Background"}},
    };
    for (const auto& c : cases) {
        test::CScanned scan(c.rows, EPortingCatalogue::Bittern, catalogue);
        ASSERT_TRUE(scan.ok) << c.name;
        EXPECT_EQ(DumpInOrder(scan.list), c.expected) << c.name;
    }
}

TEST(PortingScan, CatalogueEntriesThatAreDropped) {
    const char catalogue[] = R"(<Bittern2Issues>
        <Pr name="" menu="5.07:" icn="3"/>
        <Pr name="No menu" icn="3"/>
        <Pr name="One number" menu="5" icn="3"/>
        <Pr name="Words" menu="five.seven" icn="3"/>
        <pr name="Lower-case element" menu="5.07:" icn="3"/>
        <Other name="x" menu="5.07:"/>
        <!-- a comment -->
        <Pr NAME="Upper-case attribute" menu="5.07:"/>
        <Pr name="Kept" menu=" 5.7" icn="2"/>
    </Bittern2Issues>)";
    test::CScanned scan({"{Background", "a = #5.07", "}"}, EPortingCatalogue::Bittern, catalogue);
    ASSERT_TRUE(scan.ok);
    ASSERT_EQ(scan.list.GetSize(), 1);
    EXPECT_EQ(scan.list.GetAt(0).GetName(), "Kept");
    EXPECT_EQ(scan.list.GetAt(0).GetIcon(), 2);
}

TEST(PortingScan, UnreadableCatalogues) {
    struct CCase {
        const char* name;
        const char* file; // null: no file at all
        EPortingCatalogue which;
        int message;
    } const cases[] = {
        {"missing", nullptr, EPortingCatalogue::Bittern, IDS_PORT_BITTERN_FILE},
        {"not XML", "<Bittern2Issues><Pr", EPortingCatalogue::Bittern, IDS_PORT_BITTERN_FILE},
        {"wrong root", "<AlbatrossQIssues/>", EPortingCatalogue::Bittern, IDS_PORT_BITTERN_FILE},
        {"root in other case", "<bittern2issues/>", EPortingCatalogue::Bittern, IDS_PORT_BITTERN_FILE},
        {"Albatross wrong root", "<Bittern2Issues/>", EPortingCatalogue::AlbatrossQ, IDS_PORT_ALBQ_FILE},
        {"empty file", "", EPortingCatalogue::AlbatrossQ, IDS_PORT_ALBQ_FILE},
    };
    for (const auto& c : cases) {
        CTempDir dir;
        if (c.file) dir.Write(CatalogueFileName(c.which), c.file);
        CProgram program;
        BuildProgram(program, {"{Background", "a = #5.07", "}"});
        CPortingIssueList list;
        CRecordedSink sink;
        EXPECT_FALSE(list.Scan(&program, c.which, dir.Path(), sink)) << c.name;
        ASSERT_EQ(sink.shown.size(), 1u) << c.name;
        EXPECT_EQ(sink.shown[0].first, c.message) << c.name;
        EXPECT_EQ(sink.shown[0].second, LoadString(c.message)) << c.name;
        EXPECT_TRUE(list.IsEmpty()) << c.name;
    }
}

TEST(PortingScan, SectionsRuleAndCatalogueChoice) {
    CTempDir dir;
    dir.Write("Bittern2.xml", test::kSmallBitternCatalogue);
    dir.Write("AlbatrossQ.xml", test::kSmallAlbatrossCatalogue);
    auto sectionRows = [](int n) {
        Lines rows;
        for (int i = 0; i < n; ++i) {
            rows.push_back("{S" + std::to_string(i));
            rows.push_back("a = #5.07");
            rows.push_back("}");
        }
        return rows;
    };
    struct CCase {
        int sections;
        bool accepted;
    } const counts[] = {{0, false}, {1, true}, {400, true}, {401, false}};
    for (const auto& c : counts) {
        CProgram program;
        BuildProgram(program, sectionRows(c.sections));
        CPortingIssueList list;
        CRecordedSink sink;
        // A missing catalogue folder shows that a refused program never reaches the catalogue.
        const std::string folder = c.accepted ? dir.Path() : dir.Path() + "/missing";
        EXPECT_EQ(list.ScanForTarget(program, "KESTREL", folder, sink), c.accepted) << c.sections;
        if (c.accepted) {
            EXPECT_TRUE(sink.shown.empty());
            EXPECT_EQ(list.GetSize(), c.sections);
        } else {
            ASSERT_EQ(sink.shown.size(), 1u);
            EXPECT_EQ(sink.shown[0].second,
                      "There are too many sections in this RUX program to use the porting tool");
        }
    }
    struct CChoice {
        const char* type;
        EPortingCatalogue first, refresh;
    } const choices[] = {
        {"OSPREY", EPortingCatalogue::AlbatrossQ, EPortingCatalogue::Bittern},
        {"GOSHAWK", EPortingCatalogue::AlbatrossQ, EPortingCatalogue::Bittern},
        {"HARRIER", EPortingCatalogue::AlbatrossQ, EPortingCatalogue::AlbatrossQ},
        {"PEREGRINE", EPortingCatalogue::AlbatrossQ, EPortingCatalogue::AlbatrossQ},
        {"HOBBY", EPortingCatalogue::AlbatrossQ, EPortingCatalogue::AlbatrossQ},
        {"KESTREL", EPortingCatalogue::Bittern, EPortingCatalogue::Bittern},
        {"harrier", EPortingCatalogue::Bittern, EPortingCatalogue::Bittern},
        {"", EPortingCatalogue::Bittern, EPortingCatalogue::Bittern},
    };
    for (const auto& c : choices) {
        EXPECT_EQ(ChooseCatalogue(c.type, false), c.first) << c.type;
        EXPECT_EQ(ChooseCatalogue(c.type, true), c.refresh) << c.type;
    }
    CProgram program;
    BuildProgram(program, {"{Background", "@F:D:@FB:1,P=(2,3) X=_SXTIMER,\r\n", "}"});
    CPortingIssueList list;
    CRecordedSink sink;
    ASSERT_TRUE(list.ScanForTarget(program, "OSPREY", dir.Path(), sink));
    EXPECT_EQ(list.Catalogue(), EPortingCatalogue::AlbatrossQ);
    EXPECT_EQ(list.GetSize(), 1);
    ASSERT_TRUE(list.ScanForTarget(program, "OSPREY", dir.Path(), sink, true));
    EXPECT_EQ(list.Catalogue(), EPortingCatalogue::Bittern);
    EXPECT_EQ(list.GetSize(), 0);
}

TEST(PortingScan, IsAtChecksTheRecordedColumn) {
    test::CScanned scan({"{Background", "#5.07 = _SlotRead(#Ptr%)", "}"});
    ASSERT_TRUE(scan.ok);
    const auto order = scan.list.InPositionOrder();
    ASSERT_EQ(order.size(), 3u);
    struct CCase {
        const char* text;
        bool parameter, block, pointer;
    } const cases[] = {
        {"#5.07 = _SlotRead(#Ptr%)", true, true, true},
        {"#INT5.07 = _slotread(#Ptr%)", true, false, false},
        {"#INT5.08 = _SlotReadX #Ptr%", false, false, false},
        {"#5.08 = _SLOTREAD(#Ptr % )", false, true, false},
        {"#05.7 = xSlotRead(#Q_1%)", true, false, true},
        {"#5", false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(order[0]->IsAt(c.text), c.parameter) << c.text;
        EXPECT_EQ(order[1]->IsAt(c.text), c.block) << c.text;
        EXPECT_EQ(order[2]->IsAt(c.text), c.pointer) << c.text;
    }
}

const std::string kDataDir = std::string(RUX_SOURCE_DIR) + "/data";

TEST(PortingCatalogue, ShippedCataloguesAreComplete) {
    struct CExpect {
        EPortingCatalogue which;
        int minParameters, minBlocks, minPointers, minTasks;
        std::set<int> parameterIcons;
    } const catalogues[] = {
        {EPortingCatalogue::Bittern, 30, 12, 1, 3, {1, 2, 3}},
        {EPortingCatalogue::AlbatrossQ, 15, 10, 0, 0, {1, 5}},
    };
    for (const auto& c : catalogues) {
        std::vector<std::unique_ptr<CPortingIssue>> entries;
        ASSERT_TRUE(LoadCatalogue(c.which, kDataDir, entries)) << CatalogueFileName(c.which);
        std::map<std::string, int> kinds;
        std::set<int> icons;
        std::set<std::pair<int, int>> parameters;
        std::vector<std::string> blocks;
        const std::string help = kDataDir + "/Help/" + CatalogueHelpFolder(c.which) + "/";
        for (const auto& entry : entries) {
            ASSERT_NE(entry, nullptr) << "an entry of " << CatalogueFileName(c.which) << " is dropped";
            ++kinds[entry->KindName()];
            EXPECT_TRUE(std::filesystem::exists(help + entry->GetHelpTopic())) << entry->GetHelpTopic();
            if (auto* p = dynamic_cast<CPortingParameterIssue*>(entry.get())) {
                icons.insert(p->GetIcon());
                // A parameter listed twice would be reported twice at each place.
                EXPECT_TRUE(parameters.insert({p->GetMenu(), p->GetParameter()}).second) << p->GetLabel();
            }
            if (std::string(entry->KindName()).find("unctionBlock") != std::string::npos)
                blocks.push_back(entry->GetName());
        }
        for (const char* page : {"PortingToolOverview.htm", "NoHelp.htm"})
            EXPECT_TRUE(std::filesystem::exists(help + page)) << help << page;
        const bool bittern = c.which == EPortingCatalogue::Bittern;
        EXPECT_GE(kinds[bittern ? "parameter" : "albatrossParameter"], c.minParameters);
        EXPECT_GE(kinds[bittern ? "functionBlock" : "albatrossFunctionBlock"], c.minBlocks);
        EXPECT_GE(kinds["pointer"], c.minPointers);
        EXPECT_LE(kinds["pointer"], 1) << "each pointer entry reports every pointer";
        EXPECT_GE(kinds["task"], c.minTasks);
        EXPECT_EQ(icons, c.parameterIcons);
        // Block names are found as text: one inside another would give two issues for one call.
        for (const auto& a : blocks)
            for (const auto& b : blocks)
                if (a != b) {
                    EXPECT_EQ(b.find(a), std::string::npos) << a << " inside " << b;
                }
    }
}

TEST(PortingCatalogue, ReaderWalksElementsAndAttributes) {
    test::CTempDir dir;
    const std::string path =
        dir.Write("c.xml", "<?xml version=\"1.0\"?>\n<Root a=\"1\">\n  <!-- note -->\n"
                           "  <First name=\"x &amp; y\" icn=\"3\"/>text<Second/>\n</Root>\n");
    CXMLReader reader;
    ASSERT_TRUE(reader.Load(path));
    const CXMLNode root = reader.DocumentElement();
    EXPECT_EQ(reader.ElementName(root), "Root");
    EXPECT_EQ(reader.AttributeText(root, "a"), "1");
    EXPECT_EQ(reader.AttributeText(root, "A"), "");
    std::vector<std::string> names;
    for (CXMLNode n = reader.FirstChild(root); n; n = reader.NextSibling(n))
        names.push_back(reader.ElementName(n));
    // Text between elements is a node without an element name; the comment and blank runs are
    // not nodes at all.
    EXPECT_EQ(names, (std::vector<std::string>{"First", "", "Second"}));
    const CXMLNode first = reader.FirstChild(root);
    EXPECT_EQ(reader.AttributeText(first, "name"), "x & y");
    EXPECT_TRUE(reader.FirstChild(first).IsNull());
    EXPECT_EQ(reader.ElementName(CXMLNode()), "");
    EXPECT_FALSE(reader.Load(dir.Path() + "/missing.xml"));
    EXPECT_TRUE(reader.DocumentElement().IsNull());
    const char broken[] = "<Root><Open></Root>";
    EXPECT_FALSE(reader.LoadBuffer(broken, sizeof broken - 1));
    EXPECT_TRUE(reader.DocumentElement().IsNull());
}

} // namespace
} // namespace rux
