// The porting tool as the frame drives it, and the list model of its window.
#include "porting/porting_tool.h"

#include "document/item.h"
#include "document/program_file.h"
#include "document/string_table.h"
#include "editor/edit_script.h"
#include "editor/edit_session.h"
#include "porting/porting_issue.h"
#include "porting/porting_rows.h"
#include "porting/porting_test_support.h"
#include "porting/porting_window_model.h"
#include "support/edit_harness.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>

namespace rux {
namespace {

using Lines = std::vector<std::string>;

// Items: 0 header, 1 "Clock" header, 2 and 3 the lines, 4 the footer.
const Lines kProgram = {"{Clock", "a = #3.02 + #5.07 + #2.04", "b = #5.07", "}"};

// The frame as the tool sees it, over one program opened as the editor opens it.
struct CHost final : CPortingToolHost {
    test::CTempDir dir;
    CEditScript script;
    std::string path;
    bool open = true;
    bool active = true;
    int reopened = 0;
    Lines messages, questions;
    std::deque<bool> answers; // the default answer is Yes / OK
    int chooseCalls = 0;
    bool choose2 = true, choose3 = true, chooseOk = true;
    std::string helpFile;
    std::pair<bool, bool> panes{false, false};
    int rowsChanged = 0;
    CTextPos wentTo{-1, -1};
    bool detailsViewer = true;

    explicit CHost(const Lines& rows, bool readOnly = false) {
        dir.Write("catalogue/Bittern2.xml", test::kSmallBitternCatalogue);
        dir.Write("help/PortingTool/PortingToolOverview.htm", "<p>overview</p>");
        dir.Write("help/PortingTool/NoHelp.htm", "<p>none</p>");
        dir.Write("help/PortingTool/Menu05.htm", "<p>menu 5</p>");
        path = dir.Write("p.rux", test::ProgramFileBytes(rows));
        EXPECT_TRUE(script.Open(path, {}, readOnly, {}));
    }
    std::string Help(const std::string& page) const { return dir.Path() + "/help/PortingTool/" + page; }
    std::string Text(int item) { return script.Document().Items().GetAt(item)->GetText(); }
    std::string Bytes() { return test::SavedBytes(script.Document()); }

    CRUXDocument* ActiveProgram() override { return open && active ? &script.Document() : nullptr; }
    CRUXDocument* FindProgram(const std::string& p) override {
        return open && p == path ? &script.Document() : nullptr;
    }
    CRUXDocument* OpenProgram(const std::string& p) override {
        if (p != path) return nullptr;
        ++reopened;
        open = true;
        return &script.Document();
    }
    CEditSession* Session(CRUXDocument&) override { return &script.Session(); }
    void InView(CRUXDocument&, const std::function<void(CEditSession&)>& change) override {
        change(script.Session());
    }
    void GoToItem(CRUXDocument&, int item, int column) override {
        wentTo = {column, item};
        script.Session().SetCaret({column, item});
    }
    void ActivateView(CRUXDocument&) override {}
    bool OpenDiagramCell(CRUXDocument&, int, int, int) override { return false; }
    void ShowMessage(int, const std::string& text) override { messages.push_back(text); }
    bool Ask(const std::string& text, bool) override {
        questions.push_back(text);
        if (answers.empty()) return true;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    bool ChooseIcons(bool& icon2, bool& icon3) override {
        ++chooseCalls;
        icon2 = choose2;
        icon3 = choose3;
        return chooseOk;
    }
    bool CreateDetailsPane() override { return detailsViewer; }
    void ShowHelpPage(const std::string& file) override { helpFile = file; }
    void ShowPanes(bool list, bool details) override { panes = {list, details}; }
    void RowsChanged(bool) override { ++rowsChanged; }
};

struct CTool {
    CHost host;
    CPortingTool tool;
    explicit CTool(const Lines& rows = kProgram, bool readOnly = false)
        : host(rows, readOnly), tool(host, host.dir.Path() + "/catalogue", host.dir.Path() + "/help") {}
    // The row that shows the issue at (line, column).
    int RowAt(int line, int column) const {
        for (int r = 0; r < tool.Model().RowCount(); ++r)
            if (tool.Model().Row(r)->GetLine() == line && tool.Model().Row(r)->GetColumn() == column)
                return r;
        return -1;
    }
    bool Enabled(int command) {
        bool enabled = false;
        EXPECT_TRUE(tool.Update(command, enabled));
        return enabled;
    }
};

TEST(PortingTool, RunListsTheIssuesAndAClickGoesToEach) {
    CTool t;
    t.tool.Execute(kCmdPortShowIssues);
    EXPECT_TRUE(t.host.messages.empty());
    EXPECT_EQ(t.host.panes, std::make_pair(true, true));
    EXPECT_EQ(t.host.helpFile, t.host.Help("PortingToolOverview.htm"));
    ASSERT_EQ(t.tool.Model().RowCount(), 5);

    // "a = #3.02 + #5.07 + #2.04": the "#" of each reference, five bytes selected.
    struct CCase {
        int line, column;
        int selectionEnd; // 0: nothing selected (a task is found in its header)
        int mark;
        const char* page;
    } const cases[] = {
        {2, 13, 18, 6, "Menu05.htm"}, // icon 3: the convertible marker; its page exists
        {2, 21, 26, 7, "NoHelp.htm"}, // icon 2, whose page was not installed
        {2, 5, 10, 8, "NoHelp.htm"},  // icon 1
        {3, 5, 10, 6, "Menu05.htm"},  {1, 1, 0, 10, "NoHelp.htm"}, // the task: "see help"
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.line * 100 + c.column);
        const int row = t.RowAt(c.line, c.column);
        ASSERT_GE(row, 0);
        t.tool.SelectRow(row);
        CEditSession& s = t.host.script.Session();
        EXPECT_EQ(t.host.wentTo, (CTextPos{c.column, c.line}));
        if (c.selectionEnd) {
            EXPECT_EQ(s.SelectionStart(), (CTextPos{c.column, c.line}));
            EXPECT_EQ(s.SelectionStop(), (CTextPos{c.selectionEnd, c.line}));
        }
        EXPECT_EQ(t.host.helpFile, t.host.Help(c.page));
        // Exactly one row carries the marker, of the issue's kind.
        for (int i = 0; i < t.host.script.Document().Items().GetSize(); ++i) {
            const CItem* item = t.host.script.Document().Items().GetAt(i);
            EXPECT_EQ(item->HasStateMark(), i == c.line) << i;
        }
        EXPECT_EQ(t.host.script.Document().Items().GetAt(c.line)->GetStateMarkKind(), c.mark);
    }
}

TEST(PortingTool, FixOfTheSelectionAddsAndRemovesThePrefixEachUndoneInOneStep) {
    CTool t;
    t.tool.Execute(kCmdPortShowIssues);
    const std::string before = t.host.Bytes();
    t.tool.SelectRow(t.RowAt(2, 13));
    EXPECT_TRUE(t.Enabled(kCmdPortAddPrefix));
    EXPECT_FALSE(t.Enabled(kCmdPortRemovePrefix));

    t.tool.FixSelected(true);
    ASSERT_EQ(t.host.questions.size(), 1u);
    EXPECT_EQ(t.host.Text(2), "a = #3.02 + B2#5.07 + #2.04");
    // The issue after it on the line moved with its "#"; the row shows the converted icon.
    EXPECT_GE(t.RowAt(2, 23), 0);
    EXPECT_EQ(t.tool.Model().Icon(t.tool.Model().Selected()), kPortIconConverted);
    EXPECT_EQ(t.host.script.Document().Items().GetAt(2)->GetStateMarkKind(), 9);
    EXPECT_TRUE(t.Enabled(kCmdPortRemovePrefix));
    const std::string converted = t.host.Bytes();

    // The command asks nothing; it takes the two characters before the "#" away, and the next
    // issue moves back.
    t.tool.Execute(kCmdPortRemovePrefix);
    EXPECT_EQ(t.host.questions.size(), 1u);
    EXPECT_EQ(t.host.Text(2), "a = #3.02 + #5.07 + #2.04");
    EXPECT_GE(t.RowAt(2, 21), 0);
    EXPECT_TRUE(t.Enabled(kCmdPortAddPrefix));

    t.host.script.Session().Undo();
    EXPECT_EQ(t.host.Bytes(), converted);
    t.host.script.Session().Undo();
    EXPECT_EQ(t.host.Bytes(), before);
}

TEST(PortingTool, AFixThatNoLongerMatchesOffersTheRefresh) {
    CTool t;
    t.tool.Execute(kCmdPortShowIssues);
    t.tool.SelectRow(t.RowAt(2, 13));
    CEditSession& s = t.host.script.Session();
    ASSERT_TRUE(s.BeginEdit());
    s.ChangeText(2, "a = #3.02 + #5.08 + #2.04");
    s.EndEdit();
    t.host.answers = {true};
    t.tool.Execute(kCmdPortAddPrefix);
    ASSERT_EQ(t.host.questions, Lines{LoadString(IDS_PORT_FIX_NOT_FOUND)});
    EXPECT_EQ(t.host.Text(2), "a = #3.02 + #5.08 + #2.04");
    // OK scanned again: the changed reference is gone from the list.
    EXPECT_EQ(t.tool.Model().RowCount(), 4);
    EXPECT_LT(t.RowAt(2, 13), 0);
}

// When the dialog is shown and what each choice fixes is the list's; the tool passes the ticked boxes
// on and the whole fix is one undo step.
TEST(PortingTool, FixAllPassesTheChosenIconsOnAndUndoesAsOne) {
    CTool t;
    t.host.choose2 = false;
    t.tool.Execute(kCmdPortShowIssues);
    const std::string before = t.host.Bytes();
    t.tool.Execute(kCmdPortAddAll);
    EXPECT_EQ(t.host.chooseCalls, 1);
    EXPECT_EQ((Lines{t.host.Text(2), t.host.Text(3)}), (Lines{"a = #3.02 + B2#5.07 + #2.04", "b = B2#5.07"}));
    EXPECT_TRUE(t.host.questions.empty());
    t.host.script.Session().Undo();
    EXPECT_EQ(t.host.Bytes(), before);
}

// Which lines may be ignored and how is the list's; the tool asks, marks every row and undoes.
TEST(PortingTool, IgnoreMarksTheLineOnceForAllItsIssues) {
    CTool t;
    t.tool.Execute(kCmdPortShowIssues);
    t.tool.SelectRow(t.RowAt(2, 13));
    ASSERT_TRUE(t.Enabled(kCmdPortIgnore));
    const std::string before = t.host.Bytes();
    t.tool.Execute(kCmdPortIgnore);
    EXPECT_EQ(t.host.questions,
              Lines{"Ignoring this issue will ignore all 3 issues on line 2. Do you wish to proceed?"});
    EXPECT_EQ(t.host.Text(2), "a = #3.02 + #5.07 + #2.04\t// {PTOOL:Ignore}");
    for (int r = 0; r < t.tool.Model().RowCount(); ++r)
        EXPECT_EQ(t.tool.Model().Icon(r) == kPortIconIgnored, t.tool.Model().Row(r)->GetLine() == 2) << r;
    EXPECT_FALSE(t.Enabled(kCmdPortIgnore));
    t.host.script.Session().Undo();
    EXPECT_EQ(t.host.Bytes(), before);
}

TEST(PortingTool, ScansWithoutAListLeaveThePanesClosed) {
    struct CCase {
        Lines program;
        std::string message;
        int rows;
    } const cases[] = {
        {{"{Main", "a = 1", "}"}, LoadString(IDS_PORT_NO_ISSUES), 0},
        {{"a = #5.07"}, LoadString(IDS_PORT_TOO_MANY_SECTIONS), 0}, // no section at all
    };
    for (const CCase& c : cases) {
        CTool t(c.program);
        t.tool.Execute(kCmdPortShowIssues);
        EXPECT_EQ(t.host.messages, Lines{c.message});
        EXPECT_EQ(t.host.panes, std::make_pair(false, false));
        EXPECT_EQ(t.tool.Model().RowCount(), c.rows);
    }
}

TEST(PortingTool, ARefusedProgramKeepsTheListOfTheLastScan) {
    CTool t;
    t.tool.Execute(kCmdPortShowIssues);
    Lines rows(401 * 2);
    for (int i = 0; i < 401; ++i) {
        rows[static_cast<size_t>(2 * i)] = "{S" + std::to_string(i);
        rows[static_cast<size_t>(2 * i + 1)] = "}";
    }
    CHost other(rows);
    t.tool.Run(other.script.Document());
    EXPECT_EQ(t.host.messages, Lines{LoadString(IDS_PORT_TOO_MANY_SECTIONS)});
    EXPECT_EQ(t.tool.Model().RowCount(), 5);
    EXPECT_EQ(t.tool.ScannedPath(), t.host.path);
}

TEST(PortingTool, MissingHelpPagesDisableOnlyTheDetailsPane) {
    CTool t;
    std::filesystem::remove_all(t.host.dir.Path() + "/help/PortingTool");
    t.tool.Execute(kCmdPortShowIssues);
    EXPECT_EQ(t.host.messages, Lines{LoadString(IDS_PORT_HELP_MISSING)});
    EXPECT_EQ(t.host.panes, std::make_pair(true, false));
    EXPECT_FALSE(t.tool.HasDetailsPane());
    t.tool.SelectRow(0);
    EXPECT_EQ(t.host.helpFile, "");
    EXPECT_EQ(t.host.wentTo, (CTextPos{1, 1}));
}

TEST(PortingTool, AClosedProgramIsReopenedOnDemandAndTheRefreshAsksFirst) {
    CTool t;
    t.tool.Execute(kCmdPortShowIssues);
    t.tool.ProgramClosing(t.host.script.Document());
    t.host.open = false;
    EXPECT_FALSE(t.Enabled(kCmdPortAddAll));
    EXPECT_TRUE(t.Enabled(kCmdPortRefresh));

    t.host.answers = {false};
    t.tool.Execute(kCmdPortRefresh);
    EXPECT_EQ(t.host.questions, Lines{LoadString(IDS_PORT_REOPEN)});
    EXPECT_EQ(t.host.reopened, 0);

    t.tool.Execute(kCmdPortRefresh);
    EXPECT_EQ(t.host.reopened, 1);
    EXPECT_EQ(t.tool.Model().RowCount(), 5);

    // Going to an issue reopens without a question.
    t.tool.ProgramClosing(t.host.script.Document());
    t.host.open = false;
    t.tool.SelectRow(t.RowAt(3, 5));
    EXPECT_EQ(t.host.reopened, 2);
    EXPECT_EQ(t.host.questions.size(), 2u);
    EXPECT_EQ(t.host.script.Session().SelectionStop(), (CTextPos{10, 3}));
}

TEST(PortingTool, PanesFollowTheActiveProgramAndTheUsersClose) {
    CTool t;
    t.tool.Execute(kCmdPortShowIssues);
    CHost other(kProgram);
    const auto activate = [&t](CRUXDocument* program) {
        return [&t, program] { t.tool.ActiveProgramChanged(program); };
    };
    const struct CStep {
        const char* name;
        std::function<void()> action;
        std::pair<bool, bool> panes;
    } steps[] = {
        {"other program active", activate(&other.script.Document()), {false, false}},
        {"scanned one active", activate(&t.host.script.Document()), {true, true}},
        {"none active", activate(nullptr), {false, false}},
        {"user closes details", [&t] { t.tool.DetailsPaneClosed(); }, {false, false}},
        {"scanned one active again", activate(&t.host.script.Document()), {true, false}},
    };
    for (const CStep& s : steps) {
        s.action();
        EXPECT_EQ(t.host.panes, s.panes) << s.name;
    }
    t.tool.ListPaneClosed();
    t.tool.ActiveProgramChanged(&other.script.Document());
    EXPECT_EQ(t.host.panes, std::make_pair(true, false)); // no longer managed
}

TEST(PortingTool, CommandsNeedAnEditableProgram) {
    CTool t(kProgram, true);
    t.tool.Execute(kCmdPortShowIssues);
    t.tool.SelectRow(t.RowAt(2, 13));
    for (int command : {kCmdPortAddPrefix, kCmdPortAddAll, kCmdPortIgnore})
        EXPECT_FALSE(t.Enabled(command)) << command;
    const std::string before = t.host.Bytes();
    t.tool.FixSelected(true);
    EXPECT_EQ(t.host.Bytes(), before);
    EXPECT_TRUE(t.host.questions.empty());
    EXPECT_TRUE(t.Enabled(kCmdPortRefresh));
}

TEST(PortingHelp, PagesResolveInsideTheCatalogueFolder) {
    test::CTempDir dir;
    dir.Write("PortingAlbatrossQ/PortingToolOverview.htm", "x");
    dir.Write("PortingAlbatrossQ/FB_ENCINIT.htm", "x");
    EXPECT_TRUE(PortingHelpAvailable(dir.Path(), EPortingCatalogue::AlbatrossQ));
    EXPECT_FALSE(PortingHelpAvailable(dir.Path(), EPortingCatalogue::Bittern));
    const std::string folder = dir.Path() + "/PortingAlbatrossQ/";
    struct CCase {
        const char* page;
        const char* file;
    } const cases[] = {
        {"FB_ENCINIT.htm", "FB_ENCINIT.htm"},
        {"", "NoHelp.htm"},
        {"Missing.htm", "NoHelp.htm"},
        {"../PortingAlbatrossQ/FB_ENCINIT.htm", "NoHelp.htm"},
        {"PortingToolOverview.htm", "PortingToolOverview.htm"},
    };
    for (const CCase& c : cases)
        EXPECT_EQ(PortingHelpFile(dir.Path(), EPortingCatalogue::AlbatrossQ, c.page), folder + c.file)
            << c.page;
}

struct CWindow {
    std::unique_ptr<test::CScanned> scan;
    CPortingListModel model;
    explicit CWindow(const Lines& rows) { Rescan(rows); }
    void Rescan(const Lines& rows) {
        auto next = std::make_unique<test::CScanned>(rows);
        EXPECT_TRUE(next->ok);
        model.Fill(next->list);
        scan = std::move(next);
    }
    Lines Names() const {
        Lines out;
        for (int i = 0; i < model.RowCount(); ++i)
            out.push_back(model.Row(i)->GetName() + "@" + std::to_string(model.Icon(i)));
        return out;
    }
};

// The list model's program: one line with an issue of each icon and one already converted.
const Lines kListProgram = {"{Clock", "a = #3.02 + #5.07 + B2#5.07 + #2.04", "}"};

TEST(PortingWindowModel, FillsInPlaceOrderAndHeaderClicksSort) {
    CWindow w(kListProgram);
    // Default: by line and then column; the converted one shows icon 4.
    const Lines byPlace = {"Clock@5", "Speed feedback@1", "Motor rated current@3", "Motor rated current@4",
                           "Ramp mode select@2"};
    EXPECT_EQ(w.Names(), byPlace);
    EXPECT_EQ(w.model.Text(0, kPortColumnLine), "Line 1");
    EXPECT_EQ(w.model.Text(1, kPortColumnLine), "Line 2");
    EXPECT_EQ(w.model.Text(1, kPortColumnTask), "Clock");
    EXPECT_EQ(w.model.Text(0, kPortColumnIcon), "");
    EXPECT_EQ(w.model.Text(9, kPortColumnLine), "");
    EXPECT_EQ(w.model.Icon(9), -1);

    w.model.Select(2); // the unconverted "Motor rated current"
    CPortingIssue* selected = w.model.SelectedIssue();
    struct CCase {
        int click;
        int sortColumn;
        bool descending;
    } const clicks[] = {
        {kPortColumnLine, kPortColumnLine, true}, // same column again: reversed
        {kPortColumnLine, kPortColumnLine, false},
        {kPortColumnIcon, kPortColumnIcon, false}, // another column: ascending by it
        {kPortColumnIcon, kPortColumnIcon, true},
        {kPortColumnTask, kPortColumnTask, false},
        {7, kPortColumnTask, false}, // no such column: nothing changes
    };
    for (const auto& c : clicks) {
        w.model.ClickHeader(c.click);
        EXPECT_EQ(w.model.SortColumn(), c.sortColumn) << c.click;
        EXPECT_EQ(w.model.Descending(), c.descending) << c.click;
        EXPECT_EQ(w.model.SelectedIssue(), selected) << "selection must follow its issue";
    }
    w.model.ClickHeader(kPortColumnLine);
    w.model.ClickHeader(kPortColumnLine);
    EXPECT_EQ(w.model.Descending(), true);
    Lines reversed(byPlace.rbegin(), byPlace.rend());
    EXPECT_EQ(w.Names(), reversed);
}

TEST(PortingWindowModel, RefillKeepsPositionOrDropsSelection) {
    CWindow w(kListProgram);
    w.model.Select(3);
    w.Rescan(kListProgram);
    EXPECT_EQ(w.model.Selected(), 3);
    w.Rescan({"{Clock", "a = #3.02", "}"});
    EXPECT_EQ(w.model.RowCount(), 2);
    EXPECT_EQ(w.model.Selected(), -1);
    w.model.Select(5);
    EXPECT_EQ(w.model.Selected(), -1);
}

TEST(PortingWindowModel, HelpToolTipsAndEnabledCommands) {
    CWindow w(kListProgram);
    EXPECT_EQ(w.model.HelpPage(), "PortingToolOverview.htm");
    EXPECT_FALSE(w.model.Enabled(kCmdPortIgnore));
    EXPECT_TRUE(w.model.Enabled(kCmdPortRefresh));
    EXPECT_TRUE(w.model.Enabled(kCmdPortAddAll));
    struct CCase {
        int row;
        const char* help;
        const char* tip;
        bool add, remove, ignore;
    } const cases[] = {
        {0, "Task_Clock.htm", "See help for this issue", false, false, false},
        {1, "Menu03.htm", nullptr, false, false, true},
        {2, "Menu05.htm", nullptr, true, false, true},
        {3, "Menu05.htm", "Has been converted using B2 prefix", false, true, false},
        {4, "Menu02.htm", nullptr, true, false, true},
    };
    for (const auto& c : cases) {
        w.model.Select(c.row);
        EXPECT_EQ(w.model.HelpPage(), c.help) << c.row;
        if (c.tip) {
            EXPECT_EQ(w.model.ToolTip(c.row), c.tip) << c.row;
        }
        EXPECT_EQ(w.model.Enabled(kCmdPortAddPrefix), c.add) << c.row;
        EXPECT_EQ(w.model.Enabled(kCmdPortRemovePrefix), c.remove) << c.row;
        EXPECT_EQ(w.model.Enabled(kCmdPortIgnore), c.ignore) << c.row;
    }
}

TEST(PortingRows, SortingByEachColumn) {
    test::CScanned r({"{Clock", "a = #3.02 + #5.07", "}", "{Background",
                            "@F:D:@VAR:1,P=(2,3) X=#2.04,\r\n", "_SlotRead()", "}"});
    const auto sorted = [&r](int column, bool descending) {
        std::vector<CPortingIssue*> rows;
        for (int i = 0; i < r.list.GetSize(); ++i)
            rows.push_back(&r.list.GetAt(i));
        SortPortingRows(rows, column, descending);
        Lines out;
        for (CPortingIssue* row : rows)
            out.push_back(PortingLineText(*row) + ":" + std::to_string(row->GetColumn()) + " " + row->GetName());
        return out;
    };
    struct CCase {
        int column;
        bool descending;
        Lines expected;
    } const cases[] = {
        {kPortColumnLine,
         false,
         {"Line 1:1 Clock", "Line 2:5 Speed feedback", "Line 2:13 Motor rated current",
          "Line 5 [2,3]:18 Ramp mode select", "Line 6:1 _SlotRead"}},
        {kPortColumnLine,
         true,
         {"Line 6:1 _SlotRead", "Line 5 [2,3]:18 Ramp mode select", "Line 2:13 Motor rated current",
          "Line 2:5 Speed feedback", "Line 1:1 Clock"}},
        // Higher icons first, then by place.
        {kPortColumnIcon,
         false,
         {"Line 1:1 Clock", "Line 2:13 Motor rated current", "Line 5 [2,3]:18 Ramp mode select",
          "Line 2:5 Speed feedback", "Line 6:1 _SlotRead"}},
        // By location: "Background" and "Background - D" before "Clock".
        {kPortColumnTask,
         false,
         {"Line 6:1 _SlotRead", "Line 5 [2,3]:18 Ramp mode select", "Line 1:1 Clock",
          "Line 2:5 Speed feedback", "Line 2:13 Motor rated current"}},
        // By description, byte for byte: "#02..." < "#03..." < "#05..." < "The..." < "_SlotRead...".
        {kPortColumnInfo,
         false,
         {"Line 5 [2,3]:18 Ramp mode select", "Line 2:5 Speed feedback", "Line 2:13 Motor rated current",
          "Line 1:1 Clock", "Line 6:1 _SlotRead"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sorted(c.column, c.descending), c.expected)
            << c.column << (c.descending ? " descending" : "");
}

TEST(PortingRows, MarkersAndRefreshQuestion) {
    test::CScanned r(kListProgram);
    const auto order = r.list.InPositionOrder();
    ASSERT_EQ(order.size(), 5u);
    const int markers[] = {10, 8, 6, 9, 7}; // task (icon 5), icon 1, icon 3, converted, icon 2
    for (std::size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(PortingMarkerKind(*order[i]), markers[i]) << i;
    EXPECT_EQ(PortingColumnText(*order[0], kPortColumnIcon), "");
    EXPECT_EQ(PortingColumnText(*order[0], kPortColumnTask), "Clock");
    for (const char* type : {"HARRIER", "PEREGRINE", "HOBBY"})
        EXPECT_FALSE(AsksToRefreshAfterFailedFix(type)) << type;
    for (const char* type : {"OSPREY", "GOSHAWK", "KESTREL", ""})
        EXPECT_TRUE(AsksToRefreshAfterFailedFix(type)) << type;
}

} // namespace
} // namespace rux
