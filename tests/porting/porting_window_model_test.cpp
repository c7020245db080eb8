#include "porting/porting_issue.h"
#include "porting/porting_rows.h"
#include "porting/porting_test_support.h"
#include "porting/porting_window_model.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

using Lines = std::vector<std::string>;

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
    test::CScanned r(kProgram);
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
