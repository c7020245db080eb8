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
    IDS_IDLE_MESSAGE = 57345,
    IDS_INDICATOR_CAPS = 59137,
    IDS_INDICATOR_NUM = 59138,
    IDS_INDICATOR_OVR = 59140,
    IDS_INDICATOR_READ = 59141,
    IDS_ASK_TO_SAVE = 61440,
    IDS_COMPILING = 62048,
    IDS_PANE_WORKSPACE = 62087,
    IDS_PANE_OUTPUT = 62088,
    IDS_PANE_TASK_MANAGER = 62109,
    IDS_PANE_PORTING_LIST = 62149,
    IDS_PANE_PORTING_DETAILS = 62150,
    IDS_WINDOWS_LIST = 35000,
};

// Results of a build.
enum EBuildStringId : int {
    IDS_BUILD_NO_ERRORS = 5,
    IDS_BUILD_ERRORS = 6,
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

// Texts of the porting tool; the numbers lie in a block of their own.
enum EPortingStringId : int {
    IDS_PORT_TOO_MANY_SECTIONS = 63300,
    IDS_PORT_BITTERN_FILE = 63301,
    IDS_PORT_ALBQ_FILE = 63302,
    IDS_PORT_NO_ISSUES = 63303,
    IDS_PORT_STATUS_1 = 63304, // one per icon value, 1 to 6
    IDS_PORT_STATUS_6 = 63309,
    IDS_PORT_FB_BITTERN = 63310,
    IDS_PORT_FB_ALBQ = 63311,
    IDS_PORT_FB_ALBQ_UNSUPPORTED = 63312,
    IDS_PORT_FB_ALBQ_ENCODER = 63313,
    IDS_PORT_PAR_BITTERN = 63314,
    IDS_PORT_PAR_CONVERT_1 = 63315, // one per icon value, 1 to 3
    IDS_PORT_PAR_CONVERT_3 = 63317,
    IDS_PORT_PAR_ALBQ = 63318,
    IDS_PORT_POINTER = 63319,
    IDS_PORT_TASK_DIFFERS = 63320,
    IDS_PORT_TASK_MISSING = 63321,
    IDS_PORT_PAR_LABEL = 63322,
    IDS_PORT_ASK_ADD = 63323,
    IDS_PORT_ASK_REMOVE = 63324,
    IDS_PORT_FIX_NOT_FOUND = 63325,
    IDS_PORT_FIX_ALL_NOT_FOUND = 63326,
    IDS_PORT_IGNORE_ALL_ON_LINE = 63327,
    IDS_PORT_IGNORE_NOT_LINE = 63328,
    IDS_PORT_IGNORE_ALREADY = 63329,
    IDS_PORT_HELP_MISSING = 63330,
    IDS_PORT_REOPEN = 63331,
};

// Texts of the indexer code import and the indexer function block.
enum EImportStringId : int {
    IDS_IMPORT_OLDER_VERSION = 63400,
    IDS_IMPORT_NEWER_VERSION = 63401,
    IDS_IMPORT_MARKERS_MISPLACED = 63402,
    IDS_IMPORT_NO_TOP_LABELS = 63403,
    IDS_IMPORT_NO_LIBRARY = 63404,
    IDS_INDEXER_DIRECTIVE_USED = 63405,
    IDS_INDEXER_FB_NAME_INVALID = 63406,
    IDS_INDEXER_FB_EXISTS = 63407,
    IDS_DLG_INDEXER_FB_TITLE = 63410,
    IDS_DLG_INDEXER_FB_NAME = 63411,
    IDS_DLG_IMPORT_INFO_TITLE = 63412,
    IDS_DLG_IMPORT_INFO_HIDE = 63413,
};

// Texts of online work: communication, writes, task states.
enum EOnlineStringId : int {
    IDS_NO_COMMUNICATION = 62009,
    IDS_INVALID_WRITE_VALUE = 62111,
    IDS_TASK_ILLEGAL = 62114,
    IDS_TASK_BLOCKED = 62115,
    IDS_TASK_STOPPED = 62116,
    IDS_TASK_RUNNING = 62117,
    IDS_TASK_SLEEPING = 62118,
    IDS_TASK_UNKNOWN = 62119,
    IDS_TASK_COMPLETED = 62120,
    IDS_DOWNLOAD_FAILED_TITLE = 62158,
};

// Texts of the editor's dialogs: captions, labels, buttons and their messages; the numbers from
// 63500 lie in a block of their own.
enum EDialogStringId : int {
    IDS_DLG_NODE_DESCRIPTION = 61229,
    IDS_DLG_DESCRIPTION_TOO_LONG = 62108,
    IDS_DLG_FIND_TITLE = 63500,
    IDS_DLG_FIND_WHAT,
    IDS_DLG_REPLACE_WITH,
    IDS_DLG_MATCH_CASE,
    IDS_DLG_WHOLE_WORD,
    IDS_DLG_SEARCH_DOWN,
    IDS_DLG_FIND_NEXT,
    IDS_DLG_REPLACE,
    IDS_DLG_REPLACE_ALL,
    IDS_DLG_DONE,
    IDS_DLG_GOTO_TITLE = 63520,
    IDS_DLG_GOTO_LINE,
    IDS_DLG_PROPERTIES_TITLE = 63530,
    IDS_DLG_PROP_AUTHOR,
    IDS_DLG_PROP_COMPANY,
    IDS_DLG_PROP_TITLE,
    IDS_DLG_PROP_VERSION,
    IDS_DLG_PROP_LIBRARY,
    IDS_DLG_PROP_USER_PROG,
    IDS_DLG_PROP_DEBUG,
    IDS_DLG_PROP_V3,
    IDS_DLG_PROP_SOURCE,
    IDS_DLG_PROP_BUILD_LIBRARY,
    IDS_DLG_PROP_FIXED_POINT,
    IDS_DLG_PROP_CLONABLE,
    IDS_DLG_TASK_TITLE = 63550,
    IDS_DLG_TASK_LIST,
    IDS_DLG_TASK_NAME,
    IDS_DLG_FONT_TITLE = 63560,
    IDS_DLG_DEFAULT,
    IDS_DLG_COLORS_TITLE,
    IDS_DLG_CHANGE,
    IDS_DLG_COLORS_LIST,
    IDS_DLG_TABS_TITLE = 63570,
    IDS_DLG_TAB_SIZE,
    IDS_DLG_INSERT_SPACE,
    IDS_DLG_KEEP_TABS,
    IDS_DLG_STYLE_TITLE = 63580,
    IDS_DLG_STYLE_LIST,
    IDS_DLG_STYLE_NAME,
    IDS_DLG_STYLE_APPLY,
    IDS_DLG_STYLE_SAVE_AS,
    IDS_DLG_VARIABLE_TITLE = 63590,
    IDS_DLG_VARIABLE_LIST,
    IDS_DLG_VARIABLE_NAME,
    IDS_DLG_VARIABLE_SCAN,
    IDS_DLG_VARIABLE_CLEAR,
};

// Captions of the menus' pop-ups (a pop-up has no command id); a block of their own.
enum EMenuTitleId : int {
    IDS_MENU_FILE = 63600,
    IDS_MENU_EDIT,
    IDS_MENU_VIEW,
    IDS_MENU_THEME,
    IDS_MENU_INSERT,
    IDS_MENU_TEMPLATES,
    IDS_MENU_INDEXER,
    IDS_MENU_PROJECT,
    IDS_MENU_LIBRARY,
    IDS_MENU_RUN,
    IDS_MENU_PROGRAM,
    IDS_MENU_BREAKPOINTS,
    IDS_MENU_NODE,
    IDS_MENU_OPTIONS,
    IDS_MENU_WINDOW,
    IDS_MENU_HELP,
};

// Texts of the templates and their shortcut keys; the numbers lie in a block of their own.
enum ETemplateStringId : int {
    IDS_TPL_INVALID_NAME = 63700,
    IDS_TPL_CATEGORY_EXISTS,
    IDS_TPL_TEMPLATE_EXISTS,
    IDS_TPL_ASK_DELETE_CATEGORY,
    IDS_TPL_ASK_DELETE_TEMPLATE,
    IDS_TPL_NEW_CATEGORY,
    IDS_TPL_NEW_TEMPLATE,
    IDS_TPL_EDIT_CATEGORY,
    IDS_TPL_EDIT_TEMPLATE,
    IDS_SHORTCUT_ASSIGNED = 63720,
    IDS_SHORTCUT_NONE,
    IDS_SHORTCUT_EXISTING_COMMAND,
    IDS_DLG_SHORTCUT_TITLE,
    IDS_DLG_SHORTCUT_PROMPT,
    IDS_DLG_SHORTCUT_ASSIGNED_TO,
    IDS_DLG_SHORTCUT_ASSIGN,
    IDS_DLG_SHORTCUT_CLEAR,
    IDS_SHORTCUT_TYPES,
    IDS_DLG_TPL_VIEWER_TITLE = 63740,
    IDS_DLG_TPL_CATEGORIES,
    IDS_DLG_TPL_TEMPLATES,
    IDS_DLG_TPL_TEXT,
    IDS_DLG_TPL_SHORTCUT,
    IDS_DLG_TPL_SHOW_IN_MENU,
    IDS_DLG_TPL_NEW_CATEGORY,
    IDS_DLG_TPL_EDIT_CATEGORY,
    IDS_DLG_TPL_DELETE_CATEGORY,
    IDS_DLG_TPL_NEW_TEMPLATE,
    IDS_DLG_TPL_EDIT_TEMPLATE,
    IDS_DLG_TPL_DELETE_TEMPLATE,
    IDS_DLG_TPL_SHORTCUT_KEY,
    IDS_DLG_TPL_INSERT,
    IDS_DLG_TPL_CLOSE,
    IDS_DLG_TPL_NAME,
    IDS_DLG_TPL_CATEGORY,
    IDS_DLG_TPL_BODY,
    IDS_DLG_TPL_CATEGORY_TITLE,
    IDS_DLG_TPL_TEMPLATE_TITLE,
};

// The text of a resource number; an empty text for a number the table does not hold (never null).
const char* LoadString(int id);

// The menu text of a command id ("&Open...\tCtrl+O": "&" before the mnemonic, the accelerator after
// a tab); an empty text for an id without one. Kept apart from the numbered texts above because
// command ids and text numbers are two ranges that overlap.
const char* LoadMenuString(int commandId);

// The text with every "%1", "%2", ... replaced by the argument of that number; an argument's own
// "%1" is never expanded again.
std::string FormatString(int id, std::initializer_list<std::string_view> args);

} // namespace rux
