#include "shell/shell_strings.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace rux {

namespace {

struct Entry {
    int id;
    const char* text;
};

// Sorted by number: LoadShellString searches it by halving.
constexpr Entry kStrings[] = {
    {IDS_APP_TITLE, "RUX Editor"},
    {IDS_OPT_SORT_TREE, "Sort Tree View alphabetically"},
    {IDS_OPT_AUTO_CONNECTION, "Auto Connection mode"},
    {IDS_OPT_PROMPT_SYMBOL, "Prompt for symbol after insert\nPrompt for Symbol after Insert"},
    {IDS_OPT_SHOW_LD_VALUE, "Show values on contact/coil"},
    {IDS_OPT_LIB_WARNING, "Show Library warning dialogs"},
    {IDS_OPT_DBLCLK_BREAKPOINT, "Double-click toggles breakpoint"},
    {IDS_OPT_OPEN_TM_ONLINE, "Opent Task Manager when switching in Online Mode"},
    {IDS_COLOR_TEXT, "Text"},
    {IDS_COLOR_ERRORS, "Errors"},
    {IDS_COLOR_KEYWORDS, "KeyWords"},
    {IDS_COLOR_COMMENTS, "Comments"},
    {IDS_COLOR_READ_ONLY, "Read Only"},
    {IDS_COLOR_IDENTIFIER, "Identifier"},
    {IDS_COLOR_SELECTION, "Selection"},
    {IDS_COLOR_TM_SELECTION, "Task Manager Selection"},
    {IDS_GROUP_MEMBER, "%1!s! belongs to group: %2!s!"},
    {IDS_COLOR_RUNG_COMMENT, "LD Rung Comment"},
    {IDS_COLOR_FB_HEADERS, "Function Block Headers"},
    {IDS_COLOR_SELBOX, "LD Selection Box"},
    {IDS_OPT_QLD_GRID, "Show QLD Grid"},
    {IDS_OPT_FBD_GRID, "Show LD/FBD Grid"},
    {IDS_OPT_AUTO_INDENT, "Auto Indent"},
    {IDS_OPT_TREE_FB_PARAMS, "Display FB Parameters in Tree"},
    {IDS_OPT_SHOW_BUILD_DIAG, "Show Build Dialogs"},
    {IDS_OPT_DBLCLK_OPEN_DIAG, "Double-click on a diagram opens it"},
    {IDS_MANUAL_OPEN_FAILED,
     "The user guide '%s' could not be opened.\n\nThe file may be missing or you don't "
     "have Adobe Acrobat Reader Version 5 or later installed."},
};

constexpr bool SortedById() {
    for (std::size_t i = 1; i < std::size(kStrings); ++i)
        if (kStrings[i - 1].id >= kStrings[i].id) return false;
    return true;
}
static_assert(SortedById(), "shell strings must stay sorted by number");

} // namespace

const char* LoadShellString(int id) {
    auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                               [](const Entry& e, int key) { return e.id < key; });
    return (it != std::end(kStrings) && it->id == id) ? it->text : "";
}

} // namespace rux
