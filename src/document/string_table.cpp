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
    {IDS_DIAGRAM_EDITED, "Edited"},
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
    {IDS_DIAGRAM_OPEN, "Open"},
    {IDS_GROUP_MEMBER, "%1!s! belongs to group: %2!s!"},
    {IDS_TREE_WORKSPACE, "Workspace"},
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
};

static_assert(std::is_sorted(std::begin(kStrings), std::end(kStrings),
                             [](const CStringEntry& a, const CStringEntry& b) { return a.id < b.id; }));

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
