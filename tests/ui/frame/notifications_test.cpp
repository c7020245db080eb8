#include "editor_harness.h"

#include "document/item.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "editor/edit_session.h"
#include "frame/mdi_child.h"
#include "frame/view_host.h"
#include "panes/build_bar.h"
#include "shell/command_ids.h"
#include "target/sse_notifier.h"

#include <QApplication>
#include <QDockWidget>
#include <QMdiArea>
#include <QToolBar>

#include <gtest/gtest.h>

#include <map>

namespace rux {
namespace {

using test::CEditorHarness;
using test::ErrorMarked;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// Each message goes through the real bus from a second process, as another tool of the suite sends it.
TEST(SuiteNotifications, OpenGoToLineAndMarkFromAnotherProcess) {
    CEditorHarness h;
    ASSERT_TRUE(h.Start({}));
    CMainFrame& frame = h.Frame();
    const std::string first = h.CopyProgram("examples/conveyor_line.rux", "first.rux");
    const std::string second = h.CopyProgram("examples/conveyor_line.rux", "Second.RUX");

    // 1731 opens the file and, with no document before, maximises it.
    ASSERT_EQ(h.Rux({"sse", "send", "RUX2EDIT", "1731", Q(first)}), 0);
    ASSERT_TRUE(CEditorHarness::WaitFor([&] { return frame.Children().size() == 1; }));
    EXPECT_TRUE(frame.Children()[0]->isMaximized());
    EXPECT_EQ(frame.windowTitle(), "RUX Editor - [first.rux (Infeed conveyor, line A)]");
    CRUXDocument& firstDoc = frame.Children()[0]->Document();

    // 1524: the line is the first number of the line data.
    ASSERT_EQ(h.Rux({"sse", "send", "RUX2EDIT", "1524", Q(first), "--line-data", "12"}), 0);
    ASSERT_TRUE(CEditorHarness::WaitFor([&] { return ErrorMarked(firstDoc) == std::vector<int>{12}; }));
    EXPECT_EQ(frame.ActiveDocument(), &firstDoc);
    EXPECT_EQ(frame.PaneText(CMainFrame::kPanePosition), "Ln 12, Col 1");

    // 1524 with line -1 changes nothing; 1750 with "-1;..." neither.
    ASSERT_EQ(h.Rux({"sse", "send", "RUX2EDIT", "1524", Q(first), "--line-data", "-1"}), 0);
    ASSERT_EQ(h.Rux({"sse", "send", "RUX2EDIT", "1750", Q(first), "--line-data", "-1;2;3"}), 0);
    CEditorHarness::Settle(100);
    EXPECT_EQ(ErrorMarked(firstDoc), std::vector<int>{12});

    // 1750 to a file that is not open yet opens it and moves the mark there; past the end: last line.
    ASSERT_EQ(h.Rux({"sse", "send", "RUX2EDIT", "1750", Q(second), "--line-data", "9999;-1;-1"}), 0);
    ASSERT_TRUE(CEditorHarness::WaitFor([&] { return frame.Children().size() == 2; }));
    CRUXDocument* secondDoc = frame.ActiveDocument();
    ASSERT_NE(secondDoc, &firstDoc);
    EXPECT_EQ(ErrorMarked(*secondDoc), std::vector<int>{secondDoc->Items().GetSize() - 1});

    // 1525 with a bare name: compared without case with each document's file name.
    ASSERT_EQ(h.Rux({"sse", "send", "RUX2EDIT", "1525", "second.rux", "--line-data", "20;3;9"}), 0);
    ASSERT_TRUE(CEditorHarness::WaitFor([&] { return ErrorMarked(*secondDoc) == std::vector<int>{20}; }));
    EXPECT_EQ(ErrorMarked(firstDoc), std::vector<int>{12}) << "only the named document";

    // A file that neither is open nor exists: nothing.
    ASSERT_EQ(h.Rux({"sse", "send", "RUX2EDIT", "1524", Q(h.Root() + "/gone.rux"), "--line-data", "3"}), 0);
    CEditorHarness::Settle(100);
    EXPECT_EQ(frame.Children().size(), 2u);

    // 1753 activates an open document.
    ASSERT_EQ(h.Rux({"sse", "send", "RUX2EDIT", "1753", Q(first)}), 0);
    ASSERT_TRUE(CEditorHarness::WaitFor([&] { return frame.ActiveDocument() == &firstDoc; }));
    EXPECT_TRUE(h.boxes.empty());
}

// `rux sse put FILE --line-data L;S;E`, then the editor started with its go-to-error switch: the
// file opens (or the command line's program is used when no file is named), the caret goes to the
// line at the start column with no selection, and the line alone carries the error mark.
TEST(SuiteNotifications, GoToErrorSwitchAtStartUpReadsWhatAnotherProcessPut) {
    const struct {
        const char* what;
        const char* putFile; // "first", "second" or "" (no file)
        const char* lineData;
        std::vector<std::string> switches; // "second" and "v3" stand for those programs' paths
        const char* active;                // the active program afterwards, or "" for none
        int marked;                        // its marked line, -1 for none
        const char* position;
    } rows[] = {
        {"opens the file at the line", "first", "12;3;9", {"/g"}, "first", 12, "Ln 12, Col 3"},
        {"the command line's program, then the put one", "first", "20;2;6", {"-G", "second"}, "first", 20,
         "Ln 20, Col 2"},
        {"a program rewritten at opening tells the suite; the put place stays", "first", "12;3;9", {"-g", "v3"},
         "first", 12, "Ln 12, Col 3"},
        {"no file named: the active program", "", "5;-1;-1", {"-g", "second"}, "second", 5, "Ln 5, Col 1"},
        {"line -1 does nothing", "first", "-1;2;3", {"-g"}, "", -1, ""},
        {"empty line data does nothing", "first", "", {"-g"}, "", -1, ""},
        {"without the switch nothing is read", "first", "12;3;9", {}, "", -1, ""},
    };
    for (const auto& r : rows) {
        CEditorHarness h;
        const std::map<std::string, std::string> paths = {
            {"first", h.CopyProgram("examples/conveyor_line.rux", "first.rux")},
            {"second", h.CopyProgram("examples/conveyor_line.rux", "second.rux")},
            {"v3", h.CopyProgram("tests/data/v3_directive.rux", "v3.rux")},
            {"", ""}};
        ASSERT_EQ(h.Rux({"sse", "put", Q(paths.at(r.putFile)), "--line-data", r.lineData}), 0) << r.what;
        std::vector<std::string> args;
        for (const std::string& a : r.switches) args.push_back(paths.count(a) ? paths.at(a) : a);
        ASSERT_TRUE(h.Start(args)) << r.what;
        CMainFrame& frame = h.Frame();
        CEditorHarness::Settle(100);
        const CRUXDocument* active = frame.ActiveDocument();
        if (!*r.active) {
            EXPECT_TRUE(frame.Children().empty()) << r.what;
            continue;
        }
        ASSERT_NE(active, nullptr) << r.what;
        EXPECT_EQ(active->GetPathName(), paths.at(r.active)) << r.what;
        for (RUX_CMDIChildWnd* child : frame.Children())
            EXPECT_EQ(ErrorMarked(child->Document()),
                      &child->Document() == active ? std::vector<int>{r.marked} : std::vector<int>{})
                << r.what;
        const CEditSession& session = *ViewSession(frame.ActiveChild()->View());
        EXPECT_EQ(session.Caret().item, r.marked) << r.what;
        EXPECT_FALSE(session.HasSelection()) << r.what;
        EXPECT_EQ(frame.PaneText(CMainFrame::kPanePosition).toStdString(), r.position) << r.what;
    }
}

// A second editor brings the first one's frame to the front and exits with failure; its command
// line (a program, the go-to-error switch) is not handed over, and what the suite put stays.
TEST(SuiteNotifications, SecondEditorRaisesTheFirstAndExitsWithFailure) {
    CEditorHarness h;
    const std::string first = h.CopyProgram("examples/conveyor_line.rux", "first.rux");
    ASSERT_TRUE(h.Start({}));
    CMainFrame& frame = h.Frame();
    frame.showMaximized();
    frame.showMinimized();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(CEditorHarness::WaitFor([&] { return QApplication::activeWindow() == &other; }));
    ASSERT_EQ(h.Rux({"sse", "put", Q(first), "--line-data", "12;3;9"}), 0);
    EXPECT_EQ(h.Rux({"-g", Q(first)}, "ruxedit"), 1);
    EXPECT_TRUE(CEditorHarness::WaitFor([&] { return QApplication::activeWindow() == &frame; }));
    EXPECT_EQ(frame.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized), Qt::WindowMaximized);
    CEditorHarness::Settle(100);
    EXPECT_TRUE(frame.Children().empty());
    EXPECT_EQ(h.app->Notifier().PublishedFileName(), first);
    EXPECT_EQ(h.app->Notifier().PublishedErrorLineData(), "12;3;9");
}

TEST(SuiteNotifications, PanesThemeCloseAllAndGroupText) {
    CEditorHarness h;
    const std::string path = h.CopyProgram("examples/conveyor_line.rux", "conveyor_line.rux");
    ASSERT_TRUE(h.Start({path}));
    CMainFrame& frame = h.Frame();

    frame.RunCommand(ID_VIEW_SHOW_OUTPUT);
    ASSERT_TRUE(frame.OutputPane()->isHidden());
    ASSERT_EQ(h.Rux({"sse", "send", "RUX2EDIT", "1737"}), 0);
    ASSERT_TRUE(CEditorHarness::WaitFor([&] { return !frame.OutputPane()->isHidden(); }));

    // Another tool changed the theme: 1747 rereads it.
    h.WriteSettings("[MAINDESK]\nTheme=3\n");
    ASSERT_EQ(h.Rux({"sse", "send", "RUX2EDIT", "1747"}), 0);
    ASSERT_TRUE(CEditorHarness::WaitFor([&] { return frame.Theme() == 3; }));
    EXPECT_TRUE(frame.Action(ID_THEME_TUNGSTEN)->isChecked());

    // 1733 closes every document without asking, even a modified one, and leaves the file alone.
    const std::string before = CEditorHarness::Read(path);
    frame.ActiveDocument()->SetModified(true);
    ASSERT_EQ(h.Rux({"sse", "send", "RUX2EDIT", "1733"}), 0);
    ASSERT_TRUE(CEditorHarness::WaitFor([&] { return frame.Children().empty(); }));
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_EQ(CEditorHarness::Read(path), before);
    EXPECT_TRUE(h.app->ProgramTemplate().Documents().empty());
    CEditorHarness::WaitFor([&] { return frame.windowTitle() == "RUX Editor"; }, 1000);
    EXPECT_EQ(frame.windowTitle(), "RUX Editor");
    EXPECT_EQ(frame.CurrentMenuId(), 128);

    // 1226 shows the group membership text in a box.
    frame.PostSuiteMessage(1226, "line.rux belongs to group: Packing", {});
    CEditorHarness::Settle();
    EXPECT_EQ(h.boxes, std::vector<QString>{"line.rux belongs to group: Packing"});
}

// A run-time report of a target goes to the Log tab, with the program it concerns; one without text
// adds nothing.
TEST(SuiteNotifications, TargetRunTimeReportGoesToTheLog) {
    CEditorHarness h;
    const std::string path = h.CopyProgram("examples/conveyor_line.rux", "conveyor_line.rux");
    ASSERT_TRUE(h.Start({"-d", path}));
    CBuildBar& bar = *h.Frame().BuildBar();
    const int before = bar.Count(CBuildBar::kLogTab);
    ASSERT_EQ(h.Rux({"sse", "send", "RUX2EDIT", "1424", Q(path), "--line-data", "Run-time error 12 in task 2"}), 0);
    ASSERT_TRUE(CEditorHarness::WaitFor([&] { return bar.Count(CBuildBar::kLogTab) == before + 1; }));
    EXPECT_EQ(bar.Text(CBuildBar::kLogTab, before), Q("Run-time error 12 in task 2  (" + path + ")"));
    ASSERT_EQ(h.Rux({"sse", "send", "RUX2EDIT", "1424", Q(path)}), 0);
    CEditorHarness::Settle(100);
    EXPECT_EQ(bar.Count(CBuildBar::kLogTab), before + 1);
}

// Every view online (1726) or offline (1233, and 1727 through a 1233 of its own): the views' own
// Online/Offline decides, and the toolbars are brought up to date afterwards. In edit mode nothing
// goes online.
TEST(SuiteNotifications, AllViewsOnlineOrOfflineThenTheToolbarsFollow) {
    const struct {
        const char* mode;
        const char* number;
    } rows[] = {{"-e", "1726"}, {"-d", "1233"}, {"-d", "1727"}};
    for (const auto& r : rows) {
        CEditorHarness h;
        const std::string path = h.CopyProgram("examples/conveyor_line.rux", "conveyor_line.rux");
        ASSERT_TRUE(h.Start({r.mode, path}));
        CMainFrame& frame = h.Frame();
        frame.Toolbar(128)->hide();
        ASSERT_EQ(h.Rux({"sse", "send", "RUX2EDIT", r.number}), 0);
        EXPECT_TRUE(CEditorHarness::WaitFor([&] { return !frame.Toolbar(128)->isHidden(); })) << r.number;
        EXPECT_TRUE(frame.Toolbar(140)->isHidden()) << r.number;
        for (RUX_CMDIChildWnd* child : frame.Children())
            EXPECT_FALSE(ViewSession(child->View())->IsOnline()) << r.number;
    }
}

// Closing during a build is refused with the build's own test; closing saves the layout.
TEST(FrameClosing, SavesTheLayoutForTheNextStart) {
    CEditorHarness h;
    ASSERT_TRUE(h.Start({}));
    CMainFrame& frame = h.Frame();
    frame.RunCommand(ID_VIEW_SHOW_TREE); // closes the Workspace pane
    ASSERT_TRUE(frame.WorkspacePane()->isHidden());
    EXPECT_TRUE(frame.close());
    const std::string profile = CEditorHarness::Read(h.app->Profile().FilePath());
    EXPECT_NE(profile.find("[NormalLayout]"), std::string::npos);
    EXPECT_NE(profile.find("[RUXCommandBars]"), std::string::npos);
    EXPECT_NE(profile.find("Window Position2="), std::string::npos);
    h.app.reset();

    // The next start restores the closed pane; a damaged layout gives the default places.
    ASSERT_TRUE(h.Start({}));
    EXPECT_TRUE(h.Frame().WorkspacePane()->isHidden());
    h.Frame().close();
    h.app.reset();
    std::string damaged = CEditorHarness::Read(h.app ? "" : CProfileStore::UserProfile().FilePath());
    for (const char* key : {"Data0=", "Data1="}) {
        const size_t at = damaged.find(key);
        if (at != std::string::npos) damaged.replace(at + 6, 12, "!!!!garbage!");
    }
    CEditorHarness::Write(CProfileStore::UserProfile().FilePath(), damaged);
    ASSERT_TRUE(h.Start({}));
    EXPECT_FALSE(h.Frame().WorkspacePane()->isHidden());
    EXPECT_EQ(h.Frame().dockWidgetArea(h.Frame().WorkspacePane()), Qt::LeftDockWidgetArea);
}

} // namespace
} // namespace rux
