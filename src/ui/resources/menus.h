// The menus, the context menu of the program view and the toolbars as data: command ids in order.
#pragma once

#include <span>
#include <vector>

namespace rux {

enum class EMenuKind {
    Command,   // the command's text comes from the string table
    Separator,
    Popup,     // opens a sub-menu that runs to the matching End; `id` is the string of its caption
    End,
    RecentFiles, // the four recent files
    Windows,     // the open documents of the MDI area
    UserGuides,  // the user guides of Help/Manuals.ini
    Templates,   // a sub-menu per template category, after a separator
};

struct CMenuEntry {
    EMenuKind kind;
    int id; // a command id, or for a Popup the string table number of its caption
};

// Menu ids as the suite numbers them.
enum EMenuId : int {
    IDR_MAINFRAME = 128,   // no program open
    IDR_RUXTYPE = 129,     // a program view is active
    IDR_POPUP_EDIT = 136,  // context menu of the program view
    IDR_POPUP_TREE_DOC = 137,  // the program tree: a program node
    IDR_POPUP_TREE_FB = 138,   // a section node
    IDR_POPUP_TREE_DIAG = 139, // a diagram node
};

std::span<const CMenuEntry> MenuEntries(int menuId);
// Every command of a menu and its sub-menus, in menu order.
std::vector<int> MenuCommandIds(int menuId);

struct CToolbarDef {
    int id;
    const char* name;
    std::span<const int> buttons; // 0 is a separator
};

// Standard, Debugging and RUX, in the order they are created.
std::span<const CToolbarDef> Toolbars();

// The resource path of a command's 16 x 16 icon; null for a command without one.
const char* CommandIconPath(int commandId);

} // namespace rux
