#include "dialogs/dialog_test_support.h"
#include "frame/editor_harness.h"

#include "dialogs/porting_issues_select_dialog.h"
#include "document/item.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "editor/edit_session.h"
#include "frame/mdi_child.h"
#include "panes/porting_panes.h"
#include "shell/command_ids.h"
#include "view/rux_view.h"

#include <QAction>
#include <QDockWidget>
#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::CEditorHarness;

struct CPorting {
    CEditorHarness h;
    CMainFrame* frame = nullptr;
    // Items: 0 header, 1 "Clock", 2 and 3 the lines, 4 the footer.
    explicit CPorting(const std::vector<std::string>& lines) {
        const std::string path = h.Root() + "/port.rux";
        std::vector<std::string> rows = {"P", "{Clock"};
        rows.insert(rows.end(), lines.begin(), lines.end());
        rows.push_back("}");
        CEditorHarness::Write(path, test::DialogProgram(rows));
        EXPECT_TRUE(h.Start({path}));
        frame = &h.Frame();
    }
    QDockWidget* Pane(const char* name) const { return frame->findChild<QDockWidget*>(name); }
    CPortingToolListCtrl* List() const { return frame->findChild<CPortingToolListCtrl*>(); }
    CRUXView* View() const { return qobject_cast<CRUXView*>(frame->ActiveChild()->View()); }
    std::string Text(int item) const { return frame->ActiveDocument()->Items().GetAt(item)->GetText(); }
    QStringList Row(int row) const {
        QTreeWidgetItem* item = List()->topLevelItem(row);
        return item ? QStringList{item->text(1), item->text(2), item->text(3), item->toolTip(1)}
                    : QStringList{};
    }
    void Click(int row) const {
        CPortingToolListCtrl* list = List();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->topLevelItem(row)).center());
        CEditorHarness::Settle(20);
    }
};

const std::vector<std::string> kLines = {"a = #3.02 + #5.07 + #2.04", "b = #5.07"};

TEST(PortingPanes, AScanListsTheIssuesAndAClickSelectsTheReference) {
    CPorting p(kLines);
    EXPECT_TRUE(p.frame->Action(ID_PORTING_SHOW)->isVisible());
    ASSERT_TRUE(p.frame->RunCommand(ID_PORTING_SHOW));
    CEditorHarness::Settle();
    EXPECT_TRUE(p.h.boxes.empty()) << p.h.boxes.front().toStdString();
    QDockWidget* list = p.Pane("PortingIssues");
    QDockWidget* details = p.Pane("PortingDetailsPane");
    ASSERT_TRUE(list && details);
    EXPECT_FALSE(list->isHidden());
    EXPECT_FALSE(details->isHidden());

    CPortingToolListCtrl* ctrl = p.List();
    ASSERT_EQ(ctrl->topLevelItemCount(), 5);
    // The columns: line, task, description, and the status as the line's tooltip.
    EXPECT_EQ(p.Row(2), (QStringList{"Line 2", "Clock",
                                     "#05.07 (Bittern 2 parameter - Motor rated current) It is possible to "
                                     "convert this paramter using the B2 prefix.",
                                     "Can be converted using B2 prefix"}));
    // A click on the first "#5.07": the caret at its "#", the five characters selected, the
    // convertible marker in the margin and the parameter's menu page beside the list.
    p.Click(2);
    CEditSession& session = p.View()->Session();
    EXPECT_EQ(session.SelectionStart(), (CTextPos{13, 2}));
    EXPECT_EQ(session.SelectionStop(), (CTextPos{18, 2}));
    const CItem* line = p.frame->ActiveDocument()->Items().GetAt(2);
    EXPECT_TRUE(line->HasStateMark());
    EXPECT_EQ(line->GetStateMarkKind(), 6);
    EXPECT_TRUE(p.frame->findChild<QTextBrowser*>("PortingDetails")
                    ->source()
                    .toLocalFile()
                    .endsWith("/PortingTool/Menu05.htm"));

    // The down arrow moves on to "#2.04" once the key is released.
    QTest::keyClick(ctrl, Qt::Key_Down);
    CEditorHarness::Settle(20);
    EXPECT_EQ(session.SelectionStart(), (CTextPos{21, 2}));
    EXPECT_EQ(line->GetStateMarkKind(), 7);

    // The line header sorts descending on a second click of the same column.
    QHeaderView* header = ctrl->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    EXPECT_EQ(p.Row(0).front(), "Line 3");
    EXPECT_EQ(p.Row(4).front(), "Line 1");
}

TEST(PortingPanes, AFixFromTheToolbarIsOneUndoableEdit) {
    CPorting p(kLines);
    ASSERT_TRUE(p.frame->RunCommand(ID_PORTING_SHOW));
    p.Click(2);
    QAction* add = p.frame->findChild<QToolBar*>("PortingToolBar")->findChild<QAction*>("port32950");
    ASSERT_TRUE(add && add->isEnabled());
    add->trigger();
    CEditorHarness::Settle(20);
    EXPECT_TRUE(p.h.boxes.empty());
    EXPECT_EQ(p.Text(2), "a = #3.02 + B2#5.07 + #2.04");
    EXPECT_EQ(p.Row(2).back(), "Has been converted using B2 prefix");

    ASSERT_TRUE(p.frame->RunCommand(ID_EDIT_UNDO));
    EXPECT_EQ(p.Text(2), "a = #3.02 + #5.07 + #2.04");
    EXPECT_EQ(p.Text(3), "b = #5.07");
}

TEST(PortingPanes, EnterAsksBeforeTheFixAndNoKeepsTheLine) {
    CPorting p(kLines);
    ASSERT_TRUE(p.frame->RunCommand(ID_PORTING_SHOW));
    p.Click(4);
    p.h.answer = QMessageBox::No;
    QTest::keyClick(p.List(), Qt::Key_Return);
    ASSERT_EQ(p.h.boxes.size(), 1u);
    EXPECT_TRUE(p.h.boxes[0].startsWith("The parameter #05.07 - Motor rated current can be converted"));
    EXPECT_EQ(p.h.icons[0], QMessageBox::Warning) << "a question that names no icon gets the exclamation";
    EXPECT_EQ(p.Text(3), "b = #5.07");
    p.h.answer = QMessageBox::Yes;
    QTest::keyClick(p.List(), Qt::Key_Return);
    EXPECT_EQ(p.Text(3), "b = B2#5.07");
}

TEST(PortingPanes, TheContextMenuIgnoresTheLineAsOneUndoableEdit) {
    CPorting p(kLines);
    ASSERT_TRUE(p.frame->RunCommand(ID_PORTING_SHOW));
    // Line 3's issue first; the right click on a line 2 issue makes that one the menu's, and leaves
    // the caret where it was.
    p.Click(4);
    CPortingToolListCtrl* list = p.List();
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, list->visualItemRect(list->topLevelItem(2)).center());
    QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, list->visualItemRect(list->topLevelItem(2)).center());
    EXPECT_EQ(p.View()->Session().SelectionStart(), (CTextPos{5, 3}));
    auto* pane = p.frame->findChild<CPortingToolFrame*>();
    std::unique_ptr<QMenu> menu(pane->ContextMenu(true));
    // The selected issue has no prefix to remove.
    QStringList disabled;
    for (QAction* a : menu->actions())
        if (!a->isEnabled()) disabled << a->text();
    EXPECT_EQ(disabled, QStringList({"&Remove Prefix"}));
    ASSERT_EQ(menu->actions()[5]->text(), "&Ignore");
    p.h.answer = QMessageBox::Yes;
    menu->actions()[5]->trigger();
    ASSERT_EQ(p.h.boxes.size(), 1u);
    EXPECT_EQ(p.h.boxes[0],
              "Ignoring this issue will ignore all 3 issues on line 2. Do you wish to proceed?");
    EXPECT_EQ(p.Text(2), "a = #3.02 + #5.07 + #2.04\t// {PTOOL:Ignore}");
    EXPECT_EQ(p.Text(3), "b = #5.07");
    EXPECT_EQ(p.Row(2).back(), "Has been marked to be ignored.") << "the list shows the new state";
    ASSERT_TRUE(p.frame->RunCommand(ID_EDIT_UNDO));
    EXPECT_EQ(p.Text(2), "a = #3.02 + #5.07 + #2.04");
}

TEST(PortingPanes, TheSuiteOpensTheToolAndAClosedProgramIsReopenedOnRefresh) {
    CPorting p(kLines);
    p.frame->HandleSuiteMessage(1754, "", "");
    QDockWidget* list = p.Pane("PortingIssues");
    ASSERT_TRUE(list);
    EXPECT_FALSE(list->isHidden());
    EXPECT_EQ(p.List()->topLevelItemCount(), 5);

    // The scanned program goes: so do its panes.
    p.frame->ActiveChild()->close();
    CEditorHarness::Settle();
    ASSERT_TRUE(p.frame->Children().empty());
    EXPECT_FALSE(p.frame->Action(ID_PORTING_SHOW)->isVisible()) << "nothing to scan";
    EXPECT_TRUE(list->isHidden());
    EXPECT_TRUE(p.Pane("PortingDetailsPane")->isHidden());

    p.h.answer = QMessageBox::Yes;
    ASSERT_TRUE(p.frame->RunCommand(32957));
    CEditorHarness::Settle();
    ASSERT_EQ(p.h.boxes.size(), 1u);
    EXPECT_EQ(p.h.boxes[0],
              "The RUX program file appears to have been closed, would you like to re-open now?");
    ASSERT_EQ(p.frame->Children().size(), 1u);
    EXPECT_TRUE(p.frame->Action(ID_PORTING_SHOW)->isVisible());
    EXPECT_FALSE(list->isHidden());
    EXPECT_EQ(p.List()->topLevelItemCount(), 5);
    p.Click(4);
    EXPECT_EQ(p.View()->Session().SelectionStart(), (CTextPos{5, 3}));
}

TEST(PortingPanes, TheIssueSelectionChoosesTheIcons) {
    CDlgPortingIssuesSelect dialog;
    EXPECT_EQ(dialog.Choice(), CDlgPortingIssuesSelect::kAll);
    struct CCase {
        CDlgPortingIssuesSelect::EChoice choice;
        bool icon2, icon3;
    } const cases[] = {
        {CDlgPortingIssuesSelect::kAll, true, true},
        {CDlgPortingIssuesSelect::kNoWarnings, false, true},
        {CDlgPortingIssuesSelect::kWarnings, true, false},
    };
    for (const CCase& c : cases) {
        dialog.SetChoice(c.choice);
        bool icon2 = !c.icon2, icon3 = !c.icon3;
        dialog.Icons(icon2, icon3);
        EXPECT_EQ(icon2, c.icon2) << c.choice;
        EXPECT_EQ(icon3, c.icon3) << c.choice;
    }
}

} // namespace
} // namespace rux
