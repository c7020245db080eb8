#include "editor_harness.h"

#include "document/item.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "editor/edit_session.h"
#include "frame/mdi_child.h"
#include "panes/build_bar.h"
#include "panes/tree_bar.h"
#include "shell/command_ids.h"
#include "shell/option_mgr.h"
#include "view/rux_view.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QListWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace rux {
namespace {

using test::CEditorHarness;
using test::ErrorMarked;

std::vector<std::string> FileLines(const std::string& path) {
    std::istringstream in(CEditorHarness::Read(path));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> BuildTab(const CBuildBar& bar) {
    std::vector<std::string> lines;
    for (int row = 0; row < bar.Count(CBuildBar::kBuildTab); ++row)
        lines.push_back(bar.Text(CBuildBar::kBuildTab, row).toStdString());
    return lines;
}

CRUXView* ActiveView(const CMainFrame& frame) {
    return frame.ActiveChild() ? qobject_cast<CRUXView*>(frame.ActiveChild()->View()) : nullptr;
}

bool Enabled(CMainFrame& frame, int id) {
    frame.UpdateCommandStates();
    return frame.Action(id)->isEnabled();
}

// The real compiler library builds the example with its mistakes; the Build tab, the marks and the
// caret follow the messages.
TEST(BuildCommands, ErrorsListedAndWalkedToTheirColumns) {
    CEditorHarness h;
    const std::string path = h.CopyProgram("examples/errors.rux", "errs.rux");
    ASSERT_TRUE(h.Start({path}));
    CMainFrame& frame = h.Frame();
    CBuildBar& bar = *frame.BuildBar();
    CRUXView* view = ActiveView(frame);
    ASSERT_NE(view, nullptr);
    CRUXDocument& document = view->Document();
    frame.OutputPane()->close();
    EXPECT_FALSE(Enabled(frame, ID_SHOW_BUILD_ERRORS)) << "no error file yet";
    EXPECT_FALSE(Enabled(frame, ID_NEXT_ERROR));
    document.SetMark(2, kMarkError, true);

    ASSERT_TRUE(Enabled(frame, ID_BUILD));
    frame.RunCommand(ID_BUILD);
    // The compiler runs beside the window: until its end arrives the build holds.
    EXPECT_TRUE(h.app->IsBuildRunning());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_EQ(frame.PaneText(CMainFrame::kPaneMessage), "Compiling...");
    EXPECT_FALSE(Enabled(frame, ID_BUILD));
    frame.RunCommand(ID_BUILD); // a second Ctrl+B starts nothing
    EXPECT_FALSE(frame.close()) << "no closing during a build";
    EXPECT_TRUE(frame.isVisible());
    EXPECT_TRUE(h.boxes.empty()) << "the refusal is silent";
    ASSERT_TRUE(CEditorHarness::WaitFor([&] { return !h.app->IsBuildRunning(); }, 20000));

    EXPECT_FALSE(frame.OutputPane()->isHidden());
    EXPECT_EQ(bar.SelectedTab(), CBuildBar::kBuildTab);
    const std::vector<std::string> stored = FileLines(h.Root() + "/errs.ERR");
    ASSERT_GE(stored.size(), 5u);
    EXPECT_EQ(BuildTab(bar), stored) << "every line once, in the compiler's order";
    EXPECT_EQ(stored.back().find(" error(s)") != std::string::npos, true) << stored.back();
    EXPECT_EQ(h.boxes, std::vector<QString>{"Error(s) detected\nDo not show this dialog again"});
    EXPECT_EQ(h.icons.back(), QMessageBox::Warning);
    EXPECT_EQ(frame.PaneText(CMainFrame::kPaneMessage), "Ready");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the wait cursor is gone";
    EXPECT_TRUE(ErrorMarked(document).empty()) << "the build cleared the old mark";
    EXPECT_TRUE(Enabled(frame, ID_BUILD));
    EXPECT_FALSE(Enabled(frame, ID_BUILD_DOWNLOAD)) << "only for an online view";
    // Show build errors brings the pane and the Build tab back.
    ASSERT_TRUE(Enabled(frame, ID_SHOW_BUILD_ERRORS));
    frame.OutputPane()->close();
    bar.SelectTab(CBuildBar::kLogTab);
    frame.RunCommand(ID_SHOW_BUILD_ERRORS);
    EXPECT_FALSE(frame.OutputPane()->isHidden());
    EXPECT_EQ(bar.SelectedTab(), CBuildBar::kBuildTab);
    EXPECT_FALSE(std::filesystem::exists(h.Root() + "/errs.bin"));

    // Next walks every message that names a place, top to bottom, and stops at the last.
    EXPECT_FALSE(Enabled(frame, ID_PREVIOUS_ERROR));
    int visited = 0;
    int lastRow = -1;
    bool sawEndif = false;
    while (Enabled(frame, ID_NEXT_ERROR)) {
        frame.RunCommand(ID_NEXT_ERROR);
        const int row = bar.Messages().Current();
        ASSERT_GT(row, lastRow);
        lastRow = row;
        const CBuildMessage& m = bar.Messages().Message(row);
        ASSERT_TRUE(m.HasPlace()) << bar.Messages().Text(row);
        EXPECT_EQ(ErrorMarked(document), std::vector<int>{m.line}) << bar.Messages().Text(row);
        EXPECT_EQ(view->Session().Caret(), (CTextPos{m.start, m.line})) << bar.Messages().Text(row);
        EXPECT_EQ(frame.PaneText(CMainFrame::kPanePosition),
                  QString("Ln %1, Col %2").arg(m.line).arg(m.start));
        // The columns cover the text the message is about.
        const std::string& text = document.Items()[m.line]->GetText();
        ASSERT_LE(m.end - 1, static_cast<int>(text.size())) << bar.Messages().Text(row);
        const std::string covered =
            text.substr(static_cast<size_t>(m.start - 1), static_cast<size_t>(m.end - m.start));
        if (bar.Messages().Text(row).find("ENDIF without IF") != std::string::npos) {
            EXPECT_EQ(covered, "ENDIF");
            sawEndif = true;
        }
        EXPECT_FALSE(covered.empty()) << bar.Messages().Text(row);
        ++visited;
        ASSERT_LT(visited, 100);
    }
    EXPECT_TRUE(sawEndif);
    EXPECT_GE(visited, 5);
    EXPECT_EQ(bar.Messages().FindNext(), -1);

    // Previous goes back one place; a double-click in the list goes where the row says.
    const int before = bar.Messages().FindPrevious();
    ASSERT_GE(before, 0);
    frame.RunCommand(ID_PREVIOUS_ERROR);
    EXPECT_EQ(bar.Messages().Current(), before);
    auto* list = bar.findChild<QListWidget*>("BuildList");
    ASSERT_NE(list, nullptr);
    emit list->itemActivated(list->item(0));
    CEditorHarness::Settle();
    const CBuildMessage& first = bar.Messages().Message(0);
    EXPECT_EQ(bar.Messages().Current(), 0);
    EXPECT_EQ(ErrorMarked(document), std::vector<int>{first.line});
    EXPECT_EQ(view->Session().Caret(), (CTextPos{first.start, first.line}));
    EXPECT_FALSE(Enabled(frame, ID_PREVIOUS_ERROR));

    // A program closed since the build opens again at the next message.
    frame.ActiveChild()->CloseWithoutAsking();
    ASSERT_TRUE(CEditorHarness::WaitFor([&] { return frame.Children().empty(); }));
    const CBuildMessage& second = bar.Messages().Message(bar.Messages().FindNext());
    frame.RunCommand(ID_NEXT_ERROR);
    ASSERT_TRUE(CEditorHarness::WaitFor([&] { return frame.Children().size() == 1u; }));
    CRUXView* reopened = ActiveView(frame);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->Document().GetPathName(), path);
    EXPECT_EQ(reopened->Session().Caret(), (CTextPos{second.start, second.line}));
    EXPECT_EQ(ErrorMarked(reopened->Document()), std::vector<int>{second.line});
}

TEST(BuildCommands, CleanBuildAndTheResultBoxOption) {
    CEditorHarness h;
    const std::string path = h.CopyProgram("examples/conveyor_line.rux", "line.rux");
    ASSERT_TRUE(h.Start({path}));
    CMainFrame& frame = h.Frame();
    ASSERT_EQ(h.app->Options().GetOption(OPT_SHOW_BUILD_DIAG), 1);
    h.answer = QMessageBox::Ignore; // the user ticks "Do not show this dialog again"
    frame.RunCommand(ID_BUILD);
    ASSERT_TRUE(CEditorHarness::WaitFor([&] { return !h.app->IsBuildRunning(); }, 20000));
    EXPECT_EQ(h.boxes, std::vector<QString>{"Build: No errors detected\nDo not show this dialog again"});
    EXPECT_EQ(h.icons.back(), QMessageBox::Information);
    EXPECT_EQ(h.app->Options().GetOption(OPT_SHOW_BUILD_DIAG), 0);
    EXPECT_TRUE(std::filesystem::exists(h.Root() + "/line.bin"));
    EXPECT_EQ(BuildTab(*frame.BuildBar()), FileLines(h.Root() + "/line.ERR"));

    // Built again without the box; the option command brings it back.
    frame.RunCommand(ID_BUILD);
    ASSERT_TRUE(CEditorHarness::WaitFor([&] { return !h.app->IsBuildRunning(); }, 20000));
    EXPECT_EQ(h.boxes.size(), 1u);
    frame.RunCommand(ID_OPT_BUILD_DIALOG);
    EXPECT_EQ(h.app->Options().GetOption(OPT_SHOW_BUILD_DIAG), 1);

    // The tree's entry builds the program selected there, through its view.
    auto* tree = qobject_cast<CTreeBar*>(frame.ProgramTree());
    ASSERT_NE(tree, nullptr);
    tree->SelectNode(frame.ActiveChild()->Document(), -1);
    frame.BuildBar()->ResetListContent(CBuildBar::kBuildTab);
    frame.RunCommand(ID_TREE_BUILD);
    EXPECT_TRUE(h.app->IsBuildRunning());
    ASSERT_TRUE(CEditorHarness::WaitFor([&] { return !h.app->IsBuildRunning(); }, 20000));
    EXPECT_EQ(BuildTab(*frame.BuildBar()), FileLines(h.Root() + "/line.ERR"));
    EXPECT_EQ(h.boxes.size(), 2u);
}

// Without the compiler's entry the command does nothing: no lines, no box, the status text cleared.
TEST(BuildCommands, WithoutTheCompilerNothingHappens) {
    CEditorHarness h;
    const std::string path = h.CopyProgram("examples/errors.rux", "errs.rux");
    CEditorHarness::Write(h.Root() + "/errs.ERR", "errs.rux(3,1-2): error E1: from before\n");
    // A library of that name without the compile entry (the plain search would find the real one).
    std::filesystem::remove(h.Product() + "/libH2Cmp.so");
    std::filesystem::create_symlink(std::string(RUX_PRODUCT_DIR) + "/libH2About.so", h.Product() + "/libH2Cmp.so");
    ASSERT_TRUE(h.Start({path}));
    CMainFrame& frame = h.Frame();
    ASSERT_EQ(frame.BuildBar()->Count(CBuildBar::kBuildTab), 1) << "the stored results shown on open";
    ActiveView(frame)->Document().SetModified(true);
    frame.RunCommand(ID_BUILD);
    EXPECT_FALSE(h.app->IsBuildRunning());
    CEditorHarness::Settle();
    EXPECT_EQ(BuildTab(*frame.BuildBar()),
              std::vector<std::string>{"errs.rux(3,1-2): error E1: from before"});
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_EQ(frame.PaneText(CMainFrame::kPaneMessage), "Ready");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(ActiveView(frame)->Document().IsModified()) << "nothing saved";
    EXPECT_TRUE(Enabled(frame, ID_BUILD));
}

} // namespace
} // namespace rux
