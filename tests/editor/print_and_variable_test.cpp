// The files a print leaves for the print library, and the names the variable selection offers.
#include "document/rux_document.h"
#include "editor/edit_session.h"
#include "editor/print_files.h"
#include "editor/variable_choice.h"
#include "support/edit_harness.h"
#include "support/temp_dir.h"
#include "target/print_library.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rux {
namespace {

using test::ProgramBytes;
using test::RunScript;
using Names = std::vector<std::string>;

TEST(PrintFiles, SelectionFileOnlyWithASelectionAndTheWholeProgramAlways) {
    struct Row {
        const char* name;
        CTextPos anchor, end;
        const char* selection; // expected content of H2PrnSel.t; null: no such file
    } rows[] = {
        {"part of a line", {3, 2}, {6, 2}, "$*TORVEL/RUX-V1\r\n:= 1\r\n"},
        {"no selection, and a stale file of an earlier print goes", {1, 2}, {1, 2}, nullptr},
    };
    test::CTempDir dir;
    dir.Write("H2PrnSel.t", "an earlier print");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto run = RunScript(ProgramBytes({"P", "{Task", "a = 1", "}"}), {});
        CEditSession& s = run.script->Session();
        s.Select(row.anchor, row.end);
        const CPrintFiles files = WritePrintFiles(s, dir.Path());
        EXPECT_EQ(files.program, dir.File("H2Prn.t"));
        EXPECT_EQ(test::CTempDir::Read(files.program), run.Saved()) << "the program as a save writes it";
        EXPECT_EQ(std::filesystem::exists(dir.File("H2PrnSel.t")), row.selection != nullptr);
        if (row.selection) {
            EXPECT_EQ(test::CTempDir::Read(dir.File("H2PrnSel.t")), row.selection);
        }
    }
}

// The print library gets the program print file and the title; a missing library leaves it at the files.
TEST(PrintFiles, TheLibraryGetsTheProgramFileAndTheTitle) {
    test::CTempDir dir;
    const std::string file = dir.Write("H2Prn.t", "$*TORVEL/RUX-V1\r\n");
    EXPECT_TRUE(PrintWithLibrary(file, "line.rux (Infeed)", nullptr, RUX_TEST_PRINT_DIR));
    EXPECT_EQ(test::CTempDir::Read(dir.File("printed.txt")), "line.rux (Infeed)\n" + file + "\n");
    EXPECT_FALSE(PrintWithLibrary(file, "t", nullptr, dir.Path())) << "no library there";
}

TEST(VariableChoice, FunctionBlockScopeOrProgramSymbols) {
    struct Row {
        const char* name;
        int caret;
        Names opened;  // listed when the dialog opens
        Names scanned; // after Scan
    } rows[] = {
        // Items: 0 header, 1 "Speed = 1", 2 {Task, 3 "Pos = speed + Gain", 4 }, 5 {UDFB, 6 "out = In * k", 7 },
        // then a notes section whose words are no names
        {"a task line lists the build's symbols", 3, {"Gain", "Motor"},
         {"_Scale", "Gain", "In", "k", "Motor", "out", "Pos", "Speed"}},
        {"the block's body lists the block's own names", 6, {"_Scale", "In", "k", "out"}, {"_Scale", "In", "k", "out"}},
        {"the block's header scopes the same way", 5, {"_Scale", "In", "k", "out"}, {"_Scale", "In", "k", "out"}},
    };
    test::CTempDir dir;
    const std::string path =
        dir.Write("p.rux", ProgramBytes({"P", "Speed = 1", "{Task", "Pos = speed + Gain", "}", "{out = _Scale(In)",
                                         "out = In * k", "}", "{Notes", "Belt motor added", "}"}));
    dir.Write("p.sym", "Motor 1 2\nGain 3 4\n");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CRUXDocument doc;
        ASSERT_TRUE(doc.OpenDocument(path));
        CVariableChoice choice(doc, row.caret);
        EXPECT_EQ(choice.Names(), row.opened);
        choice.Scan();
        EXPECT_EQ(choice.Names(), row.scanned) << "speed and Speed are one name, spelt as first seen";
        choice.Clear();
        EXPECT_TRUE(choice.Names().empty());
    }
}

} // namespace
} // namespace rux
