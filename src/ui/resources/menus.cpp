#include "resources/menus.h"

#include "document/string_table.h"
#include "editor/tree_commands.h"
#include "shell/command_ids.h"

namespace rux {
namespace {

constexpr CMenuEntry Cmd(int id) { return {EMenuKind::Command, id}; }
constexpr CMenuEntry Sep() { return {EMenuKind::Separator, 0}; }
constexpr CMenuEntry Popup(int titleId) { return {EMenuKind::Popup, titleId}; }
constexpr CMenuEntry End() { return {EMenuKind::End, 0}; }
constexpr CMenuEntry Special(EMenuKind kind) { return {kind, 0}; }

// View, Options and Help are the same with and without a program, except for the folding entries.
#define RUX_VIEW_MENU_HEAD                                                                              \
    Popup(IDS_MENU_VIEW), Cmd(ID_VIEW_MAIN_TOOLBAR), Cmd(ID_VIEW_VIEW_TOOLBAR), Cmd(ID_VIEW_STATUS_BAR), Sep(), \
        Cmd(ID_VIEW_SHOW_TREE), Cmd(ID_VIEW_SHOW_OUTPUT), Cmd(ID_VIEW_LOG), Cmd(ID_VIEW_TASK_MANAGER),   \
        Sep(), Popup(IDS_MENU_THEME), Cmd(ID_THEME_ZINC), Cmd(ID_THEME_TITANIUM), Cmd(ID_THEME_COBALT),        \
        Cmd(ID_THEME_TUNGSTEN), End()

#define RUX_OPTIONS_MENU                                                                                 \
    Popup(IDS_MENU_OPTIONS), Cmd(ID_FORMAT_FONT), Cmd(ID_FORMAT_COLORS), Cmd(ID_FORMAT_TAB_STOPS), Cmd(ID_FORMAT_STYLE), Sep(),       \
        Cmd(ID_OPT_AUTO_INDENT), Cmd(ID_OPT_DBLCLK_BREAKPOINT), Sep(), Cmd(ID_OPT_TREE_SORT),             \
        Cmd(ID_OPT_TREE_FB_PARAMS), Cmd(ID_OPT_TREE_DBLCLK_DIAG), Sep(), Cmd(ID_OPT_BUILD_DIALOG),        \
        Cmd(ID_OPT_IMPORT_INFO), End()

#define RUX_HELP_MENU                                                                                    \
    Popup(IDS_MENU_HELP), Cmd(ID_HELP_CONTENTS), Cmd(ID_HELP_INDEX), Cmd(ID_HELP_SEARCH), Sep(),                \
        Special(EMenuKind::UserGuides), Cmd(ID_APP_ABOUT), End()

constexpr CMenuEntry kMainMenu[] = {
    Popup(IDS_MENU_FILE), Cmd(ID_FILE_OPEN), Sep(), Cmd(ID_FILE_PRINT_SETUP), Sep(), Special(EMenuKind::RecentFiles),
    Cmd(ID_APP_EXIT), End(),
    RUX_VIEW_MENU_HEAD, End(),
    RUX_OPTIONS_MENU,
    RUX_HELP_MENU,
};

constexpr CMenuEntry kProgramMenu[] = {
    Popup(IDS_MENU_FILE), Cmd(ID_FILE_OPEN), Cmd(ID_FILE_CLOSE), Sep(), Cmd(ID_FILE_SAVE), Cmd(ID_FILE_SAVE_AS),
    Cmd(ID_FILE_SAVE_ALL), Sep(), Cmd(ID_FILE_PRINT), Cmd(ID_FILE_PRINT_SETUP), Sep(),
    Special(EMenuKind::RecentFiles), Cmd(ID_APP_EXIT), End(),

    Popup(IDS_MENU_EDIT), Cmd(ID_EDIT_UNDO), Cmd(ID_EDIT_REDO), Sep(), Cmd(ID_EDIT_CUT), Cmd(ID_EDIT_COPY),
    Cmd(ID_EDIT_PASTE), Cmd(ID_EDIT_DELETE), Cmd(ID_EDIT_SELECT_ALL), Sep(), Cmd(ID_EDIT_FIND_REPLACE),
    Cmd(ID_EDIT_GOTO_LINE), Sep(), Cmd(ID_EDIT_TOGGLE_BOOKMARK), Cmd(ID_EDIT_NEXT_BOOKMARK),
    Cmd(ID_EDIT_CLEAR_BOOKMARKS), Sep(), Cmd(ID_EDIT_INCREASE_INDENT), Cmd(ID_EDIT_DECREASE_INDENT),
    Cmd(ID_EDIT_APPLY_INDENT), Cmd(ID_EDIT_TOGGLE_CASE), Sep(), Cmd(ID_EDIT_DATE_TIME), Cmd(ID_EDIT_INSERT_FILE),
    End(),

    RUX_VIEW_MENU_HEAD, Sep(), Cmd(ID_VIEW_EXPAND_MINIMIZE), Cmd(ID_VIEW_EXPAND_ALL), Cmd(ID_VIEW_MINIMIZE_ALL),
    End(),

    Popup(IDS_MENU_INSERT), Cmd(ID_INSERT_SECTION), Cmd(ID_INSERT_UDFB), Cmd(ID_INSERT_NOTES), Cmd(ID_INSERT_ALIAS),
    Sep(), Cmd(ID_INSERT_FBD), Cmd(ID_INSERT_QLD), Sep(), Cmd(ID_INSERT_FUNCTION_BLOCK), Cmd(ID_INSERT_VARIABLE),
    Sep(), Popup(IDS_MENU_TEMPLATES), Cmd(ID_TEMPLATE_VIEWER), Special(EMenuKind::Templates), End(), Popup(IDS_MENU_INDEXER), Cmd(ID_IMPORT_QUODEX),
    Cmd(ID_IMPORT_UDFB), Sep(), Cmd(ID_OPT_IMPORT_INFO), End(), End(),

    // Online/Offline shows in debug mode only, at the head of the Project menu.
    Popup(IDS_MENU_PROJECT), Cmd(ID_ONLINE), Sep(), Cmd(ID_BUILD), Cmd(ID_BUILD_DOWNLOAD), Cmd(ID_SHOW_BUILD_ERRORS), Cmd(ID_NEXT_ERROR),
    Cmd(ID_PREVIOUS_ERROR), Sep(),
    Cmd(ID_NODE_DESCRIPTION), Sep(), Popup(IDS_MENU_LIBRARY), Cmd(ID_LIBRARY_MODE), Cmd(ID_REFERENCED_LIBRARIES),
    Cmd(ID_LIBRARY_MANAGER), End(), Sep(), Cmd(ID_PORTING_SHOW), End(),

    Popup(IDS_MENU_RUN), Cmd(ID_DOWNLOAD), Cmd(ID_UPLOAD), Sep(), Popup(IDS_MENU_PROGRAM),
    Cmd(ID_RUN_STOP_START), Cmd(ID_RUN_PAUSE_RESUME), Cmd(ID_RUN_TASK), Cmd(ID_STEP_TASK), Sep(), Cmd(ID_RESET_PROGRAM),
    End(), Popup(IDS_MENU_BREAKPOINTS), Cmd(ID_TOGGLE_BREAKPOINT), Cmd(ID_NEXT_BREAKPOINT), Cmd(ID_REMOVE_BREAKPOINTS), End(),
    Popup(IDS_MENU_NODE), Cmd(ID_IDENTIFY_NODE), Cmd(ID_DIAGNOSTIC), Sep(), Cmd(ID_RESET_DRIVE), End(), Sep(),
    Cmd(ID_WATCH_WINDOW), End(),

    RUX_OPTIONS_MENU,

    Popup(IDS_MENU_WINDOW), Cmd(ID_WINDOW_CASCADE), Cmd(ID_WINDOW_TILE_HORZ), Cmd(ID_WINDOW_TILE_VERT),
    Cmd(ID_WINDOW_CLOSE_ALL), Sep(), Special(EMenuKind::Windows), Cmd(ID_WINDOW_LIST), End(),

    RUX_HELP_MENU,
};

constexpr CMenuEntry kViewContextMenu[] = {
    Cmd(ID_EDIT_UNDO), Cmd(ID_EDIT_REDO), Sep(), Cmd(ID_EDIT_CUT), Cmd(ID_EDIT_COPY), Cmd(ID_EDIT_PASTE),
    Cmd(ID_EDIT_DELETE), Sep(), Cmd(ID_EDIT_SELECT_ALL), Sep(), Cmd(ID_VIEW_EXPAND_MINIMIZE),
    Cmd(ID_EDIT_TOGGLE_BOOKMARK), Sep(), Cmd(ID_INSERT_FUNCTION_BLOCK), Cmd(ID_FB_PROPERTIES), Sep(),
    Cmd(ID_BUILD), Sep(), Cmd(ID_SEND_TO_WATCH),
};

// The program tree's menus: a program node, a section node, a diagram node.
constexpr CMenuEntry kTreeProgramMenu[] = {
    Cmd(ID_TREE_BUILD), Cmd(ID_TREE_BUILD_DOWNLOAD), Sep(), Cmd(ID_TREE_INSERT_SECTION), Cmd(ID_TREE_INSERT_UDFB),
    Cmd(ID_TREE_INSERT_NOTES), Cmd(ID_TREE_INSERT_ALIAS), Sep(), Cmd(ID_TREE_PROPERTIES), Cmd(ID_TREE_DESCRIPTION),
    Cmd(ID_TREE_REFERENCED_LIBRARIES),
};

constexpr CMenuEntry kTreeSectionMenu[] = {
    Cmd(ID_TREE_GOTO_SECTION), Cmd(ID_TREE_GOTO_FB), Sep(), Cmd(ID_TREE_TOGGLE_FB), Cmd(ID_TREE_TOGGLE_SECTION),
    Sep(), Cmd(ID_TREE_DELETE), Sep(), Cmd(ID_TREE_INSERT_SECTION), Cmd(ID_TREE_INSERT_UDFB),
    Cmd(ID_TREE_INSERT_NOTES), Cmd(ID_TREE_INSERT_ALIAS), Sep(), Cmd(ID_TREE_INSERT_FBD), Cmd(ID_TREE_INSERT_QLD),
    Sep(), Cmd(ID_TREE_PROPERTIES),
};

constexpr CMenuEntry kTreeDiagramMenu[] = {
    Cmd(ID_TREE_GOTO_DIAGRAM), Sep(), Cmd(ID_TREE_OPEN_DIAGRAM), Cmd(ID_TREE_EXPAND_DIAGRAM),
    Cmd(ID_TREE_COLLAPSE_DIAGRAM), Cmd(ID_TREE_CLOSE_DIAGRAM), Sep(), Cmd(ID_TREE_DELETE),
    Cmd(ID_TREE_EDIT_DIAGRAM_TITLE),
};

#undef RUX_VIEW_MENU_HEAD
#undef RUX_OPTIONS_MENU
#undef RUX_HELP_MENU

constexpr int kStandardButtons[] = {32874, 0, 32775, 57603, 57607, 0, 57635, 57634, 57637,
                                    0,     57643, 57644, 0, 122, 0, 195, 32945};
constexpr int kDebuggingButtons[] = {32781, 0, 196, 148, 0, 203, 206, 173, 169, 0, 32904, 0, 163, 164, 0, 122, 32945};
constexpr int kRuxButtons[] = {32771, 119, 123, 0, 30726, 0, 107};

constexpr CToolbarDef kToolbars[] = {
    {128, "Standard", kStandardButtons},
    {140, "Debugging", kDebuggingButtons},
    {137, "RUX", kRuxButtons},
};

struct CIconEntry {
    int id;
    const char* path;
};

constexpr CIconEntry kIcons[] = {
    {ID_ONLINE, ":/icons/online.svg"},
    {ID_GO_OFFLINE, ":/icons/offline.svg"},
    {ID_FILE_OPEN, ":/icons/open.svg"},
    {ID_FILE_SAVE, ":/icons/save.svg"},
    {ID_FILE_PRINT, ":/icons/print.svg"},
    {ID_EDIT_CUT, ":/icons/cut.svg"},
    {ID_EDIT_COPY, ":/icons/copy.svg"},
    {ID_EDIT_PASTE, ":/icons/paste.svg"},
    {ID_EDIT_UNDO, ":/icons/undo.svg"},
    {ID_EDIT_REDO, ":/icons/redo.svg"},
    {ID_EDIT_FIND_REPLACE, ":/icons/find.svg"},
    {ID_BUILD, ":/icons/build.svg"},
    {ID_PORTING_SHOW, ":/icons/porting.svg"},
    {ID_DOWNLOAD, ":/icons/download.svg"},
    {ID_WATCH_WINDOW, ":/icons/watch.svg"},
    {ID_RUN_STOP_START, ":/icons/run_stop.svg"},
    {ID_RUN_PAUSE_RESUME, ":/icons/pause.svg"},
    {ID_RUN_TASK, ":/icons/run_task.svg"},
    {ID_STEP_TASK, ":/icons/step.svg"},
    {ID_VIEW_TASK_MANAGER, ":/icons/task_manager.svg"},
    {ID_TOGGLE_BREAKPOINT, ":/icons/breakpoint.svg"},
    {ID_NEXT_BREAKPOINT, ":/icons/next_breakpoint.svg"},
    {ID_INSERT_FBD, ":/icons/fbd.svg"},
    {ID_INSERT_QLD, ":/icons/qld.svg"},
    {ID_INSERT_VARIABLE, ":/icons/variable.svg"},
    {ID_INSERT_FUNCTION_BLOCK, ":/icons/function_block.svg"},
    {ID_EDIT_NEXT_BOOKMARK, ":/icons/next_bookmark.svg"},
};

} // namespace

std::span<const CMenuEntry> MenuEntries(int menuId) {
    switch (menuId) {
    case IDR_MAINFRAME: return kMainMenu;
    case IDR_RUXTYPE: return kProgramMenu;
    case IDR_POPUP_EDIT: return kViewContextMenu;
    case IDR_POPUP_TREE_DOC: return kTreeProgramMenu;
    case IDR_POPUP_TREE_FB: return kTreeSectionMenu;
    case IDR_POPUP_TREE_DIAG: return kTreeDiagramMenu;
    default: return {};
    }
}

std::vector<int> MenuCommandIds(int menuId) {
    std::vector<int> ids;
    for (const CMenuEntry& e : MenuEntries(menuId))
        if (e.kind == EMenuKind::Command) ids.push_back(e.id);
    return ids;
}

std::span<const CToolbarDef> Toolbars() {
    return kToolbars;
}

const char* CommandIconPath(int commandId) {
    for (const CIconEntry& e : kIcons)
        if (e.id == commandId) return e.path;
    return nullptr;
}

} // namespace rux
