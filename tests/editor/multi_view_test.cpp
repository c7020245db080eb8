// Several views on one program: each view's undo takes back its own edits only, and every view's
// caret and selection stay on their text while another view edits around them.
#include "document/item.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "editor/edit_script.h"
#include "editor/edit_session.h"
#include "support/edit_harness.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace rux {
namespace {

using test::ProgramBytes;
using test::RunScript;
using Lines = std::vector<std::string>;

// A table of scripts over two or three views ("view N" switches), the rows they must leave and the
// status of every view at the end.
TEST(MultiView, UndoTakesBackOnlyTheViewsOwnEdit) {
    struct {
        const char* name;
        Lines rows;
        std::vector<std::string> commands;
        Lines expected;
        std::string status; // "status" of views 1, 2 (and 3 when opened), one line each
    } cases[] = {
        {"A types, B adds a line above, A undoes", {"P", "abc", "def"},
         {"caret 1 4", "type x", "view 2", "caret 0 1", "key Enter", "view 1", "cmd undo"},
         {"", "", "abc", "def"}, "Ln 2, Col 4\nLn 1, Col 1\n"},
        {"B's undo leaves A's typing",
         {"P", "abc", "def"},
         {"caret 2 4", "type x", "view 2", "caret 1 1", "key Enter", "view 1", "type y", "view 2",
          "cmd undo"},
         {"", "abc", "defxy"},
         "Ln 2, Col 6\nLn 1, Col 1\n"},
        {"A's caret follows rows B removes above it", {"P", "a", "b", "c", "d"},
         {"caret 4 2", "view 2", "select 1 1 3 1", "cmd delete", "view 1", "type X"}, {"", "c", "dX"},
         "Ln 2, Col 3\nLn 1, Col 1\n"},
        {"A's selection moves with B's Enter", {"P", "abc", "def"},
         {"select 2 1 2 3", "view 2", "caret 1 4", "key Enter", "view 1", "cmd delete"}, {"", "abc", "", "f"},
         "Ln 3, Col 1\nLn 2, Col 1\n"},
        {"undo of a line B has since joined is dropped, not written elsewhere", {"P", "abc", "def"},
         {"caret 2 4", "type x", "view 2", "caret 2 1", "key Backspace", "view 1", "cmd undo"},
         {"", "abcdefx"}, "Ln 1, Col 1\nLn 1, Col 4\n"},
        {"undo of a line the other view has typed on since is dropped", {"P", "abc"},
         {"caret 1 4", "type x", "view 2", "caret 1 5", "type y", "view 1", "cmd undo"}, {"", "abcxy"},
         "Ln 1, Col 5\nLn 1, Col 6\n"},
        {"undo of a line the other view split at its start is dropped", {"P", "abc"},
         {"caret 1 4", "type x", "view 2", "caret 1 1", "key Enter", "view 1", "cmd undo"}, {"", "", "abcx"},
         "Ln 1, Col 5\nLn 2, Col 1\n"},
        {"undo of a range delete puts the rows back, in order, below the other view's line",
         {"P", "a", "b", "c", "d", "e"},
         {"select 2 1 5 1", "cmd delete", "view 2", "caret 1 2", "type X", "view 1", "cmd undo"},
         {"", "aX", "b", "c", "d", "e"}, "Ln 5, Col 1\nLn 1, Col 3\n"},
        {"undo of a range delete whose place the other view removed is dropped",
         {"P", "a", "b", "c", "d", "e"},
         {"select 2 1 4 1", "cmd delete", "view 2", "select 1 1 2 1", "cmd delete", "view 1", "cmd undo"},
         {"", "d", "e"}, "Ln 1, Col 1\nLn 1, Col 1\n"},
        {"redo after the other view inserted above",
         {"P", "abc", "def"},
         {"caret 2 4", "type x", "cmd undo", "view 2", "caret 1 1", "key Enter", "key Enter", "view 1",
          "cmd redo"},
         {"", "", "", "abc", "defx"},
         "Ln 4, Col 5\nLn 3, Col 1\n"},
        {"three views, each undoes its own line",
         {"P", "a", "b", "c"},
         {"caret 1 2", "type 1", "view 2", "caret 2 2", "type 2", "view 3", "caret 3 2", "type 3", "view 2",
          "caret 0 1", "key Enter", "view 1", "cmd undo", "view 3", "cmd undo", "view 2", "cmd undo"},
         {"", "a", "b2", "c"},
         "Ln 1, Col 2\nLn 0, Col 1\nLn 3, Col 2\n"},
    };
    for (const auto& c : cases) {
        auto commands = c.commands;
        commands.insert(commands.end(), {"view 1", "status", "view 2", "status"});
        if (std::find(c.commands.begin(), c.commands.end(), "view 3") != c.commands.end())
            commands.insert(commands.end(), {"view 3", "status"});
        const auto run = RunScript(ProgramBytes(c.rows), commands);
        EXPECT_EQ(run.Lines(), c.expected) << c.name;
        EXPECT_EQ(run.output, c.status) << c.name;
    }
}

// --- generative test ----------------------------------------------------------------------------
//
// The program is blocks of lines, each block owned by one view and opened by an anchor line no view
// edits: "#0", its lines, "#1", its lines... A view edits only its own blocks, so the model can
// check it apart from the others: a view's state is the texts of its blocks, its undo list is the
// states before its last ten edits. Whatever the views do in turn, the program must be the anchors
// with every view's blocks as its model has them, and every view's caret must stay on its line.

struct CViewModel {
    std::vector<int> blocks;                    // the block numbers this view owns
    std::vector<std::vector<Lines>> undo, redo; // states of its blocks, most recent last
    int block = 0, line = 0, col = 1;           // where its caret was left (in its own blocks)
};

class CMultiViewRun {
public:
    CMultiViewRun(int views, int blocks, unsigned seed) : m_rng(seed), m_views(static_cast<size_t>(views)) {
        std::vector<std::string> rows = {"P"};
        for (int b = 0; b < blocks; ++b) {
            m_blocks.push_back({"q" + std::to_string(b)});
            m_views[static_cast<size_t>(b % views)].blocks.push_back(b);
            rows.push_back("#" + std::to_string(b));
            rows.push_back(m_blocks.back().front());
        }
        CEditSettings settings;
        settings.autoIndent = false;
        m_run = RunScript(ProgramBytes(rows), {}, settings);
        for (int v = views; v >= 1; --v)
            Do("view " + std::to_string(v));
        for (int v = 0; v < views; ++v) {
            Do("view " + std::to_string(v + 1));
            PlaceCaret(v, m_views[static_cast<size_t>(v)].blocks.front(), 0, 1);
        }
    }

    // One random step of a random view; false after the first mismatch.
    bool Step() {
        const int v = Pick(static_cast<int>(m_views.size()));
        CViewModel& view = m_views[static_cast<size_t>(v)];
        Do("view " + std::to_string(v + 1));
        const int op = Pick(10);
        if (op == 0) {
            Undo(view, view.undo, view.redo, "cmd undo");
        } else if (op == 1) {
            Undo(view, view.redo, view.undo, "cmd redo");
        } else {
            const int b = view.blocks[static_cast<size_t>(Pick(static_cast<int>(view.blocks.size())))];
            Lines& lines = m_blocks[static_cast<size_t>(b)];
            const int l = Pick(static_cast<int>(lines.size()));
            std::string& text = lines[static_cast<size_t>(l)];
            const int length = static_cast<int>(text.size());
            const std::vector<Lines> before = Own(view);
            bool changed = true;
            if (op <= 5) { // type a letter
                const int col = 1 + Pick(length + 1);
                const char c = "xyzq"[Pick(4)];
                PlaceCaret(v, b, l, col);
                Do(std::string("type ") + c);
                text.insert(static_cast<size_t>(col - 1), 1, c);
                view.col = col + 1;
            } else if (op == 6) { // Enter at the end: a new empty line below
                PlaceCaret(v, b, l, length + 1);
                Do("key Enter");
                lines.insert(lines.begin() + l + 1, "");
                view.line = l + 1;
                view.col = 1;
            } else if (op == 7 && length > 0) { // Backspace inside the text
                const int col = 2 + Pick(length);
                PlaceCaret(v, b, l, col);
                Do("key Backspace");
                text.erase(static_cast<size_t>(col - 2), 1);
                view.col = col - 1;
            } else if (op == 8 && l > 0) { // Backspace at column 1 joins the line above
                PlaceCaret(v, b, l, 1);
                Do("key Backspace");
                std::string& above = lines[static_cast<size_t>(l - 1)];
                view.line = l - 1;
                view.col = static_cast<int>(above.size()) + 1;
                above += text;
                lines.erase(lines.begin() + l);
            } else if (op == 9 && l + 1 < static_cast<int>(lines.size())) { // Delete at the end joins below
                PlaceCaret(v, b, l, length + 1);
                Do("key Delete");
                text += lines[static_cast<size_t>(l + 1)];
                lines.erase(lines.begin() + l + 1);
            } else {
                changed = false;
            }
            if (changed) {
                Push(view.undo, before);
                view.redo.clear();
            }
        }
        return Check();
    }

    std::string Log() const { return m_log.str(); }

private:
    int Pick(int n) { return static_cast<int>(m_rng() % static_cast<unsigned>(n)); }

    void Do(const std::string& command) {
        m_log << command << "\n";
        m_run.script->Run(CEditScript::Parse(command, "generated"));
    }

    // Row of line l of block b in the program.
    int RowOf(int b, int l) const {
        int row = 1;
        for (int i = 0; i < b; ++i)
            row += 1 + static_cast<int>(m_blocks[static_cast<size_t>(i)].size());
        return row + 1 + l;
    }

    void PlaceCaret(int v, int b, int l, int col) {
        CViewModel& view = m_views[static_cast<size_t>(v)];
        view.block = b;
        view.line = l;
        view.col = col;
        Do("caret " + std::to_string(RowOf(b, l)) + " " + std::to_string(col));
    }

    std::vector<Lines> Own(const CViewModel& view) const {
        std::vector<Lines> own;
        for (int b : view.blocks)
            own.push_back(m_blocks[static_cast<size_t>(b)]);
        return own;
    }

    static void Push(std::vector<std::vector<Lines>>& list, std::vector<Lines> state) {
        list.push_back(std::move(state));
        if (list.size() > CUndoHistory::kLimit) list.erase(list.begin());
    }

    void Undo(CViewModel& view, std::vector<std::vector<Lines>>& from, std::vector<std::vector<Lines>>& to,
              const std::string& command) {
        Do(command);
        if (from.empty()) return;
        Push(to, Own(view));
        for (size_t i = 0; i < view.blocks.size(); ++i)
            m_blocks[static_cast<size_t>(view.blocks[i])] = from.back()[i];
        from.pop_back();
        // The caret goes where the command started; the model takes it from the session.
        const CTextPos caret = m_run.script->Session().Caret();
        m_caretUnknown = &view;
        m_undoCaret = caret;
    }

    bool Check() {
        Lines expected = {""};
        for (size_t b = 0; b < m_blocks.size(); ++b) {
            expected.push_back("#" + std::to_string(b));
            expected.insert(expected.end(), m_blocks[b].begin(), m_blocks[b].end());
        }
        const Lines actual = m_run.Lines();
        if (actual != expected) {
            m_problem = "rows differ";
            return false;
        }
        // The caret of the view that undid lies in one of its blocks: take it as the model's.
        if (m_caretUnknown) {
            bool placed = false;
            for (int b : m_caretUnknown->blocks)
                for (int l = 0; l < static_cast<int>(m_blocks[static_cast<size_t>(b)].size()); ++l)
                    if (RowOf(b, l) == m_undoCaret.item) {
                        m_caretUnknown->block = b;
                        m_caretUnknown->line = l;
                        m_caretUnknown->col = m_undoCaret.col;
                        placed = true;
                    }
            m_caretUnknown = nullptr;
            if (!placed) {
                m_problem = "undo put the caret outside the view's own lines";
                return false;
            }
        }
        std::ostringstream carets;
        for (size_t v = 0; v < m_views.size(); ++v) {
            Do("view " + std::to_string(v + 1));
            const CViewModel& view = m_views[v];
            const CTextPos caret = m_run.script->Session().Caret();
            if (caret.item != RowOf(view.block, view.line) || caret.col != view.col) {
                m_problem = "view " + std::to_string(v + 1) + " caret at " + std::to_string(caret.item) +
                            "," + std::to_string(caret.col) + ", expected " +
                            std::to_string(RowOf(view.block, view.line)) + "," + std::to_string(view.col);
                return false;
            }
        }
        return true;
    }

public:
    std::string m_problem;

private:
    std::mt19937 m_rng;
    std::vector<CViewModel> m_views;
    std::vector<Lines> m_blocks;
    test::CScriptRun m_run;
    CViewModel* m_caretUnknown = nullptr;
    CTextPos m_undoCaret;
    std::ostringstream m_log;
};

TEST(MultiView, RandomEditsUndosAndRedosInSeveralViewsMatchTheModel) {
    struct {
        int views, blocks;
        unsigned firstSeed;
    } cases[] = {{2, 4, 1000}, {3, 6, 2000}, {2, 2, 3000}};
    for (const auto& c : cases)
        for (unsigned seed = c.firstSeed; seed < c.firstSeed + 40; ++seed) {
            CMultiViewRun run(c.views, c.blocks, seed);
            bool ok = true;
            for (int step = 0; step < 120 && ok; ++step)
                ok = run.Step();
            if (!ok) {
                ADD_FAILURE() << c.views << " views, seed " << seed << ": " << run.m_problem
                              << "\ncommands:\n"
                              << run.Log();
                break;
            }
        }
}

} // namespace
} // namespace rux
