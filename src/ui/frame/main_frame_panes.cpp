#include "frame/main_frame.h"

#include "app/rux_app.h"
#include "document/string_table.h"
#include "frame/mdi_child.h"
#include "frame/view_host.h"
#include "panes/build_bar.h"
#include "panes/task_manager_pane.h"
#include "resources/menus.h"
#include "shell/command_ids.h"
#include "shell/frame_layout_store.h"

#include <QAction>
#include <QDockWidget>
#include <QMdiArea>
#include <QToolBar>

namespace rux {

namespace {

constexpr int kLayoutVersion = 1;

} // namespace

void CMainFrame::CreateToolbars() {
    for (const CToolbarDef& def : Toolbars()) {
        auto* bar = new QToolBar(QString::fromUtf8(def.name), this);
        bar->setObjectName(QString::fromUtf8(def.name));
        bar->setIconSize(QSize(16, 16));
        bar->setMovable(true);
        bar->toggleViewAction()->setVisible(false); // toolbars follow the mode, not the user's whims
        for (int id : def.buttons) {
            if (id == 0)
                bar->addSeparator();
            else
                bar->addAction(Action(id));
        }
        addToolBar(Qt::TopToolBarArea, bar);
        m_toolbars[def.id] = bar;
    }
}


void CMainFrame::CreatePanes() {
    m_buildBar = new CBuildBar(this);
    m_tree = CreateProgramTree(this);
    ApplyTreeOptions();
    CTreeHooks treeHooks;
    treeHooks.goToItem = [this](CRUXDocument* document, int item, bool) {
        RUX_CMDIChildWnd* child = document ? ChildOf(*document) : nullptr;
        if (!child) return;
        m_mdi->setActiveSubWindow(child);
        child->View()->setFocus();
        if (item >= 0) ViewGoToItem(child->View(), item);
    };
    ConnectProgramTree(m_tree, this, treeHooks);
    m_taskManager = new CTaskManagerPane(this);
    connect(m_buildBar, &CBuildBar::LocationPicked, this, [this](const QString& file, int line, int start, int end) {
        HandleSuiteMessage(1525, file.toStdString(),
                           std::to_string(line) + ";" + std::to_string(start) + ";" + std::to_string(end));
    });
    auto makePane = [this](int titleId, const char* name, QWidget* content, Qt::DockWidgetArea area) {
        auto* pane = new QDockWidget(QString::fromUtf8(LoadString(titleId)), this);
        pane->setObjectName(QString::fromUtf8(name));
        pane->setWidget(content);
        pane->setAllowedAreas(Qt::AllDockWidgetAreas);
        addDockWidget(area, pane);
        connect(pane, &QDockWidget::visibilityChanged, this, [this] { UpdateCommandStates(); });
        return pane;
    };
    m_workspacePane = makePane(IDS_PANE_WORKSPACE, "Workspace", m_tree, Qt::LeftDockWidgetArea);
    m_outputPane = makePane(IDS_PANE_OUTPUT, "Output", m_buildBar, Qt::BottomDockWidgetArea);
    m_taskPane = makePane(IDS_PANE_TASK_MANAGER, "TaskManager", m_taskManager, Qt::LeftDockWidgetArea);
    tabifyDockWidget(m_workspacePane, m_taskPane);
    m_workspacePane->raise();
    resizeDocks({m_workspacePane}, {240}, Qt::Horizontal);
    resizeDocks({m_outputPane}, {150}, Qt::Vertical);
}

void CMainFrame::RestoreLayouts() {
    // A missing or damaged layout keeps the default places set up above.
    const QByteArray layout = QByteArray::fromBase64(
        QByteArray::fromStdString(CFrameLayoutStore::ReadText(m_app.Profile(), CFrameLayoutStore::kLayoutSection)));
    if (!layout.isEmpty()) restoreState(layout, kLayoutVersion);
    const std::string bars = QByteArray::fromBase64(QByteArray::fromStdString(CFrameLayoutStore::ReadText(
                                                         m_app.Profile(), CFrameLayoutStore::kCommandBarsSection)))
                                 .toStdString();
    const auto toolbars = Toolbars();
    const std::vector<CToolbarPlace> places = CFrameLayoutStore::ParseToolbarPlaces(bars, toolbars.size());
    for (size_t i = 0; i < places.size(); ++i) {
        if (places[i].area == 0) continue;
        const auto area = static_cast<Qt::ToolBarArea>(places[i].area);
        if (places[i].lineBreak) addToolBarBreak(area);
        addToolBar(area, Toolbar(toolbars[i].id));
    }
}

void CMainFrame::SaveLayouts() {
    CFrameLayoutStore::WriteText(m_app.Profile(), CFrameLayoutStore::kLayoutSection,
                                 saveState(kLayoutVersion).toBase64().toStdString());
    std::vector<CToolbarPlace> places;
    for (const CToolbarDef& def : Toolbars()) {
        QToolBar* bar = Toolbar(def.id);
        places.push_back({static_cast<int>(toolBarArea(bar)), toolBarBreak(bar)});
    }
    CFrameLayoutStore::WriteText(
        m_app.Profile(), CFrameLayoutStore::kCommandBarsSection,
        QByteArray::fromStdString(CFrameLayoutStore::FormatToolbarPlaces(places)).toBase64().toStdString());
}

// --- panes and toolbars ----------------------------------------------------------------------

bool CMainFrame::IsPaneShown(const QDockWidget* pane) const {
    return pane && !pane->isHidden();
}

void CMainFrame::ShowPane(QDockWidget* pane) {
    if (!pane) return;
    if (pane->isHidden()) {
        if (dockWidgetArea(pane) == Qt::NoDockWidgetArea) addDockWidget(Qt::BottomDockWidgetArea, pane);
        pane->show();
    }
    pane->raise();
}

void CMainFrame::TogglePane(QDockWidget* pane) {
    if (IsPaneShown(pane))
        pane->close();
    else
        ShowPane(pane);
}

void CMainFrame::ApplyTreeOptions() {
    const COptionMgr& options = m_app.Options();
    TreeSetOptions(m_tree, options.GetOption(OPT_TREE_SORT_ALPHA) != 0, options.GetOption(OPT_TREE_DISPLAY_FB_PARAM) != 0,
                   options.GetOption(OPT_TREE_DBLCLK_OPEN_DIAG) != 0);
}

void CMainFrame::UpdateToolbars() {
    RUX_CMDIChildWnd* child = ActiveChild();
    // No view goes online before the online work exists, so a program view is always offline here.
    const CToolbarVisibility v = ToolbarsFor(m_mode, m_shell.mainToolbar != 0, child != nullptr, false, true);
    if (QToolBar* bar = Toolbar(128)) bar->setVisible(v.standard);
    if (QToolBar* bar = Toolbar(140)) bar->setVisible(v.debugging);
    if (QToolBar* bar = Toolbar(137)) bar->setVisible(m_shell.viewToolbar != 0);
    if (QAction* online = Action(ID_ONLINE)) online->setVisible(v.onlineButton);
    if (child) TreeSelectSection(m_tree, child->Document(), ViewCaretSection(child->View()));
}

void CMainFrame::ShowToolbarsForMode() {
    const bool main = m_shell.mainToolbar != 0;
    if (QToolBar* bar = Toolbar(128)) bar->setVisible(m_mode == EditMode && main);
    if (QToolBar* bar = Toolbar(140)) bar->setVisible(m_mode == DebugMode && main);
}

} // namespace rux
