// Hands the keyboard back when a window of the editor closes. On a desktop the window manager
// activates the owner of a closed dialog; on a bare X server the input focus falls back to the root
// window instead, no window of the editor is active any more, and although key events still arrive,
// menu mnemonics (Alt+letter) and accelerators no longer work: the letter lands in the program.
// The keeper activates the window that should have the keyboard next: the innermost modal window
// still open, else the owner of the closed window, else the frame, whose focus goes to the program
// view when nothing in it holds the focus. On the frame's first showing it activates the frame and
// gives the program view the focus, so that typing right after start-up reaches the program. And
// it closes the active window on Alt+F4, which is the window manager's key where there is one. When
// a key leaves the menu bar with the keyboard still on the bar, the program view takes it back.
#pragma once

#include "frame/frame_extension.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace rux {

class CMainFrame;

class CFocusKeeper final : public QObject {
public:
    // `programView` gives the view that takes the focus in the frame (none: the frame keeps its own).
    CFocusKeeper(QWidget& frame, std::function<QWidget*()> programView);
    ~CFocusKeeper() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

    // The window that should be active now that a window owned by `owner` has closed;
    // null while a menu or another visible window of the editor holds the keyboard.
    QWidget* NextActiveWindow(QWidget* owner) const;

private:
    void Restore(QPointer<QWidget> owner);
    bool CloseActiveWindow();
    void StartUp();
    void FocusProgramView(bool always);

    QWidget& m_frame;
    std::function<QWidget*()> m_programView;
    bool m_shown = false;
};

// The keeper as one of the frame's features: it has no commands of its own.
class CFocusCommands final : public CFrameExtension {
public:
    explicit CFocusCommands(CMainFrame& frame);
    bool OnUpdateCommand(CCmdUI&) override { return false; }
    bool OnCommand(int) override { return false; }

private:
    CFocusKeeper m_keeper;
};

} // namespace rux
