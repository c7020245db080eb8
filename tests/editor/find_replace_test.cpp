#include "document/diagram_item.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "editor/find_replace.h"
#include "editor/find_replace_model.h"
#include "editor/text_finder.h"
#include "support/edit_harness.h"
#include "support/fake_diagram_window.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::ProgramBytes;
using test::RunScript;
using Lines = std::vector<std::string>;

struct CScriptCase {
    const char* name;
    Lines rows;
    Lines commands;
    std::string output;
};

void RunCases(const std::vector<CScriptCase>& cases) {
    for (const auto& c : cases) {
        const auto run = RunScript(ProgramBytes(c.rows), c.commands);
        EXPECT_EQ(run.output, c.output) << c.name;
    }
}

TEST(TextFinder, FindsExactlyOrWithoutCaseOfLettersOnly) {
    constexpr size_t npos = std::string_view::npos;
    struct {
        const char* needle;
        bool matchCase;
        const char* text;
        size_t from;
        size_t expected;
    } cases[] = {
        {"endif", false, "  ENDIF", 0, 2},
        {"endif", true, "  ENDIF endif", 0, 8},
        {"ENDIF", false, "x endif", 0, 2},
        {"aab", false, "aAaB", 0, 1},     // the first candidate fails, the next one holds
        {"ab", false, "xAxaB", 0, 3},     // candidates of both cases, upper one first
        {"ab", false, "aab", 0, 1},       // a failed candidate right before one of the same case
        {"a", false, "bAa", 2, 2},        // from an offset
        {"a", false, "bAa", 3, npos},     // from the end
        {"a", false, "bAa", 9, npos},     // from past the end
        {"\xE4", false, "\xC4", 0, npos}, // bytes from 128 compare exactly
        {"\xE4x", false, "a\xE4X", 0, 1},
        {"1=", false, "x 1= 2", 0, 2}, // no letter in front: one scan only
        {"longer", false, "long", 0, npos},
        {"", false, "abc", 0, npos},
    };
    for (const auto& c : cases) {
        const CTextFinder finder(c.needle, c.matchCase);
        EXPECT_EQ(finder.Find(c.text, c.from), c.expected) << c.needle << " in " << c.text;
    }
    EXPECT_TRUE(CTextFinder("EndIf", false).Equals("ENDIF"));
    EXPECT_FALSE(CTextFinder("EndIf", true).Equals("ENDIF"));
    EXPECT_FALSE(CTextFinder("end", false).Equals("ENDIF"));
}

TEST(FindReplaceModel, HistoriesKeepTwentyAndSkipTextsBeginningWithAnEntry) {
    CFindReplaceModel model;
    EXPECT_FALSE(model.CanFindNext()) << "nothing to find yet";
    for (int i = 0; i < 25; ++i) {
        model.SetFindText("w" + std::to_string(100 + i));
        model.RememberFindText();
    }
    ASSERT_EQ(model.FindHistory().size(), 20u);
    EXPECT_EQ(model.FindHistory().front(), "w124");
    EXPECT_EQ(model.FindHistory().back(), "w105");

    struct {
        const char* name;
        Lines texts;
        Lines expected;
    } cases[] = {
        {"newest first", {"a", "b"}, {"b", "a"}},
        {"a text beginning with an entry is not added", {"IF", "IF x"}, {"IF"}},
        {"an entry beginning with the text does not block it", {"IF x", "IF"}, {"IF", "IF x"}},
        {"the same text is kept once, where it was", {"a", "b", "a"}, {"b", "a"}},
        {"the prefix test is exact", {"if", "IF x"}, {"IF x", "if"}},
        {"an empty text is never kept", {"", "a"}, {"a"}},
    };
    for (const auto& c : cases) {
        CFindReplaceModel m;
        for (const auto& t : c.texts) {
            m.SetReplaceText(t);
            m.RememberReplaceText();
        }
        EXPECT_EQ(m.ReplaceHistory(), c.expected) << c.name;
        EXPECT_TRUE(m.FindHistory().empty()) << c.name;
    }
}

TEST(FindNext, VisitsItemsFromTheCaret) {
    const Lines prog = {"P", "  IF x THEN", "    y = 1", "  ENDIF", "z = endif"};
    const Lines restart = {"P", "a = 1", "b = 2", "c = 3"}; // the second check box starts once more at item 1
    RunCases({
        {"without case ENDIF is found for endif", prog, {"find endif", "status"},
         "Ln 3, Col 8 Sel 3,3-3,8\n"},
        {"with case only the lower-case one", prog, {"find endif --case", "status"},
         "Ln 4, Col 10 Sel 4,5-4,10\n"},
        {"repeated finds go on after the match", prog,
         {"find endif", "find endif", "status", "find endif", "status"},
         "Ln 4, Col 10 Sel 4,5-4,10\nFinish searching for 'endif'\nLn 4, Col 10 Sel 4,5-4,10\n"},
        {"from the caret column on the caret's item", {"P", "ab ab ab"}, {"caret 1 2", "find ab", "status"},
         "Ln 1, Col 6 Sel 1,4-1,6\n"},
        {"from column 1 on the following items", {"P", "x", "ab"}, {"caret 1 2", "find ab", "status"},
         "Ln 2, Col 3 Sel 2,1-2,3\n"},
        {"caret past the end of its item", {"P", "ab", "cab"}, {"caret 1 9", "find ab", "status"},
         "Ln 2, Col 4 Sel 2,2-2,4\n"},
        {"a match ending the line from its own column", {"P", "xab"}, {"caret 1 2", "find ab", "status"},
         "Ln 1, Col 4 Sel 1,2-1,4\n"},
        {"up visits earlier items", prog, {"caret 4 1", "find y --up", "status"},
         "Ln 2, Col 6 Sel 2,5-2,6\n"},
        {"up still reads a line forwards from the caret", {"P", "a1 a2", "a3 a4"},
         {"caret 2 2", "find a --up", "status", "find a --up", "status", "find a --up", "status"},
         "Ln 2, Col 5 Sel 2,4-2,5\nLn 1, Col 2 Sel 1,1-1,2\nLn 1, Col 5 Sel 1,4-1,5\n"},
        {"up from the last line stops before item 0", {"x IF", "a", "b"},
         {"caret 2 1", "find IF --up", "status"}, "Finish searching for 'IF'\nLn 2, Col 1\n"},
        {"item 0 is skipped going down", {"x IF", "a", "IF"}, {"caret 0 1", "find IF", "status"},
         "Ln 2, Col 3 Sel 2,1-2,3\n"},
        {"section header and footer texts are searched", {"P", "{Initial", "a", "}"},
         {"find init", "status", "find init", "status"},
         "Ln 1, Col 5 Sel 1,1-1,5\nLn 3, Col 5 Sel 3,1-3,5\n"},
        {"quoted text with a blank and a tab", {"P", "a b", "a\tb c"}, {"find \"a\\tb c\"", "status"},
         "Ln 2, Col 6 Sel 2,1-2,6\n"},
        {"an unbound diagram is not searched", {"P", "{T", "@FBD:Main", "}"}, {"find speed", "status"},
         "Finish searching for 'speed'\nLn 0, Col 1\n"},
        {"without the restart the search fails below", restart, {"caret 2 1", "find a", "status"},
         "Finish searching for 'a'\nLn 2, Col 1\n"},
        {"with it the search starts again at item 1", restart, {"caret 2 1", "find a --restart", "status"},
         "Ln 1, Col 2 Sel 1,1-1,2\n"},
        {"nothing anywhere leaves the caret on item 1", restart, {"caret 3 4", "find q --restart", "status"},
         "Finish searching for 'q'\nLn 1, Col 1\n"},
        {"upwards the restart reads item 1 only", restart, {"caret 3 2", "find c --up --restart", "status"},
         "Finish searching for 'c'\nLn 1, Col 1\n"},
    });
}

TEST(FindNext, MatchInsideAFoldedSectionExpandsIt) {
    const auto run = RunScript(ProgramBytes({"P", "{-Initial", "  speed = 0", "}", "{-Other", "x", "}"}),
                               {"find SPEED", "status"});
    EXPECT_EQ(run.output, "Ln 2, Col 8 Sel 2,3-2,8\n");
    const CObArrayEx& items = run.script->Document().Items();
    EXPECT_TRUE(static_cast<const CSectionHeader*>(items[1])->IsExpanded());
    EXPECT_FALSE(static_cast<const CSectionHeader*>(items[4])->IsExpanded());
    EXPECT_EQ(run.script->Session().Layout().TopOf(2), run.script->Session().Layout().TopOf(1) + 16); // laid out again: the line has its row
    // Expanding is a view matter: the document is not modified.
    EXPECT_FALSE(run.script->Document().IsModified());
}

TEST(FindNext, BoundDiagramSearchesItselfAndKeepsTheCaret) {
    auto run = RunScript(ProgramBytes({"P", "{T", "@FBD:Main", "}", "speed"}), {});
    test::CFakeDiagramWindow window;
    window.hits = 1;
    window.replaced = 2;
    ASSERT_EQ(run.script->Document().Items()[2]->GetType(), kItemDiag);
    ASSERT_TRUE(run.script->Document().SetDiagramEditor(2, &window));
    CFindReplaceModel model;
    model.SetFindText("speed");
    model.SetMatchCase(true);
    CEditSession& session = run.script->Session();
    EXPECT_TRUE(FindNext(session, model).found);
    EXPECT_EQ(session.Caret(), (CTextPos{1, 2}));
    EXPECT_FALSE(session.HasSelection());
    // The next search asks the diagram again from its own position, then goes on to the text.
    EXPECT_TRUE(FindNext(session, model).found);
    EXPECT_EQ(session.SelectionStart(), (CTextPos{1, 4}));
    EXPECT_EQ(window.asked, (Lines{"speed case down", "speed case down"}));
    // Replace All counts what the window replaced.
    model.SetReplaceText("v");
    EXPECT_EQ(ReplaceAll(session, model).replaced, 3);
    run.script->Document().SetDiagramEditor(2, nullptr);
}

TEST(Replace, ReplacesASelectedMatchThenSelectsTheNext) {
    const Lines prog = {"P", "abc x abc", "ABC"};
    struct {
        const char* name;
        Lines commands;
        Lines lines;
        std::string output;
    } cases[] = {
        {"no selection: only the next match is selected", {"replace abc Q", "status"}, {"abc x abc", "ABC"},
         "Ln 1, Col 4 Sel 1,1-1,4\n"},
        {"selected match replaced, next selected", {"select 1 1 1 4", "replace abc Q", "status"},
         {"Q x abc", "ABC"}, "Ln 1, Col 8 Sel 1,5-1,8\n"},
        {"backwards selection counts too", {"select 1 4 1 1", "replace abc Q", "status"}, {"Q x abc", "ABC"},
         "Ln 1, Col 8 Sel 1,5-1,8\n"},
        {"selection compared without case", {"select 2 1 2 4", "replace abc q", "status"}, {"abc x abc", "q"},
         "Finish searching for 'abc'\nLn 2, Col 2\n"},
        {"with case a differently cased selection stays",
         {"select 2 1 2 4", "replace abc q --case", "status"}, {"abc x abc", "ABC"},
         "Finish searching for 'abc'\nLn 2, Col 4 Sel 2,1-2,4\n"},
        {"selection of another length stays", {"select 1 1 1 3", "replace abc Q", "status"},
         {"abc x abc", "ABC"}, "Ln 1, Col 10 Sel 1,7-1,10\n"},
        {"longer selection that begins with the match stays", {"select 1 1 1 5", "replace abc Q", "status"},
         {"abc x abc", "ABC"}, "Ln 1, Col 10 Sel 1,7-1,10\n"},
        {"selection over two items stays", {"select 1 7 2 1", "replace abc Q", "status"},
         {"abc x abc", "ABC"}, "Ln 2, Col 4 Sel 2,1-2,4\n"},
        {"the restart applies after replacing", {"select 2 1 2 4", "replace abc Z --restart", "status"},
         {"abc x abc", "Z"}, "Ln 1, Col 4 Sel 1,1-1,4\n"},
        {"replacement by nothing", {"select 1 6 1 10", "replace \" abc\" \"\"", "status"}, {"abc x", "ABC"},
         "Finish searching for ' abc'\nLn 1, Col 6\n"},
    };
    for (const auto& c : cases) {
        const auto run = RunScript(ProgramBytes(prog), c.commands);
        const Lines lines = run.Lines();
        EXPECT_EQ(Lines(lines.begin() + 1, lines.end()), c.lines) << c.name;
        EXPECT_EQ(run.output, c.output) << c.name;
        EXPECT_EQ(run.script->Document().IsModified(), c.lines != Lines({"abc x abc", "ABC"})) << c.name;
    }
}

TEST(Replace, InsertedTextIsNeverSearchedAgain) {
    const auto run =
        RunScript(ProgramBytes({"P", "aaa"}), {"find a", "replace a aa", "replace a aa", "status",
                                               "replace a aa", "status", "replace a aa", "status"});
    EXPECT_EQ(run.Lines()[1], "aaaaaa");
    EXPECT_EQ(run.output, "Ln 1, Col 6 Sel 1,5-1,6\n"
                          "Finish searching for 'a'\nLn 1, Col 7\n"
                          "Finish searching for 'a'\nLn 1, Col 7\n");
    EXPECT_EQ(run.script->FindReplace().ReplaceCount(), 3);
    EXPECT_EQ(run.script->FindReplace().LastButton(), EFindButton::Replace);
}

TEST(ReplaceAll, CountsEveryOccurrenceAndReportsIt) {
    struct {
        const char* name;
        Lines rows;
        std::string command;
        Lines lines;
        std::string output;
        bool modified;
    } cases[] = {
        {"a with aa in aaa", {"P", "aaa"}, "replace-all a aa", {"aaaaaa"},
         "Finish searching for 'a'.\\n3 item(s) have been replaced.\nLn 1, Col 3\n", true},
        {"without case", {"P", "If a", "ENDIF if"}, "replace-all if X", {"X a", "ENDX X"},
         "Finish searching for 'if'.\\n3 item(s) have been replaced.\nLn 1, Col 3\n", true},
        {"with case", {"P", "If a", "ENDIF if"}, "replace-all if X --case", {"If a", "ENDIF X"},
         "Finish searching for 'if'.\\n1 item(s) have been replaced.\nLn 1, Col 3\n", true},
        {"nothing found: zero and not modified", {"P", "If a"}, "replace-all q X", {"If a"},
         "Finish searching for 'q'.\\n0 item(s) have been replaced.\nLn 1, Col 3\n", false},
        {"a footer keeps its header's trimmed text", {"P", "{Alpha", "x", "}"}, "replace-all pha \"pha  \"",
         {"Alpha", "x", "Alpha"},
         "Finish searching for 'pha'.\\n2 item(s) have been replaced.\nLn 1, Col 3\n", true},
        {"a line that would outgrow the file is left", {"P", std::string(4090, 'w') + "ab"},
         "replace-all ab abcd", {std::string(4090, 'w') + "ab"},
         "Finish searching for 'ab'.\\n0 item(s) have been replaced.\nLn 1, Col 3\n", false},
        {"folded sections are replaced and stay folded", {"P", "{-T", "x = x", "}"}, "replace-all x y",
         {"T", "y = y", "T"}, "Finish searching for 'x'.\\n2 item(s) have been replaced.\nLn 1, Col 3\n",
         true},
    };
    for (const auto& c : cases) {
        const auto run = RunScript(ProgramBytes(c.rows), {"select 1 1 1 3", c.command, "status"});
        const Lines lines = run.Lines();
        EXPECT_EQ(Lines(lines.begin() + 1, lines.end()), c.lines) << c.name;
        EXPECT_EQ(run.output, c.output) << c.name;
        EXPECT_EQ(run.script->Document().IsModified(), c.modified) << c.name;
    }
    const auto folded = RunScript(ProgramBytes({"P", "{-T", "x = x", "}"}), {"replace-all x y"});
    EXPECT_FALSE(static_cast<const CSectionHeader*>(folded.script->Document().Items()[1])->IsExpanded());
}

TEST(ReplaceAll, CounterRestartsAtEveryPress) {
    const auto run = RunScript(ProgramBytes({"P", "ab ab", "b"}),
                               {"find a", "replace a c", "replace-all b d", "replace-all c e"});
    EXPECT_EQ(run.output, "Finish searching for 'b'.\\n3 item(s) have been replaced.\n"
                          "Finish searching for 'c'.\\n1 item(s) have been replaced.\n");
    EXPECT_EQ(run.script->FindReplace().ReplaceHistory(), (Lines{"e", "d", "c"}));
    EXPECT_EQ(run.script->FindReplace().FindHistory(), (Lines{"c", "b", "a"}));
}

TEST(ReplaceAll, IsNotUndoneWhileTypingStillIs) {
    const auto run = RunScript(ProgramBytes({"P", "abc"}),
                               {"replace-all b X", "cmd undo", "caret 1 4", "type Z", "cmd undo"});
    EXPECT_EQ(run.Lines()[1], "aXc");
    EXPECT_FALSE(run.script->Session().CanUndo());
    const auto typed = RunScript(ProgramBytes({"P", "abc"}), {"caret 1 4", "type Z", "replace-all b X"});
    EXPECT_EQ(typed.Lines()[1], "aXcZ");
    EXPECT_TRUE(typed.script->Session().CanUndo());
}

TEST(FindReplace, ReadOnlyViewRefusesChangesButStillFinds) {
    const auto run = RunScript(
        ProgramBytes({"P", "abc"}),
        {"select 1 1 1 2", "replace a X", "replace-all a X", "status", "find b", "status"}, {}, true);
    EXPECT_EQ(run.Lines()[1], "abc");
    EXPECT_EQ(run.output, "Ln 1, Col 2 Sel 1,1-1,2\nLn 1, Col 3 Sel 1,2-1,3\n");
    EXPECT_FALSE(run.script->FindReplace().CanReplace());
    EXPECT_FALSE(run.script->Document().IsModified());
}

} // namespace
} // namespace rux
