#include "frame/porting_commands.h"

#include "app/rux_app.h"
#include "dialogs/porting_issues_select_dialog.h"
#include "document/code_page.h"
#include "document/rux_document.h"
#include "document/string_table.h"
#include "frame/main_frame.h"
#include "frame/mdi_child.h"
#include "frame/message_box.h"
#include "panes/porting_panes.h"
#include "shell/command_ids.h"
#include "shell/product_paths.h"
#include "view/rux_view.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QEvent>
#include <QMdiArea>
#include <QMenu>
#include <QTextBrowser>
#include <QUrl>

#include <memory>

namespace rux {
namespace {

constexpr int kOpenPortingTool1 = 1754;
constexpr int kOpenPortingTool2 = 1755;

QString Ui(const std::string& bytes) {
    return QString::fromStdString(Cp1252ToUtf8(bytes));
}

// A pane of the frame holding `content`, dockable anywhere; `watcher` sees its events, so that closing
// the pane tells the tool.
QDockWidget* NewPane(QWidget* parent, int titleId, const char* name, QWidget* content, QObject* watcher) {
    auto* pane = new QDockWidget(QString::fromUtf8(LoadString(titleId)), parent);
    pane->setObjectName(name);
    pane->setWidget(content);
    pane->setAllowedAreas(Qt::AllDockWidgetAreas);
    pane->installEventFilter(watcher);
    return pane;
}

} // namespace

CPortingCommands::CPortingCommands(CMainFrame& frame)
    : m_frame(frame), m_tool(*this, CProductPaths::ProductDir(), CProductPaths::HelpDir()) {
    // Queued: while a window closes the MDI area still names it as the current one.
    connect(frame.MdiArea(), &QMdiArea::subWindowActivated, this, [this] {
        QMetaObject::invokeMethod(
            this, [this] { OnActiveChanged(); }, Qt::QueuedConnection);
    });
    OnActiveChanged();
}

CPortingCommands::~CPortingCommands() = default;

// --- commands --------------------------------------------------------------------------------

bool CPortingCommands::OnUpdateCommand(CCmdUI& ui) {
    bool enabled = false;
    if (!m_tool.Update(ui.id, enabled)) return false;
    ui.Enable(enabled);
    return true;
}

bool CPortingCommands::OnCommand(int id) {
    const bool handled = m_tool.Execute(id);
    if (handled) StatesChanged();
    return handled;
}

bool CPortingCommands::OnSuiteMessage(int number, const std::string&, const std::string&) {
    if (number != kOpenPortingTool1 && number != kOpenPortingTool2) return false;
    if (CRUXDocument* program = ActiveProgram()) m_tool.Run(*program);
    StatesChanged();
    return true;
}

void CPortingCommands::StatesChanged() {
    if (m_list) m_list->UpdateStates();
    m_frame.UpdateCommandStates();
}

void CPortingCommands::OnActiveChanged() {
    // The tool's button shows while a program is there to scan.
    if (QAction* show = m_frame.Action(ID_PORTING_SHOW))
        show->setVisible(m_frame.ActiveDocument() != nullptr);
    for (RUX_CMDIChildWnd* child : m_frame.Children()) {
        if (m_watched.contains(child)) continue;
        m_watched.insert(child);
        // The frame's own handler, connected first, closes the document; only its address is
        // used here, to let go of it.
        connect(child, &RUX_CMDIChildWnd::childClosing, this, [this](RUX_CMDIChildWnd* closing) {
            m_watched.remove(closing);
            m_tool.ProgramClosing(closing->Document());
        });
    }
    m_tool.ActiveProgramChanged(m_frame.ActiveDocument());
    StatesChanged();
}

// --- programs and views ----------------------------------------------------------------------

CRUXDocument* CPortingCommands::ActiveProgram() {
    return m_frame.ActiveDocument();
}

CRUXDocument* CPortingCommands::FindProgram(const std::string& path) {
    CRUXDocument* program = m_frame.App().ProgramTemplate().FindDocument(path);
    return program && m_frame.ChildOf(*program) ? program : nullptr;
}

CRUXDocument* CPortingCommands::OpenProgram(const std::string& path) {
    return m_frame.App().OpenDocumentFile(path);
}

CRUXView* CPortingCommands::ViewOf(CRUXDocument& program) const {
    RUX_CMDIChildWnd* child = m_frame.ChildOf(program);
    return child ? qobject_cast<CRUXView*>(child->View()) : nullptr;
}

CEditSession* CPortingCommands::Session(CRUXDocument& program) {
    CRUXView* view = ViewOf(program);
    return view ? &view->Session() : nullptr;
}

void CPortingCommands::InView(CRUXDocument& program, const std::function<void(CEditSession&)>& change) {
    if (CRUXView* view = ViewOf(program)) view->RunSessionCommand(change);
}

void CPortingCommands::Activate(CRUXDocument& program) {
    RUX_CMDIChildWnd* child = m_frame.ChildOf(program);
    if (!child) return;
    QWidget* focus = QApplication::focusWidget();
    const bool inList = focus && m_list && m_list->isAncestorOf(focus);
    if (m_frame.MdiArea()->activeSubWindow() != child) m_frame.MdiArea()->setActiveSubWindow(child);
    // Walking the list with the arrow keys goes on in the list; the program shows beside it.
    if (inList) focus->setFocus();
}

void CPortingCommands::GoToItem(CRUXDocument& program, int item, int column) {
    Activate(program);
    if (CRUXView* view = ViewOf(program)) view->GoToItem(item, column);
}

void CPortingCommands::ActivateView(CRUXDocument& program) {
    Activate(program);
}

bool CPortingCommands::OpenDiagramCell(CRUXDocument&, int, int, int) {
    // No diagram window to open yet: the program view shows the diagram's row instead.
    return false;
}

// --- the user --------------------------------------------------------------------------------

void CPortingCommands::ShowMessage(int, const std::string& text) {
    RuxMessageBox(&m_frame, Ui(text));
}

bool CPortingCommands::Ask(const std::string& text, bool okCancel) {
    const auto buttons =
        okCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Yes | QMessageBox::No;
    const QMessageBox::StandardButton answer =
        RuxMessageBox(&m_frame, Ui(text), buttons);
    return answer == QMessageBox::Yes || answer == QMessageBox::Ok;
}

bool CPortingCommands::ChooseIcons(bool& icon2, bool& icon3) {
    CDlgPortingIssuesSelect dialog(&m_frame);
    if (dialog.exec() != QDialog::Accepted) return false;
    dialog.Icons(icon2, icon3);
    return true;
}

// --- the panes -------------------------------------------------------------------------------

void CPortingCommands::CreateListPane() {
    if (m_listPane) return;
    m_list = new CPortingToolFrame([this](int id) { m_frame.RunCommand(id); },
                                   [this](int id) {
                                       bool enabled = false;
                                       return m_tool.Update(id, enabled) && enabled;
                                   });
    CPortingToolListCtrl* list = m_list->List();
    connect(list, &CPortingToolListCtrl::rowChosen, this, [this](int row) {
        m_tool.SelectRow(row);
        StatesChanged();
    });
    connect(list, &CPortingToolListCtrl::rowPicked, this, [this](int row) {
        m_tool.PickRow(row);
        StatesChanged();
    });
    connect(list, &CPortingToolListCtrl::fixRequested, this, [this] {
        m_tool.FixSelected(true);
        StatesChanged();
    });
    connect(list, &CPortingToolListCtrl::headerClicked, this,
            [this](int column) { m_tool.ClickHeader(column); });
    connect(list, &CPortingToolListCtrl::contextMenuAt, this, [this](const QPoint& at) {
        std::unique_ptr<QMenu> menu(m_list->ContextMenu(m_tool.ConvertibleToolbar()));
        menu->exec(at);
    });
    m_listPane = NewPane(&m_frame, IDS_PANE_PORTING_LIST, "PortingIssues", m_list, this);
    m_frame.addDockWidget(Qt::BottomDockWidgetArea, m_listPane);
    // The list wants the frame's width: it shares the Output pane's place as a tab of its own.
    if (QDockWidget* output = m_frame.OutputPane();
        output && m_frame.dockWidgetArea(output) != Qt::NoDockWidgetArea)
        m_frame.tabifyDockWidget(output, m_listPane);
    m_frame.resizeDocks({m_listPane}, {220}, Qt::Vertical); // room for a screenful of issues
    m_listPane->hide();
}

bool CPortingCommands::CreateDetailsPane() {
    CreateListPane();
    if (m_detailsPane) return true;
    m_details = new QTextBrowser;
    m_details->setObjectName("PortingDetails");
    m_details->setOpenExternalLinks(true);
    m_detailsPane = NewPane(&m_frame, IDS_PANE_PORTING_DETAILS, "PortingDetailsPane", m_details, this);
    // The page reads best as a column beside the program it explains.
    m_frame.addDockWidget(Qt::RightDockWidgetArea, m_detailsPane);
    m_frame.resizeDocks({m_detailsPane}, {360}, Qt::Horizontal);
    m_detailsPane->hide();
    return true;
}

void CPortingCommands::ShowHelpPage(const std::string& file) {
    if (m_details) m_details->setSource(QUrl::fromLocalFile(QString::fromStdString(file)));
}

void CPortingCommands::ShowPanes(bool list, bool details) {
    CreateListPane();
    if (list)
        m_frame.ShowPane(m_listPane);
    else
        m_listPane->hide(); // hidden, not closed: the user's close is told apart by its event
    if (!m_detailsPane) return;
    if (details)
        m_frame.ShowPane(m_detailsPane);
    else
        m_detailsPane->hide();
}

void CPortingCommands::RowsChanged(bool refilled) {
    CreateListPane();
    m_list->SetToolbar(m_tool.ConvertibleToolbar());
    m_list->List()->Fill(m_tool.Model(), refilled);
    StatesChanged();
}

bool CPortingCommands::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        if (watched == m_listPane) m_tool.ListPaneClosed();
        if (watched == m_detailsPane) m_tool.DetailsPaneClosed();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace rux
