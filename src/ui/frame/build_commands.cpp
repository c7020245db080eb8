#include "frame/build_commands.h"

#include "app/rux_app.h"
#include "document/rux_document.h"
#include "editor/edit_session.h"
#include "frame/main_frame.h"
#include "frame/mdi_child.h"
#include "frame/message_box.h"
#include "frame/threaded_compiler.h"
#include "panes/build_bar.h"
#include "panes/tree_bar.h"
#include "shell/command_ids.h"
#include "shell/frame_rules.h"
#include "target/queued_notifier.h"
#include "target/sse_notifier.h"
#include "cp1252.h"
#include "view/rux_view.h"

#include <QApplication>
#include <QMdiArea>

#include <filesystem>

namespace rux {
namespace {

bool EndsWithRux(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".rux";
}

} // namespace

CBuildCommands::CBuildCommands(CMainFrame& frame)
    : m_frame(frame), m_compiler(std::make_unique<CThreadedCompiler>()),
      m_controller(*m_compiler, *this, frame.App().Sender(), frame.App().Options(),
                   frame.App().SystemControlFlag()) {}

CBuildCommands::~CBuildCommands() = default;

CRUXView* CBuildCommands::ActiveView() const {
    RUX_CMDIChildWnd* child = m_frame.ActiveChild();
    return child ? qobject_cast<CRUXView*>(child->View()) : nullptr;
}

bool CBuildCommands::CanBuild(bool online) const {
    CRUXView* view = ActiveView();
    return view && view->Document().HasFormat() && view->Session().IsOnline() == online &&
           !m_frame.App().IsBuildRunning();
}

bool CBuildCommands::OnUpdateCommand(CCmdUI& ui) {
    const CBuildMessageList& messages = m_frame.BuildBar()->Messages();
    switch (ui.id) {
    case ID_BUILD:
        ui.Enable(CanBuild(false));
        return true;
    case ID_BUILD_DOWNLOAD:
        ui.Enable(CanBuild(true));
        return true;
    case ID_SHOW_BUILD_ERRORS: {
        const CRUXDocument* document = m_frame.ActiveDocument();
        std::error_code ec;
        ui.Enable(document && EndsWithRux(document->GetPathName()) &&
                  std::filesystem::exists(ErrorFilePath(document->GetPathName()), ec));
        return true;
    }
    case ID_TREE_BUILD:
    case ID_TREE_BUILD_DOWNLOAD:
        ui.Enable();
        return true;
    case ID_NEXT_ERROR:
        ui.Enable(messages.FindNext() >= 0);
        return true;
    case ID_PREVIOUS_ERROR:
        ui.Enable(messages.FindPrevious() >= 0);
        return true;
    default:
        return false;
    }
}

bool CBuildCommands::OnCommand(int id) {
    const CBuildMessageList& messages = m_frame.BuildBar()->Messages();
    switch (id) {
    case ID_BUILD:
        if (CanBuild(false)) Build();
        return true;
    case ID_BUILD_DOWNLOAD:
        if (CanBuild(true)) Build();
        return true;
    case ID_SHOW_BUILD_ERRORS:
        m_frame.ShowOutputPane();
        m_frame.BuildBar()->SelectTab(CBuildBar::kBuildTab);
        return true;
    case ID_TREE_BUILD:
        RunForTreeSelection(ID_BUILD);
        return true;
    case ID_TREE_BUILD_DOWNLOAD:
        RunForTreeSelection(ID_BUILD_DOWNLOAD);
        return true;
    case ID_NEXT_ERROR:
        GoToMessage(messages.FindNext());
        return true;
    case ID_PREVIOUS_ERROR:
        GoToMessage(messages.FindPrevious());
        return true;
    default:
        return false;
    }
}

void CBuildCommands::Build() {
    CRUXView* view = ActiveView();
    if (!view) return;
    // Build and download goes on to the download after a clean build (result 1) once the online work
    // is there; until then it builds and stops, like Build code.
    m_controller.Build(&view->Document(), [this](int) { m_frame.UpdateCommandStates(); });
}

void CBuildCommands::RunForTreeSelection(int viewCommand) {
    auto* tree = qobject_cast<CTreeBar*>(m_frame.ProgramTree());
    CRUXDocument* document = tree ? tree->SelectedDocument() : nullptr;
    RUX_CMDIChildWnd* child = document ? m_frame.ChildOf(*document) : nullptr;
    if (!child) return;
    m_frame.MdiArea()->setActiveSubWindow(child);
    m_frame.RunCommand(viewCommand);
}

void CBuildCommands::GoToMessage(int row) {
    CBuildBar* bar = m_frame.BuildBar();
    if (row < 0 || row >= bar->Messages().Count()) return;
    bar->SetCurrentMessage(row);
    const CBuildMessage& m = bar->Messages().Message(row);
    // The same road as a pick in the Build tab: the build bar's location record.
    m_frame.HandleSuiteMessage(1525, bar->Messages().LocationFile(row),
                               std::to_string(m.line) + ";" + std::to_string(m.start) + ";" +
                                   std::to_string(m.end));
}

// --- what the build shows --------------------------------------------------------------------

void CBuildCommands::SetMessageText(const std::string& text) {
    m_frame.SetMessageText(FromCp1252(text));
}

void CBuildCommands::SetWaitCursor(bool on) {
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void CBuildCommands::SetBuildRunning(bool on) {
    m_frame.App().SetBuildRunning(on);
    m_frame.UpdateCommandStates();
}

void CBuildCommands::ShowBuildTab(const std::string& programPath) {
    m_frame.ShowOutputPane();
    m_frame.BuildBar()->SelectTab(CBuildBar::kBuildTab);
    m_frame.BuildBar()->ResetListContent(CBuildBar::kBuildTab);
    m_frame.BuildBar()->SetProgramPath(programPath);
}

void CBuildCommands::AddBuildLine(const std::string& line) {
    m_frame.BuildBar()->AddLine(CBuildBar::kBuildTab, line);
}

bool CBuildCommands::ShowResultBox(const std::string& text, bool clean) {
    // The box wants the arrow: the wait cursor would cover every window, the box included.
    QApplication::restoreOverrideCursor();
    const bool ticked =
        RuxCheckMessageBox(&m_frame, FromCp1252(text), QObject::tr("Do not show this dialog again"),
                           clean ? QMessageBox::Information : QMessageBox::Warning);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    return ticked;
}

bool CBuildCommands::WarningStopsBuild() {
    return m_frame.App().Notifier().WarningStopsBuild();
}

} // namespace rux
