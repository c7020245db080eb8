// The build: everything around the compiler's run, and the places its messages name.
#include "target/build_controller.h"

#include "document/header_item.h"
#include "document/item.h"
#include "document/line_item.h"
#include "document/rux_document.h"
#include "shell/option_mgr.h"
#include "support/temp_dir.h"
#include "target/build_messages.h"
#include "target/suite_notifier.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace rux {
namespace {

using Log = std::vector<std::string>;

// Everything the build does around it, in one log in the order it happened.
class CFakeHost : public CBuildHost {
public:
    explicit CFakeHost(Log& log) : m_log(log) {}
    bool stopOnWarning = false;
    bool tickBox = false;
    void SetMessageText(const std::string& text) override { m_log.push_back("status:" + text); }
    void SetWaitCursor(bool on) override { m_log.push_back(on ? "wait" : "arrow"); }
    void SetBuildRunning(bool on) override { m_log.push_back(on ? "running" : "idle"); }
    void ShowBuildTab(const std::string& path) override { m_log.push_back("tab:" + path); }
    void AddBuildLine(const std::string& line) override { m_log.push_back("line:" + line); }
    bool ShowResultBox(const std::string& text, bool clean) override {
        m_log.push_back(std::string("box:") + (clean ? "info:" : "warn:") + text);
        return tickBox;
    }
    bool WarningStopsBuild() override { return stopOnWarning; }

private:
    Log& m_log;
};

class CFakeNotifier : public CSuiteNotifier {
public:
    explicit CFakeNotifier(Log& log) : m_log(log) {}
    bool Notify(const std::string& tool, int message, const std::string& fileName) override {
        m_log.push_back("notify:" + tool + ":" + std::to_string(message) + ":" + fileName);
        return true;
    }

private:
    Log& m_log;
};

// The compiler library: answers at once, or holds its answer until Complete().
class CFakeCompiler : public CCompilerService {
public:
    explicit CFakeCompiler(Log& log) : m_log(log) {}
    bool loads = true;
    bool deferred = false;
    int32_t result = 1;
    std::vector<std::string> lines;
    // What the compiler saw when it started: the file on disk and the error marks of the document.
    std::string diskText;
    CRUXDocument* document = nullptr;
    int marksAtStart = -1;

    bool Load() override {
        m_log.push_back(loads ? "load" : "load-missing");
        return loads;
    }
    void Start(const std::string& path, int32_t warningFlag, int32_t systemControlFlag, LineSink line,
               Finished finished) override {
        m_log.push_back("compile:" + path + ":" + std::to_string(warningFlag) + ":" +
                        std::to_string(systemControlFlag));
        diskText = test::CTempDir::Read(path);
        if (document) {
            marksAtStart = 0;
            for (int i = 0; i < document->Items().GetSize(); ++i)
                marksAtStart += document->Items()[i]->HasErrorMark();
        }
        m_line = std::move(line);
        m_finished = std::move(finished);
        if (!deferred) Complete();
    }
    void Complete() {
        for (const std::string& l : lines)
            m_line(l);
        auto finished = std::move(m_finished);
        finished(result);
    }
    void Release() override { m_log.push_back("release"); }

private:
    Log& m_log;
    LineSink m_line;
    Finished m_finished;
};

struct CFixture {
    test::CTempDir dir;
    Log log;
    CFakeHost host{log};
    CFakeNotifier notifier{log};
    CFakeCompiler compiler{log};
    COptionMgr options;
    CBuildController build{compiler, host, notifier, options, 7};
    std::unique_ptr<CRUXDocument> document = std::make_unique<CRUXDocument>();

    CFixture() {
        const std::string path = dir.Write("line.rux", "");
        CProgram program;
        program.SetFormat(true);
        program.Items().Append(std::make_unique<CPar>());
        for (const char* text : {"x% = 1", "y% = 2"})
            program.Items().Append(std::make_unique<CLine>(text));
        document->AdoptProgram(std::move(program));
        document->SetPathName(path);
        document->SetMark(2, kMarkError, true);
        document->SetModified(false);
        compiler.document = document.get();
    }
    std::string Path() const { return document->GetPathName(); }
};

TEST(BuildController, StepsInOrder) {
    struct Case {
        const char* name;
        bool loads;
        int32_t result;
        bool stopOnWarning;
        int option10;
        bool tick;
        int expectedResult;
        Log expected; // "@" stands for the program path
        int option10After;
    } cases[] = {
        {"clean build with the box", true, 1, false, 1, false, 1,
         {"status:Compiling...", "wait", "running", "load", "tab:@", "compile:@:1:7", "line:a", "line:b",
          "notify:Z2ADAZ:1739:@", "box:info:Build: No errors detected", "release", "idle", "arrow", "status:"},
         1},
        {"errors, the box ticked away", true, 0, true, 1, true, 2,
         {"status:Compiling...", "wait", "running", "load", "tab:@", "compile:@:0:7", "line:a", "line:b",
          "box:warn:Error(s) detected", "release", "idle", "arrow", "status:"},
         0},
        {"errors without the box", true, 0, false, 0, false, 2,
         {"status:Compiling...", "wait", "running", "load", "tab:@", "compile:@:1:7", "line:a", "line:b", "release",
          "idle", "arrow", "status:"},
         0},
        {"no compiler library", false, 1, false, 1, false, 0,
         {"status:Compiling...", "wait", "running", "load-missing", "release", "idle", "arrow", "status:"}, 1},
    };
    for (const Case& c : cases) {
        CFixture f;
        f.compiler.loads = c.loads;
        f.compiler.result = c.result;
        f.compiler.lines = {"a", "b"};
        f.host.stopOnWarning = c.stopOnWarning;
        f.host.tickBox = c.tick;
        f.options.SetOption(OPT_SHOW_BUILD_DIAG, c.option10);
        f.document->SetModified(true);
        std::vector<int> results;
        f.build.Build(f.document.get(), [&](int r) {
            results.push_back(r);
            f.log.push_back(f.build.IsRunning() ? "done-while-running" : "done");
        });
        Log expected;
        for (std::string s : c.expected) {
            for (size_t at = s.find('@'); at != std::string::npos; at = s.find('@')) s.replace(at, 1, f.Path());
            expected.push_back(s);
        }
        expected.push_back("done");
        EXPECT_EQ(f.log, expected) << c.name;
        EXPECT_EQ(results, std::vector<int>{c.expectedResult}) << c.name;
        EXPECT_EQ(f.options.GetOption(OPT_SHOW_BUILD_DIAG), c.option10After) << c.name;
        EXPECT_FALSE(f.build.IsRunning()) << c.name;
        if (!c.loads) {
            EXPECT_TRUE(f.document->IsModified()) << "without a compiler nothing is saved";
            EXPECT_TRUE(f.document->Items()[2]->HasErrorMark()) << "nor are the marks cleared";
            continue;
        }
        EXPECT_FALSE(f.document->IsModified()) << c.name;
        EXPECT_NE(f.compiler.diskText.find("y% = 2"), std::string::npos)
            << "saved before compiling: " << c.name;
        EXPECT_EQ(f.compiler.marksAtStart, 0) << "marks cleared before compiling: " << c.name;
    }
}

TEST(BuildController, AnUnmodifiedProgramIsNotWrittenAgain) {
    CFixture f;
    test::WriteFileBytes(f.Path(), "as on disk");
    f.build.Build(f.document.get());
    EXPECT_EQ(f.compiler.diskText, "as on disk");
}

TEST(BuildController, ASecondBuildWhileOneRunsStartsNothing) {
    CFixture f;
    f.compiler.deferred = true;
    f.compiler.result = 0;
    std::vector<int> first, second;
    f.build.Build(f.document.get(), [&](int r) { first.push_back(r); });
    ASSERT_TRUE(f.build.IsRunning());
    const size_t logged = f.log.size();
    f.build.Build(f.document.get(), [&](int r) { second.push_back(r); });
    f.build.Build(nullptr, [&](int r) { second.push_back(r); });
    EXPECT_EQ(second, (std::vector<int>{0, 0}));
    EXPECT_EQ(f.log.size(), logged) << "the refused builds touched nothing";
    EXPECT_TRUE(first.empty());

    // The program may close while the compiler runs: the end of the build needs only its path.
    const std::string path = f.Path();
    f.compiler.document = nullptr;
    f.document.reset();
    f.compiler.Complete();
    EXPECT_EQ(first, std::vector<int>{2});
    EXPECT_FALSE(f.build.IsRunning());
    EXPECT_EQ(f.log.back(), "status:");

    // And the next build starts again.
    CRUXDocument again;
    again.SetPathName(path);
    f.compiler.deferred = false;
    f.compiler.result = 1;
    f.options.SetOption(OPT_SHOW_BUILD_DIAG, 0);
    f.build.Build(&again, [&](int r) { first.push_back(r); });
    EXPECT_EQ(first, (std::vector<int>{2, 1}));
    EXPECT_EQ(f.log[f.log.size() - 5], "notify:Z2ADAZ:1739:" + path);
}

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
