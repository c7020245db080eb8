#include "frame/tree_menu_commands.h"

#include "app/doc_template.h"
#include "app/rux_app.h"
#include "editor/edit_session.h"
#include "editor/program_tree.h"
#include "editor/tree_commands.h"
#include "frame/main_frame.h"
#include "frame/mdi_child.h"
#include "frame/view_host.h"
#include "resources/menus.h"

#include <QMdiArea>

namespace rux {
namespace {

bool IsTreeCommand(int id) {
    return (id >= ID_TREE_GOTO_SECTION && id <= ID_TREE_GOTO_DIAGRAM) || id == ID_TREE_DELETE ||
           (id >= ID_TREE_BUILD && id <= ID_TREE_EDIT_DIAGRAM_TITLE) || id == ID_TREE_DESCRIPTION ||
           id == ID_TREE_REFERENCED_LIBRARIES;
}

int KindOfMenu(int menu) {
    switch (menu) {
    case IDR_POPUP_TREE_DOC: return kTreeNodeProgram;
    case IDR_POPUP_TREE_FB: return kTreeNodeSection;
    case IDR_POPUP_TREE_DIAG: return kTreeNodeDiagram;
    default: return 0;
    }
}

} // namespace

CTreeMenuCommands::CTreeMenuCommands(CMainFrame& frame) : m_frame(frame) {
    CTreeHooks hooks;
    hooks.contextMenu = [this](int menu, CRUXDocument* document, int item, const QPoint& pos) {
        OpenMenu(menu, document, item, pos);
    };
    // The Delete key while the tree has the focus deletes the current node, as its menu's Delete does.
    hooks.deleteNode = [this](CRUXDocument* document, int kind, int item) {
        m_document = document;
        m_kind = kind;
        m_item = item;
        OnCommand(ID_TREE_DELETE);
    };
    ConnectProgramTree(frame.ProgramTree(), &frame, hooks);
}

RUX_CMDIChildWnd* CTreeMenuCommands::NodeChild() const {
    if (!m_document) return nullptr;
    // The node's program may have been closed since its menu opened.
    for (const auto& document : m_frame.App().ProgramTemplate().Documents())
        if (document.get() == m_document) return m_frame.ChildOf(*m_document);
    return nullptr;
}

void CTreeMenuCommands::OpenMenu(int menu, CRUXDocument* document, int item, const QPoint& globalPos) {
    m_document = document;
    m_kind = KindOfMenu(menu);
    m_item = item;
    // The menu's commands are the node's program's: its view becomes the active one.
    if (RUX_CMDIChildWnd* child = NodeChild()) m_frame.MdiArea()->setActiveSubWindow(child);
    m_frame.ShowContextMenu(menu, globalPos);
}

// A view command's state as it would be with the caret on the node's item, which is where the command
// will put it; the caret and selection are put back afterwards.
bool CTreeMenuCommands::ForwardedState(const CTreeCommandPlan& plan, RUX_CMDIChildWnd& child, CCmdUI& ui) {
    CEditSession* session = ViewSession(child.View());
    if (!session) return false;
    const CTextPos anchor = session->Anchor(), end = session->SelectionEnd();
    if (plan.item >= 0) session->SetCaret({1, plan.item});
    const CCmdUI forwarded = m_frame.Router().Update(plan.viewCommand);
    if (plan.item >= 0) session->Select(anchor, end);
    ui.Enable(forwarded.enabled);
    return true;
}

bool CTreeMenuCommands::OnUpdateCommand(CCmdUI& ui) {
    if (!IsTreeCommand(ui.id)) return false;
    RUX_CMDIChildWnd* child = NodeChild();
    if (!child) return true; // no node: disabled
    const CTreeCommandPlan plan = PlanTreeCommand(*m_document, m_kind, m_item, ui.id);
    const CEditSession* session = ViewSession(child->View());
    switch (plan.action) {
    case ETreeAction::None: return true;
    case ETreeAction::Forward: return ForwardedState(plan, *child, ui);
    default: ui.Enable(!plan.edits || (session && session->CanEdit())); return true;
    }
}

bool CTreeMenuCommands::OnCommand(int id) {
    if (!IsTreeCommand(id)) return false;
    RUX_CMDIChildWnd* child = NodeChild();
    if (!child) return false;
    const CTreeCommandPlan plan = PlanTreeCommand(*m_document, m_kind, m_item, id);
    if (plan.action == ETreeAction::None) return false;
    m_frame.MdiArea()->setActiveSubWindow(child);
    QWidget* view = child->View();
    view->setFocus();
    switch (plan.action) {
    case ETreeAction::GoTo: ViewGoToItem(view, plan.item); return true;
    case ETreeAction::Forward:
        if (plan.item >= 0) ViewGoToItem(view, plan.item);
        return m_frame.RunCommand(plan.viewCommand);
    default: ViewRunAction(view, [&plan](CEditSession& session) { return RunTreeAction(session, plan); }); return true;
    }
}

} // namespace rux
