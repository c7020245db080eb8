// The four looks of the editor, applied to the whole application: frame, command bars, panes, views.
#pragma once

#include "shell/theme_colors.h"

#include <QColor>
#include <QPalette>
#include <QString>

class QApplication;

namespace rux {

struct CThemeLook {
    const char* name;
    QColor window;       // frame, menus, toolbars
    QColor base;         // lists, trees, edit fields
    QColor text;
    QColor disabledText;
    QColor mid;          // separators
    QColor control;      // frames of check boxes, radio buttons and edit fields
    QColor accent;       // selection and the active pane's title
    QColor accentText;
    QColor paneTitle;    // docking pane captions
    QColor paneTitleText;
    QColor workspace;    // the MDI area behind the documents
    QColor statusBar;
    QColor statusText;
    QColor statusDisabledText;
    bool dark;
};

// The look of a theme number; a number outside 0 to 3 looks like the default theme.
const CThemeLook& ThemeLook(int number);
// The look of a pane theme number (1 light grey, 2 blue, 3 dark; others as 2).
const CThemeLook& PaneLook(int paneTheme);

// Sets the style, the palette and the style sheet of the application.
void ApplyThemeLook(QApplication& app, int number, int paneTheme);
QPalette ThemePalette(const CThemeLook& look);
QString ThemeStyleSheet(const CThemeLook& look, const CThemeLook& pane);

} // namespace rux
