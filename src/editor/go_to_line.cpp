#include "editor/go_to_line.h"

#include "document/item_list.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "editor/edit_session.h"
#include "editor/program_tree.h"

namespace rux {

bool RevealItem(CRUXDocument& document, int index, bool byUser) {
    const CObArrayEx& items = document.Items();
    if (index < 0 || index >= items.GetSize() || items.GetAt(index)->GetType() == kItemSectionHeader) return false;
    const int header = SectionHeaderOf(document, index);
    return header >= 0 && document.SetExpanded(header, true, byUser);
}

void MoveCaretToItem(CEditSession& session, int n) {
    CRUXDocument& document = session.Document();
    const int last = document.Items().GetSize() - 1;
    if (last < 0) return;
    if (n > last) n = last;
    if (n < 0) n = 0;
    RevealItem(document, n);
    session.SetCaret({1, n});
    session.ScrollCaretIntoView();
}

bool GoToLine(CEditSession& session, int n) {
    if (n < 0) return false;
    MoveCaretToItem(session, n);
    return true;
}

} // namespace rux
