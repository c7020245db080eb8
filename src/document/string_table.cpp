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
