#include "editor/error_location.h"

#include "document/item.h"
#include "document/rux_document.h"
#include "editor/go_to_line.h"

namespace rux {

bool ClearErrorMarks(CRUXDocument& document) {
    bool any = false;
    CObArrayEx& items = document.Items();
    for (int i = 0; i < items.GetSize(); ++i) {
        CItem* item = items.GetAt(i);
        if (!item->HasErrorMark()) continue;
        item->ClearMark(kMarkError);
        any = true;
    }
    return any;
}

int MarkErrorLine(CRUXDocument& document, int line) {
    const int count = document.Items().GetSize();
    if (line < 0 || count == 0) return -1;
    const int index = line < count ? line : count - 1;
    ClearErrorMarks(document);
    RevealItem(document, index);
    document.Items().GetAt(index)->SetMark(kMarkError);
    document.UpdateAllViews(kHintMarks);
    return index;
}

} // namespace rux
