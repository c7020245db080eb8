#include "target/build_controller.h"

#include "document/rux_document.h"
#include "document/string_table.h"
#include "editor/error_location.h"
#include "shell/option_mgr.h"
#include "target/suite_notifier.h"

namespace rux {

CBuildController::CBuildController(CCompilerService& compiler, CBuildHost& host, CSuiteNotifier& notifier,
                                   COptionMgr& options, int32_t systemControlFlag)
    : m_compiler(compiler), m_host(host), m_notifier(notifier), m_options(options),
      m_systemControlFlag(systemControlFlag) {}

void CBuildController::Build(CRUXDocument* document, Done done) {
    if (m_running || !document) {
        if (done) done(kNothingBuilt);
        return;
    }
    m_host.SetMessageText(LoadString(IDS_COMPILING));
    m_host.SetWaitCursor(true);
    m_running = true;
    m_host.SetBuildRunning(true);
    m_done = std::move(done);
    if (!m_compiler.Load()) {
        End(kNothingBuilt);
        return;
    }
    // A failed save still builds: the compiler takes the file as it stands on disk.
    if (document->IsModified()) document->SaveDocument();
    ClearErrorMarks(*document);
    const int32_t warningFlag = m_host.WarningStopsBuild() ? 0 : 1;
    m_path = document->GetPathName();
    m_host.ShowBuildTab(m_path);
    m_compiler.Start(
        m_path, warningFlag, m_systemControlFlag,
        [this](const std::string& line) { m_host.AddBuildLine(line); },
        [this](int32_t result) { Finish(result); });
}

void CBuildController::Finish(int32_t compilerResult) {
    const bool clean = compilerResult != 0;
    if (clean) m_notifier.Notify(kSuiteMainTool, kMsgBuildSucceeded, m_path);
    const char* text = LoadString(clean ? IDS_BUILD_NO_ERRORS : IDS_BUILD_ERRORS);
    if (m_options.GetOption(OPT_SHOW_BUILD_DIAG) && m_host.ShowResultBox(text, clean))
        m_options.SetOption(OPT_SHOW_BUILD_DIAG, 0);
    End(clean ? kBuilt : kErrors);
}

void CBuildController::End(int result) {
    m_compiler.Release();
    m_running = false;
    m_host.SetBuildRunning(false);
    m_host.SetWaitCursor(false);
    m_host.SetMessageText({});
    m_path.clear();
    // The handler may start the next build (build and download goes online): hand it over first.
    Done done = std::move(m_done);
    m_done = nullptr;
    if (done) done(result);
}

} // namespace rux
