#include "editor/tree_commands.h"

#include "document/diagram_item.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "editor/edit_session.h"
#include "editor/program_tree.h"
#include "shell/command_ids.h"
#include "support/edit_harness.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::ProgramBytes;
using test::RunScript;
using Lines = std::vector<std::string>;

// items: 0 header, 1 {Main, 2 a, 3 @FBD:D, 4 }, 5 {Blk(x), 6 b, 7 }, 8 {-Folded, 9 @FBD:Q (closed), 10 }, 11 z
const Lines kRows = {"P", "{Main", "a", "@FBD:D", "}", "{Blk(x)", "b", "}", "{-Folded", "@FBD:Q", "}", "z"};

TEST(TreeCommands, WhichCommandsFitWhichNode) {
    auto run = RunScript(ProgramBytes(kRows), {});
    CRUXDocument& doc = run.script->Document();
    ASSERT_TRUE(doc.SetDiagramOpen(9, false));
    const struct {
        int kind, item, id;
        ETreeAction action;
        int caretItem, viewCommand;
        bool edits;
    } rows[] = {
        // Program node: the whole program's commands at the caret.
        {kTreeNodeProgram, -1, ID_TREE_BUILD, ETreeAction::Forward, -1, ID_BUILD, false},
        {kTreeNodeProgram, -1, ID_TREE_BUILD_DOWNLOAD, ETreeAction::Forward, -1, ID_BUILD_DOWNLOAD, false},
        {kTreeNodeProgram, -1, ID_TREE_INSERT_ALIAS, ETreeAction::Forward, -1, ID_INSERT_ALIAS, true},
        {kTreeNodeProgram, -1, ID_TREE_DESCRIPTION, ETreeAction::Forward, -1, ID_NODE_DESCRIPTION, false},
        {kTreeNodeProgram, -1, ID_TREE_REFERENCED_LIBRARIES, ETreeAction::Forward, -1, ID_REFERENCED_LIBRARIES, false},
        {kTreeNodeProgram, -1, ID_TREE_DELETE, ETreeAction::None, -1, 0, false},
        // A task: its Go to and fold commands, not the function block ones.
        {kTreeNodeSection, 1, ID_TREE_GOTO_SECTION, ETreeAction::GoTo, 1, 0, false},
        {kTreeNodeSection, 1, ID_TREE_GOTO_FB, ETreeAction::None, -1, 0, false},
        {kTreeNodeSection, 1, ID_TREE_TOGGLE_SECTION, ETreeAction::ToggleFold, 1, 0, false},
        {kTreeNodeSection, 1, ID_TREE_TOGGLE_FB, ETreeAction::None, -1, 0, false},
        {kTreeNodeSection, 1, ID_TREE_PROPERTIES, ETreeAction::None, -1, 0, false},
        {kTreeNodeSection, 1, ID_TREE_INSERT_FBD, ETreeAction::Forward, 1, ID_INSERT_FBD, true},
        {kTreeNodeSection, 1, ID_TREE_INSERT_SECTION, ETreeAction::Forward, 1, ID_INSERT_SECTION, true},
        {kTreeNodeSection, 1, ID_TREE_DELETE, ETreeAction::Delete, 1, 0, true},
        // A function block: the other way round, and its properties.
        {kTreeNodeSection, 5, ID_TREE_GOTO_FB, ETreeAction::GoTo, 5, 0, false},
        {kTreeNodeSection, 5, ID_TREE_GOTO_SECTION, ETreeAction::None, -1, 0, false},
        {kTreeNodeSection, 5, ID_TREE_TOGGLE_FB, ETreeAction::ToggleFold, 5, 0, false},
        {kTreeNodeSection, 5, ID_TREE_PROPERTIES, ETreeAction::Forward, 5, ID_FB_PROPERTIES, false},
        // Diagrams: Expand only when the preview is closed, Collapse only when it is open.
        {kTreeNodeDiagram, 3, ID_TREE_GOTO_DIAGRAM, ETreeAction::GoTo, 3, 0, false},
        {kTreeNodeDiagram, 3, ID_TREE_COLLAPSE_DIAGRAM, ETreeAction::ClosePreview, 3, 0, false},
        {kTreeNodeDiagram, 3, ID_TREE_EXPAND_DIAGRAM, ETreeAction::None, -1, 0, false},
        {kTreeNodeDiagram, 9, ID_TREE_EXPAND_DIAGRAM, ETreeAction::OpenPreview, 9, 0, false},
        {kTreeNodeDiagram, 9, ID_TREE_COLLAPSE_DIAGRAM, ETreeAction::None, -1, 0, false},
        {kTreeNodeDiagram, 3, ID_TREE_EDIT_DIAGRAM_TITLE, ETreeAction::Forward, 3, ID_EDIT_DIAGRAM_TITLE, true},
        {kTreeNodeDiagram, 3, ID_TREE_DELETE, ETreeAction::Delete, 3, 0, true},
        {kTreeNodeDiagram, 3, ID_TREE_INSERT_FBD, ETreeAction::None, -1, 0, false},
        // A node whose item is not what its kind says plans nothing.
        {kTreeNodeSection, 2, ID_TREE_GOTO_SECTION, ETreeAction::None, -1, 0, false},
        {kTreeNodeDiagram, 1, ID_TREE_GOTO_DIAGRAM, ETreeAction::None, -1, 0, false},
    };
    for (const auto& r : rows) {
        const CTreeCommandPlan plan = PlanTreeCommand(doc, r.kind, r.item, r.id);
        EXPECT_EQ(plan.action, r.action) << r.id << " on item " << r.item;
        EXPECT_EQ(plan.item, r.caretItem) << r.id << " on item " << r.item;
        EXPECT_EQ(plan.viewCommand, r.viewCommand) << r.id << " on item " << r.item;
        EXPECT_EQ(plan.edits, r.edits) << r.id << " on item " << r.item;
    }
}

TEST(TreeCommands, DeleteRemovesTheWholeNodeInOneUndoStep) {
    // The items that go: a section from its header to its footer, or the one diagram.
    const struct {
        int kind, item, last;
    } rows[] = {{kTreeNodeSection, 5, 7}, {kTreeNodeSection, 8, 10}, {kTreeNodeSection, 1, 4}, {kTreeNodeDiagram, 3, 3}};
    for (const auto& r : rows) {
        auto run = RunScript(ProgramBytes(kRows), {});
        CEditSession& s = run.script->Session();
        const Lines before = run.Lines();
        const std::string savedBefore = run.Saved();
        Lines expected = before;
        expected.erase(expected.begin() + r.item, expected.begin() + r.last + 1);
        s.SetCaret({2, 11});
        ASSERT_TRUE(RunTreeAction(s, PlanTreeCommand(run.script->Document(), r.kind, r.item, ID_TREE_DELETE)));
        EXPECT_EQ(run.Lines(), expected) << "item " << r.item;
        EXPECT_EQ(s.Caret(), (CTextPos{1, r.item})) << "the caret where the node was";
        EXPECT_TRUE(run.script->Document().IsModified());
        s.Undo();
        EXPECT_EQ(run.Lines(), before) << "one Undo brings the whole node back, item " << r.item;
        EXPECT_EQ(run.Saved(), savedBefore);
        EXPECT_EQ(TreeNodeLastItem(run.script->Document(), r.item), r.last);
    }
    EXPECT_EQ(TreeNodeLastItem(RunScript(ProgramBytes(kRows), {}).script->Document(), 11), 11) << "a line is its own";
    auto readOnly = RunScript(ProgramBytes(kRows), {}, {}, /*readOnly=*/true);
    EXPECT_FALSE(RunTreeAction(readOnly.script->Session(),
                               PlanTreeCommand(readOnly.script->Document(), kTreeNodeSection, 1, ID_TREE_DELETE)));
    EXPECT_EQ(readOnly.Saved(), RunScript(ProgramBytes(kRows), {}).Saved());
}

TEST(TreeCommands, GoToUnfoldsAndFoldingCommandsToggleTheNode) {
    auto run = RunScript(ProgramBytes(kRows), {});
    CEditSession& s = run.script->Session();
    CRUXDocument& doc = run.script->Document();
    const CObArrayEx& items = doc.Items();
    auto* folded = static_cast<const CSectionHeader*>(items.GetAt(8));
    auto* preview = static_cast<const CDiag*>(items.GetAt(9));
    ASSERT_FALSE(folded->IsExpanded());

    // Go to Diagram Preview inside a folded section opens the section and puts the caret on the row.
    s.Select({1, 2}, {2, 2});
    EXPECT_TRUE(RunTreeAction(s, PlanTreeCommand(doc, kTreeNodeDiagram, 9, ID_TREE_GOTO_DIAGRAM)));
    EXPECT_TRUE(folded->IsExpanded());
    EXPECT_EQ(s.Caret(), (CTextPos{1, 9}));
    EXPECT_FALSE(s.HasSelection());
    EXPECT_TRUE(items.IsVisible(9));

    // Collapse and Expand Task/Section twice comes back to where it was.
    auto* main = static_cast<const CSectionHeader*>(items.GetAt(1));
    const CTreeCommandPlan toggle = PlanTreeCommand(doc, kTreeNodeSection, 1, ID_TREE_TOGGLE_SECTION);
    EXPECT_TRUE(RunTreeAction(s, toggle));
    EXPECT_FALSE(main->IsExpanded());
    EXPECT_EQ(s.Layout().TopOf(5), s.Layout().TopOf(1) + 16) << "the folded section is one row";
    EXPECT_TRUE(RunTreeAction(s, toggle));
    EXPECT_TRUE(main->IsExpanded());

    // Expand and Collapse Diagram act on that diagram only, whatever the caret was on.
    ASSERT_TRUE(doc.SetDiagramOpen(9, false));
    s.SetCaret({1, 11});
    EXPECT_TRUE(RunTreeAction(s, PlanTreeCommand(doc, kTreeNodeDiagram, 9, ID_TREE_EXPAND_DIAGRAM)));
    EXPECT_TRUE(preview->IsOpen());
    EXPECT_TRUE(static_cast<const CDiag*>(items.GetAt(3))->IsOpen());
    // A plan made while closed does nothing once the preview is open already.
    CTreeCommandPlan stale;
    stale.action = ETreeAction::OpenPreview;
    stale.item = 9;
    EXPECT_FALSE(RunTreeAction(s, stale));
    EXPECT_TRUE(preview->IsOpen());
    EXPECT_TRUE(RunTreeAction(s, PlanTreeCommand(doc, kTreeNodeDiagram, 9, ID_TREE_COLLAPSE_DIAGRAM)));
    EXPECT_FALSE(preview->IsOpen());
}

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
