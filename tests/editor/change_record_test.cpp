// Every command tells the views exactly what it changed: replaying its records on the program as it
// was must give the program as it is, and nothing outside the records may have moved.
#include "document/diagram_item.h"
#include "document/item.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "editor/edit_script.h"
#include "support/edit_harness.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace rux {
namespace {

using test::ProgramBytes;
using test::RunScript;

// A row as the views see it: its kind, text, marks, and whether its section is folded or its
// diagram's preview shown.
std::vector<std::string> Dump(const CRUXDocument& document) {
    std::vector<std::string> rows;
    for (const CItem* item : document.Items()) {
        std::string row = std::to_string(item->GetType()) + ":" + std::to_string(item->MarkState()) + ":";
        if (item->GetType() == kItemSectionHeader)
            row += static_cast<const CSectionHeader*>(item)->IsExpanded() ? "+" : "-";
        else if (item->GetType() == kItemDiag)
            row += static_cast<const CDiag*>(item)->IsOpen() ? "+" : "-";
        rows.push_back(row + ":" + item->GetText());
    }
    return rows;
}

// Keeps a copy of the rows and applies each record to it: the rows a record names become unknown,
// every other row must still be what it was. At the end each row still known must match.
class CReplayObserver final : public CDocumentObserver {
public:
    explicit CReplayObserver(const CRUXDocument& document) : m_old(Dump(document)) {
        for (const auto& row : m_old)
            m_copy.emplace_back(row);
    }

    void OnEditRecord(CRUXDocument&, const CDocumentChange& r, const void*) override {
        ++records;
        const int size = static_cast<int>(m_copy.size());
        if (r.first < 0 || r.removed < 0 || r.inserted < 0 || r.first + r.removed > size) {
            problems.push_back("record outside the rows");
            return;
        }
        if (r.removed == 0 && r.inserted == 0 && r.last < r.first)
            problems.push_back("a record that changes nothing");
        m_copy.erase(m_copy.begin() + r.first, m_copy.begin() + r.first + r.removed);
        m_copy.insert(m_copy.begin() + r.first, static_cast<size_t>(r.inserted), std::nullopt);
        if (r.last >= static_cast<int>(m_copy.size())) problems.push_back("record ends after the last row");
        for (int i = r.first; i <= r.last && i < static_cast<int>(m_copy.size()); ++i)
            m_copy[static_cast<size_t>(i)].reset();
    }

    void OnUpdate(CRUXDocument& document, int hint, const CDocumentChange* change) override {
        // Every update, the title's of a first change too, comes after the records it follows.
        if (static_cast<int>(m_copy.size()) != document.Items().GetSize())
            problems.push_back("an update before its records");
        if (hint == kHintTitle) return;
        hints.push_back(hint);
        ++updates;
        if (hint != kHintContent && hint != kHintStructure) return;
        if (!change) {
            problems.push_back("content update without its change");
            return;
        }
        // The sum: rows before it and after it are the old ones, those after moved by the difference.
        const std::vector<std::string> now = Dump(document);
        const int delta = change->inserted - change->removed;
        if (static_cast<int>(now.size()) - static_cast<int>(m_old.size()) != delta)
            problems.push_back("sum: inserted - removed is not the change in rows");
        for (int i = 0; i < static_cast<int>(now.size()); ++i) {
            const bool before = i<change->first, after = i> change->last;
            if (!before && !after) continue;
            const int old = before ? i : i - delta;
            if (old < 0 || old >= static_cast<int>(m_old.size()) ||
                m_old[static_cast<size_t>(old)] != now[static_cast<size_t>(i)])
                problems.push_back("sum misses row " + std::to_string(i));
        }
    }

    void CheckAgainst(const CRUXDocument& document) {
        const std::vector<std::string> now = Dump(document);
        if (now.size() != m_copy.size()) {
            problems.push_back("records give " + std::to_string(m_copy.size()) + " rows, the program has " +
                               std::to_string(now.size()));
            return;
        }
        for (size_t i = 0; i < now.size(); ++i)
            if (m_copy[i] && *m_copy[i] != now[i])
                problems.push_back("row " + std::to_string(i) + " changed without a record");
    }

    int records = 0;
    int updates = 0;
    std::vector<int> hints; // every update but the title's
    std::vector<std::string> problems;

private:
    std::vector<std::string> m_old;
    std::vector<std::optional<std::string>> m_copy;
};

TEST(ChangeRecords, EveryCommandRecordsExactlyWhatItChanged) {
    const std::vector<std::string> rows = {"P", "a1",    "{Initial", "IF x THEN", "b2", "ENDIF",
                                           "}", "{-Jog", "x y",      "}",         "c3", "@FBD:D"};
    struct {
        const char* name;
        std::vector<std::string> setup;
        std::string command;
        bool changes;
        std::optional<std::vector<int>> hints = std::nullopt; // the updates' kinds, where they matter
    } cases[] = {
        {"typing", {"caret 1 2"}, "type Z", true},
        {"Enter with auto indent", {"caret 3 10"}, "key Enter", true},
        {"Enter on ENDIF re-indents it", {"caret 5 1"}, "key Enter", true},
        {"Backspace joins two lines", {"caret 4 1"}, "key Backspace", true},
        {"Delete joins two lines", {"caret 3 10"}, "key Delete", true},
        {"delete a selection over rows", {"select 1 2 4 2"}, "cmd delete", true},
        {"cut over a section", {"select 1 1 7 1"}, "cmd cut", true},
        {"paste of rows", {"select 3 1 5 6", "cmd copy", "caret 10 3"}, "cmd paste", true},
        {"increase indent", {"select 3 1 5 3"}, "cmd increase-indent", true},
        {"apply indent", {"select 2 1 6 1"}, "cmd apply-indent", true},
        {"toggle case", {"select 1 1 4 2"}, "cmd toggle-case", true},
        {"undo of a cut", {"select 1 1 7 1", "cmd cut"}, "cmd undo", true},
        {"redo of a cut", {"select 1 1 7 1", "cmd cut", "cmd undo"}, "cmd redo", true},
        {"undo of a paste", {"select 3 1 5 6", "cmd copy", "caret 10 3", "cmd paste"}, "cmd undo", true},
        {"replace", {"select 1 1 1 2"}, "replace a Q", true, {{kHintContent}}},
        {"replace that opens a section", {"select 3 4 3 5"}, "replace x Q", true, {{kHintStructure}}},
        {"replace all", {"caret 1 1"}, "replace-all x Q", true, {{kHintContent}}},
        {"find into a folded section", {"caret 1 1"}, "find y", true, {{kHintStructure}}},
        {"find that only moves the caret", {"caret 1 1"}, "find b2", false, {{}}},
        {"failed find", {"caret 1 1"}, "find qq", false, {{}}},
        {"go to a folded line", {"caret 1 1"}, "goto 8", true, {{kHintStructure}}},
        {"go to a shown line", {"caret 1 1"}, "goto 2", false, {{}}},
        {"bookmark", {"caret 1 1"}, "bookmark", true, {{kHintMarks}}},
        {"clear bookmarks", {"goto 2", "bookmark", "goto 10", "bookmark"}, "clear-bookmarks", true, {{kHintMarks}}},
        {"clear no bookmarks", {"caret 1 1"}, "clear-bookmarks", false, {{}}},
        {"unfold", {"caret 7 1"}, "fold", true, {{kHintStructure}}},
        {"minimize all previews", {"caret 1 1"}, "minimize-all", true, {{kHintStructure}}},
        {"minimize all twice", {"minimize-all"}, "minimize-all", false, {{}}},
        {"fold", {"caret 2 2"}, "fold", true},
        {"expand all", {"caret 1 1"}, "expand-all", true},
        {"insert a section", {"caret 10 1"}, "insert-section Pos0", true},
        {"insert a diagram", {"caret 4 1"}, "insert-diagram fbd", true},
        {"Tab over rows", {"select 3 1 5 1"}, "key Tab", true},
        {"typing nothing", {"caret 1 1"}, "type \x01", false},
        {"caret move", {"caret 1 1"}, "key Down", false},
        {"Backspace on the first body line", {"caret 3 1"}, "key Backspace", false},
        {"undo with nothing to undo", {"caret 1 1"}, "cmd undo", false},
    };
    for (const auto& c : cases) {
        auto run = RunScript(ProgramBytes(rows), c.setup);
        CRUXDocument& document = run.script->Document();
        CReplayObserver replay(document);
        document.AddObserver(&replay);
        run.script->Run(CEditScript::Parse(c.command, "test"));
        document.RemoveObserver(&replay);
        replay.CheckAgainst(document);
        EXPECT_EQ(replay.problems, std::vector<std::string>()) << c.name;
        EXPECT_EQ(replay.records > 0, c.changes) << c.name;
        // One command, one update.
        EXPECT_EQ(replay.updates, c.changes ? 1 : 0) << c.name;
        if (c.hints) {
            EXPECT_EQ(replay.hints, *c.hints) << c.name;
        }
    }
}

} // namespace
} // namespace rux
