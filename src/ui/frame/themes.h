// The four looks of the editor, applied to the whole application: frame, command bars, panes, views.
// The colours are the core's table (shell/theme_colors.h); this file turns them into Qt's style.
#pragma once

class QApplication;

namespace rux {

// Sets the style, the palette and the style sheet of the application for a theme number (a number
// outside 0 to 3 looks like the default theme) and a pane theme number.
void ApplyThemeLook(QApplication& app, int number, int paneTheme);

} // namespace rux
