#include "frame/template_commands.h"

#include "app/rux_app.h"
#include "dialogs/template_viewer_dialog.h"
#include "editor/edit_session.h"
#include "editor/template_insert.h"
#include "editor/template_manager.h"
#include "frame/main_frame.h"
#include "frame/mdi_child.h"
#include "shell/command_ids.h"
#include "view/rux_view.h"

namespace rux {

CRUXView* CTemplateCommands::ActiveView() const {
    RUX_CMDIChildWnd* child = m_frame.ActiveChild();
    return child ? qobject_cast<CRUXView*>(child->View()) : nullptr;
}

bool CTemplateCommands::ActiveViewTakesText() const {
    CRUXView* view = ActiveView();
    // Online or read-only the view takes no text.
    return view && view->Session().CanEdit();
}

bool CTemplateCommands::OnUpdateCommand(CCmdUI& ui) {
    if (ui.id == ID_TEMPLATE_VIEWER) {
        ui.Enable(true);
        return true;
    }
    if (!CTplMgr::IsTemplateCommand(ui.id) ||
        !m_frame.App().Templates().FindTemplate(static_cast<uint32_t>(ui.id)))
        return false;
    ui.Enable(ActiveViewTakesText());
    return true;
}

bool CTemplateCommands::OnCommand(int id) {
    if (id == ID_TEMPLATE_VIEWER) {
        ShowViewer();
        return true;
    }
    if (!CTplMgr::IsTemplateCommand(id)) return false;
    const CTpl* tpl = m_frame.App().Templates().FindTemplate(static_cast<uint32_t>(id));
    CRUXView* view = ActiveView();
    if (!tpl || !view) return false;
    const std::string body = tpl->body;
    view->RunSessionCommand([&body](CEditSession& s) { InsertTemplate(s, body); });
    return true;
}

void CTemplateCommands::ShowViewer() {
    CTemplateViewerHost host;
    host.canInsert = [this] { return ActiveViewTakesText(); };
    host.insert = [this](const std::string& body) {
        if (CRUXView* view = ActiveView())
            view->RunSessionCommand([&body](CEditSession& s) { InsertTemplate(s, body); });
    };
    // Reloading renumbers the templates; the frame renews their actions, the menu and the keys.
    host.changed = [this] { m_frame.App().LoadTemplatesAndShortcuts(); };
    host.accels = &m_frame.App().Accelerators();
    CDlgTplViewer viewer(m_frame.App().Templates(), std::move(host), &m_frame);
    viewer.exec();
}

} // namespace rux
