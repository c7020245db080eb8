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
    // A header's new text is an edit of the content, and the tree follows it.
    ASSERT_TRUE(conveyor.Session().BeginEdit());
    conveyor.Session().ChangeText(6, "Jog");
    conveyor.Session().EndEdit();
    EXPECT_TRUE(tree.Dump().contains("      alpha\n    Jog\n")) << tree.Dump().toStdString();
    tree.RemoveDocument(axis.doc);
    EXPECT_FALSE(tree.Dump().contains("EVENT2"));
}

TEST(TreeBar, EnterAndDoubleClickGoToTheRow) {
    CViewFixture f({"P", "{Main", "a", "@FBD:D1", "}", "{Other", "b", "}"});
    CTreeBar tree;
    tree.AddDocument(f.doc);
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
}

} // namespace
} // namespace rux
