// The program tree's selection in a running editor: it follows the active program and the section
// holding that program's caret, also across the rebuilds a structure change causes.
#include "editor_harness.h"

#include "document/item_list.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "editor/edit_session.h"
#include "frame/mdi_child.h"
#include "frame/view_host.h"
#include "panes/tree_bar.h"
#include "support/edit_harness.h"

#include <QMdiArea>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::CEditorHarness;

constexpr int kMarker = Qt::UserRole + 100;

// items: 0 header, 1 {Main, 2 a, 3 @FBD:D1, 4 }, 5 {Other, 6 b, 7 }, 8 {Notes (folded), 9 n1, 10 n2, 11 }
const std::vector<std::string> kRows = {"P",  "{Main", "a",      "@FBD:D1", "}",  "{Other",
                                        "b",  "}",     "{-Notes", "n1",     "n2", "}"};

class CTreeSelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        first = h.Root() + "/first.rux";
        CEditorHarness::Write(first, test::ProgramBytes(kRows));
        ASSERT_TRUE(h.Start({first}));
        ASSERT_EQ(h.Frame().Children().size(), 1u);
        doc = &h.Frame().Children()[0]->Document();
        view = h.Frame().Children()[0]->View();
    }

    QTreeWidget* Tree() { return qobject_cast<CTreeBar*>(h.Frame().ProgramTree())->Tree(); }
    // The selected node's label and the label of its parent (empty for the Workspace).
    std::string Selected() {
        QTreeWidgetItem* node = Tree()->currentItem();
        if (!node) return "<none>";
        return (node->parent() ? node->parent()->text(0) + " / " + node->text(0) : node->text(0)).toStdString();
    }
    // The program's label as the tree shows it now (" *" once modified).
    std::string Program() { return doc->GetDisplayTitle(); }
    void Jump(int line) {
        h.Frame().HandleSuiteMessage(1525, first, std::to_string(line) + ";1;2");
        CEditorHarness::Settle(20);
    }

    CEditorHarness h;
    std::string first;
    CRUXDocument* doc = nullptr;
    QWidget* view = nullptr;
};

TEST_F(CTreeSelectionTest, FollowsTheCaretFromSectionToSection) {
    struct Step {
        const char* what;
        std::function<void()> act;
        int caretItem;
        std::string selected; // the section's label, or empty for the program node
    };
    const std::vector<Step> steps = {
        {"into Main", [&] { ViewGoToItem(view, 2); }, 2, "Main"},
        {"a key to the diagram row", [&] { QTest::keyClick(view, Qt::Key_Down); }, 3, "Main"},
        {"two keys on into Other", [&] {
             QTest::keyClick(view, Qt::Key_Down);
             QTest::keyClick(view, Qt::Key_Down);
         }, 5, "Other"},
        {"the program header row", [&] { ViewGoToItem(view, 0); }, 0, ""},
        {"a jump to the folded header", [&] { Jump(8); }, 8, "Notes"},
    };
    for (const Step& step : steps) {
        step.act();
        ASSERT_EQ(ViewSession(view)->Caret().item, step.caretItem) << step.what;
        EXPECT_EQ(Selected(), step.selected.empty() ? "Workspace / " + Program() : Program() + " / " + step.selected)
            << step.what;
    }
}

TEST_F(CTreeSelectionTest, StaysOnTheCaretsSectionWhenTheTreeIsRebuilt) {
    // Typing neither rebuilds the tree nor moves its selection, the first key (which marks the
    // program modified and so renames it) included.
    ViewGoToItem(view, 6);
    ASSERT_EQ(Selected(), Program() + " / Other");
    Tree()->currentItem()->setData(0, kMarker, true);
    QTest::keyClicks(view, "xy");
    ASSERT_EQ(doc->Items()[6]->GetText(), "xyb");
    EXPECT_TRUE(Tree()->currentItem()->data(0, kMarker).toBool()) << "typing rebuilt the tree";
    EXPECT_EQ(Selected(), Program() + " / Other");
    EXPECT_EQ(Tree()->currentItem()->parent()->text(0).toStdString(), first.substr(first.rfind('/') + 1) + " *");

    Jump(8);
    auto* notes = dynamic_cast<CSectionHeader*>(doc->Items()[8]);
    ASSERT_NE(notes, nullptr);
    ASSERT_FALSE(notes->IsExpanded());
    ASSERT_EQ(Selected(), Program() + " / Notes");

    // The jump into the folded section opens it, which rebuilds the tree, while the caret stays in
    // the same section: nothing but the rebuild can move the selection.
    Tree()->currentItem()->setData(0, kMarker, true);
    Jump(10);
    ASSERT_TRUE(notes->IsExpanded());
    ASSERT_EQ(ViewSession(view)->Caret().item, 10);
    EXPECT_FALSE(Tree()->currentItem()->data(0, kMarker).toBool()) << "the tree was rebuilt";
    EXPECT_EQ(Selected(), Program() + " / Notes");

    // Deleting the first section renumbers the headers and leaves the caret on the next one.
    ViewRunAction(view, [](CEditSession& s) {
        s.Select({1, 5}, {1, 1});
        s.KeyDown(EKey::Delete, false, false);
        return true;
    });
    ASSERT_EQ(ViewSession(view)->Caret().item, 1);
    ASSERT_EQ(doc->Items()[1]->GetText(), "Other");
    EXPECT_EQ(Selected(), Program() + " / Other");
}

TEST_F(CTreeSelectionTest, FollowsTheActiveProgram) {
    Jump(6);
    const std::string second = h.Root() + "/second.rux";
    CEditorHarness::Write(second, test::ProgramBytes({"P", "{Axis", "c", "}"}));
    CRUXDocument* other = h.app->OpenDocumentFile(second);
    ASSERT_NE(other, nullptr);
    CEditorHarness::Settle();
    RUX_CMDIChildWnd* otherChild = h.Frame().ChildOf(*other);
    ASSERT_NE(otherChild, nullptr);
    ViewGoToItem(otherChild->View(), 2);
    const std::string otherProgram = other->GetDisplayTitle();
    EXPECT_EQ(Selected(), otherProgram + " / Axis");

    // Back to the first program: its caret's section, not its program node.
    h.Frame().findChild<QMdiArea*>()->setActiveSubWindow(h.Frame().ChildOf(*doc));
    CEditorHarness::Settle(20);
    EXPECT_EQ(Selected(), Program() + " / Other");

    // A caret moved in a program that is not active leaves the selection alone.
    ViewGoToItem(otherChild->View(), 0);
    EXPECT_EQ(Selected(), Program() + " / Other");
}

} // namespace
} // namespace rux
