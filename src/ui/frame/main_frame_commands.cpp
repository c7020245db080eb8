#include "frame/main_frame.h"

#include "app/rux_app.h"
#include "cp1252.h"
#include "document/rux_document.h"
#include "document/string_table.h"
#include "file_names.h"
#include "frame/mdi_child.h"
#include "frame/message_box.h"
#include "frame/themes.h"
#include "frame/view_host.h"
#include "panes/build_bar.h"
#include "panes/task_manager_pane.h"
#include "qt_colour.h"
#include "shell/command_ids.h"
#include "shell/theme.h"
#include "target/sse_notifier.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QInputDialog>
#include <QMdiArea>
#include <QStatusBar>

namespace rux {

bool CMainFrame::RunCommand(int id) {
    const bool handled = m_router.Execute(id);
    UpdateCommandStates();
    return handled;
}

void CMainFrame::UpdateCommandStates() {
    if (m_closing) return;
    for (auto& [id, action] : m_actions) {
        const CCmdUI ui = m_router.Update(id);
        action->setEnabled(ui.enabled);
        if (ui.checkable) {
            action->setCheckable(true);
            action->setChecked(ui.checked);
        }
        if (!ui.text.empty()) action->setText(FromCp1252(ui.text));
    }
}

int CMainFrame::PaneTheme() const {
    return CThemeTable::PaneTheme(m_theme);
}

void CMainFrame::ApplyTheme(int number, bool tellSuite) {
    m_theme = number;
    ApplyThemeLook(*qApp, number, CThemeTable::PaneTheme(number));
    m_mdi->setBackground(ToQColor(ThemeColors(number).workspace));
    SetViewLook(number);
    for (RUX_CMDIChildWnd* child : Children())
        if (auto* area = qobject_cast<QAbstractScrollArea*>(child->View())) area->viewport()->update();
    CThemeTable::Store(m_app.Settings(), number);
    if (tellSuite) m_app.Notifier().ThemeChanged(kEditorToolName);
    UpdateCommandStates();
}

bool CMainFrame::OnUpdateCommand(CCmdUI& ui) {
    COptionMgr& options = m_app.Options();
    auto option = [&](int number) {
        ui.Enable();
        ui.SetCheck(options.GetOption(number) != 0);
    };
    switch (ui.id) {
    case ID_VIEW_STATUS_BAR: ui.Enable(); ui.SetCheck(!statusBar()->isHidden()); return true;
    case ID_VIEW_MAIN_TOOLBAR: ui.Enable(); ui.SetCheck(m_shell.mainToolbar != 0); return true;
    case ID_VIEW_VIEW_TOOLBAR: ui.Enable(); ui.SetCheck(m_shell.viewToolbar != 0); return true;
    case ID_VIEW_SHOW_TREE: ui.Enable(); ui.SetCheck(IsPaneShown(m_workspacePane)); return true;
    case ID_VIEW_SHOW_OUTPUT: ui.Enable(); ui.SetCheck(IsPaneShown(m_outputPane)); return true;
    case ID_VIEW_LOG: ui.Enable(); return true;
    case ID_VIEW_TASK_MANAGER:
        ui.Enable(m_mode == DebugMode && m_taskManager && m_taskManager->NodeCount() > 0);
        ui.SetCheck(IsPaneShown(m_taskPane));
        return true;
    case ID_OPT_IMPORT_INFO: ui.Enable(); ui.SetCheck(m_shell.showImportInfo != 0); return true;
    case ID_OPT_BUILD_DIALOG: option(OPT_SHOW_BUILD_DIAG); return true;
    case ID_OPT_TREE_SORT: option(OPT_TREE_SORT_ALPHA); return true;
    case ID_OPT_TREE_FB_PARAMS: option(OPT_TREE_DISPLAY_FB_PARAM); return true;
    case ID_OPT_TREE_DBLCLK_DIAG: option(OPT_TREE_DBLCLK_OPEN_DIAG); return true;
    case ID_OPT_AUTO_INDENT: option(OPT_AUTO_INDENT); return true;
    case ID_OPT_DBLCLK_BREAKPOINT: option(OPT_DBLCLK_SET_BKP); return true;
    case ID_THEME_ZINC:
    case ID_THEME_TITANIUM:
    case ID_THEME_COBALT:
    case ID_THEME_TUNGSTEN:
        ui.Enable();
        ui.SetCheck(CThemeTable::FindByCommand(ui.id)->number == m_theme);
        return true;
    case ID_FILE_SAVE_ALL:
    case ID_WINDOW_LIST:
    case ID_KEY_INSERT:
    case ID_KEY_DELETE: ui.Enable(); return true;
    case ID_WINDOW_CASCADE:
    case ID_WINDOW_TILE_HORZ:
    case ID_WINDOW_TILE_VERT:
    case ID_WINDOW_CLOSE_ALL: ui.Enable(!Children().empty()); return true;
    default: return false;
    }
}

bool CMainFrame::OnCommand(int id) {
    COptionMgr& options = m_app.Options();
    switch (id) {
    case ID_VIEW_STATUS_BAR: statusBar()->setVisible(statusBar()->isHidden()); return true;
    case ID_VIEW_MAIN_TOOLBAR:
        m_shell.mainToolbar = m_shell.mainToolbar ? 0 : 1;
        UpdateToolbars();
        return true;
    case ID_VIEW_VIEW_TOOLBAR:
        m_shell.viewToolbar = m_shell.viewToolbar ? 0 : 1;
        UpdateToolbars();
        return true;
    case ID_VIEW_SHOW_TREE: TogglePane(m_workspacePane); return true;
    case ID_VIEW_SHOW_OUTPUT: TogglePane(m_outputPane); return true;
    case ID_VIEW_LOG:
        ShowPane(m_outputPane);
        m_buildBar->SelectTab(CBuildBar::kLogTab);
        return true;
    case ID_VIEW_TASK_MANAGER:
        if (IsPaneShown(m_taskPane)) {
            m_taskPane->close();
            options.SetOption(OPT_OPEN_TM_ONLINE, 0);
        } else {
            ShowPane(m_taskPane);
            options.SetOption(OPT_OPEN_TM_ONLINE, 1);
        }
        return true;
    case ID_OPT_IMPORT_INFO: m_shell.showImportInfo = m_shell.showImportInfo ? 0 : 1; return true;
    case ID_OPT_BUILD_DIALOG: options.Toggle(OPT_SHOW_BUILD_DIAG); return true;
    case ID_OPT_TREE_SORT:
        options.Toggle(OPT_TREE_SORT_ALPHA);
        ApplyTreeOptions();
        return true;
    case ID_OPT_TREE_FB_PARAMS:
        options.Toggle(OPT_TREE_DISPLAY_FB_PARAM);
        ApplyTreeOptions();
        return true;
    case ID_OPT_TREE_DBLCLK_DIAG:
        options.Toggle(OPT_TREE_DBLCLK_OPEN_DIAG);
        ApplyTreeOptions();
        return true;
    case ID_OPT_AUTO_INDENT: options.Toggle(OPT_AUTO_INDENT); return true;
    case ID_OPT_DBLCLK_BREAKPOINT: options.Toggle(OPT_DBLCLK_SET_BKP); return true;
    case ID_THEME_ZINC:
    case ID_THEME_TITANIUM:
    case ID_THEME_COBALT:
    case ID_THEME_TUNGSTEN: ApplyTheme(CThemeTable::FindByCommand(id)->number, true); return true;
    case ID_FILE_SAVE_ALL:
        for (const auto& document : m_app.ProgramTemplate().Documents())
            if (document->IsModified() && !document->SaveDocument())
                RuxMessageBox(this, tr("%1 could not be saved.").arg(FromFileName(document->GetPathName())));
        return true;
    case ID_WINDOW_CASCADE: m_mdi->cascadeSubWindows(); return true;
    case ID_WINDOW_TILE_HORZ:
    case ID_WINDOW_TILE_VERT: {
        // QMdiArea tiles in a grid; stack the windows one way or the other as the entries say.
        const auto children = Children();
        if (children.empty()) return true;
        const QRect area = m_mdi->viewport()->rect();
        const int n = static_cast<int>(children.size());
        for (int i = 0; i < n; ++i) {
            children[i]->showNormal();
            if (id == ID_WINDOW_TILE_HORZ)
                children[i]->setGeometry(0, area.height() * i / n, area.width(), area.height() / n);
            else
                children[i]->setGeometry(area.width() * i / n, 0, area.width() / n, area.height());
        }
        return true;
    }
    case ID_WINDOW_CLOSE_ALL: m_mdi->closeAllSubWindows(); return true;
    case ID_WINDOW_LIST: ShowWindowList(); return true;
    case ID_KEY_INSERT:
        // With a view the view takes the key first; this is the frame without one.
        OverwriteFlag() = !OverwriteFlag();
        UpdateIndicators();
        return true;
    case ID_KEY_DELETE:
        if (m_router.Target(CCommandRouter::kTree)) return m_router.Target(CCommandRouter::kTree)->OnCommand(ID_TREE_DELETE_ITEM);
        if (RUX_CMDIChildWnd* child = ActiveChild()) RunViewCommand(child->View(), ID_EDIT_DELETE);
        return true;
    default: return false;
    }
}

void CMainFrame::ShowWindowList() {
    const auto children = Children();
    if (children.empty()) return;
    QStringList names;
    int current = 0;
    for (size_t i = 0; i < children.size(); ++i) {
        names << children[i]->windowTitle();
        if (children[i] == ActiveChild()) current = static_cast<int>(i);
    }
    bool ok = false;
    const QString chosen = QInputDialog::getItem(this, QString::fromUtf8(LoadString(IDS_WINDOWS_LIST)), tr("&Select window:"),
                                                 names, current, false, &ok);
    if (!ok) return;
    const int index = static_cast<int>(names.indexOf(chosen));
    if (index >= 0) m_mdi->setActiveSubWindow(children[static_cast<size_t>(index)]);
}

} // namespace rux
