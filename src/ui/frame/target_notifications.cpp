#include "frame/target_notifications.h"

#include "editor/edit_session.h"
#include "frame/main_frame.h"
#include "frame/mdi_child.h"
#include "frame/view_host.h"
#include "panes/build_bar.h"
#include "shell/command_ids.h"

namespace rux {

bool CTargetNotifications::OnSuiteMessage(int number, const std::string& fileName, const std::string& lineData) {
    switch (number) {
    case 1726: SetAllViewsOnline(true); return true;
    case 1233: SetAllViewsOnline(false); return true;
    // Another tool asks for everything offline: handled as its own message, after this one.
    case 1727: m_frame.PostSuiteMessage(1233, {}, {}); return true;
    case 1424: {
        // The report's text comes as the line data, the program it concerns as the file name.
        if (lineData.empty()) return true;
        std::string text = lineData;
        if (!fileName.empty()) text += "  (" + fileName + ")";
        if (CBuildBar* bar = m_frame.BuildBar()) bar->AddString(CBuildBar::kLogTab, QString::fromLocal8Bit(text.c_str()));
        return true;
    }
    default: return false;
    }
}

void CTargetNotifications::SetAllViewsOnline(bool online) {
    for (RUX_CMDIChildWnd* child : m_frame.Children()) {
        const CEditSession* session = ViewSession(child->View());
        if (session && session->IsOnline() != online) RunViewCommand(child->View(), ID_ONLINE);
    }
    m_frame.UpdateToolbars();
}

} // namespace rux
