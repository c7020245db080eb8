#include "frame/watch_command.h"

#include "app/rux_app.h"
#include "editor/edit_session.h"
#include "frame/main_frame.h"
#include "frame/mdi_child.h"
#include "frame/view_host.h"
#include "shell/command_ids.h"
#include "target/watch_window.h"

namespace rux {

bool CWatchCommand::OnUpdateCommand(CCmdUI& ui) {
    if (ui.id != ID_WATCH_WINDOW) return false;
    RUX_CMDIChildWnd* child = m_frame.ActiveChild();
    const CEditSession* session = child ? ViewSession(child->View()) : nullptr;
    ui.Enable(session && IsOnlineProgram(*session));
    return true;
}

bool CWatchCommand::OnCommand(int id) {
    if (id != ID_WATCH_WINDOW) return false;
    RUX_CMDIChildWnd* child = m_frame.ActiveChild();
    if (!child) return false;
    const CRUXDocument& document = child->Document();
    OpenWatchWindow(m_frame.App().Notifier(), document, NodeAddressText(document));
    return true;
}

} // namespace rux
