#include "frame/mdi_child.h"

#include "document/rux_document.h"
#include "document/string_table.h"
#include "file_names.h"
#include "frame/message_box.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenu>

namespace rux {

RUX_CMDIChildWnd::RUX_CMDIChildWnd(CRUXDocument& document, QWidget* view, QWidget* parent)
    : QMdiSubWindow(parent), m_document(document), m_view(view) {
    setWidget(view);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(":/icons/ruxedit.svg"));
    // The desktop's close keys include Ctrl+W, which is the watch window's: the child closes with
    // Ctrl+F4 alone.
    if (QMenu* menu = systemMenu())
        for (QAction* action : menu->actions())
            if (action->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_W)))
                action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
}

void RUX_CMDIChildWnd::CloseWithoutAsking() {
    m_ask = false;
    close();
}

bool RUX_CMDIChildWnd::SaveModified() {
    if (!m_document.IsModified()) return true;
    const QString text = FormatQString(IDS_ASK_TO_SAVE, {QFileInfo(FromFileName(m_document.GetPathName())).fileName()});
    switch (RuxMessageBox(this, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::NoIcon,
                          IDS_ASK_TO_SAVE)) {
    case QMessageBox::Yes: return m_document.SaveDocument();
    case QMessageBox::No: return true;
    default: return false;
    }
}

void RUX_CMDIChildWnd::closeEvent(QCloseEvent* event) {
    if (m_closed) {
        event->accept();
        return;
    }
    if (m_ask && !SaveModified()) {
        event->ignore();
        return;
    }
    m_closed = true;
    emit childClosing(this);
    QMdiSubWindow::closeEvent(event);
}

} // namespace rux
