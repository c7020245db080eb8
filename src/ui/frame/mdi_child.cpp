#include "frame/mdi_child.h"

#include "document/code_page.h"
#include "document/rux_document.h"
#include "document/string_table.h"
#include "frame/message_box.h"

#include <QCloseEvent>
#include <QFileInfo>

namespace rux {

RUX_CMDIChildWnd::RUX_CMDIChildWnd(CRUXDocument& document, QWidget* view, QWidget* parent)
    : QMdiSubWindow(parent), m_document(document), m_view(view) {
    setWidget(view);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(":/icons/ruxedit.svg"));
}

void RUX_CMDIChildWnd::CloseWithoutAsking() {
    m_ask = false;
    close();
}

bool RUX_CMDIChildWnd::SaveModified() {
    if (!m_document.IsModified()) return true;
    const std::string name = Cp1252ToUtf8(QFileInfo(QString::fromStdString(m_document.GetPathName())).fileName().toStdString());
    const QString text = QString::fromStdString(FormatString(IDS_ASK_TO_SAVE, {name}));
    switch (RuxMessageBox(this, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
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
