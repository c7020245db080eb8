#include "porting/porting_rows.h"
#include "porting/porting_scan.h"
#include "porting/porting_test_support.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

using Lines = std::vector<std::string>;

struct CRows {
    test::CTempDir dir;
    CProgram program;
    CPortingIssueList list;
    explicit CRows(const Lines& rows) {
        dir.Write("Bittern2.xml", test::kSmallBitternCatalogue);
        test::BuildProgram(program, rows);
        test::CRecordedSink sink;
        EXPECT_TRUE(list.Scan(&program, EPortingCatalogue::Bittern, dir.Path(), sink));
    }
    Lines Sorted(int column, bool descending) const {
        std::vector<CPortingIssue*> rows;
        for (int i = 0; i < list.GetSize(); ++i)
            rows.push_back(&list.GetAt(i));
        SortPortingRows(rows, column, descending);
        Lines out;
        for (CPortingIssue* row : rows)
            out.push_back(PortingLineText(*row) + ":" + std::to_string(row->GetColumn()) + " " +
                          row->GetName());
        return out;
    }
};

TEST(PortingRows, SortingByEachColumn) {
    CRows r({"{Clock", "a = #3.02 + #5.07", "}", "{Background", "@F:D:@VAR:1,P=(2,3) X=#2.04,\r\n",
             "_SlotRead()", "}"});
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
        EXPECT_EQ(r.Sorted(c.column, c.descending), c.expected)
            << c.column << (c.descending ? " descending" : "");
}

TEST(PortingRows, MarkersAndRefreshQuestion) {
    CRows r({"{Clock", "a = #3.02 + #5.07 + B2#5.07 + #2.04", "}"});
    const auto order = r.list.InPositionOrder();
    ASSERT_EQ(order.size(), 5u);
    EXPECT_EQ(PortingMarkerKind(*order[0]), 10); // task, icon 5
    EXPECT_EQ(PortingMarkerKind(*order[1]), 8);  // icon 1
    EXPECT_EQ(PortingMarkerKind(*order[2]), 6);  // icon 3
    EXPECT_EQ(PortingMarkerKind(*order[3]), 9);  // converted
    EXPECT_EQ(PortingMarkerKind(*order[4]), 7);  // icon 2
    EXPECT_EQ(PortingColumnText(*order[0], kPortColumnIcon), "");
    EXPECT_EQ(PortingColumnText(*order[0], kPortColumnTask), "Clock");
    for (const char* type : {"HARRIER", "PEREGRINE", "HOBBY"})
        EXPECT_FALSE(AsksToRefreshAfterFailedFix(type)) << type;
    for (const char* type : {"OSPREY", "GOSHAWK", "KESTREL", ""})
        EXPECT_TRUE(AsksToRefreshAfterFailedFix(type)) << type;
}

} // namespace
} // namespace rux
