#include "document/item_list.h"
#include "editor/edit_session.h"
#include "panes/tree_bar.h"
#include "view_fixture.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::CViewFixture;

TEST(TreeBar, ContentsOrderAndOptions) {
    CViewFixture conveyor(
        {"P", "{initial", "a", "@FBD:Zeta", "@FBD:alpha", "}", "{Background", "}", "{out1 = _Ramp(in1)", "}"},
        "conveyor.rux");
    CViewFixture axis({"{EVENT2", "}"}, "Axis.rux");
    CTreeBar tree;
    tree.AddDocument(conveyor.doc);
    tree.AddDocument(axis.doc);
    const QString axisLabel = QString::fromStdString(axis.doc.GetTitle());
    const QString conveyorLabel = QString::fromStdString(conveyor.doc.GetTitle());
    ASSERT_LT(axisLabel.compare(conveyorLabel, Qt::CaseInsensitive), 0);
    EXPECT_EQ(tree.Dump().toStdString(),
              ("Workspace\n  " + axisLabel + "\n    EVENT2\n  " + conveyorLabel +
               "\n    initial\n      Zeta\n      alpha\n    Background\n    _Ramp\n")
                  .toStdString());
    tree.SetSortAlphabetically(true);
    EXPECT_EQ(tree.Dump().toStdString(),
              ("Workspace\n  " + axisLabel + "\n    EVENT2\n  " + conveyorLabel +
               "\n    _Ramp\n    Background\n    initial\n      alpha\n      Zeta\n")
                  .toStdString());
    tree.SetSortAlphabetically(false);
    tree.SetShowFbParameters(true);
    EXPECT_TRUE(tree.Dump().contains("    out1 = _Ramp(in1)\n"));
    tree.RemoveDocument(axis.doc);
    EXPECT_FALSE(tree.Dump().contains("EVENT2"));
}

TEST(TreeBar, RebuiltOnStructureNotOnKeystrokes) {
    CViewFixture f({"{Main", "a", "}", "{Other", "}"});
    CTreeBar tree;
    tree.AddDocument(f.doc);
    QTreeWidgetItem* program = tree.Tree()->topLevelItem(0)->child(0);
    f.Session().SetCaret({2, 1});
    QTest::keyClicks(f.view.get(), "bc");
    EXPECT_EQ(tree.Tree()->topLevelItem(0)->child(0), program) << "typing inside a line keeps the tree";

    // Deleting the first section rebuilds the program's entry.
    f.Session().Select({1, 0}, {1, 3});
    QTest::keyClick(f.view.get(), Qt::Key_Delete);
    EXPECT_FALSE(tree.Dump().contains("Main"));
    EXPECT_TRUE(tree.Dump().contains("Other"));
    QTest::keyClick(f.view.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(tree.Dump().contains("    Main\n    Other\n"));
}

TEST(TreeBar, EnterAndDoubleClickGoToTheRowAndSelectionFollowsTheCaret) {
    CViewFixture f({"P", "{Main", "a", "@FBD:D1", "}", "{Other", "b", "}"});
    CTreeBar tree;
    tree.AddDocument(f.doc);
    QObject::connect(f.view.get(), &CRUXView::caretSectionChanged,
                     [&](int header) { tree.SelectNode(f.doc, header); });
    CRUXDocument* gotDoc = nullptr;
    int gotItem = -2;
    bool gotOpen = true;
    QObject::connect(&tree, &CTreeBar::goToItem, [&](CRUXDocument* d, int item, bool open) {
        gotDoc = d;
        gotItem = item;
        gotOpen = open;
    });
    QTreeWidgetItem* program = tree.Tree()->topLevelItem(0)->child(0);
    QTreeWidgetItem* other = program->child(1);
    tree.Tree()->setCurrentItem(other);
    QTest::keyClick(tree.Tree(), Qt::Key_Return);
    EXPECT_EQ(gotDoc, &f.doc);
    EXPECT_EQ(gotItem, 5);
    f.view->GoToItem(gotItem);
    EXPECT_EQ(f.view->PositionText(), QStringLiteral("Ln 5, Col 1"));

    // A diagram node asks for its window only with the option on.
    QTreeWidgetItem* diagram = program->child(0)->child(0);
    emit tree.Tree()->itemDoubleClicked(diagram, 0);
    EXPECT_EQ(gotItem, 3);
    EXPECT_FALSE(gotOpen);
    tree.SetOpenDiagramOnDoubleClick(true);
    emit tree.Tree()->itemDoubleClicked(diagram, 0);
    EXPECT_TRUE(gotOpen);

    // Moving the caret into another section moves the tree's selection.
    f.Session().SetCaret({1, 2});
    QTest::keyClick(f.view.get(), Qt::Key_Right);
    EXPECT_EQ(tree.Tree()->currentItem(), program->child(0));
    QTest::keyClick(f.view.get(), Qt::Key_Down);
    QTest::keyClick(f.view.get(), Qt::Key_Down);
    QTest::keyClick(f.view.get(), Qt::Key_Down);
    EXPECT_EQ(tree.Tree()->currentItem(), program->child(1));
}

} // namespace
} // namespace rux
