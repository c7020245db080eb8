// The Build operation of the main frame: its guard, the steps around the compiler and the result.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace rux {

class COptionMgr;
class CRUXDocument;
class CSuiteNotifier;

// The compiler library as a build calls it (H2Cmp_Compile with its delivery function).
class CCompilerService {
public:
    using LineSink = std::function<void(const std::string& line)>;
    using Finished = std::function<void(int32_t result)>;

    virtual ~CCompilerService() = default;
    // Loads the library and finds its compile entry; false when either is missing.
    virtual bool Load() = 0;
    // Compiles the program file. Every message line reaches `line`, in the compiler's order, and then
    // the compiler's result (non-zero: no errors) reaches `finished`, exactly once. Both run on the
    // caller's thread; they may run before Start returns.
    virtual void Start(const std::string& programPath, int32_t warningFlag, int32_t systemControlFlag,
                       LineSink line, Finished finished) = 0;
    // Lets the library go after the build.
    virtual void Release() = 0;
};

// What a build shows and asks of the frame around it.
class CBuildHost {
public:
    virtual ~CBuildHost() = default;
    // The status bar's message pane.
    virtual void SetMessageText(const std::string& text) = 0;
    virtual void SetWaitCursor(bool on) = 0;
    // The application's build-running flag, and with it the Build button's state.
    virtual void SetBuildRunning(bool on) = 0;
    // Shows the Output pane, selects the Build tab and clears it for the build of this program.
    virtual void ShowBuildTab(const std::string& programPath) = 0;
    // One message line of the compiler, at the end of the Build tab.
    virtual void AddBuildLine(const std::string& line) = 0;
    // The result in a box with the check box "Do not show this dialog again": the information icon
    // after a clean build, the exclamation icon after errors. True when the user ticked the box.
    virtual bool ShowResultBox(const std::string& text, bool clean) = 0;
    // Whether the suite says builds stop on warnings.
    virtual bool WarningStopsBuild() = 0;
};

class CBuildController {
public:
    // What a build came to.
    enum EResult : int { kNothingBuilt = 0, kBuilt = 1, kErrors = 2 };
    using Done = std::function<void(int result)>;

    CBuildController(CCompilerService& compiler, CBuildHost& host, CSuiteNotifier& notifier,
                     COptionMgr& options, int32_t systemControlFlag);
    CBuildController(const CBuildController&) = delete;
    CBuildController& operator=(const CBuildController&) = delete;

    bool IsRunning() const { return m_running; }

    // Builds the document's program file. `done` hears the result exactly once, after the build has
    // ended (running flag clear, library released); it may hear it before Build returns. A build
    // already running, or no document, gives kNothingBuilt at once and changes nothing.
    //
    // The document is touched only before the compiler starts (save, error marks): the compiler
    // reads the file on disk, so the program may close while it runs.
    void Build(CRUXDocument* document, Done done = {});

private:
    void Finish(int32_t compilerResult);
    void End(int result);

    CCompilerService& m_compiler;
    CBuildHost& m_host;
    CSuiteNotifier& m_notifier;
    COptionMgr& m_options;
    int32_t m_systemControlFlag;
    bool m_running = false;
    std::string m_path;
    Done m_done;
};

} // namespace rux
