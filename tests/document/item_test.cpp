#include "document/diagram_item.h"
#include "document/header_item.h"
#include "document/header_row.h"
#include "document/item_list.h"
#include "document/output_stream.h"
#include "document/section_items.h"
#include "document/text_range.h"
#include "document/view_metrics.h"
#include "support/fake_diagram_window.h"
#include "support/fake_target.h"

#include <gtest/gtest.h>

#include <stdexcept>

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

// header, line, [section: line, diagram, line], line  -> indices 0..7
struct Fixture {
    CObArrayEx list;
    CSectionHeader* header = nullptr;

    Fixture() {
        list.Append(std::make_unique<CPar>());
        list.Append(std::make_unique<CLine>("top"));
        auto h = std::make_unique<CSectionHeader>("Initial");
        h->SetId(1);
        header = h.get();
        list.Append(std::move(h));
        auto add = [&](std::unique_ptr<CItem> item) {
            item->SetSection(header);
            list.Append(std::move(item));
        };
        add(std::make_unique<CLine>("a = 1"));
        add(std::make_unique<CDiag>(kDiagramFbd));
        add(std::make_unique<CLine>("b\t= 2"));
        add(std::make_unique<CSectionFooter>("Initial"));
        list.Append(std::make_unique<CLine>("after"));
    }
};

TEST(ItemList, VisibilityFollowsTheFold) {
    Fixture f;
    EXPECT_EQ(f.list.NextVisible(2), 3);
    f.header->SetExpanded(false);
    EXPECT_EQ(f.list.NextVisible(2), 7);
    EXPECT_EQ(f.list.PreviousVisible(7), 2);
    EXPECT_EQ(f.list.NextVisible(7), -1);
    EXPECT_EQ(f.list.PreviousVisible(0), -1);
    EXPECT_EQ(f.list.NextVisible(-1), 0);
    EXPECT_EQ(f.list.SectionEnd(2), 6) << "a section ends at its footer";
    EXPECT_EQ(f.list.SectionEnd(3), 3) << "any other row is its own end";
}

TEST(ItemList, InsertAddsAndRemoveHandsItemsBack) {
    Fixture f;
    std::vector<std::unique_ptr<CItem>> batch;
    batch.push_back(std::make_unique<CLine>("n1"));
    batch.push_back(std::make_unique<CLine>(std::string(120, 'w')));
    f.list.Insert(1, std::move(batch));
    EXPECT_EQ(f.list.GetSize(), 10);
    EXPECT_EQ(f.list.GetAt(1)->GetText(), "n1");

    f.list.Insert(99, std::make_unique<CLine>("end"));
    EXPECT_EQ(f.list.GetAt(10)->GetText(), "end") << "an index beyond the end appends";

    const CItem* second = f.list.GetAt(2);
    auto removed = f.list.Remove(1, 2);
    ASSERT_EQ(removed.size(), 2u);
    EXPECT_EQ(removed[1].get(), second) << "removed items are handed back, not deleted";
    EXPECT_EQ(f.list.GetSize(), 9);

    EXPECT_THROW(f.list.GetAt(9), std::out_of_range);
    EXPECT_THROW(f.list.GetAt(-1), std::out_of_range);
    EXPECT_THROW(f.list.Remove(8, 2), std::out_of_range);
    EXPECT_THROW(f.list.Remove(-1, 1), std::out_of_range);
    EXPECT_THROW(f.list.Insert(-1, std::make_unique<CLine>()), std::out_of_range);
}

// A row put back as a clone carries only its section's id. A relink finds the header wherever it
// stands; LinkMembers looks only above the rows, and says when it found none there.
TEST(ItemList, RelinkRestoresSectionLinksFromIds) {
    struct Case {
        const char* what;
        int from, to;     // the member taken out, and where its clone goes back
        bool linkedAbove; // what LinkMembers can do
    } cases[] = {
        {"back below its header", 3, 3, true},
        {"put above its header", 5, 1, false},
    };
    for (const Case& c : cases)
        for (const bool relink : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (relink ? ", relinked" : ", members linked"));
            Fixture f;
            auto removed = f.list.Remove(c.from, 1);
            auto clone = removed[0]->Clone();
            EXPECT_EQ(clone->GetSection(), nullptr);
            f.list.Insert(c.to, std::move(clone));
            if (relink) {
                EXPECT_EQ(f.list.RelinkSections(), std::make_pair(c.to, c.to)) << "the rows whose link changed";
            } else {
                EXPECT_EQ(f.list.LinkMembers(c.to, 1), c.linkedAbove);
            }
            EXPECT_EQ(f.list.GetAt(c.to)->GetSection(), relink || c.linkedAbove ? f.header : nullptr);
            EXPECT_EQ(f.list.GetAt(7)->GetSection(), nullptr);
        }
}

// Taking a header out unlinks the members it leaves behind, wherever they stand, and reports the
// rows whose section changed.
TEST(ItemList, RemovedHeaderLetsGoOfItsMembers) {
    struct Case {
        const char* what;
        int memberAbove;     // a member inserted at this index before the cut, -1 for none
        bool linkedOutside;  // an item outside the list links to the header too (count too high)
        int first, count;    // the rows taken out
        int orphanFirst, orphanLast;  // expected; first > last when nothing was orphaned
    };
    const Case cases[] = {
        {"the header alone", -1, false, 2, 1, 2, 5},
        {"the header and its first member", -1, false, 2, 2, 2, 4},
        {"a member above the header is found looking up", 1, false, 3, 1, 1, 6},
        {"a link from outside the list: every row is looked at", -1, true, 2, 1, 2, 5},
        {"the whole section", -1, false, 2, 5, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        if (c.memberAbove >= 0) {
            auto above = std::make_unique<CLine>("moved up");
            above->SetSection(f.header);
            f.list.Insert(c.memberAbove, std::move(above));
        }
        CLine outside("held elsewhere");
        if (c.linkedOutside) outside.SetSection(f.header);
        const int size = f.list.GetSize();
        auto removed = f.list.Remove(c.first, c.count);
        ASSERT_EQ(f.list.GetSize(), size - c.count);
        for (int i = 0; i < f.list.GetSize(); ++i)
            EXPECT_EQ(f.list.GetAt(i)->GetSection(), nullptr) << "row " << i << " still links to the removed header";
        EXPECT_EQ(f.list.RemoveOrphaned(), c.orphanFirst <= c.orphanLast);
        if (c.orphanFirst <= c.orphanLast) {
            EXPECT_EQ(f.list.OrphanedFirst(), c.orphanFirst);
            EXPECT_EQ(f.list.OrphanedLast(), c.orphanLast);
        }
        for (const auto& item : removed)
            EXPECT_TRUE(item.get() == f.header || item->GetSection() == nullptr);
        EXPECT_EQ(f.header->LinkCount(), c.linkedOutside ? 1 : 0);
    }
}

TEST(HeaderRow, FiveLabelledValuesWithTheDriveShownByTypeName) {
    test::CFakeTarget target;
    target.displayNames["KESTREL"] = "Kestrel KA Applications Module";
    CFixedPitchMetrics metrics;
    CRuxHeader h;
    h.Author = "R. Okafor";
    h.Company = "Acme";
    h.Title = "Infeed";
    h.Version = "2.1";
    h.Drive = "VQ5A";
    struct Case {
        const char* type;
        const char* drive;
    } cases[] = {{"KESTREL", "Kestrel KA Applications Module"}, {"UNKNOWN", "VQ5A"}, {"", "VQ5A"}};
    for (const auto& c : cases) {
        h.Type = c.type;
        const CHeaderRow row = ComposeHeaderRow(h, target, metrics);
        const std::pair<const char*, const char*> expected[] = {{"$AUTHOR", "R. Okafor"},
                                                                {"$COMPANY", "Acme"},
                                                                {"$TITLE", "Infeed"},
                                                                {"$VERSION", "2.1"},
                                                                {"$DRIVE", c.drive}};
        for (size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(row.lines[i].label, expected[i].first) << i;
            EXPECT_EQ(row.lines[i].value, expected[i].second) << i;
        }
        // Eight characters of eight pixels, then ten pixels of space.
        EXPECT_EQ(row.valueX, 8 * 8 + 10);
    }
}

} // namespace
} // namespace rux
