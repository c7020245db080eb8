// The colours of the four looks, and the legibility rules every look is held to. Qt-free so that the
// rules are checked over the very table the frame paints with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rux {

struct CRgb {
    uint8_t r, g, b;
    bool operator==(const CRgb&) const = default;
};

struct CThemeColors {
    const char* name;
    CRgb window;        // frame, menus, toolbars, dialogs
    CRgb base;          // lists, trees, edit fields, the inside of check boxes
    CRgb text;
    CRgb disabledText;  // greyed entries, read-only panes of the status bar
    CRgb mid;           // separators
    CRgb control;       // frames of check boxes, radio buttons and edit fields
    CRgb accent;        // selection, the active tab, the keyboard focus frame
    CRgb accentText;
    CRgb paneTitle;     // docking pane captions
    CRgb paneTitleText;
    CRgb workspace;     // the MDI area behind the documents
    CRgb statusBar;
    CRgb statusText;
    CRgb statusDisabledText; // INS, READ and the other panes while they do not apply
    bool dark;
};

// The look of a theme number; a number outside 0 to 3 looks like the default theme.
const CThemeColors& ThemeColors(int number);
// The look of a pane theme number (1 light grey, 2 blue, 3 dark; others as 2).
const CThemeColors& PaneColors(int paneTheme);

// The contrast ratio of two colours (1 to 21), from their relative luminance in sRGB.
double ContrastRatio(CRgb a, CRgb b);

// The program view on a look. A light look shows the user's colour table as it is, on white, which
// the table's colours are chosen for; a dark look shows it on its own base.
CRgb ProgramViewWindow(const CThemeColors& look);
// The row of a section header or footer that holds the caret, while nothing is selected.
CRgb ProgramViewCaretRow(const CThemeColors& look);
// A colour of the table as the program view draws it in the look. A light look draws it as it is.
// On a dark look a colour that reads on the window (4.5:1) stays; any other has its lightness
// mirrored, hue and saturation kept, and pushed away from the window until it reads: black text
// becomes white, dark blue keywords a light blue.
CRgb ProgramViewInk(CRgb ink, const CThemeColors& look);

// What a look fails: one line per pair of colours that is too close ("text on base 3.1 < 4.5").
// Body text needs 4.5:1 on every background it is drawn on; greyed text, control frames, the
// selection and the focus frame need 3:1 against what surrounds them.
std::vector<std::string> ContrastProblems(const CThemeColors& look);

} // namespace rux
