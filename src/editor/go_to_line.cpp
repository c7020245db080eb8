#include "editor/go_to_line.h"

#include "document/item_list.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "editor/edit_session.h"

namespace rux {

bool RevealItem(CRUXDocument& document, int index) {
    CObArrayEx& items = document.Items();
    if (index < 0 || index >= items.GetSize()) return false;
    CSectionHeader* section = items.GetAt(index)->GetSection();
    if (!section || section->IsExpanded()) return false;
    section->SetExpanded(true);
    // The section's rows come back, and its header loses its "{...}".
    int header = index;
    while (header > 0 && items.GetAt(header) != section)
        --header;
    document.RowsChanged(header, items.SectionEnd(header), false);
    return true;
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
