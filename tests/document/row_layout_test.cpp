#include "document/row_layout.h"

#include "document/diagram_item.h"
#include "document/item_list.h"
#include "document/line_item.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "document/view_metrics.h"
#include "editor/clipboard.h"
#include "editor/edit_session.h"
#include "editor/section_commands.h"
#include "support/edit_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace rux {
namespace {

using test::ProgramBytes;
using test::RowTops;
using test::RunScript;

// One more window on a document: its own metrics and session.
struct CWindow {
    CFixedPitchMetrics metrics;
    CMemoryClipboard clipboard;
    bool overwrite = false;
    std::unique_ptr<CEditSession> session;

    CWindow(CRUXDocument& document, int lineHeight, int tabSize, int width, int height)
        : metrics(width, height, tabSize) {
        metrics.SetLineHeight(lineHeight);
        session = std::make_unique<CEditSession>(document, metrics, clipboard, overwrite);
    }
    const CRowLayout& Layout() const { return session->Layout(); }
};

// Everything a view asks of its layout, for comparing one layout with another.
std::vector<int> Figures(const CRowLayout& layout) {
    std::vector<int> figures = RowTops(layout);
    for (int i = 0; i < layout.RowCount(); ++i)
        figures.push_back(layout.HeightOf(i));
    figures.push_back(layout.TotalHeight());
    figures.push_back(layout.WidestRow());
    return figures;
}

// header, line, [section: line, diagram, line], line  -> rows 0..7
const std::vector<std::string> kRows = {"P", "top", "{Initial", "a = 1", "@FBD:D", "b\t= 2", "}", "after"};

TEST(RowLayout, StacksRowsAndHidesFoldedMembers) {
    auto run = RunScript(ProgramBytes(kRows), {});
    CRUXDocument& document = run.script->Document();
    const CRowLayout& layout = run.script->Session().Layout();
    // Header 6 lines, lines 16, open diagram 120; one empty line below the program.
    EXPECT_EQ(RowTops(layout), (std::vector<int>{0, 96, 112, 128, 144, 264, 280, 296}));
    EXPECT_EQ(layout.TotalHeight(), 296 + 16 + 16);
    EXPECT_EQ(layout.WidestRow(), 600);
    struct {
        int y, row;
    } hits[] = {{-1, -1}, {0, 0}, {95, 0}, {96, 1}, {263, 4}, {311, 7}, {312, -1}};
    for (const auto& h : hits)
        EXPECT_EQ(layout.RowAt(h.y), h.row) << "y " << h.y;

    run.script->Session().SetCaret({1, 2});
    ASSERT_TRUE(ToggleFold(run.script->Session()));
    // Folded rows stand at their header's top and take no height.
    EXPECT_EQ(RowTops(layout), (std::vector<int>{0, 96, 112, 112, 112, 112, 112, 128}));
    EXPECT_EQ(layout.HeightOf(4), 0);
    EXPECT_EQ(layout.RowAt(112), 2);
    EXPECT_EQ(layout.RowAt(128), 7);
    EXPECT_EQ(layout.TotalHeight(), 128 + 16 + 16);
    ASSERT_TRUE(ToggleFold(run.script->Session()));
    EXPECT_EQ(RowTops(layout), (std::vector<int>{0, 96, 112, 128, 144, 264, 280, 296}));
    EXPECT_TRUE(document.IsModified()) << "the file keeps the fold";
}

// Two windows of different fonts and sizes, one scrolled, on one program: each keeps the rows of
// its own metrics through the other's fold and edits.
TEST(RowLayout, EachViewHasItsOwnRows) {
    auto run = RunScript(ProgramBytes(kRows), {});
    CRUXDocument& document = run.script->Document();
    CWindow small(document, 16, 2, 640, 480);
    CWindow large(document, 20, 4, 200, 64);
    large.metrics.SetScroll(0, 200);
    EXPECT_EQ(RowTops(small.Layout()), (std::vector<int>{0, 96, 112, 128, 144, 264, 280, 296}));
    EXPECT_EQ(RowTops(large.Layout()), (std::vector<int>{0, 120, 140, 160, 180, 300, 320, 340}));

    small.session->SetCaret({1, 2});
    ASSERT_TRUE(ToggleFold(*small.session));
    EXPECT_EQ(RowTops(small.Layout()), (std::vector<int>{0, 96, 112, 112, 112, 112, 112, 128}));
    EXPECT_EQ(RowTops(large.Layout()), (std::vector<int>{0, 120, 140, 140, 140, 140, 140, 160}));

    // A split in the large window, below the small window's client area: both see the new row.
    large.session->SetCaret({3, 7});
    large.session->SplitLine();
    EXPECT_EQ(RowTops(small.Layout()), (std::vector<int>{0, 96, 112, 112, 112, 112, 112, 128, 144}));
    EXPECT_EQ(RowTops(large.Layout()), (std::vector<int>{0, 120, 140, 140, 140, 140, 140, 160, 180}));
    EXPECT_EQ(large.session->CaretY(), 180);
    EXPECT_EQ(small.session->CaretY(), 112) << "the small window's caret stays on the folded header";

    // Widths follow each window's tab stops: 4 and 2 characters.
    document.SetItemText(8, std::string("\t\t") + std::string(80, 'w'));
    EXPECT_EQ(small.Layout().WidestRow(), 32 + 640 + 40);
    EXPECT_EQ(large.Layout().WidestRow(), 64 + 640 + 40);
}

// The widest row follows the rows there are: it falls back when the widest one goes, shrinks or is
// folded away, and rises again when it comes back.
TEST(RowLayout, WidestRowFallsBackWhenTheWidestRowGoes) {
    struct {
        const char* name;
        std::function<void(CEditSession&, CRUXDocument&)> change;
        int widest;
    } cases[] = {
        {"as laid out", [](CEditSession&, CRUXDocument&) {}, 100 * 8 + 40},
        {"widest line deleted", [](CEditSession&, CRUXDocument& d) { d.RemoveItems(1, 1); }, 50 * 8 + 40},
        {"widest line shortened", [](CEditSession&, CRUXDocument& d) { d.SetItemText(1, "x"); }, 50 * 8 + 40},
        {"widest line typed shorter",
         [](CEditSession& s, CRUXDocument&) {
             s.SetCaret({101, 1});
             s.Backspace();
         },
         99 * 8 + 40},
        {"widest line deleted and undone",
         [](CEditSession& s, CRUXDocument&) {
             s.Select({1, 1}, {101, 1});
             s.DeleteKey();
             s.Undo();
         },
         100 * 8 + 40},
        {"widest line folded away",
         [](CEditSession& s, CRUXDocument&) {
             s.SetCaret({1, 0});
             ToggleFold(s);
         },
         50 * 8 + 40},
        {"folded and unfolded",
         [](CEditSession& s, CRUXDocument&) {
             s.SetCaret({1, 0});
             ToggleFold(s);
             ToggleFold(s);
         },
         100 * 8 + 40},
        {"its folded header deleted: the line shows again",
         [](CEditSession& s, CRUXDocument& d) {
             s.SetCaret({1, 0});
             ToggleFold(s);
             d.RemoveItems(0, 1);
         },
         100 * 8 + 40},
        {"every row deleted", [](CEditSession&, CRUXDocument& d) { d.RemoveItems(0, d.Items().GetSize()); }, 0},
        {"a wider row inserted",
         [](CEditSession&, CRUXDocument& d) {
             std::vector<std::unique_ptr<CItem>> one;
             one.push_back(std::make_unique<CLine>(std::string(120, 'w')));
             d.InsertItems(0, std::move(one));
         },
         120 * 8 + 40},
    };
    for (const auto& c : cases) {
        auto run = RunScript(ProgramBytes({"{S", std::string(100, 'x'), "}", std::string(50, 'y')}), {});
        c.change(run.script->Session(), run.script->Document());
        EXPECT_EQ(run.script->Session().Layout().WidestRow(), c.widest) << c.name;
    }
}

// Random edits, folds, undos and redos in two windows and from outside any window: after each,
// both windows' layouts, kept up from the edit records, equal a layout measured from scratch.
int Pick(std::mt19937& rng, int n) { return n <= 0 ? 0 : static_cast<int>(rng() % static_cast<unsigned>(n)); }

// The header, then sections (every third folded) of lines and diagrams, each followed by a line.
std::vector<std::string> RandomRows(std::mt19937& rng, bool header) {
    std::vector<std::string> rows;
    if (header) rows.push_back("P");
    for (int s = 0; s < 12; ++s) {
        rows.push_back((s % 3 == 0 ? "{-S" : "{S") + std::to_string(s) + std::string(Pick(rng, 90), 'n'));
        for (int n = Pick(rng, 5); n > 0; --n)
            rows.push_back(Pick(rng, 4) == 0
                               ? "@FBD:D" + std::to_string(rows.size())
                               : std::string(Pick(rng, 3), '\t') + std::string(1 + Pick(rng, 90), 'm'));
        rows.push_back("}");
        rows.push_back(std::string(Pick(rng, 60), 'b') + "\tx");
    }
    return rows;
}

// A program measured whole gives every visible row its item's own height and width, hidden rows
// none; without the header (600 wide) any row may be the widest.
TEST(RowLayout, AWholeProgramIsMeasuredAsEachItemMeasuresItself) {
    std::mt19937 rng(77);
    for (int round = 0; round < 40; ++round) {
        auto run = RunScript(ProgramBytes(RandomRows(rng, round % 4 == 0)), {});
        const CObArrayEx& items = run.script->Document().Items();
        CFixedPitchMetrics metrics(640, 200, 1 + round % 5);
        metrics.SetLineHeight(16 + round % 7);
        const CRowLayout layout(items, metrics);
        int widest = 0;
        for (int i = 0; i < items.GetSize(); ++i) {
            const bool shown = items.IsVisible(i);
            ASSERT_EQ(layout.HeightOf(i), shown ? items.GetAt(i)->GetHeight(metrics) : 0)
                << "round " << round << " row " << i;
            if (shown) widest = std::max(widest, items.GetAt(i)->GetWidth(metrics));
        }
        ASSERT_EQ(layout.WidestRow(), widest) << "round " << round;
    }
}

TEST(RowLayout, RecordsGiveTheRowsOfAFullLayout) {
    std::mt19937 rng(20261208);
    auto pick = [&](int n) { return Pick(rng, n); };
    auto run = RunScript(ProgramBytes(RandomRows(rng, true)), {});
    CRUXDocument& document = run.script->Document();
    CWindow one(document, 16, 2, 640, 120);
    CWindow two(document, 23, 4, 300, 60);
    const char* texts[] = {"q", "\r\n", "ab\r\ncd\r\n", "\tlong enough to be the widest row of them all"};
    for (int step = 0; step < 400; ++step) {
        CEditSession& s = pick(2) == 0 ? *one.session : *two.session;
        const int size = document.Items().GetSize();
        const int at = pick(size);
        switch (pick(7)) {
        case 0:
            s.SetCaret({1 + pick(10), at});
            s.InsertText(texts[pick(4)]);
            break;
        case 1:
            s.Select({1, at}, {1 + pick(5), std::min(size - 1, at + pick(6))});
            s.DeleteKey();
            break;
        case 2:
            s.SetCaret({1, at});
            ToggleFold(s);
            break;
        case 3:
            s.Undo();
            break;
        case 4:
            s.Redo();
            break;
        case 5: { // an edit of no view: a line below made the widest, then a row above goes or comes
            if (size < 3) break;
            const int below = 1 + pick(size - 1), above = 1 + pick(below);
            document.BeginTransaction();
            if (document.Items().GetAt(below)->GetType() == kItemLine)
                document.SetItemText(below, std::string(100 + pick(100), 'r'));
            if (pick(2) == 0) {
                document.RemoveItems(above, 1);
            } else {
                std::vector<std::unique_ptr<CItem>> one;
                one.push_back(std::make_unique<CLine>("new"));
                document.InsertItems(above, std::move(one));
            }
            document.EndTransaction();
            break;
        }
        default:
            s.SetCaret({1, at});
            s.KeyDown(EKey::Backspace, false, false);
            break;
        }
        for (const CWindow* w : {&one, &two}) {
            const CRowLayout fresh(document.Items(), w->metrics);
            ASSERT_EQ(Figures(w->Layout()), Figures(fresh)) << "step " << step;
        }
    }
}

TEST(FixedPitchMetrics, TabsAdvanceToTheNextStop) {
    CFixedPitchMetrics m(640, 480, 4);
    struct Case {
        const char* text;
        int width;
    } cases[] = {
        {"", 0}, {"a", 8}, {"\t", 32}, {"a\t", 32}, {"abcd\t", 64}, {"\t\t", 64}, {"abc\tx", 40},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m.TextWidth(c.text), c.width) << '"' << c.text << '"';
    // A text row is as wide as its text and the margins on both sides.
    EXPECT_EQ(CLine("\t\tab").GetWidth(m), 64 + 16 + 40);
}

} // namespace
} // namespace rux
