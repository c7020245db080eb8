#include "frame/print_command.h"

#include "document/rux_document.h"
#include "editor/print_files.h"
#include "frame/main_frame.h"
#include "frame/mdi_child.h"
#include "frame/view_host.h"
#include "shell/command_ids.h"
#include "shell/product_paths.h"
#include "target/print_library.h"

namespace rux {

bool CPrintCommand::OnUpdateCommand(CCmdUI& ui) {
    if (ui.id != ID_FILE_PRINT) return false;
    RUX_CMDIChildWnd* child = m_frame.ActiveChild();
    ui.Enable(child && ViewSession(child->View()));
    return true;
}

bool CPrintCommand::OnCommand(int id) {
    if (id != ID_FILE_PRINT) return false;
    RUX_CMDIChildWnd* child = m_frame.ActiveChild();
    const CEditSession* session = child ? ViewSession(child->View()) : nullptr;
    if (!session) return false;
    const CPrintFiles files = WritePrintFiles(*session, CProductPaths::ProductDir());
    // Without the print library the files stay written and nothing else happens.
    if (!files.program.empty()) PrintWithLibrary(files.program, child->Document().GetTitle(), child->View());
    return true;
}

} // namespace rux
