#include "dialogs/accel_edit.h"

#include "virtual_keys.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace rux {

CAccelEdit::CAccelEdit(QWidget* parent) : QLineEdit(parent) {
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setDragEnabled(false);
    // Composed characters would bypass the key presses.
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void CAccelEdit::SetShortcut(const std::string& shortcut) {
    m_capture.Reset(shortcut);
    Show();
}

bool CAccelEdit::event(QEvent* event) {
    // Before the dialog's mnemonics or any window-wide shortcut: a combination the field takes is
    // the field's, Alt+A included.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (CShortcutCapture::Takes(VirtualKeyOf(key->key(), key->modifiers()),
                                    AccelFlagsOf(key->modifiers()))) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void CAccelEdit::keyPressEvent(QKeyEvent* event) {
    const int key = VirtualKeyOf(event->key(), event->modifiers());
    if (m_capture.KeyDown(key, AccelFlagsOf(event->modifiers())) == CShortcutCapture::kPassedOn) {
        event->ignore();
        return;
    }
    event->accept();
    Show();
}

void CAccelEdit::keyReleaseEvent(QKeyEvent* event) {
    m_capture.KeyUp(VirtualKeyOf(event->key(), event->modifiers()), AccelFlagsOf(event->modifiers()));
    Show();
    event->accept();
}

void CAccelEdit::focusOutEvent(QFocusEvent* event) {
    m_capture.ReleaseModifiers();
    Show();
    QLineEdit::focusOutEvent(event);
}

void CAccelEdit::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    event->accept();
}

void CAccelEdit::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void CAccelEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

void CAccelEdit::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void CAccelEdit::Show() {
    const QString text = QString::fromLatin1(m_capture.Text());
    if (text == this->text()) return;
    setText(text);
    emit ShortcutChanged();
}

} // namespace rux
