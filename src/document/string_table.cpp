#include "document/string_table.h"

#include <algorithm>
#include <iterator>

namespace rux {
namespace {

struct CStringEntry {
    int id;
    const char* text;
};

// Sorted by number: LoadString searches it by halves.
constexpr CStringEntry kStrings[] = {
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
    {IDS_DLG_NODE_DESCRIPTION, "Node description"},
    {IDS_GROUP_MEMBER, "%1!s! belongs to group: %2!s!"},
    {IDS_COLOR_RUNG_COMMENT, "LD Rung Comment"},
    {IDS_COLOR_FB_HEADERS, "Function Block Headers"},
    {IDS_COLOR_SELBOX, "LD Selection Box"},
    {IDS_OPT_QLD_GRID, "Show QLD Grid"},
    {IDS_OPT_FBD_GRID, "Show LD/FBD Grid"},
    {IDS_OPT_AUTO_INDENT, "Auto Indent"},
    {IDS_OPT_TREE_FB_PARAMS, "Display FB Parameters in Tree"},
    {IDS_OPT_SHOW_BUILD_DIAG, "Show Build Dialogs"},
    {kStrLightEditionFile, "This is a HalmLite RUX file. Please use HalmLite to edit this file."},
    {kStrInvalidLibraryName, "Invalid Library name.  \n\nMust be of the form - [letter]+[one or more alpha-numeric chars]"},
    {kStrLibraryFolderExists, "The Library folder already exists."},
    {kStrLibraryTitle, "Library %1 (%2)"},
    {kStrLibraryNameMissing, "You must specify a name for the library."},
    {kStrLibraryFileFailed, "Failed to create Library file."},
    {IDS_DLG_DESCRIPTION_TOO_LONG, "The description exceeds the limit of 1024 characters.\nIt will be clipped.\nDo you "
     "want to continue?"},
    {IDS_OPT_DBLCLK_OPEN_DIAG, "Double-click on a diagram opens it"},
    {IDS_MANUAL_OPEN_FAILED, "The user guide '%s' could not be opened.\n\nThe file may be missing or you don't "
     "have Adobe Acrobat Reader Version 5 or later installed."},
    {kStrTipUserProgEnabled, "Allows a user program to be built and downloaded for a target"},
    {kStrTipDebug, "Allow debugging facilities such as single-stepping and breakpoints"},
    {kStrTipV3, "Use extra RAM and flash memory available to VQ7Z drives"},
    {kStrTipSource, "Download source code to target so that it can be uploaded at a later date"},
    {kStrTipBuildAsLibrary, "Build the RUX program as a library and not an executable user program"},
    {kStrTipFixedPoint, "Make parameter reading and writing a fixed point operation as in HalmLite"},
    {kStrTipClonable, "Allow the user program to be cloned to another device such as a smartcard"},
    {IDS_FIND_FINISHED, "Finish searching for '%1'"},
    {IDS_FIND_REPLACED, "Finish searching for '%1'.\n%2 item(s) have been replaced."},
    {IDS_DLG_FIND_TITLE, "Find/Replace"},
    {IDS_DLG_FIND_WHAT, "Fi&nd what :"},
    {IDS_DLG_REPLACE_WITH, "Replace w&ith :"},
    {IDS_DLG_MATCH_CASE, "Match case"},
    {IDS_DLG_WHOLE_WORD, "Match whole word only"},
    {IDS_DLG_SEARCH_DOWN, "Search Down"},
    {IDS_DLG_FIND_NEXT, "Find Next"},
    {IDS_DLG_REPLACE, "&Replace"},
    {IDS_DLG_REPLACE_ALL, "Replace &All"},
    {IDS_DLG_DONE, "Done"},
    {IDS_DLG_GOTO_TITLE, "Go to line"},
    {IDS_DLG_GOTO_LINE, "&Line number:"},
    {IDS_DLG_PROPERTIES_TITLE, "Properties"},
    {IDS_DLG_PROP_AUTHOR, "&Author:"},
    {IDS_DLG_PROP_COMPANY, "Co&mpany:"},
    {IDS_DLG_PROP_TITLE, "&Title:"},
    {IDS_DLG_PROP_VERSION, "&Version:"},
    {IDS_DLG_PROP_LIBRARY, "&Library:"},
    {IDS_DLG_PROP_USER_PROG, "User &programming enabled"},
    {IDS_DLG_PROP_DEBUG, "Embed de&bug information"},
    {IDS_DLG_PROP_V3, "VQ7Z e&xtended memory"},
    {IDS_DLG_PROP_SOURCE, "Embed &source file"},
    {IDS_DLG_PROP_BUILD_LIBRARY, "Build As l&ibrary"},
    {IDS_DLG_PROP_FIXED_POINT, "&Fixed point parameter operations enabled"},
    {IDS_DLG_PROP_CLONABLE, "Allow this program to be cloned"},
    {IDS_DLG_TASK_TITLE, "Insert Task"},
    {IDS_DLG_TASK_LIST, "&Tasks:"},
    {IDS_DLG_TASK_NAME, "Task &name:"},
    {IDS_DLG_FONT_TITLE, "Font"},
    {IDS_DLG_DEFAULT, "Default"},
    {IDS_DLG_COLORS_TITLE, "Colors"},
    {IDS_DLG_CHANGE, "Change"},
    {IDS_DLG_COLORS_LIST, "&Program elements:"},
    {IDS_DLG_TABS_TITLE, "Tab stops"},
    {IDS_DLG_TAB_SIZE, "Tab &size:"},
    {IDS_DLG_INSERT_SPACE, "Insert space"},
    {IDS_DLG_KEEP_TABS, "Keep tabs"},
    {IDS_DLG_STYLE_TITLE, "Format Style"},
    {IDS_DLG_STYLE_LIST, "S&tyles:"},
    {IDS_DLG_STYLE_NAME, "Style &name:"},
    {IDS_DLG_STYLE_APPLY, "&Apply"},
    {IDS_DLG_STYLE_SAVE_AS, "&Save setting as"},
};

// Strictly increasing: a number given twice (two blocks that overlap) fails here, not at run time.
static_assert(std::adjacent_find(std::begin(kStrings), std::end(kStrings), [](const CStringEntry& a,
                                 const CStringEntry& b) { return a.id >= b.id; }) == std::end(kStrings));

} // namespace

const char* LoadString(int id) {
    const auto* it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                      [](const CStringEntry& e, int key) { return e.id < key; });
    return it != std::end(kStrings) && it->id == id ? it->text : "";
}

std::string FormatString(int id, std::initializer_list<std::string_view> args) {
    const std::string_view text = LoadString(id);
    std::string out;
    out.reserve(text.size() + 32);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const size_t n = static_cast<size_t>(text[i + 1] - '1');
            if (n < args.size()) {
                out.append(*(args.begin() + n));
                ++i;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

} // namespace rux
