#include "target/build_messages.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

using S = EBuildSeverity;

TEST(BuildMessages, PlacesOfCompilerLines) {
    struct Row {
        const char* text;
        CBuildMessage expected;
    } rows[] = {
        {"conveyor_line.rux(57,5-10): error E012: ENDIF without IF",
         {"conveyor_line.rux", 57, 5, 10, S::kError}},
        {"/p/line.rux(40,3-9): warning W2: unused", {"/p/line.rux", 40, 3, 9, S::kWarning}},
        {"line.rux(12): error E101: unknown name", {"line.rux", 12, -1, -1, S::kError}},
        {"line.rux(7,5): note", {"line.rux", 7, 5, 5, S::kNone}},
        {"  a b.rux(1) : x", {"a b.rux", 1, -1, -1, S::kNone}},
        {"a(1).rux(3,2-4): error E1: x", {"a(1).rux", 3, 2, 4, S::kError}},
        {"p.rux(0,1-2): error E5: header", {"p.rux", 0, 1, 2, S::kError}},
        // No place in these.
        {"2 error(s), 1 warning(s)", {}},
        {"Build: No errors detected", {}},
        {"line.rux(x): error", {}},
        {"line.rux(12) error without colon", {}},
        {"line.rux(-3,1-2): error", {}},
        {"line.rux(3,1-): error", {}},
        {"(3): no file", {}},
        {"line.rux(99999999999): error", {}},
        {"", {}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ParseBuildMessage(r.text), r.expected) << r.text;
}

TEST(BuildMessages, StoredResultsComeFromTheErrorFileBesideTheProgram) {
    test::CTempDir dir;
    dir.Write("Line.v2.ERR", "first\r\n\r\nsecond\nthird");
    EXPECT_EQ(ReadBuildResults(dir.File("Line.v2.rux")),
              (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(ReadBuildResults(dir.File("Line.v2.RUX")),
              (std::vector<std::string>{"first", "second", "third"}))
        << "any case of the extension";
    EXPECT_TRUE(ReadBuildResults(dir.File("Other.rux")).empty());
}

TEST(BuildMessages, NextAndPreviousVisitOnlyPlacesAndStopAtTheEnds) {
    CBuildMessageList list;
    list.Add("p.rux(3,1-2): error E1: a");   // 0
    list.Add("just words");                  // 1
    list.Add("p.rux(9,4-6): warning W1: b"); // 2
    list.Add("q.rux(1): error E2: c");       // 3
    list.Add("2 error(s), 1 warning(s)");    // 4
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list.Text(2), "p.rux(9,4-6): warning W1: b");
    EXPECT_EQ(list.Message(2).line, 9);

    struct Step {
        int current;
        int next;
        int previous;
    } steps[] = {
        {-1, 0, -1}, // nothing visited yet: next is the first place, previous nothing
        {0, 2, -1},  {1, 2, 0},  {2, 3, 0},
        {3, -1, 2},  {4, -1, 3}, // the summary line is a position, not a place
    };
    for (const Step& s : steps) {
        list.SetCurrent(s.current);
        EXPECT_EQ(list.Current(), s.current);
        EXPECT_EQ(list.FindNext(), s.next) << "from " << s.current;
        EXPECT_EQ(list.FindPrevious(), s.previous) << "from " << s.current;
    }
    list.SetCurrent(5);
    EXPECT_EQ(list.Current(), -1) << "a row beyond the list is no position";

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Current(), -1);
    EXPECT_EQ(list.FindNext(), -1);
}

TEST(BuildMessages, BareFileNamesAreCompletedFromTheBuiltProgramsDirectory) {
    test::CTempDir dir;
    dir.Write("line.rux", "");
    CBuildMessageList list;
    for (const char* line : {"line.rux(3,1-2): error E1: a", "other.rux(1): error E2: b",
                             "/elsewhere/p.rux(2): error E3", "line.rux(5): error E4"})
        list.Add(line);
    struct Row {
        std::string programPath;
        int row;
        std::string expected;
    } rows[] = {
        {dir.File("line.rux"), 0, dir.File("line.rux")},
        {dir.File("line.rux"), 1, "other.rux"}, // not beside the program: left for the open documents
        {dir.File("line.rux"), 2, "/elsewhere/p.rux"},
        {"line.rux", 0, "line.rux"}, // a program path without a directory completes nothing
        {"", 3, "line.rux"},
    };
    for (const Row& r : rows) {
        list.SetProgramPath(r.programPath);
        EXPECT_EQ(list.LocationFile(r.row), r.expected) << r.programPath << " row " << r.row;
    }
    list.Clear();
    EXPECT_EQ(list.ProgramPath(), "") << "the program goes with the list";
}

} // namespace
} // namespace rux
