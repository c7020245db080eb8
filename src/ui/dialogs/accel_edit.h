// The shortcut field of the Edit Shortcut Key dialog: shows the key combination the user presses.
#pragma once

#include "editor/shortcut_capture.h"

#include <QLineEdit>

namespace rux {

// A line that cannot be typed into: every key press goes to the capture, and the text is the
// capture's. Tab, Enter, Escape and Delete alone are left to the dialog; a mouse click only gives
// the field the focus.
class CAccelEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CAccelEdit(QWidget* parent = nullptr);

    // Shows the combination a shortcut text names (empty for none), locked as if just pressed.
    void SetShortcut(const std::string& shortcut);
    // The combination captured, in the stored text form; empty while none is complete.
    std::string Shortcut() const { return m_capture.Shortcut(); }

signals:
    // After every change of the combination shown.
    void ShortcutChanged();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void Show();

    CShortcutCapture m_capture;
};

} // namespace rux
