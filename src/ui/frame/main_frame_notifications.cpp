#include "frame/main_frame.h"

#include "app/rux_app.h"
#include "cp1252.h"
#include "document/rux_document.h"
#include "editor/error_location.h"
#include "frame/mdi_child.h"
#include "frame/message_box.h"
#include "frame/themes.h"
#include "frame/view_host.h"
#include "shell/theme.h"
#include "target/sse_notifier.h"

#include <QCoreApplication>
#include <QMdiArea>

#include <filesystem>

namespace rux {

const QEvent::Type CSuiteEvent::kType = static_cast<QEvent::Type>(QEvent::registerEventType(QEvent::User + 1024));

namespace {

// On the bus's thread: the message travels to the user-interface thread with its own file name and
// line data, so a newer message cannot change what an older one's handler reads.
void OnBusMessage(int32_t number, const char* fileName, const char* lineData, void* context) {
    static_cast<CMainFrame*>(context)->PostSuiteMessage(number, fileName, lineData);
}

} // namespace

bool CMainFrame::RegisterOnBus() {
    m_onBus = m_app.Notifier().RegisterTool(kEditorToolName, &OnBusMessage, this);
    return m_onBus;
}

void CMainFrame::UnregisterFromBus() {
    if (!m_onBus) return;
    m_app.Notifier().UnregisterTool(kEditorToolName);
    m_onBus = false;
}

void CMainFrame::PostSuiteMessage(int number, const std::string& fileName, const std::string& lineData) {
    QCoreApplication::postEvent(this, new CSuiteEvent(number, fileName, lineData));
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == CSuiteEvent::kType) {
        const auto* e = static_cast<CSuiteEvent*>(event);
        HandleSuiteMessage(e->number, e->fileName, e->lineData);
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::HandleSuiteMessage(int number, const std::string& fileName, const std::string& lineData) {
    for (const auto& extension : m_extensions)
        if (extension->OnSuiteMessage(number, fileName, lineData)) return;
    switch (number) {
    case 1226: RuxMessageBox(this, FromCp1252(fileName)); break;
    case 1232:
        // A second editor wants this one in front: a minimised frame comes back as it was.
        if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
        raise();
        activateWindow();
        break;
    case 1524: {
        const int line = FirstLineNumber(lineData);
        if (line >= 0) GoToErrorLocation(fileName, {line, -1, -1});
        break;
    }
    case 1525: {
        const CErrorLocation location = ParseErrorLineData(lineData);
        if (fileName.find_first_of("/\\") != std::string::npos || fileName.empty()) {
            GoToErrorLocation(fileName, location);
            break;
        }
        // A bare file name: every open document of that name gets the jump.
        std::vector<std::string> paths;
        for (const auto& document : m_app.ProgramTemplate().Documents())
            if (ErrorFileNames(document->GetPathName(), fileName)) paths.push_back(document->GetPathName());
        for (const std::string& path : paths) GoToErrorLocation(path, location);
        break;
    }
    case 1729: ForwardToChildren(number, fileName); break;
    case 1731: OpenAndMaximise(fileName); break;
    case 1733:
        SaveShellSettings();
        CloseAllWithoutAsking();
        break;
    case 1737: ShowOutputPane(); break;
    case 1747: ApplyTheme(CThemeTable::Load(m_app.Settings()), false); break;
    case 1750: {
        if (lineData.empty()) break;
        const CErrorLocation location = ParseErrorLineData(lineData);
        if (location.line >= 0) GoToErrorLocation(fileName, location);
        break;
    }
    case 1753:
        if (CRUXDocument* open = m_app.ProgramTemplate().FindDocument(fileName)) {
            if (RUX_CMDIChildWnd* child = ChildOf(*open)) m_mdi->setActiveSubWindow(child);
        } else if (!fileName.empty() && std::filesystem::exists(fileName)) {
            m_app.OpenDocumentFile(fileName);
        }
        break;
    default: break; // the numbers of features still to come carry nothing here yet
    }
}

void CMainFrame::ForwardToChildren(int, const std::string& fileName) {
    // The suite changed a program's header or group: the titles of the programs it names (all of
    // them without a name) are composed again.
    for (const auto& document : m_app.ProgramTemplate().Documents())
        if (fileName.empty() || ErrorFileNames(document->GetPathName(), fileName) ||
            document->GetPathName() == fileName)
            document->SetTitle();
}

void CMainFrame::OpenAndMaximise(const std::string& path) {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    const bool hadDocument = !Children().empty();
    if (path.empty()) return;
    m_app.OpenDocumentFile(path);
    if (!hadDocument)
        if (RUX_CMDIChildWnd* child = ActiveChild()) child->showMaximized();
}

void CMainFrame::CloseAllWithoutAsking() {
    for (RUX_CMDIChildWnd* child : Children()) child->CloseWithoutAsking();
}

bool CMainFrame::GoToErrorLocation(const std::string& fileName, const CErrorLocation& location) {
    RUX_CMDIChildWnd* child = nullptr;
    if (!fileName.empty()) {
        CRUXDocument* document = m_app.ProgramTemplate().FindDocument(fileName);
        if (!document) {
            std::error_code ec;
            if (!std::filesystem::is_regular_file(fileName, ec)) return false;
            document = m_app.OpenDocumentFile(fileName);
        }
        if (!document) return false;
        child = ChildOf(*document);
        if (child) m_mdi->setActiveSubWindow(child);
    } else {
        child = ActiveChild();
    }
    if (!child) return false;
    child->View()->setFocus();
    const int index = MarkErrorLine(child->Document(), location.line);
    if (index < 0) return false;
    // A text line gets no selection; the caret stands where the reported text starts, which is where
    // the user looks first. A line past the end went to the last line, where the column means nothing.
    ViewGoToItem(child->View(), index, index == location.line && location.start > 0 ? location.start : 1);
    SetPaneText(kPanePosition, ViewPositionText(child->View()));
    return true;
}

} // namespace rux
