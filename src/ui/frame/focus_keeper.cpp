#include "frame/focus_keeper.h"

#include "frame/main_frame.h"
#include "frame/mdi_child.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTimer>

namespace rux {
namespace {

// Windows whose closing leaves the keyboard nowhere: dialogs, message boxes, floating panes. Menus,
// tool tips and the like give it back to the window they came from themselves.
bool HandsFocusBack(const QWidget& widget) {
    if (!widget.isWindow()) return false;
    switch (widget.windowType()) {
    case Qt::Window:
    case Qt::Dialog:
    case Qt::Sheet:
    case Qt::Tool:
        return true;
    default:
        return false;
    }
}

bool IsCloseWindowKey(const QKeyEvent& event) {
    return event.key() == Qt::Key_F4 && (event.modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier;
}

} // namespace

CFocusKeeper::CFocusKeeper(QWidget& frame, std::function<QWidget*()> programView)
    : m_frame(frame), m_programView(std::move(programView)) {
    qApp->installEventFilter(this);
}

CFocusKeeper::~CFocusKeeper() {
    qApp->removeEventFilter(this);
}

bool CFocusKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) return false;
    if (event->type() == QEvent::KeyPress && IsCloseWindowKey(*static_cast<QKeyEvent*>(event)))
        return CloseActiveWindow();
    if (event->type() == QEvent::KeyPress) {
        if (auto* bar = qobject_cast<QMenuBar*>(watched)) {
            // Opening a second menu from the highlighted bar makes the bar forget which widget it
            // took the keyboard from: leaving the bar then keeps the focus on it, and no key
            // reaches the program any more. Once the bar is left, the keyboard goes to the view.
            QTimer::singleShot(0, this, [this, bar = QPointer<QMenuBar>(bar)] {
                if (bar && QApplication::focusWidget() == bar && !bar->activeAction() &&
                    !QApplication::activePopupWidget())
                    FocusProgramView(true);
            });
        }
    }
    if (event->spontaneous()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget == &m_frame) {
        if (event->type() == QEvent::Show && !m_shown) {
            m_shown = true;
            // After the rest of start-up: the program is opened once the frame shows.
            QTimer::singleShot(0, this, [this] { StartUp(); });
        }
        return false;
    }
    if (event->type() == QEvent::Hide && HandsFocusBack(*widget)) {
        QWidget* parent = widget->parentWidget();
        QPointer<QWidget> owner = parent ? parent->window() : nullptr;
        // Once the closing is over: the code that closed the window may open the next one at once,
        // and then that one keeps the keyboard.
        QTimer::singleShot(0, this, [this, owner] { Restore(owner); });
    }
    return false;
}

QWidget* CFocusKeeper::NextActiveWindow(QWidget* owner) const {
    if (QApplication::activePopupWidget()) return nullptr;
    QWidget* next = QApplication::activeModalWidget();
    if (!next && owner && owner != &m_frame && owner->isVisible() && !owner->isMinimized()) next = owner;
    if (!next) next = &m_frame;
    if (!next->isVisible()) return nullptr;
    // Another window of the editor that is still open and active took the keyboard on purpose.
    QWidget* active = QApplication::activeWindow();
    if (active && active != next && active->isVisible()) return nullptr;
    return next;
}

void CFocusKeeper::Restore(QPointer<QWidget> owner) {
    QWidget* next = NextActiveWindow(owner.data());
    if (!next) return;
    next->activateWindow();
    if (next == &m_frame) FocusProgramView(false);
}

bool CFocusKeeper::CloseActiveWindow() {
    if (QApplication::activePopupWidget()) return false;
    QWidget* window = QApplication::activeModalWidget();
    if (!window) window = QApplication::activeWindow();
    if (!window) return false;
    // A dialog closed this way is cancelled; the frame asks about unsaved programs as on Exit.
    window->close();
    return true;
}

void CFocusKeeper::StartUp() {
    if (!m_frame.isVisible() || QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return;
    m_frame.activateWindow();
    FocusProgramView(true);
}

void CFocusKeeper::FocusProgramView(bool always) {
    QWidget* current = m_frame.focusWidget();
    if (!always && current && current->isVisible()) return;
    QWidget* view = m_programView ? m_programView() : nullptr;
    if (view && view->isVisible()) view->setFocus(Qt::ActiveWindowFocusReason);
}

CFocusCommands::CFocusCommands(CMainFrame& frame)
    : m_keeper(frame, [&frame]() -> QWidget* {
          RUX_CMDIChildWnd* child = frame.ActiveChild();
          return child ? child->View() : nullptr;
      }) {}

} // namespace rux
