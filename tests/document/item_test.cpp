#include "document/diagram_item.h"
#include "document/header_item.h"
#include "document/output_stream.h"
#include "document/section_items.h"
#include "document/text_range.h"
#include "document/view_metrics.h"
#include "support/fake_diagram_window.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

TEST(Item, BlankOrCommentLines) {
    struct {
        const char* text;
        bool expected;
    } cases[] = {
        {"", true},           {"   \t ", true},      {"  // note", true}, {"\t;comment", true},
        {"x = 1 // set", false}, {"/ half", false},  {"a", false},        {";", true},
        {"//", true},         {" / /", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CLine(c.text).IsBlankOrComment(), c.expected) << '"' << c.text << '"';
        EXPECT_EQ(CSectionFooter(c.text).IsBlankOrComment(), c.expected) << '"' << c.text << '"';
    }
    EXPECT_FALSE(CDiag().IsBlankOrComment());
}

TEST(Item, MarksFollowTheirKinds) {
    CLine line("x");
    EXPECT_EQ(line.SetMark(kMarkBookmark), 1);
    EXPECT_EQ(line.SetMark(kMarkBookmark), 0) << "a second bookmark does not count as a change";
    EXPECT_EQ(line.ClearMark(kMarkBookmark), 1);
    EXPECT_EQ(line.ClearMark(kMarkBookmark), 0);

    line.SetMark(kMarkError);
    EXPECT_TRUE(line.HasMark(kMarkBookmark)) << "kinds 0 and 1 answer for either mark";
    EXPECT_TRUE(line.HasMark(kMarkError));
    EXPECT_FALSE(line.HasBookmark());
    line.ClearMark(kMarkError);
    EXPECT_FALSE(line.HasMark(kMarkBookmark));

    EXPECT_EQ(line.SetMark(kMarkBreakpoint), 0);
    EXPECT_FALSE(line.HasMark(kMarkBreakpoint)) << "breakpoints are not set through SetMark";
    line.SetBreakpointA(true);
    EXPECT_TRUE(line.HasMark(kMarkBreakpoint));

    line.SetMark(7);
    EXPECT_TRUE(line.HasMark(3)) << "any state kind answers for the state mark";
    EXPECT_EQ(line.GetStateMarkKind(), 7);
    line.ToggleMark(9);
    EXPECT_FALSE(line.HasMark(9));
    EXPECT_EQ(line.GetStateMarkKind(), 9);
    EXPECT_FALSE(line.HasMark(4));
    EXPECT_FALSE(line.HasMark(11));

    EXPECT_EQ(line.SetBreakpointB(), 1);
    EXPECT_EQ(line.SetBreakpointB(), 0);
    EXPECT_EQ(line.ClearBreakpointB(), 1);
    EXPECT_EQ(line.ClearBreakpointB(), 0);
}

TEST(Item, WriteMarkRefWritesOnlyTheAskedKind) {
    CLine line("x");
    std::string out;
    CStringOstream s(out);
    line.SetMark(kMarkError);
    line.WriteMarkRef(s, 12, kMarkBookmark);
    EXPECT_EQ(out, "");
    line.WriteMarkRef(s, 12, kMarkError);
    EXPECT_EQ(out, "12\r\n");
}

TEST(SectionHeader, DerivedFieldsFromTheText) {
    struct {
        const char* text;
        const char* stored;
        const char* shortName;
        bool notes;
        bool fb;
        int kind;
    } cases[] = {
        {"  Initial  ", "Initial", "Initial", false, false, kSectionInitial},
        {"notes", "notes", "notes", true, false, kSectionOther},
        {"NoTeS", "NoTeS", "NoTeS", true, false, kSectionOther},
        {"Notes(a)", "Notes(a)", "Notes", false, true, kSectionFunctionBlock},
        {"Out1, Out2 = RampLimit(In1, In2)", "Out1, Out2 = RampLimit(In1, In2)", "RampLimit", false, true,
         kSectionFunctionBlock},
        {"a = b = c", "a = b = c", "b = c", false, false, kSectionOther},
        {"BACKGROUND", "BACKGROUND", "BACKGROUND", false, false, kSectionBackground},
        {"Event2", "Event2", "Event2", false, false, kSectionEvent12},
        {"event3", "event3", "event3", false, false, kSectionEvent3},
        {"Pos1", "Pos1", "Pos1", false, false, kSectionPos1},
        {"Clock", "Clock", "Clock", false, false, kSectionOther},
    };
    for (const auto& c : cases) {
        CSectionHeader h(c.text);
        EXPECT_EQ(h.GetText(), c.stored) << c.text;
        EXPECT_EQ(h.GetShortName(), c.shortName) << c.text;
        EXPECT_EQ(h.IsNotes(), c.notes) << c.text;
        EXPECT_EQ(h.IsFunctionBlock(), c.fb) << c.text;
        EXPECT_EQ(h.GetSectionKind(), c.kind) << c.text;
    }
}

TEST(Item, ClonesCopyFieldsButNotLinksOrMarks) {
    CSectionHeader header("Out = Blk(In)");
    header.SetId(7);
    header.SetExpanded(false);
    header.SetHelpLink("help.htm");
    header.SetFbDescription("a\r\nb");
    header.SetLibVisible(0);
    header.SetMark(kMarkBookmark);

    CLine member("y = 2");
    member.SetSection(&header);
    member.SetMark(kMarkError);
    auto memberClone = member.Clone();
    EXPECT_EQ(memberClone->GetText(), "y = 2");
    EXPECT_EQ(memberClone->GetSectionId(), 7u);
    EXPECT_EQ(memberClone->GetSection(), nullptr);
    EXPECT_FALSE(memberClone->HasMark(kMarkError));

    auto headerClone = header.Clone();
    ASSERT_EQ(headerClone->GetType(), kItemSectionHeader);
    auto* hc = static_cast<CSectionHeader*>(headerClone.get());
    EXPECT_EQ(hc->GetId(), 7u);
    EXPECT_FALSE(hc->IsExpanded());
    EXPECT_TRUE(hc->IsFunctionBlock());
    EXPECT_EQ(hc->GetShortName(), "Blk");
    EXPECT_EQ(hc->GetHelpLink(), "help.htm");
    EXPECT_EQ(hc->GetFbDescription(), "a\r\nb");
    EXPECT_EQ(hc->GetLibVisible(), 0);
    EXPECT_FALSE(hc->HasBookmark());

    CDiag diag(kDiagramQld);
    diag.SetZoom(150);
    diag.SetTitle("Ladder");
    diag.SetOpen(false);
    diag.SetText("BOF\r\nEOF\r\n");
    diag.SetSpare("spare");
    auto dc = diag.Clone();
    auto* d = static_cast<CDiag*>(dc.get());
    EXPECT_EQ(d->GetKind(), kDiagramQld);
    EXPECT_EQ(d->GetZoom(), 150);
    EXPECT_EQ(d->GetTitle(), "Ladder");
    EXPECT_FALSE(d->IsOpen());
    EXPECT_EQ(d->GetText(), "BOF\r\nEOF\r\n");
    EXPECT_EQ(d->GetSpare(), "") << "the spare text is not copied";

    CRuxHeader h;
    h.Author = "me";
    h.Address = 9;
    CPar par(h);
    auto pc = par.Clone();
    EXPECT_EQ(static_cast<CPar*>(pc.get())->Header(), h);
    EXPECT_EQ(CItem().Clone(), nullptr);
}

TEST(Diagram, CaptionShowsTheWindowAndTheFold) {
    CDiag d(kDiagramQld);
    d.SetTitle("Jam latch");
    EXPECT_EQ(d.Caption("Open", "Edited"), "Jam latch");
    d.SetOpen(false);
    EXPECT_EQ(d.Caption("Open", "Edited"), "Jam latch{...}");
    test::CFakeDiagramWindow window;
    window.selected = "X=speed";
    window.replaced = 4;
    d.SetEditor(&window);
    EXPECT_EQ(d.Caption("Open", "Edited"), "Jam latch (Open) {...}");
    window.modified = true;
    d.SetOpen(true);
    EXPECT_EQ(d.Caption("Open", "Edited"), "Jam latch (Edited) ");
    // Only a bound window answers for the diagram's elements.
    EXPECT_EQ(d.GetSelectedElementText(), "X=speed");
    EXPECT_EQ(d.ReplaceAll("speed", "rate", false), 4);
    d.SetEditor(nullptr);
    EXPECT_EQ(d.GetSelectedElementText(), "");
    EXPECT_FALSE(d.AddPrefix("B2"));
}

TEST(Diagram, ZoomAndPreviewSize) {
    struct {
        int zoom;
        int width;
        int height;
        int readBack;
    } cases[] = {
        {100, 600, 120, 100}, {50, 300, 60, 50}, {33, 198, 40, 33}, {75, 450, 90, 75}, {1, 6, 1, 0}, {0, 0, 0, 0},
        // Values from a damaged file saturate instead of overflowing into negative sizes.
        {-5, 0, 0, 0}, {10000, 60000, 12000, 10000}, {10001, 60000, 12000, 10000},
        {2147483647, 60000, 12000, 10000}, {-2147483647 - 1, 0, 0, 0},
    };
    for (const auto& c : cases) {
        CDiag d;
        d.SetZoom(c.zoom);
        EXPECT_EQ(d.GetPreviewWidth(), c.width) << c.zoom;
        EXPECT_EQ(d.GetPreviewHeight(), c.height) << c.zoom;
        EXPECT_EQ(d.GetZoom(), c.readBack) << c.zoom;
    }
}

TEST(Item, WritersProduceTheirBlocks) {
    CFixedPitchMetrics m;
    std::string out;
    CStringOstream s(out);

    CSectionHeader fb("Y = F(X)");
    fb.SetHelpLink("f.htm");
    fb.SetFbDescription("first\r\n\r\nthird\r\n");
    fb.WriteItem(0, s, nullptr);
    EXPECT_EQ(out, "#info=Section\r\nName=Y = F(X)\r\nHelpLink=f.htm\r\nLibVisible=1\r\nFBDescription={\r\n"
                   ":first\r\n:\r\n:third\r\n}\r\nState=open\r\n#endinfo\r\n");
    out.clear();
    fb.SetLibVisible(5);
    fb.SetExpanded(false);
    fb.SetFbDescription("");
    fb.WriteItem(0, s, nullptr);
    EXPECT_EQ(out, "#info=Section\r\nName=Y = F(X)\r\nHelpLink=f.htm\r\nLibVisible=1\r\nFBDescription={\r\n}\r\n"
                   "State=close\r\n#endinfo\r\n");
    out.clear();
    fb.WriteText(0, s, nullptr);
    CSectionFooter("Y = F(X)").WriteText(0, s, nullptr);
    EXPECT_EQ(out, "Y = F(X){...}\r\n} //Y = F(X)\r\n");

    out.clear();
    CRuxHeader h;
    h.Author = "A";
    h.Drive = "VQ5A";
    h.Target = "KESTREL";
    h.Address = -3;
    h.Debug = 1;
    CPar(h).WriteText(0, s, nullptr);
    EXPECT_EQ(out, "$AUTHOR A\r\n$COMPANY \r\n$TITLE \r\n$VERSION \r\n$DRIVE VQ5A\r\n$Target KESTREL\r\n"
                   "$Address -3\r\n$Debug1\r\n$Source0\r\n");
    out.clear();
    CTextRange all{0, 1, 5, 1};
    CPar(h).WriteItem(0, s, &all);
    EXPECT_EQ(out, ":AUTHOR=A\r\n:COMPANY=\r\n:TITLE=\r\n:VERSION=\r\n:DRIVE=VQ5A\r\n");
}

TEST(Item, SelectedPartsOfLines) {
    struct {
        CTextRange range;
        int index;
        const char* expected;
    } cases[] = {
        {{2, 3, 4, 2}, 2, ":cdef\r\n"}, // first row: from the start column
        {{2, 3, 4, 2}, 3, ":abcdef\r\n"},
        {{2, 3, 4, 2}, 4, ":a\r\n"},    // last row: up to the end column
        {{2, 3, 4, 2}, 5, ""},          // outside
        {{3, 2, 3, 4}, 3, ":bc\r\n"},   // one row
        {{3, 9, 4, 1}, 3, ":\r\n"},     // start past the end of the text
    };
    for (const auto& c : cases) {
        std::string out;
        CStringOstream s(out);
        CLine("abcdef").WriteItem(c.index, s, &c.range);
        EXPECT_EQ(out, c.expected) << c.index;
    }
}

TEST(Line, ReplaceAllNeverRescansAReplacement) {
    struct {
        const char* text;
        const char* find;
        const char* with;
        bool matchCase;
        const char* result;
        int count;
    } cases[] = {
        {"speed = Speed + SPEED", "speed", "rate", false, "rate = rate + rate", 3},
        {"speed = Speed + SPEED", "speed", "rate", true, "rate = Speed + SPEED", 1},
        {"aaa", "a", "aa", true, "aaaaaa", 3},
        {"abab", "ab", "b", false, "bb", 2},
        {"x", "", "y", false, "x", 0},
        {"none", "zz", "y", false, "none", 0},
    };
    for (const auto& c : cases) {
        CLine line(c.text);
        EXPECT_EQ(line.ReplaceAll(c.find, c.with, c.matchCase), c.count) << c.text;
        EXPECT_EQ(line.GetText(), c.result) << c.text;
    }
    CDiag unbound;
    unbound.SetText("X=speed");
    EXPECT_EQ(unbound.ReplaceAll("speed", "rate", false), 0);
}

TEST(Line, WordAroundTheCaret) {
    struct {
        const char* text;
        int column;
        bool found;
        int from;
        int to;
    } cases[] = {
        {"x% = #1.21 + y", 1, true, 1, 3},  {"x% = #1.21 + y", 7, true, 6, 11}, {"x% = #1.21 + y", 3, false, 0, 0},
        {"x% = #1.21 + y", 14, true, 14, 15}, {"x% = #1.21 + y", 15, false, 0, 0}, {"a/b", 3, true, 3, 4},
    };
    for (const auto& c : cases) {
        int from = 0, to = 0;
        EXPECT_EQ(WordAroundColumn(c.text, c.column, from, to), c.found) << c.text << " @" << c.column;
        if (c.found) {
            EXPECT_EQ(from, c.from) << c.text << " @" << c.column;
            EXPECT_EQ(to, c.to) << c.text << " @" << c.column;
        }
    }
}

} // namespace
} // namespace rux
