// The identifier set of a program that was just opened: built when first asked for, and right however
// many edits came before that.
#include "document/identifier_set.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "editor/edit_session.h"
#include "support/edit_harness.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::ProgramBytes;
using test::RunScript;

TEST(IdentifiersOnOpen, BuiltWhenFirstAskedForAndRightAfterEarlierEdits) {
    auto run = RunScript(ProgramBytes({"P", "{Main", "Speed% = Ref%", "Old% = 1", "}"}), {});
    CRUXDocument& doc = run.script->Document();
    CEditSession& s = run.script->Session();
    EXPECT_FALSE(doc.IdentifiersBuilt()) << "opening does not scan the program";

    // Edits before anyone asked: a line changed, one deleted, one inserted.
    s.SetCaret({1, 2});
    s.InsertText("Fresh% = ");
    s.Select({1, 3}, {9, 3}); // "Old% = 1" emptied
    s.DeleteKey();
    s.SetCaret({1, 2});
    s.InsertText("Later% = 2\n");
    const CIdentifierSet& ids = doc.Identifiers();
    EXPECT_TRUE(doc.IdentifiersBuilt());
    for (const char* word : {"Fresh%", "Speed%", "Ref%", "Later%"}) EXPECT_TRUE(ids.Contains(word)) << word;
    EXPECT_FALSE(ids.Contains("Old%")) << "the deleted line's word is gone";

    // Once built, an edit rescans only what it changed.
    s.SetCaret({1, 2});
    s.InsertText("X");
    EXPECT_TRUE(doc.Identifiers().Contains("XLater%"));
    EXPECT_FALSE(doc.Identifiers().Contains("Later%"));
    EXPECT_LE(doc.Identifiers().LastRescanned(), 1);

    // The same words as a set built from scratch over the final items.
    CIdentifierSet fresh;
    fresh.Update(doc.Items());
    EXPECT_EQ(doc.Identifiers().Sorted(), fresh.Sorted());
}

} // namespace
} // namespace rux
