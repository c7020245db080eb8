// What the main frame decides without a window: toolbars for the mode, the title, the status panes,
// the error locations that the suite's notifications carry.
#pragma once

#include "shell/command_line_info.h"

#include <span>
#include <string>
#include <string_view>

namespace rux {

struct CToolbarVisibility {
    bool standard = false;
    bool debugging = false;
    bool onlineButton = false;

    bool operator==(const CToolbarVisibility&) const = default;
};

// Which toolbars show for the active view. `programView` is whether the active view is a program
// view; `online` and `canGoOnline` are that view's.
CToolbarVisibility ToolbarsFor(EditorMode mode, bool mainToolbarFlag, bool programView, bool online,
                               bool canGoOnline);

// "RUX Editor - [<document title>]" while a document is active, "RUX Editor" without one.
std::string FrameTitle(const std::string* documentTitle);

// The status bar panes after the message pane, in order.
struct CStatusPane {
    const char* name;
    int width;      // in pixels
    int textId;     // string shown in the pane when it is on; 0 for a pane that shows changing texts
    bool disabled;  // shown greyed from the start
};
std::span<const CStatusPane> StatusPanes();

// A place in a program that the suite asks the editor to show; -1 where a number is absent.
struct CErrorLocation {
    int line = -1;
    int start = -1;
    int end = -1;

    bool operator==(const CErrorLocation&) const = default;
};

// "line;start;end": each part a decimal number with an optional sign; a missing or unreadable part is
// -1. An empty text gives line -1, which callers take as "nothing to show".
CErrorLocation ParseErrorLineData(std::string_view text);
// The first number of the line data (the line of notification 1524), -1 when there is none.
int FirstLineNumber(std::string_view text);

// Whether a file name from the build output names this document. A name without a directory part is
// compared without case with the name part of the document's path; one with a directory is the path.
bool ErrorFileNames(std::string_view documentPath, std::string_view fileName);

// The program path with its extension replaced by ".ERR" (the extension starts at the last "." after
// the last directory separator; a path without one gets ".ERR" appended).
std::string ErrorFilePath(std::string_view programPath);

} // namespace rux
