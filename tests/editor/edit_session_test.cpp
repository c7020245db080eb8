#include "document/identifier_set.h"
#include "document/item_list.h"
#include "document/line_item.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "document/view_metrics.h"
#include "editor/clipboard.h"
#include "editor/edit_session.h"
#include "support/edit_harness.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <random>
#include <sys/stat.h>

namespace rux {
namespace {

using test::ProgramBytes;
using test::RunScript;
using Lines = std::vector<std::string>;

// A program, a script run on it with "status" appended, the rows and the status it must give.
struct CScriptCase {
    const char* name;
    Lines rows;
    std::vector<std::string> commands;
    Lines expected;
    std::string status;
};

// `commands` with `command` added `times` times.
std::vector<std::string> Then(std::vector<std::string> commands, const std::string& command, int times = 1) {
    commands.insert(commands.end(), static_cast<size_t>(times), command);
    return commands;
}

// The caret to the start of item 0, then `count` letters typed one by one: a group each.
std::vector<std::string> TypeLetters(int count) {
    std::vector<std::string> commands = {"caret 0 1"};
    for (int i = 0; i < count; ++i)
        commands.push_back("type " + std::string(1, static_cast<char>('a' + i)));
    return commands;
}

template <size_t N> void ExpectScriptCases(const CScriptCase (&cases)[N]) {
    for (const auto& c : cases) {
        const auto run = RunScript(ProgramBytes(c.rows), Then(c.commands, "status"));
        EXPECT_EQ(run.Lines(), c.expected) << c.name;
        EXPECT_EQ(run.output, c.status) << c.name;
    }
}

TEST(EditSession, TypingPadsOverwritesAndInsertsLines) {
    const CScriptCase cases[] = {
        {"pad to column 10", {"abc"}, {"caret 0 10", "type x"}, {"abc      x"}, "Ln 0, Col 11\n"},
        {"insert in the middle", {"abc"}, {"caret 0 2", "type XY"}, {"aXYbc"}, "Ln 0, Col 4\n"},
        {"overwrite keeps the length", {"abc"}, {"key Insert", "caret 0 3", "type Z"}, {"abZ"}, "Ln 0, Col 4\n"},
        {"overwrite past the end appends", {"abc"}, {"key Insert", "caret 0 3", "type ZY"}, {"abZY"}, "Ln 0, Col 5\n"},
        {"Enter in overwrite only moves", {"abc", "def"}, {"key Insert", "caret 0 2", "key Enter"}, {"abc", "def"},
         "Ln 1, Col 1\n"},
        {"Tab inserts spaces", {"ab"}, {"caret 0 2", "type \\t"}, {"a  b"}, "Ln 0, Col 4\n"},
        {"Tab with a one-row selection does nothing", {"abcd"}, {"select 0 1 0 3", "type \\t"}, {"abcd"},
         "Ln 0, Col 3 Sel 0,1-0,3\n"},
        {"typing replaces the selection", {"abcd"}, {"select 0 2 0 4", "type X"}, {"aXd"}, "Ln 0, Col 3\n"},
        {"typing on a section header puts a line before it", {"{Initial", "a", "}"}, {"caret 0 1", "type q"},
         {"q", "Initial", "a", "Initial"}, "Ln 0, Col 2\n"},
        {"control characters are ignored", {"ab"}, {"caret 0 2", "type \x01\x7f"}, {"ab"}, "Ln 0, Col 2\n"},
        {"bytes from 128 are typed", {"ab"}, {"caret 0 3", "type \xB0" "C"}, {"ab\xB0" "C"}, "Ln 0, Col 5\n"},
        // Overwrite mode applies to strings too: the first character replaces, the caret moves on.
        {"overwrite with a string", {"abcd"}, {"key Insert", "caret 0 2", "insert-text XYZ"}, {"aXcd"},
         "Ln 0, Col 5\n"},
        {"overwrite paste", {"abcd"}, {"clip-text XY", "key Insert", "caret 0 1", "cmd paste"}, {"Xbcd"}, "Ln 0, Col 3\n"},
        {"overwrite paste of lines adds none", {"abcd", "e"}, {"clip-text X\\nY", "key Insert", "caret 0 4", "cmd paste"},
         {"abcX", "e"}, "Ln 0, Col 7\n"},
        {"overwrite past the end inserts the string", {"ab"}, {"key Insert", "caret 0 3", "insert-text XY"},
         {"abXY"}, "Ln 0, Col 5\n"},
    };
    ExpectScriptCases(cases);
    CEditSettings tabs;
    tabs.insertTabs = true;
    EXPECT_EQ(RunScript(ProgramBytes({"ab"}), {"caret 0 2", "type \\t"}, tabs).Lines(), Lines{"a\tb"});
}

TEST(EditSession, NothingGoesBeforeTheProgramHeader) {
    struct {
        const char* name;
        std::vector<std::string> commands;
        Lines expected;
    } cases[] = {
        {"typing", {"caret 0 1", "type q"}, {"", "q", "a", "S", "b", "S"}},
        {"inserting a string", {"caret 0 1", "insert-text x\\ny"}, {"", "x", "y", "a", "S", "b", "S"}},
        {"pasting lines", {"clip-text u\\nv", "caret 0 1", "cmd paste"}, {"", "u", "v", "a", "S", "b", "S"}},
        {"pasting a section", {"caret 2 1", "select 2 1 4 1", "cmd copy", "caret 0 1", "cmd paste"},
         {"", "S", "b", "S", "a", "S", "b", "S"}},
    };
    for (const auto& c : cases) {
        const auto run = RunScript(ProgramBytes({"P", "a", "{S", "b", "}"}), c.commands);
        EXPECT_EQ(run.script->Document().Items().GetAt(0)->GetType(), kItemPar) << c.name;
        EXPECT_EQ(run.Lines(), c.expected) << c.name;
    }
}

TEST(EditSession, LinesStayWithinWhatTheReaderReadsBack) {
    const std::string full(CLine::kMaxText, 'f');
    const std::string paste(5000, 'p');
    struct {
        const char* name;
        Lines rows;
        std::vector<std::string> commands;
        Lines expected;
    } cases[] = {
        {"typing at the end of a full line", {full}, {"caret 0 4094", "type x"}, {full}},
        {"typing inside a full line", {full}, {"caret 0 5", "type x"}, {full}},
        {"typing past the limit", {""}, {"caret 0 4094", "type x"}, {""}},
        {"typing up to the limit", {""}, {"caret 0 4093", "type x"}, {std::string(4092, ' ') + "x"}},
        {"overwriting in a full line", {full}, {"key Insert", "caret 0 1", "type x"}, {"x" + full.substr(1)}},
        {"a long paste breaks the line", {"ab"}, {"clip-text " + paste, "caret 0 2", "cmd paste"},
         {"a" + paste.substr(0, 4092), paste.substr(4092) + "b"}},
        {"Backspace does not join into an overlong line", {full, "xy"}, {"caret 1 1", "key Backspace"}, {full, "xy"}},
        {"Delete does not join into an overlong line", {"xy", full}, {"caret 0 3", "key Delete"}, {"xy", full}},
        {"indenting leaves a full line", {full, "x"}, {"select 0 1 1 2", "cmd increase-indent"}, {full, "\tx"}},
        {"lines that fit are joined", {"xy", full.substr(2)}, {"caret 0 3", "key Delete"}, {"xy" + full.substr(2)}},
    };
    for (const auto& c : cases) {
        const auto run = RunScript(ProgramBytes(c.rows), c.commands);
        EXPECT_EQ(run.Lines(), c.expected) << c.name;
        // Whatever the editor made comes back from the file as it is.
        EXPECT_EQ(RunScript(run.Saved(), {}).Lines(), run.Lines()) << c.name;
    }
    // The caret after a paste that broke the line stands after the pasted text.
    const auto run = RunScript(ProgramBytes({"ab"}), {"clip-text " + paste, "caret 0 2", "cmd paste", "status"});
    EXPECT_EQ(run.output, "Ln 1, Col " + std::to_string(5000 - 4092 + 1) + "\n");
}

TEST(EditSession, EnterIndentsAutomatically) {
    struct {
        const char* name;
        Lines rows;
        std::string caret;
        Lines expected;
        int col;
    } cases[] = {
        {"after IF one level deeper", {"  IF x THEN"}, "caret 0 12", {"  IF x THEN", "\t\t"}, 3},
        {"plain line keeps its width", {"\t x = 1"}, "caret 0 8", {"\t x = 1", "\t "}, 3},
        {"ENDIF moves to its IF", {"{Initial", "  IF a THEN", "      b = 1", "      ENDIF", "}"}, "caret 3 1",
         {"Initial", "  IF a THEN", "      b = 1", "", "\tENDIF", "Initial"}, 2},
        {"ELSE goes back to its IF, the next line deeper",
         {"IF a THEN", "    b = 1", "    ELSE", "}"}, "caret 2 9", {"IF a THEN", "    b = 1", "ELSE", "\t", "}"}, 2},
        {"a one-line DO ... LOOP is no opener",
         {"  FOR i = 1 TO 3", "    DO x = x + 1 LOOP", "      y = 2", "    LOOP"}, "caret 3 9",
         {"  FOR i = 1 TO 3", "    DO x = x + 1 LOOP", "      y = 2", "\tLOOP", "\t"}, 2},
        {"nested IF blocks match by depth",
         {"IF a", "  IF b", "  ENDIF", "    ENDIF"}, "caret 3 5", {"IF a", "  IF b", "  ENDIF", "    ", "ENDIF"}, 1},
        {"a section header stops the search", {"IF a", "{T", "  ENDIF", "}"}, "caret 2 1",
         {"IF a", "T", "", "ENDIF", "T"}, 1},
        {"split in the middle", {"  a = b + c"}, "caret 0 8", {"  a = b", "\t+ c"}, 2},
    };
    for (const auto& c : cases) {
        const auto run = RunScript(ProgramBytes(c.rows), {c.caret, "key Enter"});
        EXPECT_EQ(run.Lines(), c.expected) << c.name;
        EXPECT_EQ(run.script->Session().Caret().col, c.col) << c.name;
    }
    CEditSettings plain;
    plain.autoIndent = false;
    const auto run = RunScript(ProgramBytes({"  IF x THEN"}), {"caret 0 12", "key Enter"}, plain);
    EXPECT_EQ(run.Lines(), (Lines{"  IF x THEN", ""}));
}

TEST(EditSession, EnterOnRowsThatAreNotText) {
    const CScriptCase cases[] = {
        {"expanded header: first body line", {"{Initial", "a", "}"}, {"caret 0 1", "key Enter"},
         {"Initial", "", "a", "Initial"}, "Ln 1, Col 1\n"},
        {"folded header: below its section", {"{-Initial", "a", "}", "z"}, {"caret 0 1", "key Enter"},
         {"Initial", "a", "Initial", "", "z"}, "Ln 3, Col 1\n"},
        {"footer at the end: appended", {"{Initial", "a", "}"}, {"caret 2 1", "key Enter"},
         {"Initial", "a", "Initial", ""}, "Ln 3, Col 1\n"},
        {"program header", {"P", "a"}, {"caret 0 1", "key Enter"}, {"", "", "a"}, "Ln 1, Col 1\n"},
    };
    ExpectScriptCases(cases);
    // The new line below a folded section is outside it; the one under an open header inside.
    const auto run = RunScript(ProgramBytes({"{-Initial", "a", "}", "z"}), {"caret 0 1", "key Enter"});
    EXPECT_EQ(run.script->Document().Items().GetAt(3)->GetSection(), nullptr);
}

TEST(EditSession, BackspaceAndDeleteRespectSections) {
    const CScriptCase cases[] = {
        {"backspace joins lines of one section", {"{S", "ab", "cd", "}"}, {"caret 2 1", "key Backspace"},
         {"S", "abcd", "S"}, "Ln 1, Col 3\n"},
        {"backspace on the first body line does nothing", {"{S", "ab", "}"}, {"caret 1 1", "key Backspace"},
         {"S", "ab", "S"}, "Ln 1, Col 1\n"},
        // An empty line would otherwise go, as it does below a footer.
        {"backspace on an empty first body line keeps it", {"{S", "", "}"}, {"caret 1 1", "key Backspace"},
         {"S", "", "S"}, "Ln 1, Col 1\n"},
        {"backspace removes a character", {"abc"}, {"caret 0 3", "key Backspace"}, {"ac"}, "Ln 0, Col 2\n"},
        // With Shift and no selection the anchor stays where the caret was and the end follows.
        {"shift+backspace leaves a selection", {"abc"}, {"caret 0 3", "key Shift+Backspace"}, {"ac"},
         "Ln 0, Col 2 Sel 0,3-0,2\n"},
        {"shift+backspace on a selection only deletes it", {"abcd"}, {"select 0 1 0 3", "key Shift+Backspace"},
         {"cd"}, "Ln 0, Col 1\n"},
        {"backspace after a section removes an empty line", {"{S", "a", "}", ""}, {"caret 3 1", "key Backspace"},
         {"S", "a", "S"}, "Ln 2, Col 1\n"},
        {"backspace after a section keeps a line with text", {"{S", "a", "}", "x"}, {"caret 3 1", "key Backspace"},
         {"S", "a", "S", "x"}, "Ln 3, Col 1\n"},
        {"delete pulls the next line up", {"ab", "cd"}, {"caret 0 3", "key Delete"}, {"abcd"}, "Ln 0, Col 3\n"},
        {"delete never pulls the footer in", {"{S", "ab", "}"}, {"caret 1 3", "key Delete"}, {"S", "ab", "S"},
         "Ln 1, Col 3\n"},
        {"delete does not join across sections", {"a", "{S", "b", "}"}, {"caret 0 2", "key Delete"},
         {"a", "S", "b", "S"}, "Ln 0, Col 2\n"},
        {"selection within a header: delete does nothing", {"{Initial", "a", "}"},
         {"select 0 2 0 4", "cmd delete"}, {"Initial", "a", "Initial"}, "Ln 0, Col 2\n"},
        {"multi-row selection joins the outer parts", {"abcd", "efgh", "ijkl"}, {"select 0 3 2 2", "cmd delete"},
         {"abjkl"}, "Ln 0, Col 3\n"},
        {"outer parts in two sections stay apart", {"{S", "abcd", "}", "{T", "ijkl", "}"},
         {"select 1 3 4 2", "cmd delete"}, {"S", "ab", "S", "T", "jkl", "T"}, "Ln 1, Col 3\n"},
        {"whole rows go, the section stays closed", {"x", "{S", "a", "}", "y"}, {"select 0 1 2 2", "key Delete"},
         {"S", "S", "y"}, "Ln 0, Col 1\n"},
        {"a whole section goes with its rows", {"x", "{S", "a", "}", "y"}, {"select 1 1 4 1", "key Delete"},
         {"x", "y"}, "Ln 1, Col 1\n"},
    };
    ExpectScriptCases(cases);
}

TEST(EditSession, IndentCommandsAndToggleCase) {
    const CScriptCase cases[] = {
        {"Tab indents selected rows", {"a", " b", "c"}, {"select 0 2 1 1", "key Tab"}, {"\ta", "\t b", "c"},
         "Ln 1, Col 4 Sel 0,1-1,4\n"},
        {"Shift+Tab takes one level off", {"\t\ta", "   b", " c"}, {"select 0 1 2 2", "key Shift+Tab"},
         {"\ta", " b", "c"}, "Ln 2, Col 2 Sel 0,1-2,2\n"},
        {"apply indent", {"{Initial", "IF a THEN", "x = 1", "ELSE", "x = 2", "ENDIF", "DO y LOOP", "}"},
         {"caret 2 1", "select 0 1 7 1", "cmd apply-indent"},
         {"Initial", "\tIF a THEN", "\t\tx = 1", "\tELSE", "\t\tx = 2", "\tENDIF", "\tDO y LOOP", "Initial"},
         "Ln 7, Col 1 Sel 0,1-7,1\n"},
        {"apply indent in notes starts at zero", {"{Notes", "  hello", "}"}, {"select 0 1 2 1", "cmd apply-indent"},
         {"Notes", "\thello", "Notes"}, "Ln 2, Col 1 Sel 0,1-2,1\n"},
        {"toggle case swaps letters only", {"If x1 = 2"}, {"select 0 1 0 6", "cmd toggle-case"}, {"iF X1 = 2"},
         "Ln 0, Col 6 Sel 0,1-0,6\n"},
        {"toggle case skips folded rows", {"ab", "{-S", "cd", "}", "ef"}, {"select 0 1 4 3", "cmd toggle-case"},
         {"AB", "S", "cd", "S", "EF"}, "Ln 4, Col 3 Sel 0,1-4,3\n"},
    };
    ExpectScriptCases(cases);
}

TEST(EditSession, CaretMovesAndSelections) {
    const std::string program = ProgramBytes({"abc def", "\tx", "{-S", "hidden", "}", "longer line here"});
    struct {
        std::vector<std::string> commands;
        std::string status;
    } cases[] = {
        {{"caret 0 1", "key Left"}, "Ln 0, Col 1\n"},
        {{"caret 1 1", "key Left"}, "Ln 0, Col 8\n"},
        {{"caret 0 8", "key Right"}, "Ln 1, Col 1\n"},
        {{"caret 0 1", "key Ctrl+Right"}, "Ln 0, Col 5\n"},
        {{"caret 0 8", "key Ctrl+Left"}, "Ln 0, Col 5\n"},
        {{"caret 0 3", "key End"}, "Ln 0, Col 8\n"},
        {{"caret 0 3", "key Home"}, "Ln 0, Col 1\n"},
        {{"caret 1 2", "key Ctrl+End"}, "Ln 5, Col 1\n"},
        {{"caret 5 4", "key Ctrl+Home"}, "Ln 0, Col 1\n"},
        {{"caret 0 3", "key Down"}, "Ln 1, Col 2\n"},  // x of column 3 lies inside the tab
        {{"caret 1 3", "key Up"}, "Ln 0, Col 4\n"},    // after the tab: three characters in
        {{"caret 2 1", "key Down"}, "Ln 5, Col 1\n"},  // folded rows are skipped
        {{"caret 5 3", "key Up", "key Up"}, "Ln 1, Col 2\n"}, // x 36 is the edge after the tab
        {{"caret 0 2", "key Shift+Right", "key Shift+Down"}, "Ln 1, Col 2 Sel 0,2-1,2\n"},
        {{"caret 0 2", "key Shift+Right", "key Left"}, "Ln 0, Col 2\n"},
        {{"caret 2 1", "key Left"}, "Ln 2, Col 1\n"}, // not a text line
        {{"cmd select-all"}, "Ln 5, Col 17 Sel 0,1-5,17\n"},
        // Positions from a script or a dialog are kept inside the program and the column limit.
        {{"caret 0 99999999", "key Right"}, "Ln 1, Col 1\n"},
        {{"caret 0 99999999"}, "Ln 0, Col 4094\n"},
        {{"select -3 0 99 2"}, "Ln 5, Col 2 Sel 0,1-5,2\n"},
    };
    for (const auto& c : cases) {
        const auto commands = Then(c.commands, "status");
        EXPECT_EQ(RunScript(program, commands).output, c.status) << commands[0] << " " << commands[1];
    }
}

TEST(EditSession, PageDownKeepsTheCaretRowOnScreen) {
    Lines rows;
    for (int i = 0; i < 100; ++i)
        rows.push_back("line " + std::to_string(i));
    // 480 px client, 16 px rows: a page is 30 rows.
    const auto run = RunScript(ProgramBytes(rows), {"caret 2 1", "key PageDown", "status", "key PageDown", "status",
                                                    "key PageUp", "status", "key Ctrl+PageDown", "status"});
    EXPECT_EQ(run.output, "Ln 32, Col 1\nLn 62, Col 1\nLn 30, Col 1\nLn 59, Col 1\n");
}

TEST(EditSession, ClipboardFormats) {
    const std::string program = ProgramBytes({"abcdef", "{S", "ghij", "}"});
    auto run = RunScript(program, {"select 0 3 2 3", "cmd copy", "show-clip"});
    EXPECT_EQ(run.output, "TVED1RUX: $*TORVEL/RUX-V1\\r\\n:cdef\\r\\n#info=Section\\r\\nName=S\\r\\nState=open\\r\\n"
                          "#endinfo\\r\\n:gh\\r\\n\n"
                          "TEXT: cdef\\r\\nS{\\r\\ngh\n");

    // Plain text pastes into the caret line, each break starting a new line.
    run = RunScript(program, {"clip-text one\\ntwo\\nthree", "caret 0 4", "cmd paste", "status"});
    EXPECT_EQ(run.Lines(), (Lines{"abcone", "two", "threedef", "S", "ghij", "S"}));
    EXPECT_EQ(run.output, "Ln 2, Col 6\n");
    // CR LF, LF and a lone CR each start a new line.
    run = RunScript(program, {"caret 0 1"});
    run.script->Clipboard().SetPlainTextOnly("x\r\ny\rz\n");
    run.script->Session().Paste();
    EXPECT_EQ(run.Lines(), (Lines{"x", "y", "z", "abcdef", "S", "ghij", "S"}));

    // A fragment of plain lines goes in as text too; one with a section goes in as rows.
    run = RunScript(program, {"select 0 2 0 4", "cmd cut", "caret 2 2", "cmd paste"});
    EXPECT_EQ(run.Lines(), (Lines{"adef", "S", "gbchij", "S"}));
    run = RunScript(program, {"select 1 1 3 2", "cmd copy", "caret 0 1", "cmd paste", "status"});
    EXPECT_EQ(run.Lines(), (Lines{"S", "ghij", "S", "abcdef", "S", "ghij", "S"}));
    EXPECT_EQ(run.output, "Ln 3, Col 1\n");
    EXPECT_NE(run.script->Document().Items().GetAt(0)->GetType(), kItemLine);
    EXPECT_EQ(static_cast<const CItem*>(run.script->Document().Items().GetAt(1)->GetSection()),
              run.script->Document().Items().GetAt(0))
        << "pasted rows are linked to the pasted header";

    // Rows copied down to column 1 of the next line paste as those rows alone.
    run = RunScript(ProgramBytes({"abcdef", "{S", "ghij", "}", "last"}),
                    {"select 1 1 4 1", "cmd copy", "caret 0 1", "cmd paste"});
    EXPECT_EQ(run.Lines(), (Lines{"S", "ghij", "S", "abcdef", "S", "ghij", "S", "last"}));

    // A section pasted inside a section lands below it, never nested.
    run = RunScript(program, {"select 1 1 3 2", "cmd copy", "caret 2 1", "cmd paste"});
    EXPECT_EQ(run.Lines(), (Lines{"abcdef", "S", "ghij", "S", "S", "ghij", "S"}));

    // A private fragment without the header line is not pasted.
    test::CTempDir dir;
    const std::string clip = dir.Write("clip.rux", ":not a fragment\r\n");
    run = RunScript(program, {"clip-file " + clip, "caret 0 1", "cmd paste"});
    EXPECT_EQ(run.Lines(), (Lines{"abcdef", "S", "ghij", "S"}));
}

TEST(EditSession, DropMovesInsideOneUndoGroup) {
    const std::string program = ProgramBytes({"one", "two", "three", "four"});
    auto run = RunScript(program, {"select 1 1 2 1"});
    CEditSession& session = run.script->Session();
    const std::string fragment = session.SelectionFragment();
    const std::string text = session.SelectionPlainText();
    session.DropAt({1, 3}, &fragment, &text, true);
    EXPECT_EQ(run.Lines(), (Lines{"one", "three", "two", "four"}));
    session.Undo();
    EXPECT_EQ(run.Lines(), (Lines{"one", "two", "three", "four"}));

    run = RunScript(program, {"select 2 1 3 1"});
    CEditSession& s2 = run.script->Session();
    const std::string f2 = s2.SelectionFragment();
    s2.DropAt({1, 0}, &f2, nullptr, true);
    EXPECT_EQ(run.Lines(), (Lines{"three", "one", "two", "four"}));
    s2.DropAt({3, 2}, &f2, nullptr, false); // a copy from elsewhere splits the row it lands in
    EXPECT_EQ(run.Lines(), (Lines{"three", "one", "twthree", "o", "four"}));
}

TEST(EditSession, UndoRestoresExactBytes) {
    const std::string program =
        ProgramBytes({"P", "first line", "{Initial", "  IF a THEN", "    b = 1", "  ENDIF", "}", "@FBD:D1", "last",
                      "{-F", "ff", "}", "{T", "tt", "}", "end"});
    const std::vector<std::vector<std::string>> scripts = {
        {"caret 1 3", "type abc"},
        {"caret 3 12", "key Enter", "type x = 2"},
        {"select 1 3 5 2", "key Delete"},
        {"select 2 1 7 1", "cmd cut", "caret 1 1", "cmd paste"},
        {"caret 4 1", "key Backspace", "key Backspace"},
        {"select 3 1 5 1", "key Tab", "key Shift+Tab", "cmd apply-indent"},
        {"cmd select-all", "cmd toggle-case"},
        {"cmd select-all", "key Delete"},
        {"caret 8 1", "type q"},
        // Two runs on either side of a kept footer, a folded section among them, a partial last row.
        {"select 3 1 13 2", "key Delete"},
        // A folded section pasted as one batch: undo takes the batch out in one step.
        {"select 9 1 15 1", "cmd cut", "caret 1 1", "cmd paste"},
    };
    const std::string original = RunScript(program, {}).Saved();
    for (const auto& script : scripts) {
        const auto commands = Then(script, "cmd undo", 10);
        const auto run = RunScript(program, commands);
        EXPECT_EQ(run.Saved(), original) << script[0] << " / " << script[1];
        EXPECT_TRUE(run.script->Document().IsModified()) << "undoing marks the document modified";
        // Redoing everything gives the edited program again.
        EXPECT_EQ(RunScript(program, Then(commands, "cmd redo", 10)).Saved(),
                  RunScript(program, script).Saved())
            << script[0];
    }
}

TEST(EditSession, UndoHistoryHoldsTenGroups) {
    auto run = RunScript(ProgramBytes({""}), Then(TypeLetters(11), "cmd undo", 11));
    EXPECT_EQ(run.Lines(), Lines{"a"}) << "the first character fell out of the history";

    run = RunScript(ProgramBytes({""}), {"type ab", "cmd undo", "type c", "cmd redo"});
    EXPECT_EQ(run.Lines(), Lines{"ac"}) << "a new edit empties the redo list";

    run = RunScript(ProgramBytes({"xy"}), {"clip-text 1\\n2\\n3\\n", "caret 0 2", "cmd paste", "cmd undo", "status"});
    EXPECT_EQ(run.Lines(), Lines{"xy"});
    EXPECT_EQ(run.output, "Ln 0, Col 2\n");
}

// A command with nothing to act on records no undo group and leaves Redo; so does a fold, which is a
// state of the file and not of a view's undo.
TEST(EditSession, CommandThatChangesNothingKeepsRedo) {
    const std::vector<std::vector<std::string>> noChange = {
        {"caret 0 1", "key Backspace"}, {"caret 0 2", "key Delete"}, {"caret 0 1", "cmd toggle-case"},
        {"caret 0 1", "cmd cut"},       {"type \x01"},               {"caret 2 1", "key Backspace"},
        {"select 0 1 0 2", "cmd increase-indent"}, {"caret 1 1", "fold"},
    };
    for (const auto& nothing : noChange) {
        std::vector<std::string> commands = {"caret 0 1", "type a", "cmd undo"};
        commands.insert(commands.end(), nothing.begin(), nothing.end());
        auto run = RunScript(ProgramBytes({"c", "{S", "b", "}"}), commands);
        CEditSession& session = run.script->Session();
        EXPECT_EQ(session.History().UndoCount(), 0u) << nothing.back();
        ASSERT_EQ(session.History().RedoCount(), 1u) << nothing.back() << " emptied the redo list";
        session.Redo();
        EXPECT_EQ(run.Lines(), (Lines{"ac", "S", "b", "S"})) << nothing.back();
    }
    // A transaction that records nothing, as a command that finds nothing to do opens one.
    for (const int undos : {1, 10}) {
        auto run = RunScript(ProgramBytes({""}), Then(TypeLetters(10), "cmd undo", undos));
        auto& session = run.script->Session();
        const size_t undoCount = session.History().UndoCount();
        ASSERT_TRUE(session.BeginEdit());
        session.EndEdit();
        EXPECT_EQ(session.History().RedoCount(), static_cast<size_t>(undos)) << undos;
        EXPECT_EQ(session.History().UndoCount(), undoCount) << undos;
    }
    // With the history full, a command that changes nothing must not push the oldest group out.
    EXPECT_EQ(
        RunScript(ProgramBytes({""}), Then(Then(TypeLetters(10), "key Delete"), "cmd undo", 10)).Lines(),
        Lines{""});
}

TEST(EditSession, RandomEditsUndoneGiveTheOriginalBack) {
    const std::string program = ProgramBytes(
        {"P", "a = 1", "{Initial", "  IF a THEN", "    b = #1.21", "  ENDIF", "", "}", "x", "{-Clock", "t", "}",
         "{Notes", "noted words", "}", "end"});
    const char* pool[] = {"type z",           "type \\n",          "key Backspace",    "key Delete",
                          "key Enter",        "cmd paste",         "cmd cut",          "cmd toggle-case",
                          "cmd apply-indent", "key Tab",           "key Shift+Tab",    "cmd increase-indent",
                          "type \\t",         "cmd decrease-indent", "cmd date",        "type ;z",
                          "type ; ",          "key Ctrl+Right"};
    // For each row, the row of the header it is linked to (-1 for none).
    auto links = [](const CObArrayEx& items) {
        std::vector<int> rows;
        for (const CItem* item : items) {
            int header = -1;
            for (int i = 0; i < items.GetSize() && item->GetSection(); ++i)
                if (items.GetAt(i) == item->GetSection()) header = i;
            rows.push_back(header);
        }
        return rows;
    };
    const auto opened = RunScript(program, {});
    const std::string original = opened.Saved();
    const std::vector<int> originalLinks = links(opened.script->Document().Items());
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> commands = {"clip-text p\\nq"};
        // At most two undo groups a command, four commands: well inside the ten the history keeps.
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int i = 0; i < edits; ++i) {
            const int item = static_cast<int>(rng() % 16);
            const int col = 1 + static_cast<int>(rng() % 14);
            if (rng() % 3 == 0)
                commands.push_back("select " + std::to_string(item) + " " + std::to_string(col) + " " +
                                   std::to_string(std::min(15, item + static_cast<int>(rng() % 4))) + " " +
                                   std::to_string(1 + rng() % 6));
            else
                commands.push_back("caret " + std::to_string(item) + " " + std::to_string(col));
            commands.push_back(pool[rng() % (sizeof pool / sizeof *pool)]);
        }
        auto run = RunScript(program, commands);
        // The identifiers kept up to date edit by edit agree with a scan of the edited program.
        CIdentifierSet fresh;
        fresh.Update(run.script->Document().Items());
        ASSERT_EQ(run.script->Document().Identifiers().Sorted(), fresh.Sorted()) << "round " << round;
        CEditSession& session = run.script->Session();
        while (session.CanUndo())
            session.Undo();
        ASSERT_EQ(run.Saved(), original) << "round " << round;
        // Rows put back are members of their sections again, and their words count as before.
        const CObArrayEx& items = run.script->Document().Items();
        ASSERT_EQ(links(items), originalLinks) << "round " << round;
        CIdentifierSet restored;
        restored.Update(items);
        ASSERT_EQ(run.script->Document().Identifiers().Sorted(), restored.Sorted()) << "round " << round;
    }
}

TEST(EditSession, DateAndReadOnly) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    auto run = RunScript(ProgramBytes({"x"}), {"caret 0 2"});
    run.script->Session().SetClock([] { return static_cast<std::time_t>(1796385909); }); // 2026-12-04 12:05:09 UTC
    run.script->Session().InsertDateTime();
    EXPECT_EQ(run.Lines(), Lines{"x04/12/26 12:05:09 "});

    run = RunScript(ProgramBytes({"abc", "def"}), {"caret 0 2", "type zz", "key Enter", "select 0 1 1 2", "cmd cut",
                                                   "cmd copy", "show-clip", "key Down", "status"},
                    {}, true);
    EXPECT_EQ(run.Lines(), (Lines{"abc", "def"}));
    EXPECT_EQ(run.output, "TVED1RUX: $*TORVEL/RUX-V1\\r\\n:abc\\r\\n:d\\r\\n\nTEXT: abc\\r\\nd\n"
                          "Ln 1, Col 2\n");
    EXPECT_FALSE(run.script->Document().IsModified());
}

TEST(EditSession, UndoSkipsWhatAnotherViewChanged) {
    auto run = RunScript(ProgramBytes({"{S", "ab", "}", "zz"}), {"caret 1 3", "type X"});
    // A second view of the same document removes the section row this view's undo refers to.
    CFixedPitchMetrics metrics;
    CMemoryClipboard clipboard;
    bool overwrite = false;
    CEditSession other(run.script->Document(), metrics, clipboard, overwrite);
    other.Select({1, 0}, {3, 2});
    other.DeleteKey();
    ASSERT_EQ(run.Lines(), (Lines{"zz"}));
    run.script->Session().Undo(); // the changed line is gone: its action is skipped
    EXPECT_EQ(run.Lines(), (Lines{"zz"}));
    EXPECT_FALSE(run.script->Session().CanUndo());
    other.Undo();
    EXPECT_EQ(run.Lines(), (Lines{"S", "abX", "S", "zz"})) << "the other view's history is its own";
}

TEST(EditSession, InsertingAnotherFile) {
    test::CTempDir dir;
    const std::string program = dir.Write(
        "other.rux", "$*TORVEL/RUX-V1\r\n#info=Ident\r\nAUTHOR=x\r\n#endinfo\r\n:one\r\n#info=Section\r\nName=T\r\n"
                     "#endinfo\r\n:two\r\n#info=EndSection\r\nName=T\r\n#endinfo\r\n");
    const std::string legacy = dir.Write("legacy.rux", "$AUTHOR me\r\nClock{\r\n  t = t + 1\r\n}\r\nend\r\n");
    const std::string text = dir.Write("notes.txt", "first\r\n\r\nthird");
    struct {
        std::string path;
        Lines expected;
    } cases[] = {
        {program, {"", "one", "T", "two", "T", "a", "b"}},          // its program part only
        {legacy, {"", "Clock", "  t = t + 1", "Clock", "end", "a", "b"}}, // converted into sections
        {text, {"", "first", "", "third", "a", "b"}},               // lines as they are
    };
    for (const auto& c : cases) {
        auto run = RunScript(ProgramBytes({"P", "a", "b"}), {"caret 1 2"});
        EXPECT_TRUE(run.script->Session().InsertFile(c.path)) << c.path;
        EXPECT_EQ(run.Lines(), c.expected) << c.path;
        EXPECT_EQ(run.script->Session().Caret(), (CTextPos{2, 1})) << "the caret is put back";
        EXPECT_TRUE(run.script->Document().IsModified());
        run.script->Session().Undo();
        EXPECT_EQ(run.Lines(), (Lines{"", "a", "b"})) << "one undo group";
    }
    auto run = RunScript(ProgramBytes({"a"}), {});
    ASSERT_EQ(::mkfifo(dir.File("pipe.rux").c_str(), 0600), 0);
    for (const std::string& path : {dir.File("missing.rux"), dir.Path(), dir.File("pipe.rux")}) {
        EXPECT_FALSE(run.script->Session().InsertFile(path)) << path; // a FIFO is refused, not waited on
        EXPECT_FALSE(run.script->Document().IsModified()) << path;
    }
}

TEST(EditSession, RowsStayLaidOutAfterEveryKindOfEdit) {
    const std::vector<std::vector<std::string>> scripts = {
        {"select 2 1 5 1", "key Delete"},
        {"caret 3 1", "key Backspace"},
        {"caret 2 3", "key Enter"},
        {"select 1 2 4 2", "type q"},
        {"caret 1 1", "insert-section Event"},
        {"caret 2 1", "fold", "caret 5 1", "key Delete"},
        // Runs cut on both sides of a kept footer, a folded section taken out whole: the rows
        // below move once, after the last cut; undo and redo put them back and take them again.
        {"select 3 1 11 2", "key Delete"},
        {"select 3 1 11 2", "key Delete", "cmd undo"},
        {"select 3 1 11 2", "key Delete", "cmd undo", "cmd redo"},
        {"select 3 1 11 2", "cmd cut", "caret 14 1", "cmd paste", "cmd undo", "cmd undo", "cmd redo"},
    };
    // Taller than the 480-pixel view, so rows below the screen are laid out only by a full layout.
    Lines rows = {"a", "{S", "bb", "cc", "dd", "}", "@FBD:D", "{-F", "ff", "}", "{T", "tt", "}"};
    for (int i = 0; i < 60; ++i)
        rows.push_back("line " + std::to_string(i));
    for (const auto& script : scripts) {
        auto run = RunScript(ProgramBytes(rows), script);
        const CRowLayout& layout = run.script->Session().Layout();
        const CRowLayout full(run.script->Document().Items(), layout.Metrics());
        // Equal lists of tops are equal row counts as well.
        EXPECT_EQ(test::RowTops(layout), test::RowTops(full))
            << script[0] << " / " << script[1] << " / " << script.size();
    }
}

// Cut followed by Paste at the same place gives the program back byte for byte, whatever the
// selection covers: partial lines, whole sections, diagrams, a zero-width last row.
TEST(EditSession, CutThenPasteRestoresTheProgram) {
    std::mt19937 rng(20261207);
    const char* words[] = {"a", "x = 1", "  IF b THEN", "", "ENDIF", "long line of text"};
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    int tried = 0;
    for (int round = 0; round < 400; ++round) {
        Lines rows;
        if (pick(2)) rows.push_back("P");
        const int count = 1 + pick(8);
        for (int i = 0; i < count; ++i) {
            switch (pick(5)) {
            case 0:
                rows.insert(rows.end(), {"{S" + std::to_string(i), words[pick(6)], "}"});
                break;
            case 1:
                rows.push_back("@FBD:D" + std::to_string(i));
                break;
            default:
                rows.push_back(words[pick(6)]);
            }
        }
        const std::string bytes = ProgramBytes(rows);
        const auto original = RunScript(bytes, {});
        const int items = original.script->Document().Items().GetSize();
        // A selection that covers one row of a section's pair but not the other cannot take the
        // section away (sections never stay open); such selections are not a plain removal and are
        // drawn again.
        const auto& list = original.script->Document().Items();
        auto covers = [&](int a, int ca, int b, int cb, int row) {
            const CItem* item = list.GetAt(row);
            const bool text = item->GetType() == kItemLine;
            const int length = static_cast<int>(item->GetText().size());
            if (row == b) return text ? length > 0 && cb > length : cb > 1;
            if (row == a) return !text || ca == 1;
            return row > a && row < b;
        };
        int a = 0, b = 0, ca = 1, cb = 1;
        bool found = false;
        for (int attempt = 0; attempt < 30 && !found; ++attempt) {
            a = pick(items);
            b = pick(items);
            if (a > b) std::swap(a, b);
            ca = 1 + pick(20);
            cb = pick(4) == 0 ? 1 : 1 + pick(20);
            found = true;
            for (int row = a; row <= b && found; ++row) {
                const CItem* item = list.GetAt(row);
                const bool header = item->GetType() == kItemSectionHeader;
                if ((!header && item->GetType() != kItemSectionFooter) || !covers(a, ca, b, cb, row)) continue;
                for (int k = 0; k < items; ++k) {
                    const CItem* other = list.GetAt(k);
                    const bool partner = header ? other->GetType() == kItemSectionFooter && other->GetSection() == item
                                                : other == item->GetSection();
                    if (partner && !(k >= a && k <= b && covers(a, ca, b, cb, k))) found = false;
                }
            }
        }
        // Known gap: a cut of everything from a row to the end, below a row that is not a text line,
        // leaves the caret on that row and the paste goes in front of it.
        if (found && b == items - 1 && covers(a, ca, b, cb, b) && covers(a, ca, b, cb, a) && a > 0 &&
            list.GetAt(a - 1)->GetType() != kItemLine)
            found = false;
        if (!found) continue;
        ++tried;
        const std::string select = "select " + std::to_string(a) + " " + std::to_string(ca) + " " +
                                   std::to_string(b) + " " + std::to_string(cb);
        const auto run = RunScript(bytes, {select, "cmd cut", "cmd paste"});
        EXPECT_EQ(run.Saved(), original.Saved()) << "round " << round << ": " << select << "\n" << bytes;
        if (HasFailure()) break;
    }
    EXPECT_GT(tried, 200) << "too few selections were tried";
}

// The identifier set of a program that was just opened: built when first asked for, and right however
// many edits came before that.
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
