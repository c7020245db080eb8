#include "frame/active_targets.h"

#include "app/rux_app.h"
#include "document/rux_document.h"
#include "frame/main_frame.h"
#include "frame/mdi_child.h"
#include "frame/message_box.h"
#include "frame/view_host.h"
#include "shell/command_ids.h"

#include <QFileDialog>

namespace rux {

bool CActiveDocumentTarget::OnUpdateCommand(CCmdUI& ui) {
    CRUXDocument* document = m_frame.ActiveDocument();
    if (!document) return false;
    switch (ui.id) {
    case ID_FILE_SAVE: ui.Enable(!document->IsReadOnly()); return true;
    case ID_FILE_SAVE_AS:
    case ID_FILE_CLOSE: ui.Enable(); return true;
    default: return false;
    }
}

bool CActiveDocumentTarget::OnCommand(int id) {
    RUX_CMDIChildWnd* child = m_frame.ActiveChild();
    if (!child) return false;
    CRUXDocument& document = child->Document();
    switch (id) {
    case ID_FILE_SAVE:
        // SaveDocument writes only a modified program; a forced save of an unchanged one is a no-op.
        if (!document.SaveDocument()) RuxMessageBox(&m_frame, QObject::tr("The program could not be saved."));
        return true;
    case ID_FILE_SAVE_AS: {
        const QString path =
            QFileDialog::getSaveFileName(&m_frame, QObject::tr("Save As"), QString::fromStdString(document.GetPathName()),
                                         m_frame.App().ProgramTemplate().FileFilter());
        if (path.isEmpty()) return true;
        const std::string old = document.GetPathName();
        document.SetPathName(path.toStdString());
        document.SetModified(true);
        if (!document.SaveDocument()) {
            document.SetPathName(old);
            RuxMessageBox(&m_frame, QObject::tr("The program could not be saved."));
        }
        document.SetTitle();
        return true;
    }
    case ID_FILE_CLOSE: child->close(); return true;
    default: return false;
    }
}

bool CActiveViewTarget::OnUpdateCommand(CCmdUI& ui) {
    RUX_CMDIChildWnd* child = m_frame.ActiveChild();
    return child && UpdateViewCommand(child->View(), ui);
}

bool CActiveViewTarget::OnCommand(int id) {
    RUX_CMDIChildWnd* child = m_frame.ActiveChild();
    return child && RunViewCommand(child->View(), id);
}

} // namespace rux
