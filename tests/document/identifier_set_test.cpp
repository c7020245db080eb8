#include "document/diagram_item.h"
#include "document/header_item.h"
#include "document/identifier_scan.h"
#include "document/identifier_set.h"
#include "document/item_list.h"
#include "document/reserved_words.h"
#include "document/section_items.h"
#include "document/word_table.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

namespace rux {
namespace {

using Words = std::vector<std::string>;

std::unique_ptr<CSectionHeader> Section(const char* text, uint32_t id) {
    auto s = std::make_unique<CSectionHeader>(text);
    s->SetId(id);
    return s;
}

std::unique_ptr<CItem> Member(std::unique_ptr<CItem> item, uint32_t id) {
    item->SetSectionId(id);
    return item;
}

std::unique_ptr<CDiag> Diagram(int kind, std::string payload) {
    auto d = std::make_unique<CDiag>(kind);
    d->SetText(std::move(payload));
    return d;
}

TEST(IdentifierSet, NotesAndHeadersContributeNothingDiagramsTheirVariables) {
    CObArrayEx items;
    items.Append(std::make_unique<CPar>());
    items.Append(std::make_unique<CLine>("top = 1"));
    items.Append(Section("Notes", 1));
    items.Append(Member(std::make_unique<CLine>("remark about things"), 1));
    items.Append(std::make_unique<CSectionFooter>("Notes"));
    items.Append(Section("Background", 2));
    items.Append(Member(std::make_unique<CLine>("inTask = top"), 2));
    items.Append(Member(Diagram(kDiagramFbd, "@VAR:1 X=FbdVar\n"), 2));
    // A ladder payload names its operands in the ladder text only, not in FBD variable lines.
    items.Append(Member(Diagram(kDiagramQld, "@VAR:1 X=NotLadder\r\n#combinatory\r\n#info=LDEDIT\r\nBOF\r\n"
                                             "SOR [0,0] XIC(*Start*) XIO(*arr[3]*) OTE(*#01.020*)\r\nEOF\r\n"
                                             "XIC(*After*)\r\n#endinfo\r\n"),
                        2));
    items.Append(std::make_unique<CSectionFooter>("Background"));
    CIdentifierSet set;
    set.Update(items);
    EXPECT_EQ(set.Sorted(), (Words{"#1.20", "ARR[]", "FbdVar", "START", "inTask", "top"}));
    EXPECT_FALSE(set.Contains("remark"));
    EXPECT_FALSE(set.Contains("Background"));
    EXPECT_FALSE(set.Contains("TOP")) << "look-up is exact";
}

TEST(IdentifierSet, OnlyChangedItemsAreScannedAgain) {
    CObArrayEx items;
    for (int i = 0; i < 10; ++i)
        items.Append(std::make_unique<CLine>("v" + std::to_string(i) + " = shared"));
    CIdentifierSet set;
    set.Update(items);
    EXPECT_EQ(set.LastRescanned(), 10);
    set.Update(items);
    EXPECT_EQ(set.LastRescanned(), 0);

    items.MutableAt(4)->SetText("w4 = shared");
    items.Insert(2, std::make_unique<CLine>("fresh"));
    auto removed = items.Remove(8);
    set.Update(items);
    EXPECT_EQ(set.LastRescanned(), 2);
    EXPECT_TRUE(set.Contains("w4"));
    EXPECT_FALSE(set.Contains("v4"));
    EXPECT_TRUE(set.Contains("fresh"));
    EXPECT_FALSE(set.Contains(removed[0]->GetText().substr(0, 2)));
    EXPECT_TRUE(set.Contains("shared"));
}

// A line moving into a notes section (by a section header renamed to "Notes") leaves the set even
// though its own text did not change.
TEST(IdentifierSet, SectionTurningIntoNotesDropsItsLines) {
    CObArrayEx items;
    items.Append(Section("Background", 1));
    items.Append(Member(std::make_unique<CLine>("hidden = 1"), 1));
    items.Append(std::make_unique<CSectionFooter>("Background"));
    CIdentifierSet set;
    set.Update(items);
    ASSERT_TRUE(set.Contains("hidden"));
    static_cast<CSectionHeader*>(items.MutableAt(0))->SetText("Notes");
    set.Update(items);
    EXPECT_FALSE(set.Contains("hidden"));
}

// Random edits, each followed by an update, must always give what a fresh scan of the same items gives.
TEST(IdentifierSet, IncrementalUpdatesMatchAFreshScan) {
    const char* pieces[] = {"a", "b%", "c.d", "IF", "x:", "\"s t\"", ";", "$FLT", "single", "1", "=", "#2.1"};
    std::mt19937 rng(1234);
    auto randomLine = [&] {
        std::string line;
        const int n = static_cast<int>(rng() % 6);
        for (int k = 0; k < n; ++k)
            line += std::string(pieces[rng() % std::size(pieces)]) + " ";
        return line;
    };
    CObArrayEx items;
    items.Append(Section("Notes", 1));
    items.Append(std::make_unique<CSectionFooter>("Notes"));
    CIdentifierSet incremental;
    // The section header and footer are never removed, so there is always a section to move lines in
    // and out of notes.
    // Each edit is told as the document tells it, the rows it replaced, unless it renamed a section.
    for (int step = 0; step < 3000; ++step) {
        const int size = items.GetSize();
        int first = 0, last = -1, delta = 0;
        bool whole = false;
        switch (rng() % 7) {
        case 0:
        case 1:
            first = last = static_cast<int>(rng() % (size + 1));
            delta = 1;
            items.Insert(first, Member(std::make_unique<CLine>(randomLine()), rng() % 2));
            break;
        case 2:
            if (size > 2) {
                const int at = static_cast<int>(rng() % size);
                if (items.GetAt(at)->GetType() == kItemLine || items.GetAt(at)->GetType() == kItemDiag) {
                    items.Remove(at);
                    first = at, last = at - 1, delta = -1;
                }
            }
            break;
        case 3:
            if (const int at = static_cast<int>(rng() % size); items.GetAt(at)->GetType() == kItemLine) {
                items.MutableAt(at)->SetText(randomLine());
                first = last = at;
            }
            break;
        case 4:
            first = last = static_cast<int>(rng() % (size + 1));
            delta = 1;
            items.Insert(first, Diagram(kDiagramFbd, "@VAR:1 X=" + std::string(pieces[rng() % 3]) + "\n"));
            break;
        case 5:
            for (int i = 0; i < items.GetSize(); ++i)
                if (items.GetAt(i)->GetType() == kItemSectionHeader)
                    items.MutableAt(i)->SetText(rng() % 2 ? "Notes" : "Other");
            whole = true;
            break;
        case 6: {
            // A run of lines after the section replaced by a run of another length.
            int end = 2;
            while (end < size && items.GetAt(end)->GetType() == kItemLine)
                ++end;
            const int count = static_cast<int>(rng() % 4), fill = static_cast<int>(rng() % 4);
            if (end - 2 < count)
                break;
            items.Remove(2, count);
            std::vector<std::unique_ptr<CItem>> lines;
            for (int k = 0; k < fill; ++k)
                lines.push_back(std::make_unique<CLine>(randomLine()));
            items.Insert(2, std::move(lines));
            first = 2, last = 1 + fill, delta = fill - count;
            break;
        }
        }
        if (whole)
            incremental.Update(items);
        else if (last >= first || delta != 0)
            incremental.UpdateRange(items, first, last, delta);
        if (step % 50 == 0 || step == 2999) {
            CIdentifierSet fresh;
            fresh.Update(items);
            ASSERT_EQ(incremental.Sorted(), fresh.Sorted()) << "step " << step;
            ASSERT_EQ(incremental.Size(), fresh.Size());
        }
    }
}

// Typing leaves thousands of words that no item holds any more; dropping them must keep the live ones.
TEST(IdentifierSet, DeadWordsAreDroppedWithoutLosingLiveOnes) {
    CObArrayEx items;
    items.Append(std::make_unique<CLine>("keep = other"));
    items.Append(std::make_unique<CLine>("t0"));
    CIdentifierSet set;
    for (int i = 0; i < 10000; ++i) {
        items.MutableAt(1)->SetText("t" + std::to_string(i) + " = keep");
        set.Update(items);
    }
    EXPECT_EQ(set.Sorted(), (Words{"keep", "other", "t9999"}));
    items.MutableAt(0)->SetText("");
    set.Update(items);
    EXPECT_EQ(set.Sorted(), (Words{"keep", "t9999"}));
    items.Remove(1);
    set.Update(items);
    EXPECT_EQ(set.Size(), 0u);
}

TEST(WordTable, IdsAreDenseStableAndExact) {
    CWordTable table;
    std::vector<std::string> words = {
        "", "a", "A", "a ", "ab", std::string("a\0b", 3), std::string(40, 'x'), std::string(39, 'x') + "y"};
    for (int i = 0; i < 5000; ++i)
        words.push_back("w" + std::to_string(i * 7919 % 100003));
    std::vector<uint32_t> ids;
    for (const auto& w : words) {
        bool added = false;
        ids.push_back(table.Intern(w, added));
        EXPECT_TRUE(added) << w;
        EXPECT_EQ(ids.back(), ids.size() - 1) << "dense ids in order of arrival";
    }
    for (size_t i = 0; i < words.size(); ++i) {
        bool added = true;
        EXPECT_EQ(table.Intern(words[i], added), ids[i]);
        EXPECT_FALSE(added);
        EXPECT_EQ(table.Find(words[i]), ids[i]);
        EXPECT_EQ(table.Word(ids[i]), words[i]);
    }
    EXPECT_EQ(table.Find("w100003"), CWordTable::kNone);
    EXPECT_EQ(table.Find("b"), CWordTable::kNone);
    EXPECT_EQ(table.Size(), words.size());
}

// The set must hold exactly what a plain scan of every line gives, collected independently of the
// word table and of the incremental bookkeeping.
TEST(IdentifierSet, AgreesWithAPlainScanOfEveryLine) {
    const char* pieces[] = {"Speed%", "IF",  "if", "x1:", "\"q;\"", "//c", ";c", "$FLT", "double", "single",
                            "#1.21",  "a.b", "[",  "]x",  "12y",    "$V3", "_",  "Max",  "z"};
    std::mt19937 rng(99);
    CObArrayEx items;
    for (int i = 0; i < 2000; ++i) {
        std::string line;
        for (int k = static_cast<int>(rng() % 7); k > 0; --k)
            line += std::string(pieces[rng() % std::size(pieces)]) + (rng() % 3 ? " " : "");
        items.Append(std::make_unique<CLine>(line));
    }
    std::set<std::string> expected;
    for (const auto& item : items)
        ScanLineIdentifiers(item->GetText(), [&](std::string_view w) { expected.emplace(w); });
    CIdentifierSet set;
    set.Update(items);
    EXPECT_EQ(set.Sorted(), std::vector<std::string>(expected.begin(), expected.end()));
}

std::vector<std::string> LineWords(std::string_view line) {
    std::vector<std::string> words;
    ScanLineIdentifiers(line, [&](std::string_view w) { words.emplace_back(w); });
    return words;
}

std::vector<std::string> FbdWords(std::string_view payload) {
    std::vector<std::string> words;
    ScanFbdIdentifiers(payload, [&](std::string_view w) { words.emplace_back(w); });
    return words;
}


TEST(IdentifierScan, LinesYieldTheirIdentifiersInOrder) {
    struct Case {
        const char* line;
        Words words;
    } cases[] = {
        {"Speed% = Ref% + 1", {"Speed%", "Ref%"}},
        {"\t  x = y", {"x", "y"}},
        {"a = b ; c = d", {"a", "b"}},
        {"a = b // c", {"a", "b"}},
        {"a = b / c", {"a", "b", "c"}},
        {"Loop1: x = 1", {"x"}},
        {"Loop1 : x = 1", {"Loop1", "x"}},
        {"PRINT \"Speed; // here\" , v", {"v"}},
        {"PRINT \"open string x", {}},
        {"s = \"a\" + t + \"b\" + u", {"s", "t", "u"}},
        {"$FLT single x", {"x"}},
        {"$flt DOUBLE y", {"y"}},
        {"$FLT z single", {"z", "single"}},
        {"single = double", {"single", "double"}},
        {"IF a AND b THEN", {"a", "b"}},
        {"if Abs(x) > Max", {"x"}},
        {"#1.21 = #INT", {"#1.21"}},
        {"arr[3].v = _tmp", {"arr[3].v", "_tmp"}},
        {"12abc = 0x1F", {"abc", "x1F"}},
        {"$V3 $Define FOO", {"FOO"}},
        {"; only a comment", {}},
        {"", {}},
        {"a:b", {"b"}},
        {"abs2 = ab", {"abs2", "ab"}},
        {"\xE9t\xE9 = 1", {"t"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LineWords(c.line), c.words) << c.line;
}

TEST(IdentifierScan, FbdPayloadNamesFollowVarAndX) {
    const std::string longName(300, 'n');
    struct Case {
        std::string payload;
        Words words;
    } cases[] = {
        {"@VAR:1 X=Speed%\n@VAR:2 X=#1.21\r\n", {"Speed%", "#1.21"}},
        {"@VAR:1\nY=3 X=Later\n", {"Later"}},
        {"@VAR:1 X=9lives\n@VAR:2 X=_ok\n", {"_ok"}},
        {"@VAR:1 X=\n", {}},
        {"X=NotAfterVar\n@VAR:1 X=a b c", {"a b c"}},
        {"@VAR:1 X=" + longName + "\n", {std::string(255, 'n')}},
        {"@VAR:1 no name here", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FbdWords(c.payload), c.words) << c.payload;
}

TEST(ReservedWords, WholeWordWithoutRegardToCase) {
    struct Case {
        const char* word;
        bool reserved;
    } cases[] = {
        {"$AUTHOR", true},     {"$author", true}, {"$V3", true},       {"#int", true},     {"Int", true},
        {"TO", true},          {"to", true},      {"ANSIREPLY", true}, {"wdog", true},     {"ABSX", false},
        {"AB", false},         {"INT#", false},   {"single", false},   {"$TARGET", false}, {"", false},
        {"ANSIREPLYX", false}, {"loop", true},    {"FBbody", true},    {"$flt", true},     {"Step", true},
        {"bin2bcd", true},     {"ReInit", true},  {"LOOPS", false},    {"STEPS", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsReservedWord(c.word), c.reserved) << c.word;
}

} // namespace
} // namespace rux
