#include "frame/template_commands.h"

#include "app/rux_app.h"
#include "editor/edit_session.h"
#include "editor/template_insert.h"
#include "editor/template_manager.h"
#include "frame/main_frame.h"
#include "frame/mdi_child.h"
#include "view/rux_view.h"

namespace rux {

CRUXView* CTemplateCommands::ActiveView() const {
    RUX_CMDIChildWnd* child = m_frame.ActiveChild();
    return child ? qobject_cast<CRUXView*>(child->View()) : nullptr;
}

bool CTemplateCommands::OnUpdateCommand(CCmdUI& ui) {
    if (!CTplMgr::IsTemplateCommand(ui.id) ||
        !m_frame.App().Templates().FindTemplate(static_cast<uint32_t>(ui.id)))
        return false;
    CRUXView* view = ActiveView();
    // Online or read-only the view takes no text.
    ui.Enable(view && view->Session().CanEdit());
    return true;
}

bool CTemplateCommands::OnCommand(int id) {
    if (!CTplMgr::IsTemplateCommand(id)) return false;
    const CTpl* tpl = m_frame.App().Templates().FindTemplate(static_cast<uint32_t>(id));
    CRUXView* view = ActiveView();
    if (!tpl || !view) return false;
    const std::string body = tpl->body;
    view->RunSessionCommand([&body](CEditSession& s) { InsertTemplate(s, body); });
    return true;
}

} // namespace rux
