#include "app/rux_app.h"

#include "cp1252.h"
#include "document/code_page.h"
#include "document/string_table.h"
#include "frame/main_frame.h"
#include "frame/mdi_child.h"
#include "frame/view_host.h"
#include "panes/build_bar.h"
#include "resources/menus.h"
#include "shell/command_ids.h"
#include "shell/product_paths.h"
#include "target/group_mgr.h"
#include "target/h2tgt_library.h"
#include "target/queued_notifier.h"
#include "target/service_library.h"
#include "target/sse_notifier.h"

#include "h2about.h"
#include "h2help.h"
#include "h2ruxview.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QMdiArea>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>

#include <filesystem>

// Resources of a static library must be registered by name, outside any namespace.
static void InitUiResources() {
    Q_INIT_RESOURCE(ruxui);
}

namespace rux {

namespace {

// Programs are written for a "courier new"-like face; Liberation Mono has its metrics.
void InstallFontSubstitutes() {
    for (const char* face : {"courier new", "Courier New", "courier", "Courier"})
        QFont::insertSubstitutions(QString::fromLatin1(face), {"Liberation Mono", "DejaVu Sans Mono", "Monospace"});
}

} // namespace

CRUXApp::CRUXApp()
    : m_templates(CTplMgr::ProductTemplates()), m_settings(CProductPaths::SettingsFile()),
      m_profile(CProfileStore::UserProfile()),
      m_programTemplate(CMultiDocTemplateEx::kProgramResource, CMultiDocTemplateEx::kProgramDocString),
      m_notifier(std::make_unique<CSseNotifier>()), m_sender(std::make_unique<CQueuedNotifier>(*m_notifier)) {
    InitUiResources();
    InstallFontSubstitutes();
}

CRUXApp::~CRUXApp() {
    // Windows first: they refer to the documents, the bus and the options.
    m_frame.reset();
    BindViewEnvironment(nullptr);
    if (m_started) m_options.Save(m_settings);
    m_instanceLock.Release();
}

CDocumentServices CRUXApp::DocumentServices() {
    CDocumentServices services;
    services.target = m_target.get();
    services.notifier = m_sender.get();
    services.groups = m_groups.get();
    services.messages = &m_messages;
    // The group library hears of each save with the frame as its window.
    services.saved = [this](const std::string& path) {
        if (m_groups) m_groups->FileChanged(m_frame.get(), path);
    };
    return services;
}

bool CRUXApp::InitInstance(const std::vector<std::string>& args) {
    // 1. One editor per user session. A lock file that cannot be opened at all does not stop the
    //    editor: it runs unguarded rather than not at all.
    if (!m_instanceLock.Acquire() && !m_instanceLock.Failed()) {
        m_secondInstance = true;
        // The first editor listens on the bus: 1232 brings its frame to the front. Sent at once and
        // waited for, since this process ends right after, and without a put, so that what the suite
        // published for the first editor stays as it was.
        m_notifier->SendOnly(kEditorToolName, 1232);
        return false;
    }
    // 2. The suite's machine setting.
    m_systemControlFlag = CProfileStore::ReadSystemControlFlag();
    // 3. The profile: the recent files.
    LoadRecentFiles();
    // 4. The options.
    m_options.Load(m_settings);
    BindViewEnvironment(&m_options);
    m_target = CreateTargetLibrary();
    m_groups = std::make_unique<CGroupMgr>();
    // 5. The program template is registered with the application object (m_programTemplate); the two
    //    diagram templates come with the diagram windows.
    // 6. The main frame, which registers with the group library as its window.
    m_frame = std::make_unique<CMainFrame>(*this);
    m_groups->Register(m_frame.get(), kEditorToolName);
    m_messages.SetParent(m_frame.get());
    if (!m_frame->Create()) return false;
    m_frame->RegisterOnBus();
    // 7. The command line.
    m_commandLine = RUX_CCommandLineInfo();
    m_commandLine.Parse(args);
    // What the suite published for the go-to-error switch is read before the editor sends anything
    // itself: each of its own messages puts a file name, which would take that place.
    std::string errorFile, errorLineData;
    if (m_commandLine.m_goToError) {
        errorFile = m_notifier->PublishedFileName();
        errorLineData = m_notifier->PublishedErrorLineData();
    }
    // 8. Mode and placement.
    m_frame->SetMode(static_cast<EditorMode>(m_commandLine.m_mode));
    const std::optional<CWindowPlacement> placement = m_profile.LoadFramePlacement();
    QRect normal;
    if (placement && placement->right > placement->left && placement->bottom > placement->top)
        normal = QRect(placement->left, placement->top, placement->right - placement->left,
                       placement->bottom - placement->top);
    if (normal.isValid()) {
        m_frame->setGeometry(normal);
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        m_frame->resize(std::min(1360, avail.width()), std::min(860, avail.height()));
    }
    if (placement && placement->showCmd == 3)
        m_frame->showMaximized();
    else
        m_frame->show();
    // 9. The Output pane when asked for.
    if (m_commandLine.m_showOutput) m_frame->ShowOutputPane();
    // 10. Toolbars for the mode.
    m_frame->ShowToolbarsForMode();
    m_frame->UpdateToolbars();
    // 11. The named program; no empty document otherwise.
    if (m_commandLine.m_shellCommand == RUX_CCommandLineInfo::FileOpen) {
        if (!OpenDocumentFile(m_commandLine.m_fileName)) return false;
    }
    // 12. Maximise the child.
    if (RUX_CMDIChildWnd* child = m_frame->ActiveChild()) child->showMaximized();
    // 13. Function blocks written without brackets.
    m_noBracketFbs.LoadFromProductDir();
    // 14. The error the suite published (the file name and line data last put by any of the user's
    //     tools), handled as the notification 1750 is; empty line data does nothing.
    if (m_commandLine.m_goToError) m_frame->PostSuiteMessage(1750, errorFile, errorLineData);
    // 15. The templates, then the shortcut tables with the templates' keys.
    LoadTemplatesAndShortcuts();
    m_started = true;
    return true;
}

void CRUXApp::LoadTemplatesAndShortcuts() {
    m_templates.Load();
    m_accels.Load(MenuCommandIds(IDR_RUXTYPE), MenuCommandIds(IDR_MAINFRAME), m_templates);
    if (m_frame) m_frame->TemplatesLoaded();
}

CRUXDocument* CRUXApp::OpenDocumentFile(const std::string& path) {
    if (path.empty() || !m_frame) return nullptr;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CRUXDocument* document = m_programTemplate.FindDocument(path);
    if (document) {
        if (RUX_CMDIChildWnd* child = m_frame->ChildOf(*document)) m_frame->MdiArea()->setActiveSubWindow(child);
        QApplication::restoreOverrideCursor();
        return document;
    }
    const int shownBefore = m_messages.Shown();
    std::string why;
    document = m_programTemplate.OpenDocumentFile(path, DocumentServices(),
                                                  m_frame && CShellSettings::Load(m_settings).readOnly, &why);
    if (!document) {
        QApplication::restoreOverrideCursor();
        // A refusal the document explained in a box of its own (the light edition) needs no second box.
        if (m_messages.Shown() == shownBefore) {
            const QString name = QString::fromStdString(path);
            RuxMessageBox(m_frame.get(), why.empty() ? tr("%1 could not be opened.").arg(name)
                                                     : tr("%1 could not be opened: %2.").arg(name, FromCp1252(why)));
        }
        return nullptr;
    }
    m_frame->AddChild(*document);
    // The stored build results of the program: its error file, or nothing.
    m_frame->BuildBar()->ResetListContent(CBuildBar::kBuildTab);
    m_frame->BuildBar()->RefreshBuild(document->GetPathName(), CBuildBar::kBuildTab, 1);
    if (m_groups && m_groups->IsFileInGroup(document->GetPathName())) {
        const std::string group = m_groups->GetFileGroup(document->GetPathName());
        if (!group.empty()) {
            const std::string name = QFileInfo(QString::fromStdString(document->GetPathName())).fileName().toStdString();
            std::string text = LoadString(IDS_GROUP_MEMBER);
            // "%1!s!" and "%2!s!" are the classic formatter's typed inserts.
            for (auto [mark, value] : {std::pair{std::string("%1!s!"), name}, std::pair{std::string("%2!s!"), group}})
                if (const size_t at = text.find(mark); at != std::string::npos) text.replace(at, mark.size(), value);
            m_frame->PostSuiteMessage(1226, text, {});
        }
    }
    document->SetDebugMode(m_frame->Mode() == DebugMode);
    AddRecentFile(QString::fromStdString(document->GetPathName()));
    QApplication::restoreOverrideCursor();
    return document;
}

void CRUXApp::LoadRecentFiles() {
    m_recentFiles.clear();
    for (int i = 1; i <= kRecentFiles; ++i) {
        const std::string file = m_profile.GetString("Recent File List", "File" + std::to_string(i), "");
        if (!file.empty()) m_recentFiles << QString::fromStdString(file);
    }
}

void CRUXApp::SaveRecentFiles() {
    for (int i = 0; i < kRecentFiles; ++i)
        m_profile.WriteString("Recent File List", "File" + std::to_string(i + 1),
                              i < m_recentFiles.size() ? m_recentFiles[i].toStdString() : std::string());
}

void CRUXApp::AddRecentFile(const QString& path) {
    m_recentFiles.removeAll(path);
    m_recentFiles.prepend(path);
    while (m_recentFiles.size() > kRecentFiles) m_recentFiles.removeLast();
}

bool CRUXApp::OnUpdateCommand(CCmdUI& ui) {
    if (ui.id >= ID_FILE_MRU_FIRST && ui.id < ID_FILE_MRU_FIRST + kRecentFiles) {
        ui.Enable(ui.id - ID_FILE_MRU_FIRST < m_recentFiles.size());
        return true;
    }
    switch (ui.id) {
    case ID_APP_ABOUT:
    case ID_FILE_OPEN:
    case ID_FILE_PRINT_SETUP:
    case ID_HELP_CONTENTS:
    case ID_HELP_INDEX:
    case ID_HELP_SEARCH:
    case ID_APP_EXIT: ui.Enable(); return true;
    default: return false;
    }
}

bool CRUXApp::OnCommand(int id) {
    if (id >= ID_FILE_MRU_FIRST && id < ID_FILE_MRU_FIRST + kRecentFiles) {
        const int index = id - ID_FILE_MRU_FIRST;
        if (index < m_recentFiles.size()) {
            const QString path = m_recentFiles[index];
            if (!OpenDocumentFile(path.toStdString())) m_recentFiles.removeAll(path);
        }
        return true;
    }
    switch (id) {
    case ID_APP_ABOUT: About(); return true;
    case ID_FILE_OPEN: FileOpen(); return true;
    case ID_FILE_PRINT_SETUP: PrintSetup(); return true;
    case ID_HELP_CONTENTS: CallHelp("HALM2Help_Contents"); return true;
    case ID_HELP_INDEX: CallHelp("HALM2Help_Index"); return true;
    case ID_HELP_SEARCH: CallHelp("HALM2Help_Search"); return true;
    case ID_APP_EXIT:
        if (m_frame) m_frame->close();
        return true;
    default: return false;
    }
}

void CRUXApp::FileOpen() {
    // The file chooser is a suite library; without it the command does nothing.
    CServiceLibrary library("H2RUXVIEW");
    auto* open = library.Entry<decltype(::H2FileOpen)>("H2FileOpen");
    if (!open) return;
    char path[H2_MAX_PATH] = {};
    int32_t value = 0;
    if (!open(m_frame.get(), path, &value, 1)) return;
    // The value beside the path is the chooser's read-only box.
    if (CRUXDocument* document = OpenDocumentFile(path); document && value) document->SetReadOnly(true);
}

void CRUXApp::PrintSetup() {
    QPrinter printer;
    QPrintDialog dialog(&printer, m_frame.get());
    dialog.setOptions(QAbstractPrintDialog::PrintDialogOptions());
    dialog.setWindowTitle(tr("Print Setup"));
    dialog.exec();
}

void CRUXApp::CallHelp(const char* entry) {
    CServiceLibrary library("HALM2Help");
    if (auto* call = library.Entry<decltype(::HALM2Help_Contents)>(entry)) call(m_frame.get());
}

void CRUXApp::About() {
    CServiceLibrary library("H2About");
    if (auto* about = library.Entry<decltype(::H2AboutEx)>("H2AboutEx")) about(m_frame.get(), "H2.EXE", m_systemControlFlag);
}

} // namespace rux
