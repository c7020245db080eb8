#include "editor/error_location.h"

#include "document/item.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "support/edit_harness.h"

#include <gtest/gtest.h>

#include <vector>

namespace rux {
namespace {

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
