#include "frame/variable_command.h"

#include "app/help_opener.h"
#include "dialogs/select_variable_dialog.h"
#include "editor/edit_session.h"
#include "editor/variable_choice.h"
#include "frame/main_frame.h"
#include "frame/mdi_child.h"
#include "shell/command_ids.h"
#include "view/rux_view.h"

namespace rux {
namespace {

CRUXView* ActiveView(CMainFrame& frame) {
    RUX_CMDIChildWnd* child = frame.ActiveChild();
    return child ? qobject_cast<CRUXView*>(child->View()) : nullptr;
}

} // namespace

bool CVariableCommand::OnUpdateCommand(CCmdUI& ui) {
    if (ui.id != ID_INSERT_VARIABLE) return false;
    CRUXView* view = ActiveView(m_frame);
    ui.Enable(view && view->Session().CanEdit());
    return true;
}

bool CVariableCommand::OnCommand(int id) {
    if (id != ID_INSERT_VARIABLE) return false;
    CRUXView* view = ActiveView(m_frame);
    if (!view) return false;
    CVariableChoice choice(view->Document(), view->Session().Caret().item);
    CDlgSelectVariable dialog(choice, true, &m_frame);
    dialog.setObjectName("SelectVariableDialog");
    dialog.SetHelpHandler(CHelpOpener::HandlerFor(&dialog));
    if (dialog.exec() != QDialog::Accepted) return true;
    const std::string text = dialog.ChosenText();
    if (!text.empty()) view->RunSessionCommand([&text](CEditSession& s) { s.InsertText(text); });
    view->setFocus();
    return true;
}

} // namespace rux
