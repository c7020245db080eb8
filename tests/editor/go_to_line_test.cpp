#include "document/item.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "editor/bookmarks.h"
#include "editor/error_location.h"
#include "support/edit_harness.h"

#include <gtest/gtest.h>

#include <vector>

namespace rux {
namespace {

using test::ProgramBytes;
using test::RunScript;
using Lines = std::vector<std::string>;

TEST(GoToLine, ClampsExpandsAndPutsTheCaretOnColumnOne) {
    const Lines prog = {"P", "abc", "{-T", "x = 1", "}", "last"};
    struct {
        const char* name;
        std::string command;
        std::string status;
        bool expanded;
    } cases[] = {
        {"0 is the program header row", "goto 0", "Ln 0, Col 1\n", false},
        {"a line, selection collapsed", "goto 1", "Ln 1, Col 1\n", false},
        {"a line in a folded section opens it", "goto 3", "Ln 3, Col 1\n", true},
        {"the folded header itself stays folded", "goto 2", "Ln 2, Col 1\n", false},
        {"past the end: the last item", "goto 99", "Ln 5, Col 1\n", false},
        {"negative: nothing moves", "goto -1", "Ln 1, Col 3 Sel 1,2-1,3\n", false},
    };
    for (const auto& c : cases) {
        const auto run = RunScript(ProgramBytes(prog), {"select 1 2 1 3", c.command, "status"});
        EXPECT_EQ(run.output, c.status) << c.name;
        const CObArrayEx& items = run.script->Document().Items();
        EXPECT_EQ(static_cast<const CSectionHeader*>(items[2])->IsExpanded(), c.expanded) << c.name;
        if (c.expanded) {
            EXPECT_EQ(run.script->Session().Layout().TopOf(5), run.script->Session().Layout().TopOf(2) + 3 * 16) << c.name;
        }
        EXPECT_FALSE(run.script->Document().IsModified()) << c.name;
    }
}

TEST(Bookmarks, NextMarkWrapsRoundToTheCaretItem) {
    struct {
        const char* name;
        Lines commands;
        std::string status;
    } cases[] = {
        {"the next one below",
         {"goto 1", "bookmark", "goto 4", "bookmark", "goto 2", "next-bookmark", "status"}, "Ln 4, Col 1\n"},
        {"wraps to the first one",
         {"goto 1", "bookmark", "goto 4", "bookmark", "caret 4 3", "next-bookmark", "status"},
         "Ln 1, Col 1\n"},
        {"a single bookmark on the caret item finds itself",
         {"goto 3", "bookmark", "caret 3 2", "next-bookmark", "status"}, "Ln 3, Col 1\n"},
        {"the header row counts when wrapping", {"goto 0", "bookmark", "goto 5", "next-bookmark", "status"},
         "Ln 0, Col 1\n"},
        {"none: nothing moves", {"caret 4 3", "next-bookmark", "status"}, "Ln 4, Col 3\n"},
        {"cleared ones are gone",
         {"goto 1", "bookmark", "clear-bookmarks", "caret 4 3", "next-bookmark", "status"}, "Ln 4, Col 3\n"},
        {"toggling twice removes it",
         {"goto 1", "bookmark", "bookmark", "caret 4 3", "next-bookmark", "status"}, "Ln 4, Col 3\n"},
    };
    for (const auto& c : cases) {
        const auto run = RunScript(ProgramBytes({"P", "a", "{T", "b", "}", "c"}), c.commands);
        EXPECT_EQ(run.output, c.status) << c.name;
    }
}

TEST(Bookmarks, NextMarkOfOtherKinds) {
    auto run = RunScript(ProgramBytes({"P", "a", "{-T", "b", "}", "c"}), {"caret 5 1"});
    CRUXDocument& document = run.script->Document();
    const CObArrayEx& items = document.Items();
    CEditSession& session = run.script->Session();
    ASSERT_TRUE(document.SetMark(3, kMarkBreakpoint, true));
    EXPECT_TRUE(GoToNextMark(session, kMarkBreakpoint));
    EXPECT_EQ(session.Caret(), (CTextPos{1, 3}));
    EXPECT_TRUE(static_cast<const CSectionHeader*>(items[2])->IsExpanded());
    // A bookmark is not a breakpoint.
    ASSERT_TRUE(document.SetMark(1, kMarkBookmark, true));
    EXPECT_TRUE(GoToNextMark(session, kMarkBreakpoint));
    EXPECT_EQ(session.Caret(), (CTextPos{1, 3}));
    // Items answer kind 0 for an error mark as well, so the bookmark jump visits error lines too.
    ASSERT_TRUE(document.SetMark(5, kMarkError, true));
    EXPECT_TRUE(GoToNextMark(session, kMarkBookmark));
    EXPECT_EQ(session.Caret().item, 5);
    EXPECT_TRUE(GoToNextMark(session, kMarkBookmark));
    EXPECT_EQ(session.Caret().item, 1);
    // Removing bookmarks leaves the error mark; only bookmarks make the document modified.
    EXPECT_TRUE(RemoveAllBookmarks(session));
    EXPECT_TRUE(items[5]->HasErrorMark());
    document.SetModified(false);
    EXPECT_FALSE(RemoveAllBookmarks(session));
    EXPECT_FALSE(document.IsModified());
}

TEST(Bookmarks, ChangesMarkTheDocumentModifiedAndAreSaved) {
    struct {
        const char* name;
        Lines commands;
        bool modified;
        std::string bookmarks;
    } cases[] = {
        {"toggle on", {"goto 2", "bookmark"}, true, "2"},
        {"toggle off again still modified", {"goto 2", "bookmark", "bookmark"}, true, ""},
        {"the caret item past the end is the last", {"caret 9 1", "bookmark"}, true, "3"},
        {"clearing nothing", {"clear-bookmarks"}, false, ""},
        {"clearing two", {"goto 1", "bookmark", "goto 3", "bookmark", "save", "clear-bookmarks"}, true, ""},
        {"moving to marks changes nothing", {"goto 1", "bookmark", "save", "goto 3", "next-bookmark"}, false,
         "1"},
    };
    for (const auto& c : cases) {
        const auto run = RunScript(ProgramBytes({"P", "a", "b", "c"}), c.commands);
        EXPECT_EQ(run.script->Document().IsModified(), c.modified) << c.name;
        std::string marks;
        int index = 0;
        for (const auto& item : run.script->Document().Items()) {
            if (item->HasBookmark()) marks += (marks.empty() ? "" : ",") + std::to_string(index);
            ++index;
        }
        EXPECT_EQ(marks, c.bookmarks) << c.name;
    }
}

std::vector<int> ErrorMarked(const CRUXDocument& document) {
    std::vector<int> marked;
    for (int i = 0; i < document.Items().GetSize(); ++i)
        if (document.Items()[i]->HasErrorMark()) marked.push_back(i);
    return marked;
}

TEST(ErrorLocation, MarksOneLineClampedAndRevealed) {
    const std::vector<std::string> prog = {"P", "abc", "{-T", "x = 1", "}", "last"};
    struct Row {
        int line;
        int marked;
        bool expands;
    } rows[] = {
        {1, 1, false}, {3, 3, true}, {99, 5, false}, {0, 0, false}, {-1, -1, false},
    };
    for (const Row& r : rows) {
        auto run = test::RunScript(test::ProgramBytes(prog), {});
        CRUXDocument& document = run.script->Document();
        document.SetMark(5, kMarkError, true); // a mark from an earlier jump
        test::CHintLog log;
        document.AddObserver(&log);
        EXPECT_EQ(MarkErrorLine(document, r.line), r.marked) << r.line;
        document.RemoveObserver(&log);
        const auto* header = static_cast<const CSectionHeader*>(document.Items()[2]);
        EXPECT_EQ(header->IsExpanded(), r.expands) << r.line;
        if (r.marked < 0) {
            EXPECT_EQ(ErrorMarked(document), std::vector<int>{5}) << "a negative line changes nothing";
            EXPECT_TRUE(log.hints.empty());
            continue;
        }
        EXPECT_EQ(ErrorMarked(document), std::vector<int>{r.marked}) << r.line;
        const std::vector<int> expected =
            r.expands ? std::vector<int>{kHintStructure} : std::vector<int>{kHintMarks};
        EXPECT_EQ(log.hints, expected) << r.line;
    }
}

TEST(ErrorLocation, ClearErrorMarksSaysWhetherThereWasOne) {
    auto run = test::RunScript(test::ProgramBytes({"P", "a", "b"}), {});
    CRUXDocument& document = run.script->Document();
    EXPECT_FALSE(ClearErrorMarks(document));
    document.SetMark(1, kMarkError, true);
    document.SetMark(2, kMarkBookmark, true);
    EXPECT_TRUE(ClearErrorMarks(document));
    EXPECT_TRUE(ErrorMarked(document).empty());
    EXPECT_TRUE(document.Items()[2]->HasBookmark()) << "bookmarks are not error marks";
}

} // namespace
} // namespace rux
