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
    {IDS_BUILD_NO_ERRORS, "Build: No errors detected"},
    {IDS_BUILD_ERRORS, "Error(s) detected"},
    {IDS_APP_TITLE, "RUX Editor"},
    {IDS_DIAGRAM_EDITED, "Edited"},
    {IDS_OPT_SORT_TREE, "Sort Tree View alphabetically"},
    {IDS_OPT_AUTO_CONNECTION, "Auto Connection mode"},
    {IDS_OPT_PROMPT_SYMBOL, "Prompt for symbol after insert\nPrompt for Symbol after Insert"},
    {IDS_OPT_SHOW_LD_VALUE, "Show values on contact/coil"},
    {IDS_OPT_LIB_WARNING, "Show Library warning dialogs"},
    {IDS_WINDOWS_LIST, "Windows List"},
    {IDS_IDLE_MESSAGE, "Ready"},
    {IDS_OPT_DBLCLK_BREAKPOINT, "Double-click toggles breakpoint"},
    {IDS_OPT_OPEN_TM_ONLINE, "Opent Task Manager when switching in Online Mode"},
    {IDS_INDICATOR_CAPS, "CAP"},
    {IDS_INDICATOR_NUM, "NUM"},
    {IDS_INDICATOR_OVR, "INS"},
    {IDS_INDICATOR_READ, "READ"},
    {IDS_COLOR_TEXT, "Text"},
    {IDS_COLOR_ERRORS, "Errors"},
    {IDS_COLOR_KEYWORDS, "KeyWords"},
    {IDS_COLOR_COMMENTS, "Comments"},
    {IDS_COLOR_READ_ONLY, "Read Only"},
    {IDS_COLOR_IDENTIFIER, "Identifier"},
    {IDS_COLOR_SELECTION, "Selection"},
    {IDS_COLOR_TM_SELECTION, "Task Manager Selection"},
    {IDS_DLG_NODE_DESCRIPTION, "Node description"},
    {IDS_ASK_TO_SAVE, "Save changes to %1?"},
    {IDS_DIAGRAM_OPEN, "Open"},
    {IDS_GROUP_MEMBER, "%1!s! belongs to group: %2!s!"},
    {IDS_TREE_WORKSPACE, "Workspace"},
    {IDS_NO_COMMUNICATION, "Unable to communicate with Node %1"},
    {IDS_COLOR_RUNG_COMMENT, "LD Rung Comment"},
    {IDS_COLOR_FB_HEADERS, "Function Block Headers"},
    {IDS_COLOR_SELBOX, "LD Selection Box"},
    {IDS_COMPILING, "Compiling..."},
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
    {IDS_PANE_WORKSPACE, "Workspace"},
    {IDS_PANE_OUTPUT, "Output"},
    {IDS_DLG_DESCRIPTION_TOO_LONG, "The description exceeds the limit of 1024 characters.\nIt will be clipped.\nDo you "
     "want to continue?"},
    {IDS_PANE_TASK_MANAGER, "Task Manager"},
    {IDS_INVALID_WRITE_VALUE, "Invalid value entered.\n\nEnter a valid value eg. 10 or 0xA1"},
    {IDS_TASK_ILLEGAL, "Illegal"},
    {IDS_TASK_BLOCKED, "Blocked"},
    {IDS_TASK_STOPPED, "Stopped"},
    {IDS_TASK_RUNNING, "Running"},
    {IDS_TASK_SLEEPING, "Sleeping"},
    {IDS_TASK_UNKNOWN, "???"},
    {IDS_TASK_COMPLETED, "Completed"},
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
    {IDS_PANE_PORTING_LIST, "Porting Tool - Issues list"},
    {IDS_PANE_PORTING_DETAILS, "Porting Tool - Details"},
    {IDS_DOWNLOAD_FAILED_TITLE, "Target Download Failed"},
    {IDS_FIND_FINISHED, "Finish searching for '%1'"},
    {IDS_FIND_REPLACED, "Finish searching for '%1'.\n%2 item(s) have been replaced."},
    {IDS_PORT_TOO_MANY_SECTIONS, "There are too many sections in this RUX program to use the porting tool"},
    {IDS_PORT_BITTERN_FILE, "Could not read the Bittern II conversion issues file. It may have been deleted or become "
     "corrupted.\nPlease reinstall Halm Pro to resolve this problem."},
    {IDS_PORT_ALBQ_FILE, "Could not read the Albatross Q conversion issues file. It may have been deleted or become "
     "corrupted.\nPlease reinstall Halm Pro to resolve this problem."},
    {IDS_PORT_NO_ISSUES, "No porting issues were found in your program"},
    {IDS_PORT_STATUS_1, "Cannot be converted automatically"},
    {IDS_PORT_STATUS_1 + 1, "Can be converted using B2 prefix with caveats"},
    {IDS_PORT_STATUS_1 + 2, "Can be converted using B2 prefix"},
    {IDS_PORT_STATUS_1 + 3, "Has been converted using B2 prefix"},
    {IDS_PORT_STATUS_1 + 4, "See help for this issue"},
    {IDS_PORT_STATUS_6, "Has been marked to be ignored."},
    {IDS_PORT_FB_BITTERN, "%s function block is not supported on Bittern NX."},
    {IDS_PORT_FB_ALBQ, "%s function block %s"},
    {IDS_PORT_FB_ALBQ_UNSUPPORTED, "is not supported by Albatross Q."},
    {IDS_PORT_FB_ALBQ_ENCODER, "encoder port locations numbers have changed."},
    {IDS_PORT_PAR_BITTERN, "#%02d.%02d (Bittern 2 parameter - %s) %s"},
    {IDS_PORT_PAR_CONVERT_1, "It is not possible to convert this paramter using the B2 prefix."},
    {IDS_PORT_PAR_CONVERT_1 + 1, "It is possible to convert this paramter using the B2 prefix with caveats."},
    {IDS_PORT_PAR_CONVERT_3, "It is possible to convert this paramter using the B2 prefix."},
    {IDS_PORT_PAR_ALBQ, "#%02d.%02d (Albatross SX parameter - %s) %s"},
    {IDS_PORT_POINTER, "%s cannot be automatically converted as it is a parameter pointer."},
    {IDS_PORT_TASK_DIFFERS, "The %s task differs between Bittern II and Bittern NX."},
    {IDS_PORT_TASK_MISSING, "The %s task is not available on the Bittern NX."},
    {IDS_PORT_PAR_LABEL, "#%0.2d.%0.2d - %s"},
    {IDS_PORT_ASK_ADD, "The parameter %s can be converted to behave as a Bittern 2 parameter using the \"B2\" "
     "prefix.\n\nWould you like to add this prefix now?"},
    {IDS_PORT_ASK_REMOVE, "The parameter %s has been converted to behave as a Bittern 2 parameter using the \"B2\" "
     "prefix.\n\nWould you like to remove this prefix now?"},
    {IDS_PORT_FIX_NOT_FOUND, "The issue you selected could not be found. This maybe because your program has changed "
     "since the porting tool was last run.\n\nWould you like to refresh the list now?"},
    {IDS_PORT_FIX_ALL_NOT_FOUND, "Not all the issues could be found. This maybe because your program has changed since "
     "the porting tool was last run.\n\nWould you like to refresh the list now?"},
    {IDS_PORT_IGNORE_ALL_ON_LINE, "Ignoring this issue will ignore all %d issues on line %d. Do you wish to proceed?"},
    {IDS_PORT_IGNORE_NOT_LINE, "Issue is not on a line of RUX code."},
    {IDS_PORT_IGNORE_ALREADY, "This line has already been marked so that it is ignored."},
    {IDS_PORT_HELP_MISSING, "The porting tool's details pane cannot be shown as the help file is missing. It may have "
     "been deleted or become corrupted.\nPlease reinstall Halm Pro to resolve this problem."},
    {IDS_PORT_REOPEN, "The RUX program file appears to have been closed, would you like to re-open now?"},
    {IDS_IMPORT_OLDER_VERSION, "HalmPro cannot import the indexer program as it appears to be an older version that "
     "HalmPro doesn't recognise. \nTo resolve this, check for an upgrade to QUODEX"},
    {IDS_IMPORT_NEWER_VERSION, "HalmPro cannot import the indexer program as it appears to be a newer version that "
     "HalmPro doesn't recognise. \nTo resolve this, check for an upgrade to HalmPro"},
    {IDS_IMPORT_MARKERS_MISPLACED, "Warning: The code may not be imported correctly. The header comments:\n%1\nor\n%2"
     "\nwere not found or were not in the correct position.\nContinue with import?"},
    {IDS_IMPORT_NO_TOP_LABELS, "Warning: The lines \"top:\" and \"goto top:\" could not be found in the background "
     "task."},
    {IDS_IMPORT_NO_LIBRARY, "Warning: The Indexer library \"%1\" could not be found."},
    {IDS_INDEXER_DIRECTIVE_USED, "The %1 directive is already used in the rux file"},
    {IDS_INDEXER_FB_NAME_INVALID, "Invalid or missing function block name. FB name should begin with an '_' "
     "character."},
    {IDS_INDEXER_FB_EXISTS, "There is already a user defined function block with the name \"%1\" in the rux file "
     "please choose a different name"},
    {IDS_DLG_INDEXER_FB_TITLE, "Indexer Function Block"},
    {IDS_DLG_INDEXER_FB_NAME, "&Function block name:"},
    {IDS_DLG_IMPORT_INFO_TITLE, "QUODEX Import Information"},
    {IDS_DLG_IMPORT_INFO_HIDE, "&Do not show this information again"},
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
    {IDS_DLG_VARIABLE_TITLE, "Select variable"},
    {IDS_DLG_VARIABLE_LIST, "&Variables:"},
    {IDS_DLG_VARIABLE_NAME, "&Name:"},
    {IDS_DLG_VARIABLE_SCAN, "&Scan"},
    {IDS_DLG_VARIABLE_CLEAR, "C&lear"},
    {IDS_MENU_FILE, "&File"},
    {IDS_MENU_EDIT, "&Edit"},
    {IDS_MENU_VIEW, "&View"},
    {IDS_MENU_THEME, "T&heme"},
    {IDS_MENU_INSERT, "&Insert"},
    {IDS_MENU_TEMPLATES, "Te&mplates"},
    {IDS_MENU_INDEXER, "&Indexer"},
    {IDS_MENU_PROJECT, "&Project"},
    {IDS_MENU_LIBRARY, "&Library"},
    {IDS_MENU_RUN, "&Run"},
    {IDS_MENU_PROGRAM, "&Program"},
    {IDS_MENU_BREAKPOINTS, "&Breakpoints"},
    {IDS_MENU_NODE, "&Node"},
    {IDS_MENU_OPTIONS, "&Options"},
    {IDS_MENU_WINDOW, "&Window"},
    {IDS_MENU_HELP, "&Help"},
    {IDS_TPL_INVALID_NAME, "Invalid Name."},
    {IDS_TPL_CATEGORY_EXISTS, "A category with this name already exists."},
    {IDS_TPL_TEMPLATE_EXISTS, "A template with this name already exists."},
    {IDS_TPL_ASK_DELETE_CATEGORY, "You are about to delete a category.\nDo you want to continue?"},
    {IDS_TPL_ASK_DELETE_TEMPLATE, "You are about to delete a template.\nDo you want to continue?"},
    {IDS_TPL_NEW_CATEGORY, "Enter New Category Name"},
    {IDS_TPL_NEW_TEMPLATE, "Enter New Template Name"},
    {IDS_TPL_EDIT_CATEGORY, "Edit Category Name"},
    {IDS_TPL_EDIT_TEMPLATE, "Edit Template Name"},
    {IDS_SHORTCUT_ASSIGNED, "This shortcut is already assigned."},
    {IDS_SHORTCUT_NONE, "None"},
    {IDS_SHORTCUT_EXISTING_COMMAND, "An existing command"},
    {IDS_DLG_SHORTCUT_TITLE, "Edit Shortcut Key"},
    {IDS_DLG_SHORTCUT_PROMPT, "Press New Shortcut Key:"},
    {IDS_DLG_SHORTCUT_ASSIGNED_TO, "Currently assigned to:"},
    {IDS_DLG_SHORTCUT_ASSIGN, "&Assign"},
    {IDS_DLG_SHORTCUT_CLEAR, "C&lear"},
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

namespace rux {
namespace {

// Menu texts by command id, sorted by id. The accelerator after the tab is what the menu shows; the
// keys themselves come from the command table.
constexpr CStringEntry kMenuStrings[] = {
    {102, "Close &All"},
    {107, "Go to &next bookmark\tCtrl+G"},
    {109, "&Task / Section..."},
    {117, "&Delete\tDel"},
    {118, "&Notes"},
    {119, "&Quick LD diagram"},
    {120, "&Alias"},
    {121, "Toggle book&mark\tCtrl+K"},
    {122, "&Find/Replace...\tCtrl+F"},
    {123, "&Variable...\tCtrl+D"},
    {125, "&Status Bar"},
    {126, "&Font..."},
    {127, "&Go to line...\tCtrl+L"},
    {140, "Reset &drive\tShift+Ctrl+F3"},
    {145, "&Auto Indent"},
    {146, "Appl&y Indent"},
    {147, "Toggle ca&se"},
    {148, "&Watch window\tCtrl+W"},
    {149, "&Expand/Minimize\tF8"},
    {153, "Expand &all"},
    {155, "Save &all"},
    {162, "&Show build errors\tCtrl+E"},
    {163, "Toggle &breakpoint\tF2"},
    {164, "&Go to next breakpoint\tCtrl+F2"},
    {166, "Remove &all breakpoints"},
    {169, "St&op/step task\tCtrl+F5"},
    {170, "R&eset program\tCtrl+F3"},
    {172, "View &Log"},
    {173, "&Run task\tF5"},
    {176, "Dia&gnostic"},
    {177, "B&uild and download\tF6"},
    {184, "&User Defined Function Block..."},
    {194, "&Colors..."},
    {195, "&Build code\tCtrl+B"},
    {196, "&Download"},
    {197, "Insert fr&om file..."},
    {198, "Select A&ll\tCtrl+A"},
    {199, "Remove all &bookmarks"},
    {200, "D&ate and time"},
    {202, "&Upload"},
    {203, "&Stop/Start program\tF3"},
    {206, "&Pause/Resume program\tF4"},
    {1111, "&Identify node"},
    {30726, "Function block..."},
    {32771, "&LD/FBD diagram"},
    {32772, "&Tab stops..."},
    {32773, "Format &Style..."},
    {32774, "Show &Compiler Output"},
    {32775, "&Open...\tCtrl+O"},
    {32781, "Go o&ffline"},
    {32805, "&Main Toolbar"},
    {32806, "&View Toolbar"},
    {32816, "Show &Tree"},
    // The program tree's context menus; the keys of Build stay with the view's own entries.
    {32817, "&Go to Task/Section"},
    {32818, "&Go to Function Block"},
    {32819, "&Expand and Collapse Function Block"},
    {32820, "&Collapse and Expand Task/Section"},
    {32821, "Insert &Task / Section..."},
    {32822, "Insert &User Defined Function Block..."},
    {32823, "Insert &Notes"},
    {32824, "Insert &Alias"},
    {32825, "Insert &LD/FBD diagram"},
    {32826, "Insert &Quick LD diagram"},
    {32827, "&Properties..."},
    {32828, "&Go to Diagram Preview"},
    {32829, "Sort Tree Alphabetically"},
    {32832, "&Delete"},
    {32837, "&Build code\tCtrl+B"},
    {32838, "B&uild and download\tF6"},
    {32839, "&Open Diagram"},
    {32840, "&Expand Diagram"},
    {32841, "&Collapse Diagram"},
    {32842, "C&lose Diagram"},
    {32843, "Edit Diagram &Title..."},
    {32853, "Display FB Parameters in Tree"},
    {32857, "&Description..."},
    {32859, "Properties"},
    {32860, "&Manager..."},
    {32861, "&Library Mode"},
    {32862, "&Referenced Libraries..."},
    {32870, "Send symbol to Watch Window"},
    {32874, "&Online/Offline\tF9"},
    {32878, "D&escription..."},
    {32879, "Referenced &Libraries..."},
    {32883, "Toggle Breakpoint When Double-click"},
    {32884, "&Contents"},
    {32886, "&Search..."},
    {32887, "Template Viewer..."},
    {32900, "M&inimize all"},
    {32901, "&Increase Indent\tTab"},
    {32902, "D&ecrease Indent\tShift+Tab"},
    {32904, "Show Task Manager\tCtrl+T"},
    {32911, "Open diagram when double-click in Tree"},
    {32940, "&QUODEX generated code"},
    {32941, "&User Defined Function Block"},
    {32943, "Show Quodex import information"},
    {32944, "Display build result dialog"},
    {32945, "Show porting issues for this RUX program"},
    {32990, "Ne&xt build message\tF12"},
    {32991, "Pre&vious build message\tShift+F12"},
    {33033, "Tungsten"},
    {33034, "Cobalt"},
    {33035, "Titanium"},
    {33036, "Zinc"},
    {35000, "&Windows..."},
    {57602, "&Close"},
    {57603, "&Save\tCtrl+S"},
    {57604, "Sa&ve As..."},
    {57606, "P&rint Setup..."},
    {57607, "&Print...\tCtrl+P"},
    {57634, "&Copy\tCtrl+C"},
    {57635, "Cu&t\tCtrl+X"},
    {57637, "&Paste\tCtrl+V"},
    {57643, "&Undo\tCtrl+Z"},
    {57644, "&Redo\tCtrl+Y"},
    {57650, "&Cascade"},
    {57651, "Tile &Horizontally"},
    {57652, "Tile &Vertically"},
    {57664, "&About RUX Editor..."},
    {57665, "E&xit"},
    {57666, "&Index"},
};

static_assert(std::is_sorted(std::begin(kMenuStrings), std::end(kMenuStrings),
                             [](const CStringEntry& a, const CStringEntry& b) { return a.id < b.id; }));

} // namespace

const char* LoadMenuString(int commandId) {
    const auto* it = std::lower_bound(std::begin(kMenuStrings), std::end(kMenuStrings), commandId,
                                      [](const CStringEntry& e, int key) { return e.id < key; });
    return it != std::end(kMenuStrings) && it->id == commandId ? it->text : "";
}

} // namespace rux
