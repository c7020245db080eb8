#include "porting/porting_window_model.h"
#include "porting/porting_issue.h"
#include "porting/porting_scan.h"
#include "porting/porting_test_support.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

using Lines = std::vector<std::string>;

struct CWindow {
    test::CTempDir dir;
    CProgram program;
    CPortingIssueList list;
    CPortingListModel model;
    explicit CWindow(const Lines& rows) { Rescan(rows); }
    void Rescan(const Lines& rows) {
        dir.Write("Bittern2.xml", test::kSmallBitternCatalogue);
        test::BuildProgram(program, rows);
        test::CRecordedSink sink;
        EXPECT_TRUE(list.Scan(&program, EPortingCatalogue::Bittern, dir.Path(), sink));
        model.Fill(list);
    }
    Lines Names() const {
        Lines out;
        for (int i = 0; i < model.RowCount(); ++i)
            out.push_back(model.Row(i)->GetName() + "@" + std::to_string(model.Icon(i)));
        return out;
    }
};

const Lines kProgram = {"{Clock", "a = #3.02 + #5.07 + B2#5.07 + #2.04", "}"};

TEST(PortingWindowModel, FillsInPlaceOrderAndHeaderClicksSort) {
    CWindow w(kProgram);
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
    CWindow w(kProgram);
    w.model.Select(3);
    w.Rescan(kProgram);
    EXPECT_EQ(w.model.Selected(), 3);
    w.Rescan({"{Clock", "a = #3.02", "}"});
    EXPECT_EQ(w.model.RowCount(), 2);
    EXPECT_EQ(w.model.Selected(), -1);
    w.model.Select(5);
    EXPECT_EQ(w.model.Selected(), -1);
}

TEST(PortingWindowModel, HelpToolTipsAndEnabledCommands) {
    CWindow w(kProgram);
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

TEST(PortingWindowModel, ColumnsToolbarsAndMenus) {
    const auto& columns = PortingColumns();
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_STREQ(columns[0].title, "");
    EXPECT_EQ(columns[0].width, 30);
    EXPECT_STREQ(columns[3].title, "Issue Information");
    EXPECT_EQ(columns[2].width, 250);
    EXPECT_EQ(PortingToolbar(false), (std::vector<int>{kCmdPortRefresh, kCmdPortHelp}));
    EXPECT_EQ(PortingToolbar(true).size(), 6u);
    const auto full = PortingContextMenu(true);
    ASSERT_EQ(full.size(), 7u);
    EXPECT_STREQ(full[4].text, "Remove Prefix from &All");
    EXPECT_EQ(full[4].command, kCmdPortRemoveAll);
    const auto small = PortingContextMenu(false);
    ASSERT_EQ(small.size(), 3u);
    EXPECT_EQ(small[1].command, kCmdPortIgnore);
    EXPECT_EQ(PortingCommandText(32945), "Show porting issues for this RUX program");
    EXPECT_EQ(PortingCommandText(32953), "Add prefix to all parameters");
    EXPECT_EQ(PortingCommandText(1), "");
}

} // namespace
} // namespace rux
