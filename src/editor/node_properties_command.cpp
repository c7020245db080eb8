#include "editor/node_properties_command.h"

#include "document/header_item.h"
#include "document/node_properties_form.h"
#include "document/rux_document.h"
#include "editor/edit_session.h"
#include "editor/editor_services.h"

namespace rux {

bool EditNodeProperties(CEditSession& session, CEditorServices& services) {
    CRUXDocument& document = session.Document();
    CTargetLibrary* target = document.Services().target;
    const CPar* header = document.GetHeader();
    if (!target || !header)
        return false;
    // Read-only or online, the dialog shows the header and changes nothing.
    const CRuxHeader before = header->Header();
    CNodePropertiesForm form(before, *target, !session.CanEdit());
    header = nullptr; // the dialog may outlive it: looked up again below
    if (!services.AskNodeProperties(form) || form.IsReadOnly() || !session.BeginEdit())
        return false;
    document.AcceptNodeProperties(form); // the session records the header before it changes
    session.EndEdit();
    header = document.GetHeader();
    return header && !(header->Header() == before);
}

} // namespace rux
