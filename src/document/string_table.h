// Every text the editor shows the user (messages, labels, tool tips), by resource number.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace rux {

// Resource numbers of the texts below; the numbers are the ones the suite's tools share.
enum EStringId : int {
    kStrLightEditionFile = 62074,
    kStrInvalidLibraryName = 62078,
    kStrLibraryFolderExists = 62079,
    kStrLibraryTitle = 62081,
    kStrLibraryNameMissing = 62083,
    kStrLibraryFileFailed = 62084,
    kStrTipUserProgEnabled = 62134,
    kStrTipDebug = 62135,
    kStrTipV3 = 62136,
    kStrTipSource = 62137,
    kStrTipBuildAsLibrary = 62138,
    kStrTipFixedPoint = 62139,
    kStrTipClonable = 62140,
};

// Texts of the application shell.
enum EShellStringId : int {
    IDS_APP_TITLE = 128,
    IDS_OPT_AUTO_CONNECTION = 32849,
    IDS_OPT_SORT_TREE = 32830,
    IDS_OPT_PROMPT_SYMBOL = 33011,
    IDS_OPT_SHOW_LD_VALUE = 33014,
    IDS_OPT_LIB_WARNING = 33020,
    IDS_OPT_DBLCLK_BREAKPOINT = 57347,
    IDS_OPT_OPEN_TM_ONLINE = 57348,
    IDS_COLOR_TEXT = 61217,
    IDS_COLOR_ERRORS = 61218,
    IDS_COLOR_KEYWORDS = 61219,
    IDS_COLOR_COMMENTS = 61220,
    IDS_COLOR_READ_ONLY = 61222,
    IDS_COLOR_IDENTIFIER = 61224,
    IDS_COLOR_SELECTION = 61225,
    IDS_COLOR_TM_SELECTION = 61228,
    IDS_GROUP_MEMBER = 62000,
    IDS_COLOR_RUNG_COMMENT = 62036,
    IDS_COLOR_FB_HEADERS = 62037,
    IDS_COLOR_SELBOX = 62038,
    IDS_OPT_QLD_GRID = 62052,
    IDS_OPT_FBD_GRID = 62053,
    IDS_OPT_AUTO_INDENT = 62054,
    IDS_OPT_TREE_FB_PARAMS = 62055,
    IDS_OPT_SHOW_BUILD_DIAG = 62056,
    IDS_OPT_DBLCLK_OPEN_DIAG = 62123,
    IDS_MANUAL_OPEN_FAILED = 62129,
};

// Texts of the program view and the program tree.
enum EViewStringId : int {
    IDS_DIAGRAM_EDITED = 2789,
    IDS_DIAGRAM_OPEN = 61994,
    IDS_TREE_WORKSPACE = 62001,
};

// Texts of find and replace; the numbers lie in a block of their own.
enum EFindStringId : int {
    IDS_FIND_FINISHED = 63200,
    IDS_FIND_REPLACED = 63201,
};

// The text of a resource number; an empty text for a number the table does not hold (never null).
const char* LoadString(int id);

// The text with every "%1", "%2", ... replaced by the argument of that number; an argument's own
// "%1" is never expanded again.
std::string FormatString(int id, std::initializer_list<std::string_view> args);

} // namespace rux
