#include "document/rux_document.h"
#include "editor/program_tree.h"
#include "support/edit_harness.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::ProgramBytes;

struct CLoaded {
    test::CTempDir dir;
    CRUXDocument doc;
    explicit CLoaded(const std::vector<std::string>& rows, const std::string& name = "prog.rux") {
        const std::string path = dir.Write(name, ProgramBytes(rows));
        EXPECT_TRUE(doc.OpenDocument(path));
    }
};

// "label:image" of every child, and the same for their children in brackets.
std::string Shape(const std::vector<CTreeNode>& nodes) {
    std::string out;
    for (const CTreeNode& n : nodes) {
        if (!out.empty()) out += " ";
        out += n.label + ":" + std::to_string(n.image);
        if (!n.children.empty()) out += "[" + Shape(n.children) + "]";
    }
    return out;
}

TEST(ProgramTree, SectionsInProgramOrderOrAlphabetical) {
    CLoaded p({"P", "{initial", "a", "@FBD:Zeta", "b", "@FBD:alpha", "}", "{Background", "}", "{EVENT2", "}",
               "{event1", "}", "{Misc", "}"});
    const CTreeNode plain = BuildProgramNode(p.doc, {});
    EXPECT_EQ(plain.kind, kTreeNodeProgram);
    EXPECT_EQ(plain.label, p.doc.GetTitle());
    EXPECT_EQ(Shape(plain.children), "initial:4[Zeta:2 alpha:2] Background:16 EVENT2:9 event1:9 Misc:17");

    const CTreeNode sorted = BuildProgramNode(p.doc, {.sortAlphabetically = true});
    EXPECT_EQ(Shape(sorted.children), "Background:16 event1:9 EVENT2:9 initial:4[alpha:2 Zeta:2] Misc:17");

    // Item indices and member places let a double-click find its row again.
    const CTreeNode& initial = plain.children[0];
    EXPECT_EQ(initial.item, 1);
    EXPECT_EQ(initial.children[0].item, 3);
    EXPECT_EQ(initial.children[0].extra, 2);
    EXPECT_EQ(initial.children[1].extra, 4);
}

TEST(ProgramTree, FbParameterOptionShowsTheWholeHeader) {
    CLoaded p({"P", "{out1 = _Ramp(in1, in2)", "x = 1", "}", "{speed", "}"});
    EXPECT_EQ(Shape(BuildProgramNode(p.doc, {}).children), "_Ramp:15 speed:5");
    EXPECT_EQ(Shape(BuildProgramNode(p.doc, {.showFbParameters = true}).children),
              "out1 = _Ramp(in1, in2):15 speed:5");
}

TEST(ProgramTree, ProgramsSortByLabelWithoutCase) {
    std::vector<CTreeNode> programs(3);
    programs[0].label = "conveyor.rux";
    programs[1].label = "Axis.rux";
    programs[2].label = "belt.rux";
    for (bool alpha : {false, true}) {
        auto copy = programs;
        SortTreeNodes(copy, alpha);
        EXPECT_EQ(copy[0].label + " " + copy[1].label + " " + copy[2].label,
                  "Axis.rux belt.rux conveyor.rux");
    }
}

TEST(ProgramTree, SectionHeaderOfEveryRow) {
    CLoaded p({"P", "a", "{S", "b", "@FBD:D", "}", "c", "{T", "}"});
    // items: 0 P, 1 a, 2 {S, 3 b, 4 D, 5 }, 6 c, 7 {T, 8 }
    const int expected[] = {-1, -1, 2, 2, 2, 2, -1, 7, 7};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(SectionHeaderOf(p.doc, i), expected[i]) << "item " << i;
    EXPECT_EQ(SectionHeaderOf(p.doc, 9), -1);
    EXPECT_EQ(SectionHeaderOf(p.doc, -1), -1);
}

} // namespace
} // namespace rux
