#include "frame/program_commands.h"

#include "editor/bookmarks.h"
#include "editor/edit_session.h"
#include "editor/section_commands.h"
#include "frame/main_frame.h"
#include "frame/mdi_child.h"
#include "shell/command_ids.h"
#include "shell/product_paths.h"
#include "view/rux_view.h"

namespace rux {
namespace {

constexpr int kBookmark = 0;

} // namespace

CProgramCommands::CProgramCommands(CMainFrame& frame) : m_frame(frame) {}

CRUXView* CProgramCommands::ActiveView() const {
    RUX_CMDIChildWnd* child = m_frame.ActiveChild();
    return child ? qobject_cast<CRUXView*>(child->View()) : nullptr;
}

bool CProgramCommands::OnUpdateCommand(CCmdUI& ui) {
    CRUXView* view = ActiveView();
    switch (ui.id) {
    case ID_EDIT_TOGGLE_BOOKMARK:
    case ID_EDIT_NEXT_BOOKMARK:
    case ID_EDIT_CLEAR_BOOKMARKS:
    case ID_VIEW_EXPAND_MINIMIZE:
    case ID_VIEW_EXPAND_ALL:
    case ID_VIEW_MINIMIZE_ALL:
        ui.Enable(view != nullptr);
        return true;
    case ID_INSERT_NOTES:
    case ID_INSERT_ALIAS:
        ui.Enable(view && view->Session().CanEdit());
        return true;
    default:
        return false;
    }
}

bool CProgramCommands::OnCommand(int id) {
    CRUXView* view = ActiveView();
    if (!view) return false;
    auto run = [view](auto&& command) {
        view->RunSessionCommand(command);
        return true;
    };
    switch (id) {
    case ID_EDIT_TOGGLE_BOOKMARK:
        return run([](CEditSession& s) { ToggleBookmark(s); });
    case ID_EDIT_NEXT_BOOKMARK:
        return run([](CEditSession& s) { GoToNextMark(s, kBookmark); });
    case ID_EDIT_CLEAR_BOOKMARKS:
        return run([](CEditSession& s) { RemoveAllBookmarks(s); });
    case ID_VIEW_EXPAND_MINIMIZE:
        return run([](CEditSession& s) { ToggleFold(s); });
    case ID_VIEW_EXPAND_ALL:
        return run([](CEditSession& s) { ExpandAll(s); });
    case ID_VIEW_MINIMIZE_ALL:
        return run([](CEditSession& s) { MinimizeAll(s); });
    case ID_INSERT_NOTES:
        return run([](CEditSession& s) { InsertSection(s, "Notes", CProductPaths::ProductDir()); });
    case ID_INSERT_ALIAS:
        return run([](CEditSession& s) { InsertSection(s, "Alias", CProductPaths::ProductDir()); });
    default:
        return false;
    }
}

} // namespace rux
