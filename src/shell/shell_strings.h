// Texts of the application shell that the user sees, addressed by their resource numbers.
#pragma once

namespace rux {

enum ShellStringId : int {
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

// The text of a shell string, or an empty text for a number that has none (never null).
const char* LoadShellString(int id);

} // namespace rux
