#include "target/build_controller.h"

#include "document/header_item.h"
#include "document/item.h"
#include "document/line_item.h"
#include "document/rux_document.h"
#include "shell/option_mgr.h"
#include "support/temp_dir.h"
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

} // namespace
} // namespace rux
