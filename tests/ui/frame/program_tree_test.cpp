// The program tree in a running editor: its selection follows the active program and the section
// holding that program's caret, also across the rebuilds a structure change causes; its context
// menus, opened with a right click on a node, act on that node's program.
#include "editor_harness.h"

#include "document/diagram_item.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "editor/edit_session.h"
#include "frame/mdi_child.h"
#include "frame/view_host.h"
#include "panes/tree_bar.h"
#include "support/edit_harness.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMdiArea>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::CEditorHarness;

// items: 0 header, 1 {Main, 2 a, 3 @FBD:Chart, 4 }, 5 {Scale(x), 6 b, 7 }, 8 z
const std::vector<std::string> kMenuRows = {"P", "{Main", "a", "@FBD:Chart", "}", "{Scale(x)", "b", "}", "z"};

class CTreeMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        first = h.Root() + "/first.rux";
        second = h.Root() + "/second.rux";
        CEditorHarness::Write(first, test::ProgramBytes(kMenuRows));
        CEditorHarness::Write(second, test::ProgramBytes({"P", "{Other", "c", "}"}));
        ASSERT_TRUE(h.Start({first}));
        ASSERT_NE(h.app->OpenDocumentFile(second), nullptr);
        CEditorHarness::Settle();
        ASSERT_EQ(Frame().ActiveDocument(), Document(second)) << "the second program is the active one";
    }
    void TearDown() override {
        // No menu may outlive the test: an open popup takes every key the next test types.
        CEditorHarness::WaitFor([] {
            if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
            return QApplication::activePopupWidget() == nullptr;
        });
        CEditorHarness::Settle(20);
    }

    CMainFrame& Frame() { return h.Frame(); }
    CRUXDocument* Document(const std::string& path) { return h.app->ProgramTemplate().FindDocument(path); }
    QTreeWidget* Tree() { return qobject_cast<CTreeBar*>(Frame().ProgramTree())->Tree(); }

    // Right-clicks the node with that label and returns the menu that opened.
    QMenu* RightClick(const QString& label) {
        const QList<QTreeWidgetItem*> found = Tree()->findItems(label, Qt::MatchExactly | Qt::MatchRecursive);
        EXPECT_EQ(found.size(), 1) << label.toStdString();
        if (found.size() != 1) return nullptr;
        Tree()->scrollToItem(found[0]);
        const QPoint at = Tree()->visualItemRect(found[0]).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, Tree()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(Tree()->viewport(), &event);
        CEditorHarness::Settle(20);
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }
    static QStringList Entries(const QMenu* menu) {
        QStringList texts;
        for (const QAction* a : menu->actions()) texts << (a->isSeparator() ? "-" : a->text().remove('&'));
        return texts;
    }
    static QAction* Entry(const QMenu* menu, const QString& text) {
        for (QAction* a : menu->actions())
            if (a->text().remove('&') == text) return a;
        return nullptr;
    }
    // Picks an entry as the user does: it must be enabled, and the menu closes.
    void Pick(QMenu* menu, const QString& text) {
        QAction* action = Entry(menu, text);
        ASSERT_NE(action, nullptr) << text.toStdString();
        ASSERT_TRUE(action->isEnabled()) << text.toStdString();
        menu->close();
        action->trigger();
        CEditorHarness::Settle(20);
    }

    CEditorHarness h;
    std::string first, second;
};

TEST_F(CTreeMenuTest, EachNodeKindHasItsMenuWithTheStatesOfItsNode) {
    const struct {
        const char* node;
        QStringList entries;
        QStringList enabled;
    } rows[] = {
        {"first.rux",
         {"Build code\tCtrl+B", "Build and download\tF6", "-", "Insert Task / Section...", "Insert User Defined Function Block...",
          "Insert Notes", "Insert Alias", "-", "Properties...", "Description...", "Referenced Libraries..."},
         {"Build code\tCtrl+B", "Build and download\tF6", "Insert Task / Section...", "Insert User Defined Function Block...", "Insert Notes", "Insert Alias", "Description..."}},
        {"Main",
         {"Go to Task/Section", "Go to Function Block", "-", "Expand and Collapse Function Block",
          "Collapse and Expand Task/Section", "-", "Delete", "-", "Insert Task / Section...",
          "Insert User Defined Function Block...", "Insert Notes", "Insert Alias", "-", "Insert LD/FBD diagram",
          "Insert Quick LD diagram", "-", "Properties..."},
         {"Go to Task/Section", "Collapse and Expand Task/Section", "Delete", "Insert Task / Section...", "Insert User Defined Function Block...", "Insert Notes", "Insert Alias"}},
        {"Scale", {}, {"Go to Function Block", "Expand and Collapse Function Block", "Delete", "Insert Task / Section...", "Insert User Defined Function Block...", "Insert Notes", "Insert Alias"}},
        {"Chart",
         {"Go to Diagram Preview", "-", "Open Diagram", "Expand Diagram", "Collapse Diagram", "Close Diagram", "-",
          "Delete", "Edit Diagram Title..."},
         {"Go to Diagram Preview", "Collapse Diagram", "Delete"}},
    };
    for (const auto& r : rows) {
        QMenu* menu = RightClick(r.node);
        ASSERT_NE(menu, nullptr) << r.node;
        if (!r.entries.isEmpty()) {
            EXPECT_EQ(Entries(menu), r.entries) << r.node;
        }
        // Commands whose feature is not in this editor yet are there, and disabled.
        QStringList enabled;
        for (const QAction* a : menu->actions())
            if (!a->isSeparator() && a->isEnabled()) enabled << a->text().remove('&');
        EXPECT_EQ(enabled, r.enabled) << r.node;
        EXPECT_EQ(Frame().ActiveDocument(), Document(first)) << "the node's program is activated: " << r.node;
        menu->close();
        CEditorHarness::Settle(10);
    }
}

TEST_F(CTreeMenuTest, CommandsActOnTheNodesProgramThroughItsView) {
    CRUXDocument& doc = *Document(first);
    const CObArrayEx& items = doc.Items();
    auto* main = static_cast<const CSectionHeader*>(items.GetAt(1));
    QWidget* view = Frame().ChildOf(doc)->View();

    // Collapse and Expand Task/Section folds the section in the view: the row after it moves up.
    const CRowLayout& layout = ViewSession(view)->Layout();
    const int footerTop = layout.TopOf(5);
    Pick(RightClick("Main"), "Collapse and Expand Task/Section");
    EXPECT_FALSE(main->IsExpanded());
    EXPECT_LT(layout.TopOf(5), footerTop);
    EXPECT_EQ(Frame().ActiveDocument(), &doc);

    // Go to Diagram Preview unfolds it again and puts the caret on the diagram's row, focus in the view.
    Pick(RightClick("Chart"), "Go to Diagram Preview");
    EXPECT_TRUE(main->IsExpanded());
    EXPECT_EQ(ViewSession(view)->Caret(), (CTextPos{1, 3}));
    EXPECT_TRUE(view->hasFocus() || QApplication::focusWidget() == nullptr);
    EXPECT_EQ(Frame().PaneText(CMainFrame::kPanePosition), "Ln 3, Col 1");

    // Collapse Diagram closes the preview; its menu then offers Expand instead.
    Pick(RightClick("Chart"), "Collapse Diagram");
    EXPECT_FALSE(static_cast<const CDiag*>(items.GetAt(3))->IsOpen());
    QMenu* menu = RightClick("Chart");
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(Entry(menu, "Expand Diagram")->isEnabled());
    EXPECT_FALSE(Entry(menu, "Collapse Diagram")->isEnabled());
    menu->close();

    // Delete on the function block removes header, body and footer; the tree follows; Undo in the view
    // brings all three back.
    const int before = items.GetSize();
    Pick(RightClick("Scale"), "Delete");
    EXPECT_EQ(items.GetSize(), before - 3);
    EXPECT_EQ(items.GetAt(items.GetSize() - 1)->GetText(), "z");
    EXPECT_TRUE(Tree()->findItems("Scale", Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(Frame().RunCommand(57643), true); // Undo
    EXPECT_EQ(items.GetSize(), before);
    EXPECT_EQ(Tree()->findItems("Scale", Qt::MatchExactly | Qt::MatchRecursive).size(), 1);

    // The other program was left alone throughout.
    EXPECT_EQ(Document(second)->Items().GetSize(), 4);
    EXPECT_FALSE(Document(second)->IsModified());
}

// The Delete key in the tree deletes the current section or diagram node; on a program node it does
// nothing.
TEST_F(CTreeMenuTest, DeleteKeyInTheTreeDeletesTheCurrentNode) {
    const CObArrayEx& items = Document(first)->Items();
    const int before = items.GetSize();
    auto node = [&](const char* label) {
        return Tree()->findItems(label, Qt::MatchExactly | Qt::MatchRecursive).value(0);
    };
    Tree()->setFocus();
    Tree()->setCurrentItem(node("first.rux"));
    QTest::keyClick(Tree(), Qt::Key_Delete);
    EXPECT_EQ(items.GetSize(), before);
    Tree()->setCurrentItem(node("Chart"));
    QTest::keyClick(Tree(), Qt::Key_Delete);
    EXPECT_EQ(items.GetSize(), before - 1);
    EXPECT_EQ(items.GetAt(3)->GetType(), kItemSectionFooter) << "the diagram went, its section stayed";
    EXPECT_EQ(node("Chart"), nullptr);
    EXPECT_EQ(Document(second)->Items().GetSize(), 4);
}

TEST_F(CTreeMenuTest, DeleteIsDisabledOnAReadOnlyProgram) {
    Document(first)->SetReadOnly(true);
    QMenu* menu = RightClick("Main");
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(Entry(menu, "Delete")->isEnabled());
    EXPECT_TRUE(Entry(menu, "Go to Task/Section")->isEnabled()) << "moving around stays possible";
    menu->close();
}

constexpr int kMarker = Qt::UserRole + 100;

// items: 0 header, 1 {Main, 2 a, 3 @FBD:D1, 4 }, 5 {Other, 6 b, 7 }, 8 {Notes (folded), 9 n1, 10 n2, 11 }
const std::vector<std::string> kSelectionRows = {"P",  "{Main", "a",      "@FBD:D1", "}",  "{Other",
                                        "b",  "}",     "{-Notes", "n1",     "n2", "}"};

class CTreeSelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        first = h.Root() + "/first.rux";
        CEditorHarness::Write(first, test::ProgramBytes(kSelectionRows));
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
    auto* notes = dynamic_cast<const CSectionHeader*>(doc->Items()[8]);
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
    EXPECT_TRUE(Tree()->findItems("Main", Qt::MatchExactly | Qt::MatchRecursive).isEmpty());

    // Undo rebuilds as well: the section is back in the tree.
    Tree()->currentItem()->setData(0, kMarker, true);
    ViewRunAction(view, [](CEditSession& s) {
        s.Undo();
        return true;
    });
    EXPECT_FALSE(Tree()->currentItem() && Tree()->currentItem()->data(0, kMarker).toBool());
    EXPECT_EQ(Tree()->findItems("Main", Qt::MatchExactly | Qt::MatchRecursive).size(), 1);
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
